// Open-file dialogs: the filter preselection, the list file of a multiple
// selection, the buffer limits with their messages, and the image list.
#include <gtest/gtest.h>

#include <filesystem>

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
}  // namespace

// Case-sensitive; "TIFF" is in the description of the fourth pair.
TEST(FilterPreselection, FindsTheExtensionCaseSensitively) {
    for (const auto& [ext, index] : {std::pair{"png", 2}, {"jpg", 1}, {"img", 7}, {"JPG", 8}, {"xyz", 8}, {"TIF", 4}})
        EXPECT_EQ(preselect_filter(kImageFilters, ext), index) << ext;
}

// The list is sorted by name; the next use starts with the filter chosen
// last; a cancel beeps.
TEST(MultipleSelection, WritesTheListSortedByName) {
    testsupport::TempDir dir;
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    dialog.answers = {scripted::chosen({dir.file("c"), dir.file("a"), dir.file("b")}, 3), {}};
    MultiFileSelection sel;
    MultiSelection out;
    const std::string list = dir.file("$imglst$.$$$");
    ASSERT_EQ(sel.run(dialog, "t", kImageFilters, dir.path(), "png", list, out), 0);
    EXPECT_EQ(out.count, 3);
    EXPECT_EQ(out.first_path + " " + out.folder, dir.file("a") + " " + dir.path());
    const auto bytes = testsupport::read_bytes(list);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), dir.file("a") + "\r\n" + dir.file("b") + "\r\n" + dir.file("c") + "\r\n");
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, dir.path(), "png", list, out), 1);
    EXPECT_EQ(dialog.requests.at(0).filter_index, 2);  // png preselected on first use
    EXPECT_EQ(dialog.requests.at(1).filter_index, 3);
    EXPECT_EQ(presenter.beeps, 1);
}

// Too many names for the buffer, or a dialog error: a message, no list
// file, and the earlier outcome left as it was.
TEST(MultipleSelection, ReportsOverflowAndDialogErrorsAndLeavesTheOutcome) {
    EXPECT_EQ(name_buffer_bytes({"/d/abc"}), 8u);  // the folder, each name and their NULs
    EXPECT_EQ(name_buffer_bytes({"/d/a", "/d/bb"}), 3u + 2u + 3u + 1u);
    testsupport::TempDir dir;
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    std::vector<std::string> many;  // 500 names of 50 characters exceed 20480 bytes
    for (int i = 0; i < 500; ++i) many.push_back(dir.path() + "/" + std::string(46, 'x') + std::to_string(1000 + i));
    OpenFileAnswer failed;
    failed.error = 0x3002;
    dialog.answers = {scripted::chosen(many), failed};
    MultiFileSelection sel;
    MultiSelection out;
    out.count = 7;
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, "", "jpg", dir.file("list"), out), 2);
    EXPECT_EQ(sel.run(dialog, "t", kImageFilters, "", "jpg", dir.file("list"), out), 1);
    EXPECT_EQ(out.count, 7);
    EXPECT_FALSE(std::filesystem::exists(dir.file("list")));
    ASSERT_EQ(presenter.boxes.size(), 2u);
    EXPECT_EQ(presenter.boxes[0].title + ": " + presenter.boxes[0].text,
              "Error: Sorry, too many files selected at once! Selection buffer exceeded.");
    EXPECT_EQ(presenter.boxes[1].text, "Sorry, it is a problem with the selection dialog.\n\nError code: 12290");
}

TEST(SingleSelection, RefusesAPathOfMoreThan259Characters) {
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    dialog.answers = {scripted::chosen({"/" + std::string(259, 'k')}), scripted::chosen({"/kb/base.kbf"}, 2)};
    SingleFileSelection sel;
    std::string path = "old";
    EXPECT_EQ(sel.run(dialog, "t", {{"KBF files (*.kbf)", "*.kbf"}}, "/kb", "kbf", path), 2);
    EXPECT_EQ(path, "");
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Sorry, selected path is too long! Selection buffer exceeded.");
    EXPECT_EQ(sel.run(dialog, "t", {{"KBF files (*.kbf)", "*.kbf"}}, "/kb", "kbf", path), 0);
    EXPECT_EQ(path, "/kb/base.kbf");
    EXPECT_EQ(sel.filter_index(), 2);
}

// Lines without their ends, cut at 256 characters; from the file itself when
// the slots cannot be had.
TEST(ImageListReads, LinesWithoutTheirEndsFromMemoryOrTheFile) {
    testsupport::TempDir dir;
    const std::string body = "/x/one.bmp\r\n/x/two.bmp\r\n/x/" + std::string(300, 'z') + "\r\n";
    testsupport::write_bytes(dir.file("l"), std::vector<std::uint8_t>(body.begin(), body.end()));
    for (const bool slots : {true, false}) {
        ImageList l;
        orvo::alloc_fail_at(slots ? 0 : 1);
        EXPECT_EQ(l.load(dir.file("l"), 3), slots);
        orvo::alloc_fail_at(0);
        EXPECT_EQ(l.in_memory(), slots);
        EXPECT_EQ(l.entry(2) + " " + l.entry(1), "/x/two.bmp /x/one.bmp");
        EXPECT_EQ(l.entry(3).size(), 256u);
        EXPECT_EQ(l.entry(4), "");
    }
}
