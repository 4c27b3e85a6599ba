// The settings file: defaults, clamping, what start-up takes from it, and
// what the quit writes back.
#include "settings.h"
#include "shell_fakes.h"
#include "start_up.h"

using fakes::exists;
using fakes::read_file;
using fakes::write_file;

class ShellSettingsRead : public fakes::ShellTest {};

TEST_F(ShellSettingsRead, DefaultsWhenTheFileIsMissing) {
    start();
    EXPECT_EQ(shell->shared().show_bitmap, 1);
    EXPECT_EQ(shell->shared().show_delay, 3000);
    EXPECT_EQ(shell->analysis_depth(), 3);
    EXPECT_EQ(shell->image_folder(), dir.path);
    EXPECT_EQ(shell->image_name(), "");
    EXPECT_EQ(shell->kb_path(), "");
    EXPECT_EQ(control(platix::kSlider).value, 6);
    EXPECT_TRUE(control(platix::kChkBitmap).checked);
    EXPECT_EQ(shell->settings_path(), ini());
    EXPECT_EQ(shell->kb_list_path(), at("$kbflst$.$$$"));
    EXPECT_EQ(shell->image_list_path(), at("$imglst$.$$$"));
}

TEST_F(ShellSettingsRead, ClampsTheDepthAndDefaultsAnEmptyDelay) {
    write_file(ini(), "[last_used]\r\nanalysis_depth=0\r\nshow_delay=\r\nshow_bitmap=no\r\n");
    EXPECT_EQ(platix::read_settings(ini()).analysis_depth, 1);
    EXPECT_EQ(platix::read_settings(ini()).show_delay, 3000);
    EXPECT_EQ(platix::read_settings(ini()).show_bitmap, 0);  // text reads as 0
    write_file(ini(), "[last_used]\r\nanalysis_depth=9\r\nshow_delay=5500ms\r\n");
    EXPECT_EQ(platix::read_settings(ini()).analysis_depth, 5);
    EXPECT_EQ(platix::read_settings(ini()).show_delay, 5500);  // leading digits
}

TEST_F(ShellSettingsRead, RemembersTheImageWithoutLoadingIt) {
    write_file(ini(), "[last_used]\r\nimage_file=/some/where/car.png\r\nshow_bitmap=0\r\nshow_delay=7000\r\n");
    start();
    EXPECT_EQ(shell->image_folder(), "/some/where");
    EXPECT_EQ(shell->image_name(), "car.png");
    EXPECT_TRUE(lib.opened.empty());
    EXPECT_EQ(shell->shared().show_bitmap, 0);
    EXPECT_FALSE(control(platix::kChkBitmap).checked);
    EXPECT_EQ(control(platix::kSlider).value, 2);
    EXPECT_EQ(control(platix::kTxtDelay).label, "7s.");
}

TEST_F(ShellSettingsRead, LoadsAnExistingKnowledgeBaseThroughTheListFile) {
    const std::string kb = kb_in_settings();
    lib.kb_type_value = 1;
    start();
    EXPECT_EQ(read_file(at("$kbflst$.$$$")), "[1] " + kb + "\r\n");
    EXPECT_EQ(lib.ocr_list_path, at("$kbflst$.$$$"));
    EXPECT_TRUE(presenter.boxes.empty());
}

TEST_F(ShellSettingsRead, SkipsAMissingKnowledgeBase) {
    write_file(ini(), "[last_used]\r\nkb_file=" + at("gone.kbf") + "\r\n");
    start();
    EXPECT_FALSE(exists(at("$kbflst$.$$$")));
    EXPECT_EQ(std::count(lib.calls.begin(), lib.calls.end(), "ocr init"), 0);
    EXPECT_EQ(shell->kb_path(), at("gone.kbf"));
}

TEST_F(ShellSettingsRead, ReportsAnEngineThatCannotStart) {
    kb_in_settings();
    lib.ocr_init_fails = true;
    start();
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].title, "Error");
    EXPECT_EQ(presenter.boxes[0].text, "Memory allocation error (OCR I/O structure)!");
}

class ShellSettingsWritten : public fakes::ShellTest {
protected:
    void quit() {
        presenter.answers.push_back(OSYS_IDYES);
        ASSERT_TRUE(shell->close_request());
    }
};

TEST_F(ShellSettingsWritten, OnlyTheNumbersWhenNothingWasChosen) {
    start();
    quit();
    const std::string s = read_file(ini());
    EXPECT_EQ(s.find("image_file"), std::string::npos);
    EXPECT_EQ(s.find("kb_file"), std::string::npos);
    const platix::Settings back = platix::read_settings(ini());
    EXPECT_EQ(back.show_bitmap, 1);
    EXPECT_EQ(back.show_delay, 3000);
    EXPECT_EQ(back.analysis_depth, 3);
    EXPECT_FALSE(exists(ini() + ".new"));
}

TEST_F(ShellSettingsWritten, TheClampedDepthAndTheChosenFiles) {
    const std::string kb = kb_in_settings();
    write_file(ini(), read_file(ini()) + "analysis_depth=9\r\n");
    start();
    lib.loadable = {"b.jpg"};
    choose({at("b.jpg")});
    quit();
    const platix::Settings back = platix::read_settings(ini());
    EXPECT_EQ(back.analysis_depth, 5);
    EXPECT_EQ(back.image_file, at("b.jpg"));
    EXPECT_EQ(back.kb_file, kb);
}

TEST_F(ShellSettingsWritten, ChangesMadeWhileRunningAreOverwritten) {
    write_file(ini(), "[other]\r\nkeep=1\r\n[last_used]\r\nshow_delay=4000\r\n");
    start();
    write_file(ini(), "[other]\r\nkeep=1\r\n[last_used]\r\nshow_delay=6000\r\nshow_bitmap=0\r\n");
    shell->bar().press(platix::kChkBitmap);  // 1 -> 0
    shell->bar().press(platix::kChkBitmap);  // back to 1
    quit();
    const platix::Settings back = platix::read_settings(ini());
    EXPECT_EQ(back.show_delay, 4000);
    EXPECT_EQ(back.show_bitmap, 1);
    char keep[8] = {};
    osys_profile_string("other", "keep", "", keep, sizeof keep, ini().c_str());
    EXPECT_STREQ(keep, "1");
}

TEST_F(ShellSettingsWritten, AnUnwritableFolderLeavesTheOldFileWhole) {
    write_file(ini(), "[last_used]\r\nshow_delay=4000\r\n");
    // The working copy cannot be made where a folder of its name stands.
    std::filesystem::create_directory(ini() + ".new");
    EXPECT_FALSE(platix::write_settings(ini(), "/x", "y.png", "", 0, 2000, 2));
    EXPECT_EQ(read_file(ini()), "[last_used]\r\nshow_delay=4000\r\n");
}

TEST(ShellStartUp, RefusesAScreenBelow800By600) {
    scripted::Presenter presenter;
    EXPECT_TRUE(platix::display_large_enough(800, 600));
    EXPECT_TRUE(presenter.boxes.empty());
    EXPECT_FALSE(platix::display_large_enough(799, 600));
    EXPECT_FALSE(platix::display_large_enough(1024, 599));
    ASSERT_EQ(presenter.boxes.size(), 2u);
    EXPECT_EQ(presenter.boxes[0].title, "Error");
    EXPECT_EQ(presenter.boxes[0].text,
              "A minimum display resolution of 800 x 600 pixels with 256 colors is required!");
    EXPECT_EQ(presenter.boxes[0].style & OSYS_MB_ICONS, static_cast<unsigned>(OSYS_MB_ICONERROR));
}
