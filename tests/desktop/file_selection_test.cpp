// Open-file dialogs: the filter preselection, the buffer limits with their messages, and the image list.
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

// Buffer overflow or dialog error: a message, no list file, the earlier outcome kept.
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
    EXPECT_EQ(presenter.shown, (std::vector<testsupport::ShownBox>{
                                   {"Error", "Sorry, too many files selected at once! Selection buffer exceeded.", OSYS_MB_OK | OSYS_MB_ICONERROR},
                                   {"Error", "Sorry, it is a problem with the selection dialog.\n\nError code: 12290", OSYS_MB_OK | OSYS_MB_ICONERROR}}));
}

// 259 characters fit, 260 do not.
TEST(SingleSelection, RefusesAPathOfMoreThan259Characters) {
    scripted::Presenter presenter;
    scripted::FileDialog dialog;
    dialog.answers = {scripted::chosen({"/" + std::string(259, 'k')}), scripted::chosen({"/" + std::string(258, 'k')})};
    std::string path = "old";
    for (const auto& [result, size] : {std::pair{2, 0u}, {0, 259u}}) {
        EXPECT_EQ(SingleFileSelection().run(dialog, "t", {{"KBF files (*.kbf)", "*.kbf"}}, "/kb", "kbf", path), result);
        EXPECT_EQ(path.size(), size);
    }
}

// Lines without their ends, cut at 256 characters, from memory or, without slots, the file.
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
