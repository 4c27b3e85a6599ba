// The recognition program's real window offscreen with the real libraries, a drawn scene and the bundled base.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMouseEvent>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "main_window.h"
#include "qt_test_app.h"
#include "scripted.h"
#include "settings.h"
#include "temp_dir.h"

namespace {

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("orvoplatix_window_tests"));
using qttest::settle;

bool near(QColor got, QColor want) {
    return std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()), std::abs(got.blue() - want.blue())}) <= 8;
}
std::string without_dots(std::string s) { return std::erase(s, '.'), s; }
const QColor kGreen(0, 224, 0), kRed(224, 0, 0), kPink(240, 120, 224);

class ProgramWindow : public ::testing::Test {
protected:
    testsupport::WorkDir dir;
    scripted::FileDialog files;
    std::unique_ptr<platix::MainWindow> window;
    std::unique_ptr<scripted::Presenter> presenter;
    std::string plate_text;

    void SetUp() override {
        std::filesystem::copy_file(ORVO_SAMPLE_SCENE ".jpg", dir.file("scene.jpg"));
        std::string name, x, y, w, h;  // the scene's label: name, plate box and text
        std::ifstream(ORVO_SAMPLE_SCENE ".txt") >> name >> x >> y >> w >> h >> plate_text;
        std::filesystem::copy_file(ORVO_BUNDLED_KB, dir.file("plates.kbf"));
        std::ofstream(dir.file("orvoplatix.ini")) << "[last_used]\r\nkb_file=" << dir.file("plates.kbf") << "\r\n";
        window = std::make_unique<platix::MainWindow>(dir.path(), platix::real_libraries(), &files);
        presenter = std::make_unique<scripted::Presenter>();  // after the window's own
        window->show();
        settle();
    }
    void TearDown() override {
        if (!window->quit_requested()) key(Qt::Key_Escape);  // answered Yes
        presenter.reset(), window.reset(), settle();
    }
    void key(int k) { qttest::key(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), k); }
    std::vector<int> enabled() const {
        std::vector<int> on;
        for (int i = 0; i < window->control_bar().control_count(); ++i)
            if (window->control_bar().control(i)->isEnabled()) on.push_back(i);
        return on;
    }
    std::string title() const { return window->windowTitle().toStdString(); }
    QRect frame_of(int l, int t, int r, int b) const {
        return window->view().to_view(l, t, r, b).translated(window->view().pos());
    }
    QRect frame_of(const seg_result& r) const { return frame_of(r.left, r.top, r.right, r.bottom); }
    QImage grab(const char* name) const {
        const QImage img = window->grab().toImage();
        return img.save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/" + name)), img;
    }
    void load_scene() {
        files.answers.push_back(scripted::chosen({dir.file("scene.jpg")}));
        key(Qt::Key_F);
    }
};

// Idle: as wide as the classic size or the bars' texts; read: the last field framed green, the others red.
TEST_F(ProgramWindow, StartsIdleThenReadsThePlateAndFramesItsField) {
    const int bar = window->control_bar().height(), out = window->output_bar().height();
    const desk::Rect client = desk::main_client_size(window->metrics(), bar, out);
    const int width = std::max({client.w, window->control_bar().minimumWidth(), window->output_bar().minimumWidth()});
    EXPECT_EQ(window->view().geometry(), QRect(2, bar + 2, width - 4, client.h - bar - out - 4));
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 10}));
    const QPalette& bar_palette = window->control_bar().control(platix::kTxtStatus)->palette();
    EXPECT_LE(bar_palette.color(QPalette::Disabled, QPalette::WindowText).value(), 144);  // a readable disabled status
    load_scene();
    EXPECT_TRUE(std::regex_match(title(), std::regex(R"(ORVO PLATIX 2\.1 - scene\.jpg \[\d+x\d+\])"))) << title();
    EXPECT_TRUE(std::regex_match(window->control_bar().text(platix::kTxtStatus).toStdString(), std::regex(R"(Analysis duration: \d+ ms)")));
    const std::string shown = window->shell().display().text;
    EXPECT_EQ(without_dots(shown), plate_text);
    EXPECT_EQ(window->output_bar().text(1).toStdString().substr(0, shown.size() + 10), " " + shown + "   -   at");
    EXPECT_EQ(window->light(), desk::Light::Green);
    ASSERT_NE(window->field_window(), nullptr);
    seg_result* last = window->shell().current_result();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->next, nullptr);
    const QImage shot = grab("orvoplatix_analysed.png");
    for (seg_result* r = window->shell().libs().results(); r; r = r->next)
        for (const QRect f = frame_of(*r); const QPoint p : {QPoint(f.left(), f.center().y()), QPoint(f.center().x(), f.bottom())})
            EXPECT_TRUE(near(shot.pixelColor(p), r == last ? kGreen : kRed)) << r->left;
    EXPECT_FALSE(window->field_window()->geometry().intersects(frame_of(*last)));
}

