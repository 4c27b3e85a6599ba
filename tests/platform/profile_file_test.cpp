// Settings files: reading values and integers, writing keys into new and
// existing sections, removing keys and sections, and leaving the file
// intact when it cannot be replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "orvosys.h"
#include "temp_dir.h"

namespace {

std::string text_of(const std::string& path) {
    auto bytes = testsupport::read_bytes(path);
    return {bytes.begin(), bytes.end()};
}

std::string value(const char* section, const char* key, const std::string& file,
                  const char* def = "?") {
    char buf[64];
    osys_profile_string(section, key, def, buf, sizeof buf, file.c_str());
    return buf;
}

class ProfileFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string ini = dir.file("orvoplatix.ini");
};

TEST_F(ProfileFile, ReadsValuesCaseInsensitivelyWithBlanksTrimmed) {
    testsupport::write_bytes(ini, {});
    const std::string text =
        "; comment\r\n[other]\r\nkbase=wrong\r\n[Last_Used]\r\n  KBase = /kb/plates.kbf \r\n"
        "depth=3x\r\nbad=x3\r\n";
    testsupport::write_bytes(ini, {text.begin(), text.end()});
    EXPECT_EQ(value("last_used", "kbase", ini), "/kb/plates.kbf");
    EXPECT_EQ(value("last_used", "missing", ini), "?");
    EXPECT_EQ(value("nosection", "kbase", ini), "?");
    EXPECT_EQ(osys_profile_int("last_used", "depth", 5, ini.c_str()), 3);
    EXPECT_EQ(osys_profile_int("last_used", "bad", 5, ini.c_str()), 5);
    EXPECT_EQ(osys_profile_int("last_used", "missing", -1, ini.c_str()), -1);
}

TEST_F(ProfileFile, MissingFileGivesDefaults) {
    EXPECT_EQ(value("s", "k", dir.file("none.ini"), "dflt"), "dflt");
    EXPECT_EQ(value("s", "k", dir.file("none.ini"), nullptr), "");
    EXPECT_EQ(osys_profile_int("s", "k", 7, dir.file("none.ini").c_str()), 7);
}

TEST_F(ProfileFile, CutsLongValuesToTheBuffer) {
    ASSERT_EQ(osys_write_profile_string("s", "k", "abcdefgh", ini.c_str()), 1);
    char buf[4];
    EXPECT_EQ(osys_profile_string("s", "k", "", buf, sizeof buf, ini.c_str()), 3u);
    EXPECT_STREQ(buf, "abc");
}

TEST_F(ProfileFile, WritesCreateReplaceAndRemove) {
    ASSERT_EQ(osys_write_profile_string("last_used", "kbase", "a.kbf", ini.c_str()), 1);
    ASSERT_EQ(osys_write_profile_string("last_used", "depth", "3", ini.c_str()), 1);
    ASSERT_EQ(osys_write_profile_string("view", "zoom", "2", ini.c_str()), 1);
    ASSERT_EQ(osys_write_profile_string("LAST_USED", "KBASE", "b.kbf", ini.c_str()), 1);
    EXPECT_EQ(text_of(ini), "[last_used]\nkbase=b.kbf\ndepth=3\n[view]\nzoom=2\n");

    ASSERT_EQ(osys_write_profile_string("last_used", "depth", nullptr, ini.c_str()), 1);
    EXPECT_EQ(value("last_used", "depth", ini), "?");
    EXPECT_EQ(value("last_used", "kbase", ini), "b.kbf");
    ASSERT_EQ(osys_write_profile_string("last_used", nullptr, nullptr, ini.c_str()), 1);
    EXPECT_EQ(text_of(ini), "[view]\nzoom=2\n");
}

TEST_F(ProfileFile, FailedWriteLeavesTheOldFile) {
    ASSERT_EQ(osys_write_profile_string("s", "k", "v", ini.c_str()), 1);
    const std::string before = text_of(ini);
    if (geteuid() == 0) {
        // root writes into read-only folders: make the target a folder instead
        const std::string sub = dir.file("sub");
        ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
        EXPECT_EQ(osys_write_profile_string("s", "k", "w", sub.c_str()), 0);
    } else {
        ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
        EXPECT_EQ(osys_write_profile_string("s", "k", "w", ini.c_str()), 0);
        chmod(dir.path().c_str(), 0755);
    }
    EXPECT_EQ(text_of(ini), before);
    EXPECT_EQ(osys_write_profile_string(nullptr, "k", "v", ini.c_str()), 0);
}

}  // namespace
