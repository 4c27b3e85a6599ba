// Path helpers on absolute, relative and dotted paths; existence and deletion of files.
#include "path_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "temp_dir.h"

namespace {

using namespace pathutil;

// A dot in a folder name is no extension (it once was).
TEST(PathExtension, ReplacesOrCutsTheLastExtensionOfTheLastComponent) {
    for (const auto& [path, ext, want] :
         {std::tuple{"letters.kbf", "dat", "letters.dat"}, {"letters.kbf", "", "letters"},
          {"letters.kbf", nullptr, "letters"}, {"letters", "dat", "letters.dat"}, {"letters", "", "letters"},
          {"a.b.c", "d", "a.b.d"},
          {"/home/u/.local/kb/plates", "dat", "/home/u/.local/kb/plates.dat"}, {"/my.dir/file", "", "/my.dir/file"},
          {"/my.dir/file.kbf", "dat", "/my.dir/file.dat"}})
        EXPECT_STREQ(path_with_extension(path, ext), want) << path;
    for (const auto& [path, want] :
         {std::pair{"/kb/digits.kbf", "kbf"}, {"digits", ""}, {"digits.", ""}, {"/my.dir/file", ""}})
        EXPECT_STREQ(path_extension(path), want) << path;
}

TEST(PathFileNameAndDirectory, TakeTheTextAroundTheLastSlashWithRelativeNamesResolved) {
    for (const auto& [path, want] :
         {std::pair{"/kb/digits.kbf", "digits.kbf"}, {"digits.kbf", "digits.kbf"}, {"/kb/", ""}})
        EXPECT_STREQ(path_file_name(path), want) << path;
    EXPECT_EQ(path_file_name(nullptr), nullptr);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    for (const auto& [path, want] : {std::pair<const char*, std::string>{"/kb/digits.kbf", "/kb"}, {"/digits.kbf", "/"},
                                     {"/a/./b/../c/x.kbf", "/a/c"}, {"//a//b.kbf", "/a"}, {"no-such-file.kbf", cwd},
                                     {"sub/no-such-file.kbf", std::string(cwd) + "/sub"}})
        EXPECT_EQ(path_directory(path), want) << path;
    EXPECT_EQ(path_directory(""), nullptr);
}

TEST(PathHelpers, EachKeepsItsOwnBufferAndRefusesResultsLongerThanIt) {
    const char* dir = path_directory("/x/y/z.kbf");
    const char* name = path_file_name("/q/r.kbf");
    EXPECT_STREQ(path_with_extension("/q/r.kbf", "dat"), "/q/r.dat");
    EXPECT_STREQ(dir, "/x/y");
    path_directory("/other/file");
    EXPECT_STREQ(name, "r.kbf");
    const std::string long_name(kPathMax + 10, 'a');
    EXPECT_EQ(path_file_name(long_name.c_str()), nullptr);
    EXPECT_EQ(path_with_extension(long_name.c_str(), "dat"), nullptr);
}

TEST(FileHelpers, TellExistenceAndDelete) {
    testsupport::TempDir dir;
    const std::string file = dir.file("kb.kbf");
    EXPECT_EQ(file_exists(file.c_str()), 0);
    testsupport::write_bytes(file, {1, 2, 3});
    EXPECT_EQ(file_exists(file.c_str()), 1);
    EXPECT_EQ(file_exists(dir.path().c_str()), 0);  // a folder is no file
    EXPECT_EQ(delete_file(file.c_str()), 1);
    EXPECT_EQ(file_exists(file.c_str()), 0);
    EXPECT_EQ(delete_file(file.c_str()), 0);
    EXPECT_EQ(file_exists(nullptr), 0);
}

}  // namespace