// No bitmap: pink character frames; a click opens one; No keeps running, Yes quits and saves.
TEST_F(ProgramWindow, DrawsCharacterFramesWithoutTheBitmapWindowAndAClickOpensIt) {
    key(Qt::Key_B);
    load_scene();
    const platix::DisplayText& d = window->shell().display();
    ASSERT_EQ(without_dots(d.text), plate_text);
    EXPECT_EQ(window->field_window(), nullptr);
    const QImage shot = grab("orvoplatix_characters.png");
    for (int i = 0; d.text[i]; ++i) {
        const QRect c = frame_of(d.rects[i][0], d.rects[i][1], d.rects[i][2], d.rects[i][3]);
        EXPECT_TRUE(d.text[i] == '.' || near(shot.pixelColor(c.left(), c.center().y()), kPink)) << i;
    }
    seg_result* first = window->shell().libs().results();
    ASSERT_NE(first, nullptr);
    const QPoint at = window->view().to_view((first->left + first->right) / 2, (first->top + first->bottom) / 2, 0, 0).topLeft();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), window->view().mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window->view(), &press);
    settle();
    EXPECT_EQ(window->shell().current_result(), first);
    ASSERT_NE(window->field_window(), nullptr);
    EXPECT_TRUE(near(window->grab().toImage().pixelColor(frame_of(*first).left(), frame_of(*first).center().y()), kGreen));
    presenter->answers = {OSYS_IDNO, OSYS_IDYES};
    key(Qt::Key_Escape);
    EXPECT_FALSE(window->quit_requested());
    key(Qt::Key_Escape);
    ASSERT_TRUE(window->quit_requested());
    EXPECT_EQ(window->quit_code(), 0);
    const platix::Settings back = platix::read_settings(dir.file("orvoplatix.ini"));
    EXPECT_EQ(back.image_file + " " + back.kb_file, dir.file("scene.jpg") + " " + dir.file("plates.kbf"));
    EXPECT_EQ(back.show_bitmap, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("$kbflst$.$$$")));
}

// The show runs on the window's timer and skips a file that does not load.
TEST_F(ProgramWindow, TheSlideShowSkipsAFileThatDoesNotLoad) {
    std::ofstream(dir.file("x.jpg")) << "not an image at all";
    files.answers.push_back(scripted::chosen({dir.file("x.jpg"), dir.file("scene.jpg")}));
    key(Qt::Key_F);
    key(Qt::Key_S);
    EXPECT_EQ(window->control_bar().text(platix::kBtnStart).toStdString(), "&Stop ||");
    EXPECT_EQ(without_dots(window->shell().display().text), plate_text);
    QElapsedTimer waited;  // the first tick comes after a second
    waited.start();
    while (title() != "ORVO PLATIX 2.1 - x.jpg (Error!)" && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(title(), "ORVO PLATIX 2.1 - x.jpg (Error!)");
    key(Qt::Key_S);
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 10}));
}

}  // namespace
