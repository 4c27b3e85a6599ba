// The training program's shell with the real image library on written pages, turns, training and the quit.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "library_writers.h"
#include "plate_scene.h"
#include "real_libs.h"
#include "scripted.h"
#include "shell_fakes.h"
#include "tutrix_shell.h"
#include "tutrix_texts.h"

namespace {

using desk::BarKey;
using namespace tutrix;

// The real libraries; a training session is only recorded and a rotation can run out of memory.
struct Libs : tutrixtest::ForwardingLibs {
    std::vector<int> sessions;  // kb_index of each session
    bool rotation_fails = false;
    int rotate(int a) override { return rotation_fails ? 0 : real.rotate(a); }
    int train(void*, ocr_io* io, seg_result**, const char*) override { return sessions.push_back(io->kb_index), 0; }
};

struct Poster : desk::CommandPoster {
    std::deque<std::pair<unsigned, std::intptr_t>> queue;
    void post(unsigned c, std::intptr_t p) override { queue.emplace_back(c, p); }
};

testsupport::GrayImage page(std::uint8_t level) { return {640, 480, std::vector<std::uint8_t>(640 * 480, level)}; }

class TutrixShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell = std::make_unique<TutrixShell>(dir.path(), controls_template(), libs, win, poster, cursor, files);
        shell->start();
    }
    void TearDown() override { libs.release(); }
    void run() {
        for (; !poster.queue.empty(); poster.queue.pop_front())
            shell->command(poster.queue.front().first, poster.queue.front().second);
    }
    void press(int control) { shell->bar().press(control), run(); }
    void choose(const std::vector<std::string>& paths) {
        files.answers.push_back(scripted::chosen(paths));
        press(kBtnFiles);
    }
    std::string title() const { return win.title.substr(std::string("ORVO Tutrix 2.1 - ").size()); }
    std::string pgm(const char* name, std::uint8_t level) {
        testsupport::write_bytes(dir.file(name), testsupport::pgm_file(page(level)));
        return dir.file(name);
    }
    // Two drawn plate scenes side by side in a gray PGM: two fields.
    std::string plate_scene() {
        samples::SceneOptions o;
        o.colour = false, o.text = "AB 123", o.seed = 3;
        const testsupport::GrayImage left = samples::to_gray(samples::draw_scene(o));
        o.text = "XK 470", o.seed = 13;
        const testsupport::GrayImage right = samples::to_gray(samples::draw_scene(o));
        testsupport::GrayImage g{left.width + right.width, left.height, {}};
        for (int y = 0; y < g.height; ++y)
            for (const auto* h : {&left, &right})
                g.pixels.insert(g.pixels.end(), h->pixels.begin() + y * h->width, h->pixels.begin() + (y + 1) * h->width);
        testsupport::write_bytes(dir.file("scene.pgm"), testsupport::pgm_file(g));
        return dir.file("scene.pgm");
    }
    fakes::WorkDir dir;
    scripted::Presenter boxes;
    scripted::FileDialog files;
    Libs libs;
    fakes::Windows win;
    Poster poster;
    fakes::Cursor cursor;
    std::unique_ptr<TutrixShell> shell;
};

TEST_F(TutrixShellTest, WithoutAFileOnlyFilesAndAboutAreEnabledAndTitlesAreInMixedCase) {
    for (int i = 0; i < kBarControls; ++i) EXPECT_EQ(shell->bar().enabled(i), i == kBtnFiles || i == kBtnAbout) << i;
    EXPECT_EQ(shell->bar().text(kChkTraining), "&Training ON");
    testsupport::write_bytes(dir.file("broken.pgm"), {'P', '5', '\n', 'x'});
    choose({dir.file("broken.pgm")});
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - broken.pgm (Error!)");
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Error: Couldn't load page.");
    EXPECT_FALSE(shell->image_loaded());
}

// Next and Prev wrap; Go (Enter in the number) is on only for another page in range; Shift+Tab skips it.
TEST_F(TutrixShellTest, ThreePagesWrapAndGoFollowsTheTypedNumber) {
    std::vector<testsupport::TiffPage> pages;
    for (std::uint8_t level : {200, 150, 100}) pages.push_back(testsupport::tiff_gray_page(page(level)));
    ASSERT_TRUE(testsupport::write_tiff(dir.file("pages.tif"), pages));
    choose({dir.file("pages.tif")});
    const auto page_title = [](int p) { return "pages.tif [p.#" + std::to_string(p) + "/3 640x480]"; };
    EXPECT_EQ(title(), page_title(1));
    EXPECT_EQ(shell->bar().text(kTxtStatus).rfind("Analysis duration: ", 0), 0u);  // analysed at once
    TutrixBar& b = shell->bar();
    for (const auto& [button, page] : {std::pair{kBtnNext, 2}, {kBtnNext, 3}, {kBtnNext, 1}, {kBtnPrev, 3}, {kBtnPrev, 2}}) {
        press(button);
        EXPECT_EQ(title(), page_title(page));
    }
    EXPECT_EQ(b.text(kEdtNumber) + "/" + b.text(kTxtCount), "2/3");
    for (const auto& [typed, go] : {std::pair{"3", true}, {"4", false}, {"0", false}, {"2", false}, {"1", true}}) {
        b.number_typed(typed);
        EXPECT_EQ(b.enabled(kBtnGo), go) << typed;
    }
    b.focus_control(kEdtNumber), b.key(BarKey::Enter, true), run();
    EXPECT_EQ(title(), page_title(1));
    b.focus_control(kEdtNumber);
    b.key(BarKey::Shift, true);
    EXPECT_TRUE(b.key(BarKey::Tab, true));
    b.key(BarKey::Shift, false);
    EXPECT_EQ(b.table().focus(), kBtnNext);
}

