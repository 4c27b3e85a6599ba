// Path helpers: directory, file name, extension and replaced extension of
// absolute, relative and dotted paths; existence and deletion of files.
#include "path_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "temp_dir.h"

namespace {

using namespace pathutil;

TEST(PathExtension, ReplacesOrCutsTheLastExtension) {
    EXPECT_STREQ(path_with_extension("letters.kbf", "dat"), "letters.dat");
    EXPECT_STREQ(path_with_extension("letters.kbf", ""), "letters");
    EXPECT_STREQ(path_with_extension("letters.kbf", nullptr), "letters");
    EXPECT_STREQ(path_with_extension("letters", "dat"), "letters.dat");
    EXPECT_STREQ(path_with_extension("letters", ""), "letters");
    EXPECT_STREQ(path_with_extension("a.b.c", "d"), "a.b.d");
    EXPECT_STREQ(path_extension("/kb/digits.kbf"), "kbf");
    EXPECT_STREQ(path_extension("digits"), "");
    EXPECT_STREQ(path_extension("digits."), "");
}

TEST(PathExtension, IgnoresDotsInDirectoryNames) {
    // A dot in a directory must not be taken for the file's extension.
    EXPECT_STREQ(path_with_extension("/home/u/.local/kb/plates", "dat"), "/home/u/.local/kb/plates.dat");
    EXPECT_STREQ(path_with_extension("/my.dir/file", "dat"), "/my.dir/file.dat");
    EXPECT_STREQ(path_with_extension("/my.dir/file", ""), "/my.dir/file");
    EXPECT_STREQ(path_with_extension("/my.dir/file.kbf", "dat"), "/my.dir/file.dat");
    EXPECT_STREQ(path_extension("/my.dir/file"), "");
}

TEST(PathFileName, TakesTheTextAfterTheLastSlash) {
    EXPECT_STREQ(path_file_name("/kb/digits.kbf"), "digits.kbf");
    EXPECT_STREQ(path_file_name("digits.kbf"), "digits.kbf");
    EXPECT_STREQ(path_file_name("/kb/"), "");
    EXPECT_EQ(path_file_name(nullptr), nullptr);
}

TEST(PathDirectory, ResolvesAbsoluteAndRelativeNames) {
    EXPECT_STREQ(path_directory("/kb/digits.kbf"), "/kb");
    EXPECT_STREQ(path_directory("/digits.kbf"), "/");
    EXPECT_STREQ(path_directory("/a/./b/../c/x.kbf"), "/a/c");
    EXPECT_STREQ(path_directory("//a//b.kbf"), "/a");

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    // The file need not exist.
    EXPECT_EQ(std::string(path_directory("no-such-file.kbf")), std::string(cwd));
    EXPECT_EQ(std::string(path_directory("sub/no-such-file.kbf")), std::string(cwd) + "/sub");
    EXPECT_EQ(path_directory(""), nullptr);
}

TEST(PathHelpers, EachHelperKeepsItsOwnBuffer) {
    const char* dir = path_directory("/x/y/z.kbf");
    const char* name = path_file_name("/q/r.kbf");
    const char* ext = path_with_extension("/q/r.kbf", "dat");
    EXPECT_STREQ(dir, "/x/y");
    EXPECT_STREQ(name, "r.kbf");
    EXPECT_STREQ(ext, "/q/r.dat");
    path_directory("/other/file");
    EXPECT_STREQ(name, "r.kbf");  // another helper's call leaves it alone
}

TEST(PathHelpers, RefuseResultsLongerThanTheBuffer) {
    std::string long_name(kPathMax + 10, 'a');
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
