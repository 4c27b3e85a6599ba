// Open-file dialogs: the filter preselection, the list file of a multiple
// selection, the buffer limits with their messages, and the image list.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "file_selection.h"
#include "image_list.h"
#include "scripted.h"
#include "temp_dir.h"

using namespace desk;

namespace {
const std::vector<FileFilter> kImageFilters = {
    {"JPEG files (*.jpg)", "*.jpg"}, {"PNG files (*.png)", "*.png"}, {"BMP files (*.bmp)", "*.bmp"},
    {"TIFF files (*.tif)", "*.tif"}, {"PCX files (*.pcx)", "*.pcx"}, {"PGM files (*.pgm)", "*.pgm"},
    {"ITEX files (*.img)", "*.img"}, {"All files (*.*)", "*.*"}};

std::string text_of(const std::string& path) {
    const auto b = testsupport::read_bytes(path);
    return std::string(b.begin(), b.end());
}
}  // namespace

TEST(FilterPreselection, FindsTheExtensionCaseSensitively) {
    EXPECT_EQ(preselect_filter(kImageFilters, "png"), 2);
    EXPECT_EQ(preselect_filter(kImageFilters, "jpg"), 1);
    EXPECT_EQ(preselect_filter(kImageFilters, "img"), 7);
    EXPECT_EQ(preselect_filter(kImageFilters, "JPG"), 8);
    EXPECT_EQ(preselect_filter(kImageFilters, "xyz"), 8);
    // "TIFF" is in the description of the fourth pair.
    EXPECT_EQ(preselect_filter(kImageFilters, "TIF"), 4);
}

TEST(MultipleSelection, WritesTheListSortedByName) {
    testsupport::TempDir dir;
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    dialog.answers.push_back(scripted::chosen({dir.file("c"), dir.file("a"), dir.file("b")}, 3));
    MultiFileSelection sel;
    MultiSelection out;
    const std::string list = dir.file("$imglst$.$$$");
    ASSERT_EQ(sel.run(dialog, "Select image file(s)", kImageFilters, dir.path(), "png", list, out), 0);
    EXPECT_EQ(out.count, 3);
    EXPECT_EQ(out.first_path, dir.file("a"));
    EXPECT_EQ(out.folder, dir.path());
    EXPECT_EQ(text_of(list), dir.file("a") + "\r\n" + dir.file("b") + "\r\n" + dir.file("c") + "\r\n");
    ASSERT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(dialog.requests[0].filter_index, 2);  // png preselected on first use
    EXPECT_TRUE(dialog.requests[0].multiple);
    EXPECT_EQ(dialog.requests[0].initial_folder, dir.path());
    EXPECT_TRUE(presenter.boxes.empty());
    // The next use starts with the filter chosen last.
    dialog.answers.push_back({});
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, dir.path(), "png", list, out), 1);
    EXPECT_EQ(dialog.requests[1].filter_index, 3);
    EXPECT_EQ(presenter.beeps, 1);
}

TEST(MultipleSelection, ReportsOverflowAndLeavesTheOutcome) {
    testsupport::TempDir dir;
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    std::vector<std::string> many;
    // 20480 bytes: folder + NUL + 500 names of 50 characters + NULs exceed it.
    for (int i = 0; i < 500; ++i) many.push_back(dir.path() + "/" + std::string(46, 'x') + std::to_string(1000 + i));
    dialog.answers.push_back(scripted::chosen(many));
    // The buffer holds the folder, each name and their NULs.
    EXPECT_EQ(name_buffer_bytes({"/d/abc"}), 8u);
    EXPECT_EQ(name_buffer_bytes({"/d/a", "/d/bb"}), 3u + 2u + 3u + 1u);
    MultiFileSelection sel;
    MultiSelection out;
    out.count = 7;
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, "", "jpg", dir.file("list"), out), 2);
    EXPECT_EQ(out.count, 7);
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Sorry, too many files selected at once! Selection buffer exceeded.");
    EXPECT_EQ(presenter.boxes[0].title, "Error");
    EXPECT_FALSE(std::ifstream(dir.file("list")).good());
}

TEST(MultipleSelection, ShowsTheDialogErrorCode) {
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    OpenFileAnswer a;
    a.error = 0x3002;
    dialog.answers.push_back(a);
    MultiFileSelection sel;
    MultiSelection out;
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, "", "jpg", "/nonexistent/list", out), 1);
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Sorry, it is a problem with the selection dialog.\n\nError code: 12290");
}

TEST(SingleSelection, RefusesAPathOfMoreThan259Characters) {
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    dialog.answers.push_back(scripted::chosen({"/" + std::string(259, 'k')}));
    dialog.answers.push_back(scripted::chosen({"/kb/base.kbf"}, 2));
    SingleFileSelection sel;
    std::string path = "old";
    EXPECT_EQ(sel.run(dialog, "t", {{"KBF files (*.kbf)", "*.kbf"}}, "/kb", "kbf", path), 2);
    EXPECT_EQ(path, "");
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Sorry, selected path is too long! Selection buffer exceeded.");
    EXPECT_EQ(sel.run(dialog, "t", {{"KBF files (*.kbf)", "*.kbf"}}, "/kb", "kbf", path), 0);
    EXPECT_EQ(path, "/kb/base.kbf");
    EXPECT_EQ(sel.filter_index(), 2);
    EXPECT_EQ(dialog.requests[1].default_ext, "kbf");
    EXPECT_FALSE(dialog.requests[1].multiple);
}

// Lines without their ends, cut at 256 characters; from the file itself
// when the slots cannot be had.
TEST(ImageListReads, LinesWithoutTheirEndsFromMemoryOrTheFile) {
    testsupport::TempDir dir;
    const std::string list = dir.file("l");
    const std::string body = "/x/one.bmp\r\n/x/two.bmp\r\n/x/" + std::string(300, 'z') + "\r\n";
    testsupport::write_bytes(list, std::vector<std::uint8_t>(body.begin(), body.end()));
    for (const bool slots : {true, false}) {
        ImageList l;
        orvo::alloc_fail_at(slots ? 0 : 1);
        EXPECT_EQ(l.load(list, 3), slots);
        orvo::alloc_fail_at(0);
        EXPECT_EQ(l.in_memory(), slots);
        EXPECT_EQ(l.entry(2), "/x/two.bmp");
        EXPECT_EQ(l.entry(1), "/x/one.bmp");
        EXPECT_EQ(l.entry(3).size(), 256u);
        EXPECT_EQ(l.entry(4), "");
    }
}
