// The training program's shell with the real image library on files the
// tests write: page navigation in a three-page TIFF, the Go enabling, the
// rotation titles, the enabling rules, training sessions and the quit.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <unistd.h>

#include "library_writers.h"
#include "plate_scene.h"
#include "real_libs.h"
#include "scripted.h"
#include "shell_fakes.h"
#include "temp_dir.h"
#include "tutrix_shell.h"
#include "tutrix_texts.h"

namespace {

using fakes::exists;
using testsupport::TempDir;
using namespace tutrix;

// The real libraries, except that a training session is only recorded.
class Libs : public tutrixtest::ForwardingLibs {
public:
    std::vector<int> sessions;    // kb_index of each session
    bool rotation_fails = false;  // stands for a rotation that runs out of memory
    int rotate(int a) override { return rotation_fails ? 0 : real.rotate(a); }
    int train(void*, ocr_io* io, seg_result**, const char*) override {
        sessions.push_back(io->kb_index);
        return 0;
    }
};

class Poster : public desk::CommandPoster {
public:
    std::deque<std::pair<unsigned, std::intptr_t>> queue;
    void post(unsigned c, std::intptr_t p) override { queue.emplace_back(c, p); }
};

class Cursor : public desk::CursorPort {
public:
    void set_cursor(desk::CursorKind) override {}
};

testsupport::GrayImage page(int w, int h, std::uint8_t level) {
    testsupport::GrayImage g;
    g.width = w;
    g.height = h;
    g.pixels.assign(static_cast<std::size_t>(w * h), level);
    return g;
}

class TutrixShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        old_dir = cwd;
        shell = std::make_unique<TutrixShell>(dir.path(), controls_template(), libs, win, poster, cursor, files);
        shell->start();
    }
    void TearDown() override {
        libs.release();
        if (chdir(old_dir.c_str()) != 0) ADD_FAILURE() << "could not go back to " << old_dir;
    }
    void run() {
        while (!poster.queue.empty()) {
            const auto c = poster.queue.front();
            poster.queue.pop_front();
            shell->command(c.first, c.second);
        }
    }
    void choose(const std::vector<std::string>& paths) {
        files.answers.push_back(scripted::chosen(paths));
        shell->bar().press(kBtnFiles);
        run();
    }
    // A drawn street scene with two plates side by side, written as a
    // gray PGM: the analysis finds two fields in it.
    std::string plate_scene() {
        samples::SceneOptions o;
        o.colour = false;
        o.text = "AB 123";
        o.seed = 3;
        const testsupport::GrayImage left = samples::to_gray(samples::draw_scene(o));
        o.text = "XK 470";
        o.seed = 13;
        const testsupport::GrayImage right = samples::to_gray(samples::draw_scene(o));
        testsupport::GrayImage g;
        g.width = left.width + right.width;
        g.height = left.height;
        for (int y = 0; y < g.height; ++y) {
            const auto row = [y](const testsupport::GrayImage& i) {
                return i.pixels.begin() + static_cast<std::ptrdiff_t>(y) * i.width;
            };
            g.pixels.insert(g.pixels.end(), row(left), row(left) + left.width);
            g.pixels.insert(g.pixels.end(), row(right), row(right) + right.width);
        }
        const std::string path = dir.file("scene.pgm");
        testsupport::write_bytes(path, testsupport::pgm_file(g));
        return path;
    }
    std::string three_pages() {
        const std::string path = dir.file("pages.tif");
        EXPECT_TRUE(testsupport::write_tiff(path, {testsupport::tiff_gray_page(page(640, 480, 200)),
                                                    testsupport::tiff_gray_page(page(640, 480, 150)),
                                                    testsupport::tiff_gray_page(page(640, 480, 100))}));
        return path;
    }
    TempDir dir;
    std::string old_dir;
    scripted::Presenter shown;
    scripted::FileDialog files;
    Libs libs;
    fakes::Windows win;
    Poster poster;
    Cursor cursor;
    std::unique_ptr<TutrixShell> shell;
};

TEST_F(TutrixShellTest, WithoutAFileOnlyFilesAndAboutAreEnabledAndTitlesAreInMixedCase) {
    const auto& t = shell->bar().table();
    for (int i = 0; i < kBarControls; ++i) EXPECT_EQ(t.at(i).enabled, i == kBtnFiles || i == kBtnAbout) << i;
    EXPECT_EQ(shell->bar().text(kChkTraining), "&Training ON");
    EXPECT_EQ(shell->bar().text(kEdtNumber) + "/" + shell->bar().text(kTxtCount), "0/0");
    EXPECT_EQ(shell->title(), "ORVO Tutrix 2.1");
    const std::string bad = dir.file("broken.pgm");
    testsupport::write_bytes(bad, {'P', '5', '\n', 'x'});
    choose({bad});
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - broken.pgm (Error!)");
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Error: Couldn't load page.");
    EXPECT_FALSE(shell->image_loaded());
}

