// The settings file: defaults, clamping, what start-up takes from it and what the quit writes back.
#include "settings.h"
#include "shell_fakes.h"
#include "start_up.h"

using fakes::read_file;
using fakes::write_file;

class ShellSettings : public fakes::ShellTest {};

// Defaults, clamped and malformed values; the image is remembered, not loaded.
TEST_F(ShellSettings, StartUpTakesDefaultsClampedValuesAndTheImage) {
    struct Case {  // ini: the [last_used] keys (null: no file); folder null: the start folder
        const char* ini; int depth, delay, bitmap, slider; const char *folder, *name;
    } cases[] = {
        {nullptr, 3, 3000, 1, 6, nullptr, ""},
        {"analysis_depth=0\r\nshow_delay=\r\nshow_bitmap=no\r\n", 1, 3000, 0, 6, nullptr, ""},
        {"analysis_depth=9\r\nshow_delay=5500ms\r\n", 5, 5500, 1, 4, nullptr, ""},
        {"image_file=/some/where/car.png\r\nshow_bitmap=0\r\nshow_delay=7000\r\n", 3, 7000, 0, 2, "/some/where", "car.png"},
        {"show_delay=500\r\n", 3, 500, 1, 7, nullptr, ""},  // kept until the slider moves
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no file");
        std::filesystem::remove(ini());
        if (c.ini) write_file(ini(), std::string("[last_used]\r\n") + c.ini);
        start();
        EXPECT_EQ(std::vector<int>({shell->analysis_depth(), shell->shared().show_delay, shell->shared().show_bitmap,
                                    control(platix::kChkBitmap).checked, control(platix::kSlider).value}),
                  std::vector<int>({c.depth, c.delay, c.bitmap, c.bitmap, c.slider}));
        EXPECT_EQ(shell->image_folder() + "/" + shell->image_name(), (c.folder ? c.folder : dir.path()) + "/" + c.name);
        EXPECT_TRUE(lib.opened.empty());
    }
}

// A base loads through the list file, an engine that fails is reported; a missing base is skipped.
TEST_F(ShellSettings, AnExistingKnowledgeBaseIsLoadedThroughTheListFile) {
    const std::string kb = kb_in_settings();
    lib.kb_type_value = 1, lib.ocr_init_fails = true;
    start();
    EXPECT_EQ(read_file(at("$kbflst$.$$$")), "[1] " + kb + "\r\n");
    EXPECT_EQ(lib.ocr_list_path, at("$kbflst$.$$$"));
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Error: Memory allocation error (OCR I/O structure)!"});
    write_file(ini(), "[last_used]\r\nkb_file=" + at("gone.kbf") + "\r\n");
    lib.calls.clear();
    start();
    EXPECT_EQ(std::count(lib.calls.begin(), lib.calls.end(), "ocr init"), 0);
}

// Only the numbers (depth clamped), other sections kept; a failed working copy leaves the file whole.
TEST_F(ShellSettings, QuitWritesTheNumbersAndKeepsOtherSections) {
    write_file(ini(), "[other]\r\nkeep=1\r\n[last_used]\r\nshow_delay=4000\r\nanalysis_depth=9\r\n");
    start();
    write_file(ini(), "[other]\r\nkeep=1\r\n[last_used]\r\nshow_delay=6000\r\nshow_bitmap=0\r\n");
    ASSERT_TRUE(shell->close_request());
    const platix::Settings back = platix::read_settings(ini());
    EXPECT_EQ(std::vector<int>({back.show_bitmap, back.show_delay, back.analysis_depth}), std::vector<int>({1, 4000, 5}));
    EXPECT_EQ(back.image_file + back.kb_file, "");
    EXPECT_FALSE(fakes::exists(ini() + ".new"));
    char keep[8] = {};
    osys_profile_string("other", "keep", "", keep, sizeof keep, ini().c_str());
    EXPECT_STREQ(keep, "1");
    const std::string before = read_file(ini());
    std::filesystem::create_directory(ini() + ".new");
    EXPECT_FALSE(platix::write_settings(ini(), "/x", "y.png", "", 0, 2000, 2));
    EXPECT_EQ(read_file(ini()), before);
}

TEST(ShellStartUp, RefusesAScreenBelow800By600) {
    scripted::Presenter presenter;
    for (const auto& [w, h, ok] : {std::tuple{800, 600, true}, {799, 600, false}, {1024, 599, false}})
        EXPECT_EQ(platix::display_large_enough(w, h), ok) << w << "x" << h;
    ASSERT_EQ(presenter.shown.size(), 2u);
    EXPECT_EQ(presenter.shown[0].title + ": " + presenter.shown[0].text,
              "Error: A minimum display resolution of 800 x 600 pixels with 256 colors is required!");
}
