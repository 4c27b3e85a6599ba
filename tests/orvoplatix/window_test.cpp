// The recognition program's real main window on the offscreen platform,
// with the real image library and engine: a drawn plate scene, the bundled
// knowledge base, keys, clicks and scripted dialogs, and the frames as
// they appear in a grab of the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImageReader>
#include <QKeyEvent>
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
    return std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8 &&
           std::abs(got.blue() - want.blue()) <= 8;
}

std::string without_dots(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
    return s;
}

const QColor kGreen(0, 224, 0), kRed(224, 0, 0), kPink(240, 120, 224);

class ProgramWindow : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::filesystem::path old_cwd = std::filesystem::current_path();
    scripted::FileDialog files;
    std::unique_ptr<platix::MainWindow> window;
    std::unique_ptr<scripted::Presenter> presenter;
    int plate_left = 0, plate_top = 0, plate_width = 0, plate_height = 0;
    std::string plate_text;

    void SetUp() override {
        std::filesystem::current_path(dir.path());
        std::filesystem::copy_file(ORVO_SAMPLE_SCENE ".jpg", dir.file("scene.jpg"));
        // The scene's label: name, plate left, top, width, height and text.
        std::ifstream label(ORVO_SAMPLE_SCENE ".txt");
        std::string name;
        label >> name >> plate_left >> plate_top >> plate_width >> plate_height >> plate_text;
        std::filesystem::copy_file(ORVO_BUNDLED_KB, dir.file("plates.kbf"));
        testsupport::write_bytes(dir.file("orvoplatix.ini"), bytes("[last_used]\r\nkb_file=" + dir.file("plates.kbf") + "\r\n"));
        window = std::make_unique<platix::MainWindow>(dir.path(), platix::real_libraries(), &files);
        presenter = std::make_unique<scripted::Presenter>();  // after the window's own
        window->show();
        settle();
    }
    void TearDown() override {
        if (!window->quit_requested()) {
            presenter->answers.push_back(OSYS_IDYES);
            key(Qt::Key_Escape);
        }
        presenter.reset();
        window.reset();
        settle();
        std::filesystem::current_path(old_cwd);
    }
    static std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

    // A key press (and release) where the focus is, as the event loop would deliver it.
    void key(int k) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
        settle();
    }
    void click_page(int page_x, int page_y) {
        platix::ImageView& v = window->view();
        const QPoint at = v.to_view(page_x, page_y, page_x, page_y).topLeft();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), v.mapToGlobal(QPointF(at)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&v, &press);
        settle();
    }
    std::vector<int> enabled() const {
        std::vector<int> on;
        for (int i = 0; i < window->control_bar().control_count(); ++i)
            if (window->control_bar().control(i)->isEnabled()) on.push_back(i);
        return on;
    }
    std::string status() const { return window->control_bar().text(platix::kTxtStatus).toStdString(); }
    std::string output() const { return window->output_bar().text(1).toStdString(); }
    // The field rectangle of a result in main-window pixels.
    QRect frame_of(const seg_result& r) const {
        return window->view().to_view(r.left, r.top, r.right, r.bottom).translated(window->view().pos());
    }
    QImage grab(const char* name) const {
        const QImage img = window->grab().toImage();
        img.save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/" + name));
        return img;
    }
    void load_scene() {
        files.answers.push_back(scripted::chosen({dir.file("scene.jpg")}));
        key(Qt::Key_F);
    }
};

TEST_F(ProgramWindow, StartsSizedWithOnlyTheIdleControls) {
    EXPECT_EQ(window->windowTitle().toStdString(), "ORVO PLATIX 2.1");
    const desk::Rect client = desk::main_client_size(window->metrics(), window->control_bar().height(),
                                                     window->output_bar().height());
    // As wide as the classic size, or as the bar when its texts need more.
    const int width =
        std::max({client.w, window->control_bar().minimumWidth(), window->output_bar().minimumWidth()});
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(window->height(), client.h);
    EXPECT_EQ(window->view().geometry(), QRect(2, window->control_bar().height() + 2, width - 4,
                                               client.h - window->control_bar().height() -
                                                   window->output_bar().height() - 4));
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 10}));
    EXPECT_EQ(window->light(), desk::Light::Gray);
    EXPECT_EQ(window->control_bar().text(platix::kBtnStart).toStdString(), "&Start >>");
    EXPECT_EQ(window->control_bar().text(platix::kTxtDelay).toStdString(), "3s.");
    EXPECT_TRUE(std::filesystem::exists(dir.file("$kbflst$.$$$")));
    // The disabled status text is drawn dark enough to be read on the bar.
    QWidget* text = window->control_bar().control(platix::kTxtStatus);
    EXPECT_FALSE(text->isEnabled());
    EXPECT_LE(text->palette().color(QPalette::Disabled, QPalette::WindowText).value(), 144);
}