// Next and Prev wrap; Go follows the typed page number (Enter in the
// field presses it) and is off for the page shown or one out of range.
TEST_F(TutrixShellTest, ThreePagesWrapAndGoFollowsTheTypedNumber) {
    choose({three_pages()});
    const auto page_title = [](int p) { return "ORVO Tutrix 2.1 - pages.tif [p.#" + std::to_string(p) + "/3 640x480]"; };
    EXPECT_EQ(win.title, page_title(1));
    EXPECT_EQ(shell->bar().text(kTxtStatus).rfind("Analysis duration: ", 0), 0u);  // analysed at once
    TutrixBar& b = shell->bar();
    for (const auto& [button, page] : std::vector<std::pair<int, int>>{{kBtnNext, 2}, {kBtnNext, 3}, {kBtnNext, 1},
                                                                       {kBtnPrev, 3}, {kBtnPrev, 2}}) {
        b.press(button);
        run();
        EXPECT_EQ(win.title, page_title(page));
    }
    EXPECT_EQ(b.text(kTxtStatus), "Page loaded and displayed.");
    EXPECT_EQ(b.text(kEdtNumber) + "/" + b.text(kTxtCount), "2/3");
    for (const auto& [typed, go] : std::vector<std::pair<const char*, bool>>{{"3", true}, {"4", false}, {"0", false},
                                                                             {"2", false}, {"1", true}}) {
        b.number_typed(typed);
        EXPECT_EQ(b.enabled(kBtnGo), go) << typed;
    }
    b.focus_control(kEdtNumber);
    b.key(desk::BarKey::Enter, true);
    run();
    EXPECT_EQ(win.title, page_title(1));
}

TEST_F(TutrixShellTest, ArrowsMoveBetweenControlsButStayInThePageNumber) {
    using desk::BarKey;
    choose({three_pages()});
    TutrixBar& b = shell->bar();
    ASSERT_FALSE(b.enabled(kBtnGo));
    b.focus_control(kBtnNext);
    EXPECT_TRUE(b.key(BarKey::Right, true));  // over the disabled Go
    EXPECT_EQ(b.table().focus(), kEdtNumber);
    // In the page number the arrows are the edit box's own.
    for (BarKey k : {BarKey::Right, BarKey::Up, BarKey::Left, BarKey::Down}) {
        EXPECT_FALSE(b.key(k, true));
        EXPECT_FALSE(b.key(k, false));
        EXPECT_EQ(b.table().focus(), kEdtNumber);
    }
    EXPECT_TRUE(b.key(BarKey::Tab, true));  // over the count text
    EXPECT_EQ(b.table().focus(), kBtnSeg);
    EXPECT_TRUE(b.key(BarKey::Down, true));
    EXPECT_EQ(b.table().focus(), kEdtNumber);
    EXPECT_TRUE(b.key(BarKey::Shift, true));
    EXPECT_TRUE(b.key(BarKey::Tab, true));  // Shift+Tab still leaves the field
    EXPECT_TRUE(b.key(BarKey::Shift, false));
    EXPECT_EQ(b.table().focus(), kBtnNext);
    EXPECT_TRUE(b.key(BarKey::Up, true));
    EXPECT_EQ(b.table().focus(), kEdtNumber);
    // Away from the field the arrows wrap over the bar.
    b.focus_control(kBtnAbout);
    EXPECT_TRUE(b.key(BarKey::Right, true));
    EXPECT_EQ(b.table().focus(), kBtnFiles);
    EXPECT_TRUE(b.key(BarKey::Left, true));
    EXPECT_EQ(b.table().focus(), kBtnAbout);
}

TEST_F(TutrixShellTest, TurnsAreTitledAndOneThatRunsOutOfMemoryKeepsThePage) {
    const std::string path = dir.file("one.pgm");
    testsupport::write_bytes(path, testsupport::pgm_file(page(640, 480, 128)));
    choose({path});
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - one.pgm [640x480]");
    shell->bar().press(kBtnRr);
    run();
    EXPECT_EQ(shell->total_rotation(), 270);
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - one.pgm [480x640 - rot. 270\xB0]");
    EXPECT_EQ(shell->state().result_count, 0);
    shell->bar().press(kBtnLr);
    run();
    EXPECT_EQ(shell->total_rotation(), 0);
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - one.pgm [640x480]");
    shell->bar().press(kBtnUd);
    run();
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - one.pgm [640x480 - rot. 180\xB0]");
    // A single page: the page buttons stay off, the turns and Seg. on.
    EXPECT_FALSE(shell->bar().enabled(kBtnNext));
    EXPECT_TRUE(shell->bar().enabled(kBtnRr));
    EXPECT_TRUE(shell->bar().enabled(kBtnSeg));
    // A turn that runs out of memory keeps the page and says so.
    shell->bar().press(kBtnUd);
    run();
    libs.rotation_fails = true;
    shell->bar().press(kBtnRr);
    run();
    EXPECT_EQ(shell->total_rotation(), 0);
    EXPECT_EQ(shell->pending_rotation(), 0);
    EXPECT_FALSE(shell->busy());
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - one.pgm [640x480]");
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Rotation interrupted (memory!)");
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].text, "Memory allocation error (rotated image).");
    EXPECT_EQ(shown.boxes[0].title, "Error");
    // The controls are back: the next turn works.
    EXPECT_TRUE(shell->bar().enabled(kBtnRr));
    libs.rotation_fails = false;
    shell->bar().press(kBtnRr);
    run();
    EXPECT_EQ(shell->total_rotation(), 270);
}