// Turns are titled; one out of memory keeps the page, says so and gives the controls back.
TEST_F(TutrixShellTest, TurnsAreTitledAndOneThatRunsOutOfMemoryKeepsThePage) {
    choose({pgm("one.pgm", 128)});
    for (const auto& [button, turned] : {std::pair{kBtnRr, " - rot. 270\xB0"}, {kBtnLr, ""}, {kBtnUd, " - rot. 180\xB0"}, {kBtnUd, ""}}) {
        press(button);
        EXPECT_EQ(title(), std::string("one.pgm [") + (button == kBtnRr ? "480x640" : "640x480") + turned + "]");
    }
    EXPECT_FALSE(shell->bar().enabled(kBtnNext));  // a single page
    libs.rotation_fails = true;
    press(kBtnRr);
    EXPECT_EQ(shell->total_rotation() + shell->pending_rotation(), 0);
    EXPECT_FALSE(shell->busy());
    EXPECT_EQ(title(), "one.pgm [640x480]");
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Rotation interrupted (memory!)");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title + ": " + boxes.shown[0].text, "Error: Memory allocation error (rotated image).");
    libs.rotation_fails = false;
    press(kBtnRr);
    EXPECT_EQ(shell->total_rotation(), 270);
}

TEST_F(TutrixShellTest, SeveralFilesAreNotAnalysedAtOnceAndGoMovesBetweenThem) {
    choose({pgm("a.pgm", 128), pgm("b.pgm", 64)});
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Image loaded and displayed.");
    EXPECT_FALSE(shell->bar().enabled(kBtnObj));  // no results
    press(kBtnPrev);
    EXPECT_EQ(title(), "b.pgm [640x480]");
    shell->bar().number_typed("1");
    press(kBtnGo);
    EXPECT_EQ(title(), "a.pgm [640x480]");
}

// With training off, Obj. shows the fields in list order and wraps.
TEST_F(TutrixShellTest, ObjNumberCyclesTheFieldWindowWithTrainingOff) {
    choose({plate_scene()});
    std::vector<seg_result*> order;
    for (seg_result* r = libs.results(); r; r = r->next) order.push_back(r);
    ASSERT_GE(order.size(), 2u) << "the two plates should give two fields";
    press(kChkTraining);
    EXPECT_EQ(shell->bar().text(kChkTraining), "&Training OFF");
    EXPECT_FALSE(shell->bar().enabled(kBtnKBase));
    for (std::size_t i = 0; i <= order.size(); ++i) {
        press(kBtnObj);
        EXPECT_TRUE(win.field_open);
        EXPECT_EQ(shell->current_result(), order[i % order.size()]) << i;
    }
    EXPECT_TRUE(libs.sessions.empty());
}

// Training, by command or by a click on a field in training mode, needs a base.
TEST_F(TutrixShellTest, TrainingWithoutABaseWarns) {
    shell->command(kTraining);
    choose({plate_scene()});
    seg_result* r = libs.results();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(shell->mouse_move((r->left + r->right) / 2, (r->top + r->bottom) / 2), desk::CursorKind::Cross);
    shell->mouse_press((r->left + r->right) / 2, (r->top + r->bottom) / 2);
    EXPECT_EQ(shell->current_result(), r);
    run();
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const testsupport::ShownBox& box : boxes.shown)
        EXPECT_EQ(box.title + ": " + box.text, "Warning: A knowledge base must be selected prior to start learning.");
    EXPECT_TRUE(libs.sessions.empty());
}

// KBase names a base to create; a session learns into it; the quit asks and writes three keys.
TEST_F(TutrixShellTest, ASessionLearnsIntoTheChosenBaseAndTheQuitRemembersIt) {
    const std::string kb = dir.file("new.kbf");
    files.answers.push_back(scripted::chosen({kb}));
    shell->command(kKBase);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "Select knowledge file for learning");
    EXPECT_EQ(fakes::read_file(shell->kb_list_path()), "[0] " + kb + "\r\n");
    const int frames = win.frames_drawn;
    shell->command(kTraining);
    EXPECT_EQ(libs.sessions, std::vector<int>{1});
    EXPECT_EQ(win.frames_drawn, frames + 1);
    boxes.answers.push_back(OSYS_IDNO);
    EXPECT_FALSE(shell->close_request());
    EXPECT_EQ(boxes.shown.at(0).text, "You are about to quit ORVO TUTRIX now.\nAre you sure you want this?");
    EXPECT_TRUE(shell->close_request());
    EXPECT_EQ(win.quit_code, 0);
    EXPECT_FALSE(fakes::exists(shell->kb_list_path()));
    const std::string ini = fakes::read_file(shell->settings_path());
    for (const std::string& line : std::vector<std::string>{"analysis_depth=3", "kb_file=" + kb})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    for (const char* key : {"show_bitmap", "show_delay"}) EXPECT_EQ(ini.find(key), std::string::npos) << key;
}

}  // namespace
