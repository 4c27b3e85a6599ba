// Settings files: reading, writing into new and existing sections, removing, and a failed replace leaving the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "orvosys.h"
#include "temp_dir.h"

namespace {

std::string text_of(const std::string& path) {
    const auto bytes = testsupport::read_bytes(path);
    return {bytes.begin(), bytes.end()};
}

class ProfileFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string ini = dir.file("orvoplatix.ini");
    std::string value(const char* section, const char* key, const char* def = "?") const {
        char buf[64];
        osys_profile_string(section, key, def, buf, sizeof buf, ini.c_str());
        return buf;
    }
    int number(const char* key, int def) const { return osys_profile_int("last_used", key, def, ini.c_str()); }
    int write(const char* section, const char* key, const char* v) const {
        return osys_write_profile_string(section, key, v, ini.c_str());
    }
};

// Sections and keys in any case, blanks trimmed; a missing file gives the defaults.
TEST_F(ProfileFile, ReadsValuesCaseInsensitivelyWithBlanksTrimmed) {
    EXPECT_EQ(value("s", "k", "dflt") + "|" + value("s", "k", nullptr) + "|" + std::to_string(number("k", 7)),
              "dflt||7");
    const std::string text = "; comment\r\n[other]\r\nkbase=wrong\r\n[Last_Used]\r\n  KBase = /kb/plates.kbf \r\n"
                             "depth=3x\r\nbad=x3\r\n";
    testsupport::write_bytes(ini, {text.begin(), text.end()});
    EXPECT_EQ(value("last_used", "kbase"), "/kb/plates.kbf");
    EXPECT_EQ(value("last_used", "missing") + value("nosection", "kbase"), "??");
    EXPECT_EQ(std::vector<int>({number("depth", 5), number("bad", 5), number("missing", -1)}),
              std::vector<int>({3, 5, -1}));
    char buf[4];
    EXPECT_EQ(osys_profile_string("last_used", "kbase", "", buf, sizeof buf, ini.c_str()), 3u);
    EXPECT_STREQ(buf, "/kb");  // cut to the buffer
}

TEST_F(ProfileFile, WritesCreateReplaceAndRemove) {
    for (const auto& [section, key, v] : {std::tuple{"last_used", "kbase", "a.kbf"}, {"last_used", "depth", "3"},
                                          {"view", "zoom", "2"}, {"LAST_USED", "KBASE", "b.kbf"}})
        ASSERT_EQ(write(section, key, v), 1);
    EXPECT_EQ(text_of(ini), "[last_used]\nkbase=b.kbf\ndepth=3\n[view]\nzoom=2\n");
    ASSERT_EQ(write("last_used", "depth", nullptr), 1);
    EXPECT_EQ(value("last_used", "depth") + " " + value("last_used", "kbase"), "? b.kbf");
    ASSERT_EQ(write("last_used", nullptr, nullptr), 1);
    EXPECT_EQ(text_of(ini), "[view]\nzoom=2\n");
}

TEST_F(ProfileFile, FailedWriteLeavesTheOldFile) {
    ASSERT_EQ(write("s", "k", "v"), 1);
    const std::string before = text_of(ini);
    if (geteuid() == 0) {  // root writes into read-only folders: make the target a folder instead
        const std::string sub = dir.file("sub");
        ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
        EXPECT_EQ(osys_write_profile_string("s", "k", "w", sub.c_str()), 0);
    } else {
        ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
        EXPECT_EQ(write("s", "k", "w"), 0);
        chmod(dir.path().c_str(), 0755);
    }
    EXPECT_EQ(text_of(ini), before);
    EXPECT_EQ(write(nullptr, "k", "v"), 0);
}

}  // namespace