TEST_F(TutrixShellTest, SeveralFilesAreNotAnalysedAtOnceAndWrap) {
    const std::string a = dir.file("a.pgm"), b = dir.file("b.pgm");
    testsupport::write_bytes(a, testsupport::pgm_file(page(640, 480, 128)));
    testsupport::write_bytes(b, testsupport::pgm_file(page(640, 480, 64)));
    choose({a, b});
    EXPECT_EQ(shell->bar().text(kTxtStatus), "Image loaded and displayed.");
    EXPECT_EQ(shell->bar().text(kEdtNumber), "1");
    EXPECT_EQ(shell->bar().text(kTxtCount), "2");
    EXPECT_FALSE(shell->bar().enabled(kBtnObj));  // no results
    shell->bar().press(kBtnPrev);
    run();
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - b.pgm [640x480]");
    shell->bar().number_typed("1");
    EXPECT_TRUE(shell->bar().enabled(kBtnGo));
    shell->bar().press(kBtnGo);
    run();
    EXPECT_EQ(win.title, "ORVO Tutrix 2.1 - a.pgm [640x480]");
}

TEST_F(TutrixShellTest, ObjNumberCyclesTheFieldWindowWithTrainingOff) {
    choose({plate_scene()});
    const int n = shell->state().result_count;
    ASSERT_GE(n, 2) << "the two plates should give two fields";
    EXPECT_TRUE(shell->bar().enabled(kBtnObj));
    EXPECT_TRUE(shell->bar().enabled(kBtnKBase));
    shell->bar().press(kChkTraining);
    EXPECT_EQ(shell->bar().text(kChkTraining), "&Training OFF");
    EXPECT_FALSE(shell->bar().enabled(kBtnKBase));
    std::vector<seg_result*> seen;
    for (int i = 0; i < n + 1; ++i) {
        shell->bar().press(kBtnObj);
        run();
        EXPECT_TRUE(win.field_open);
        seen.push_back(shell->current_result());
    }
    // The fields in list order, the first again after the last.
    std::vector<seg_result*> order;
    for (seg_result* r = libs.results(); r; r = r->next) order.push_back(r);
    ASSERT_EQ(static_cast<int>(order.size()), n);
    for (int i = 0; i < n + 1; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(i % n)]) << i;
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
    ASSERT_EQ(shown.boxes.size(), 2u);
    for (const scripted::Box& box : shown.boxes)
        EXPECT_EQ(box.title + ": " + box.text, "Warning: A knowledge base must be selected prior to start learning.");
    EXPECT_TRUE(libs.sessions.empty());
}

// KBase names a base that training will create; a session learns into the
// first listed base; the quit asks and writes three keys.
TEST_F(TutrixShellTest, ASessionLearnsIntoTheChosenBaseAndTheQuitRemembersIt) {
    const std::string kb = dir.file("new.kbf");
    files.answers.push_back(scripted::chosen({kb}));
    shell->command(kKBase);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "Select knowledge file for learning");
    ASSERT_TRUE(exists(shell->kb_list_path()));
    std::vector<std::uint8_t> list = testsupport::read_bytes(shell->kb_list_path());
    EXPECT_EQ(std::string(list.begin(), list.end()), "[0] " + kb + "\r\n");
    const int frames = win.frames_drawn;
    shell->command(kTraining);
    EXPECT_EQ(libs.sessions, std::vector<int>{1});
    EXPECT_EQ(win.frames_drawn, frames + 1);
    shown.answers.push_back(OSYS_IDNO);
    EXPECT_FALSE(shell->close_request());
    EXPECT_EQ(shown.boxes.at(0).text, "You are about to quit ORVO TUTRIX now.\nAre you sure you want this?");
    EXPECT_EQ(win.quit_code, -1);
    EXPECT_TRUE(shell->close_request());
    EXPECT_EQ(win.quit_code, 0);
    EXPECT_FALSE(exists(shell->kb_list_path()));
    const auto bytes = testsupport::read_bytes(shell->settings_path());
    const std::string ini(bytes.begin(), bytes.end());
    EXPECT_NE(ini.find("kb_file=" + kb), std::string::npos);
    EXPECT_NE(ini.find("analysis_depth=3"), std::string::npos);
    EXPECT_EQ(ini.find("show_bitmap"), std::string::npos);
    EXPECT_EQ(ini.find("show_delay"), std::string::npos);
}

}  // namespace