TEST_F(ProgramWindow, ReadsThePlateAndFramesItsField) {
    load_scene();
    EXPECT_EQ(files.requests.size(), 1u);
    const QSize size = QImageReader(QString::fromStdString(dir.file("scene.jpg"))).size();
    EXPECT_EQ(window->windowTitle().toStdString(),
              "ORVO PLATIX 2.1 - scene.jpg [" + std::to_string(size.width()) + "x" + std::to_string(size.height()) + "]");
    EXPECT_TRUE(std::regex_match(status(), std::regex(R"(Analysis duration: \d+ ms)"))) << status();
    const std::string shown = window->shell().display().text;
    EXPECT_EQ(without_dots(shown), plate_text);
    EXPECT_TRUE(std::regex_match(output(), std::regex(" " + std::regex_replace(shown, std::regex(R"(\.)"), R"(\.)") +
                                                          R"(   -   at  \d\d:\d\d:\d\d,  on  \d\d/\d\d/\d\d)")))
        << output();
    EXPECT_EQ(window->light(), desk::Light::Green);
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
    ASSERT_GE(window->shell().result_count(), 1);
    ASSERT_NE(window->field_window(), nullptr);  // show_bitmap: the last field's window
    seg_result* last = window->shell().current_result();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->next, nullptr);
    bool on_plate = false;  // a field lies on the labelled plate
    for (seg_result* r = window->shell().libs().results(); r; r = r->next)
        on_plate = on_plate || QRect(plate_left, plate_top, plate_width, plate_height)
                                   .contains(QPoint((r->left + r->right) / 2, (r->top + r->bottom) / 2));
    EXPECT_TRUE(on_plate);

    const QImage shot = grab("orvoplatix_analysed.png");
    for (seg_result* r = window->shell().libs().results(); r; r = r->next) {
        const QRect f = frame_of(*r);
        const QColor want = r == last ? kGreen : kRed;
        EXPECT_TRUE(near(shot.pixelColor(f.left(), f.center().y()), want))
            << "field at " << r->left << "," << r->top << ": " << shot.pixelColor(f.left(), f.center().y()).name().toStdString();
        EXPECT_TRUE(near(shot.pixelColor(f.center().x(), f.bottom()), want));
    }
    // The field window stands clear of the field it shows.
    EXPECT_FALSE(window->field_window()->geometry().intersects(frame_of(*last)));
}

TEST_F(ProgramWindow, DrawsCharacterFramesWithoutTheBitmapWindowAndAClickOpensIt) {
    key(Qt::Key_B);  // show_bitmap off
    load_scene();
    ASSERT_EQ(without_dots(window->shell().display().text), plate_text);
    EXPECT_EQ(window->field_window(), nullptr);
    const QImage shot = grab("orvoplatix_characters.png");
    const platix::DisplayText& d = window->shell().display();
    for (int i = 0; d.text[i]; ++i) {
        if (d.text[i] == '.') continue;
        const QRect c = window->view().to_view(d.rects[i][0], d.rects[i][1], d.rects[i][2], d.rects[i][3])
                            .translated(window->view().pos());
        EXPECT_TRUE(near(shot.pixelColor(c.left(), c.center().y()), kPink))
            << "character " << i << ": " << shot.pixelColor(c.left(), c.center().y()).name().toStdString();
    }
    // A click on a field opens its bitmap; the quit writes the settings.
    ASSERT_GE(window->shell().result_count(), 1);
    seg_result* first = window->shell().libs().results();
    click_page((first->left + first->right) / 2, (first->top + first->bottom) / 2);
    EXPECT_EQ(window->shell().current_result(), first);
    ASSERT_NE(window->field_window(), nullptr);
    const QImage clicked = window->grab().toImage();
    EXPECT_TRUE(near(clicked.pixelColor(frame_of(*first).left(), frame_of(*first).center().y()), kGreen));

    presenter->answers.push_back(OSYS_IDNO);
    key(Qt::Key_Escape);
    EXPECT_FALSE(window->quit_requested());
    presenter->answers.push_back(OSYS_IDYES);
    key(Qt::Key_Escape);
    ASSERT_TRUE(window->quit_requested());
    EXPECT_EQ(window->quit_code(), 0);
    ASSERT_EQ(presenter->boxes.size(), 2u);
    EXPECT_EQ(presenter->boxes[1].title, "Warning");
    const platix::Settings back = platix::read_settings(dir.file("orvoplatix.ini"));
    EXPECT_EQ(back.image_file, dir.file("scene.jpg"));
    EXPECT_EQ(back.kb_file, dir.file("plates.kbf"));
    EXPECT_EQ(back.show_bitmap, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("$kbflst$.$$$")));
}

TEST_F(ProgramWindow, TheSlideShowSkipsAFileThatDoesNotLoad) {
    std::filesystem::copy_file(dir.file("scene.jpg"), dir.file("a.jpg"));
    testsupport::write_bytes(dir.file("b.jpg"), bytes("not an image at all"));
    std::filesystem::copy_file(dir.file("scene.jpg"), dir.file("c.jpg"));
    files.answers.push_back(scripted::chosen({dir.file("c.jpg"), dir.file("b.jpg"), dir.file("a.jpg")}));
    key(Qt::Key_F);
    EXPECT_EQ(window->windowTitle().toStdString().substr(0, 25), "ORVO PLATIX 2.1 - a.jpg [");
    EXPECT_EQ(window->control_bar().text(platix::kTxtPosition).toStdString(), "#1/3");
    key(Qt::Key_S);
    EXPECT_EQ(window->control_bar().text(platix::kBtnStart).toStdString(), "&Stop ||");
    EXPECT_EQ(without_dots(window->shell().display().text), plate_text);
    EXPECT_EQ(enabled(), (std::vector<int>{2, 3, 6, 10}));
    // The timer's ticks, one second each.
    window->shell().timer_tick();
    settle();
    EXPECT_EQ(window->windowTitle().toStdString(), "ORVO PLATIX 2.1 - b.jpg (Error!)");
    EXPECT_EQ(status(), "Error: Couldn't load image.");
    window->shell().timer_tick();
    settle();
    EXPECT_EQ(window->control_bar().text(platix::kTxtPosition).toStdString(), "#3/3");
    EXPECT_EQ(window->windowTitle().toStdString().substr(0, 24), "ORVO PLATIX 2.1 - c.jpg ");
    EXPECT_NE(output().find("    [show 3s.]"), std::string::npos) << output();
    key(Qt::Key_S);
    EXPECT_EQ(window->control_bar().text(platix::kBtnStart).toStdString(), "&Start >>");
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 10}));
}

}  // namespace
