// A session's backups are never lost when a copy or a rename fails; the list line names the files.
#include <gtest/gtest.h>

#include "session_files.h"
#include "session_fixture.h"

namespace {

using learner::BackupState;
using learner::SessionPaths;
using lrntest::exists;
using testsupport::read_bytes;
using testsupport::TempDir;
using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

void write_text(const std::string& path, const std::string& s) { write_bytes(path, Bytes(s.begin(), s.end())); }

class SessionBackups : public ::testing::Test {
protected:
    void SetUp() override {
        write_text(d.file("list"), "[0] " + d.file("kb.kbf") + "\r\n");
        ASSERT_TRUE(learner::read_session_paths(d.file("list"), 1, p));
    }
    TempDir d;
    SessionPaths p;
    lrntest::Presenter shown;
};

TEST_F(SessionBackups, AFailedBackupStopsAndLeavesTheOriginals) {
    const Bytes kb = {1, 2}, dat = {3, 4};
    write_bytes(p.kb, kb), write_bytes(p.dat, dat);
    // The patterns backup's name is taken by a folder that cannot be removed.
    ASSERT_EQ(mkdir(p.dat_bak.c_str(), 0700), 0);
    write_bytes(p.dat_bak + "/keep", {0});
    BackupState s;
    EXPECT_FALSE(learner::make_backups(p, s));
    EXPECT_FALSE(s.kb_backed_up || exists(p.kb_bak));
    EXPECT_TRUE(read_bytes(p.kb) == kb && read_bytes(p.dat) == dat);
    EXPECT_TRUE(shown.shown.size() == 1u && shown.shown[0].title == "Error");
    std::remove((p.dat_bak + "/keep").c_str()), rmdir(p.dat_bak.c_str());
}

TEST_F(SessionBackups, AFailedRestoreKeepsTheBackupAndSaysWhere) {
    const Bytes kb = {7, 7, 7};
    write_bytes(p.kb, kb);
    BackupState s;
    ASSERT_TRUE(learner::make_backups(p, s));
    // A folder where the knowledge base was: neither a rename nor a copy can put the backup there.
    std::remove(p.kb.c_str());
    ASSERT_EQ(mkdir(p.kb.c_str(), 0700), 0);
    write_bytes(p.kb + "/x", {0});
    EXPECT_FALSE(learner::finish_backups(p, s, false));
    EXPECT_EQ(read_bytes(p.kb_bak), kb);
    ASSERT_FALSE(shown.shown.empty());
    EXPECT_EQ(shown.shown[0].text, "Couldn't restore " + p.kb + ".\nIts previous contents are kept in " + p.kb_bak + ".");
    std::remove((p.kb + "/x").c_str()), rmdir(p.kb.c_str());
}

// The list line of the index, its paths, and every refusal; a copy from a missing file leaves the target.
TEST(SessionPathsRead, TheLineOfTheIndexOrNothingAndASafeCopyThatFails) {
    TempDir d;
    write_text(d.file("list"), "[1] /a/first.kbf\r\n[0]    /b/plates.kbf   \r\n[0] /b/plates\r\n[0] /b/.kbf\r\nno bracket\r\n");
    SessionPaths p;
    ASSERT_TRUE(learner::read_session_paths(d.file("list"), 2, p));
    EXPECT_TRUE(p.kb == "/b/plates.kbf" && p.dat == "/b/plates.dat" && p.kb_bak == "/b/$kbfbak$.$$$" && p.dat_bak == "/b/$datbak$.$$$");
    // No extension, no name, no bracket, past the end, index 0, no list.
    for (int index : {3, 4, 5, 6, 0}) EXPECT_FALSE(learner::read_session_paths(d.file("list"), index, p)) << index;
    EXPECT_FALSE(learner::read_session_paths(d.file("absent"), 1, p));
    write_bytes(d.file("to"), {1, 2});
    EXPECT_FALSE(learner::copy_file_safely(d.file("absent"), d.file("to")));
    EXPECT_FALSE(learner::copy_file_safely(d.file("to"), d.file("no/such/folder")));
    EXPECT_TRUE(read_bytes(d.file("to")) == (Bytes{1, 2}) && !exists(d.file("to") + ".tmp"));
}

}  // namespace
