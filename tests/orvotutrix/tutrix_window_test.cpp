// The training program's window on the offscreen platform with the real
// libraries, and the program end to end: a photograph is loaded, KBase
// names a new knowledge base, a click on the plate opens the real training
// dialog, which a timer-driven user walks through, naming every character
// from the photograph's label; the recognition program and platix then read
// the plate with the new base. Both programs' windows refuse a damaged base.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "class_dialogs.h"
#include "library_writers.h"
#include "main_window.h"
#include "message_presenter.h"
#include "plate_labels.h"
#include "qt_runner.h"
#include "real_libs.h"
#include "scripted.h"
#include "temp_dir.h"
#include "training_window.h"
#include "tutrix_window.h"

namespace {

QPushButton* button(QWidget& w, const char* label) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QString::fromLatin1(label)) return b;
    return nullptr;
}

// The real libraries; the training session is the library's own sequence
// and dialog, linked into the test so that it can reach their widgets.
class SessionLibs : public tutrixtest::ForwardingLibs {
public:
    int train(void* parent, ocr_io* io, seg_result** current, const char* list) override {
        learner::RealSessionLibs libs;
        learner::QtDialogRunner runner(static_cast<QWidget*>(parent));
        return learner::run_training_session(io, current, list, libs, runner);
    }
};

// Plays the user of the training dialog, one step per timer tick.
// Character k of the field is named after character k of the label (the
// analysis may miss a character; the base then learns what it was told).
struct DialogUser {
    std::string label;
    std::string expected;  // the names of the field's characters, in order
    char name(std::size_t k) const { return k < label.size() ? label[k] : '?'; }
    int steps = 0;
    int named = 0;
    int tags = 0;
    bool done = false;
    void step() {
        ++steps;
        learner::TrainingWindow* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* tw = qobject_cast<learner::TrainingWindow*>(t); tw && tw->isVisible()) w = tw;
        if (!w || done) return;
        learner::TrainingDialog& d = w->dialog();
        if (steps > 2000) {  // give up rather than hang
            done = true;
            d.cancel();
            return;
        }
        if (d.state() == learner::kViewOnly) {
            w->findChild<QCheckBox*>()->click();
            return;
        }
        for (auto* sel : w->findChildren<learner::SelCharsDialog*>()) {
            if (!sel->isVisible()) continue;
            std::size_t k = 0;
            while (k < d.chars().size() && !(d.chars()[k].box == d.prior_frame())) ++k;
            const char c = name(k);
            sel->findChild<QLineEdit*>()->setText(QString(QChar::fromLatin1(c)));
            button(*sel, "&Ok")->click();
            ++named;
            return;
        }
        if (QPushButton* confirm = button(*w, "C&onfirm instance"); confirm && confirm->isEnabled()) {
            confirm->click();
            return;
        }
        // Characters still read wrong are tagged and corrected.
        std::size_t wrong = 0;
        while (wrong < d.chars().size() && d.chars()[wrong].cls == std::string(1, name(wrong))) ++wrong;
        const bool all_right = wrong == d.chars().size();
        if (d.state() == learner::kObserving && !all_right && tags < 30) {
            d.toggle_tagging();
            return;
        }
        if (d.state() == learner::kTagging && !all_right && tags < 30) {
            ++tags;
            const learner::Box& b = d.chars()[wrong].box;
            d.mouse_press(b.left + 1, (b.top + b.bottom) / 2);
            return;
        }
        if (d.state() == learner::kObserving || d.state() == learner::kTagging) {
            for (std::size_t k = 0; k < d.chars().size(); ++k) expected += name(k);
            done = true;
            d.done();
        }
    }
};

// One application for every test of this program, on the offscreen platform.
void ensure_application() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvotutrix_window_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

class TutrixWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensure_application();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        old_dir = cwd;
        window = std::make_unique<tutrix::TutrixWindow>(dir.path(), libs, &files);
        window->show();
    }
    void TearDown() override {
        // Not the quit sequence: it ends the application's event loop,
        // which the next test still needs.
        window.reset();
        libs.release();
        // Choosing files makes their folder current; go back before it goes.
        if (chdir(old_dir.c_str()) != 0) ADD_FAILURE() << "could not go back to " << old_dir;
    }
    // A three-page TIFF chosen alone: every page control but Go enabled.
    void load_three_pages() {
        testsupport::GrayImage g;
        g.width = 320;
        g.height = 240;
        g.pixels.assign(static_cast<std::size_t>(g.width * g.height), 180);
        const std::string path = dir.file("pages.tif");
        ASSERT_TRUE(testsupport::write_tiff(path, {testsupport::tiff_gray_page(g), testsupport::tiff_gray_page(g),
                                                    testsupport::tiff_gray_page(g)}));
        files.answers.push_back(scripted::chosen({path}));
        window->shell().bar().press(tutrix::kBtnFiles);
        // A single file is analysed at once; wait for the analysis to end.
        const auto analysed = [this] {
            return window->shell().bar().text(tutrix::kTxtStatus).rfind("Analysis duration: ", 0) == 0;
        };
        for (int i = 0; i < 500 && !analysed(); ++i) QApplication::processEvents();
        ASSERT_TRUE(analysed());
    }
    void key(QWidget* target, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods);
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
    }
    std::string old_dir;
    testsupport::TempDir dir;
    scripted::Presenter shown;
    scripted::FileDialog files;
    SessionLibs libs;
    std::unique_ptr<tutrix::TutrixWindow> window;
};

TEST_F(TutrixWindowTest, ArrowKeysInThePageNumberMoveItsCaret) {
    load_three_pages();
    ASSERT_TRUE(window->shell().image_loaded());
    auto* number = qobject_cast<QLineEdit*>(window->control_bar().control(tutrix::kEdtNumber));
    ASSERT_NE(number, nullptr);
    QWidget* next = window->control_bar().control(tutrix::kBtnNext);
    QWidget* seg = window->control_bar().control(tutrix::kBtnSeg);
    next->setFocus();
    QApplication::processEvents();
    key(next, Qt::Key_Right);  // over the disabled Go into the page number
    ASSERT_EQ(QApplication::focusWidget(), number);
    number->setText(QStringLiteral("12"));
    number->setCursorPosition(2);
    key(number, Qt::Key_Left);
    EXPECT_EQ(number->cursorPosition(), 1);
    EXPECT_EQ(QApplication::focusWidget(), number);
    key(number, Qt::Key_Right);
    EXPECT_EQ(number->cursorPosition(), 2);
    key(number, Qt::Key_Up);
    key(number, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), number);
    key(number, Qt::Key_Tab);  // Tab leaves it, over the page count
    EXPECT_EQ(QApplication::focusWidget(), seg);
    key(seg, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), number);
}

TEST_F(TutrixWindowTest, TheWindowHasTheProgramsOwnIcon) {
    const QIcon icon = window->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48)}));
    const QImage img = icon.pixmap(QSize(32, 32)).toImage();
    ASSERT_EQ(img.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);  // transparent around the plate
    const QColor plate = img.pixelColor(26, 11);
    EXPECT_GT(plate.red(), 200);  // yellow
    EXPECT_GT(plate.green(), 160);
    EXPECT_LT(plate.blue(), 100);
    const QColor tick = img.pixelColor(23, 27);
    EXPECT_GT(tick.green(), tick.red() + 50);  // green
    EXPECT_LT(qGray(img.pixel(6, 16)), 80);  // the stem of the first character
}

// A text without its dots and spaces: the recognition program's display
// text separates fields and the groups of a field by dots.
std::string letters_only(std::string s) {
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '.' || c == ' '; }), s.end());
    return s;
}

// What a user does with the two programs: loads a photograph into the
// training program, clicks its plate in training mode, names every
// character in the session (into a base that did not exist), and then reads
// the photograph with the recognition program's window and with platix.
void train_then_read(const photos::LabelledImage& photo, bool skip_when_not_found) {
    ensure_application();
    scripted::Presenter shown;  // answers the boxes instead of showing them
    testsupport::TempDir dir;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string expected;
    const std::string kb = dir.file("fresh.kbf");
    {
        scripted::FileDialog files;
        SessionLibs libs;
        tutrix::TutrixWindow w(dir.path(), libs, &files);
        w.show();
        tutrix::TutrixShell& shell = w.shell();
        files.answers.push_back(scripted::chosen({photo.image}));
        shell.bar().press(tutrix::kBtnFiles);
        const auto analysed = [&] { return shell.bar().text(tutrix::kTxtStatus).rfind("Analysis duration: ", 0) == 0; };
        for (int i = 0; i < 20000 && !analysed(); ++i) QApplication::processEvents();
        ASSERT_TRUE(analysed()) << photo.image;
        const platix::PageInfo page = libs.page();
        seg_result* plate = nullptr;
        for (seg_result* r = libs.results(); r && !plate; r = r->next)
            if (photos::on_plate(*r, page.xscale, page.yscale, photo)) plate = r;
        if (plate == nullptr) {
            libs.release();
            ASSERT_EQ(chdir(cwd), 0);
            if (skip_when_not_found) GTEST_SKIP() << "the analysis finds no field on the plate of " << photo.image;
            FAIL() << "no field on the plate of " << photo.image;
        }
        files.answers.push_back(scripted::chosen({kb}));
        shell.bar().press(tutrix::kBtnKBase);
        QApplication::processEvents();
        ASSERT_EQ(shell.kb_path(), kb);
        DialogUser user{photo.plate, {}};
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { user.step(); });
        timer.start(1);
        // A click on the plate in training mode starts a session on its
        // field; the session's modal loop runs inside the event processing.
        shell.mouse_press((plate->left + plate->right) / 2, (plate->top + plate->bottom) / 2);
        for (int i = 0; i < 2000 && shell.sessions() == 0; ++i) QApplication::processEvents();
        timer.stop();
        ASSERT_EQ(shell.sessions(), 1);
        EXPECT_TRUE(user.done);
        EXPECT_GT(user.named, 0);
        ASSERT_TRUE(std::ifstream(kb).good());
        EXPECT_GE(user.expected.size(), 3u);
        expected = user.expected;
        // Not the quit sequence: it would end the event loop of the
        // application, which the next test still needs.
        ASSERT_EQ(chdir(cwd), 0);
        libs.release();
    }
    // The recognition program, started in a folder of its own with the new
    // base as its last used one, reads the plate among the fields.
    const std::string reader_dir = dir.file("reader");
    ASSERT_EQ(::mkdir(reader_dir.c_str(), 0700), 0);
    {
        std::ofstream ini(reader_dir + "/orvoplatix.ini", std::ios::binary);
        ini << "[last_used]\r\nkb_file=" << kb << "\r\n";
    }
    {
        scripted::FileDialog files;
        platix::MainWindow reader(reader_dir, platix::real_libraries(), &files);
        scripted::Presenter answers;  // after the window's own
        reader.show();
        QApplication::processEvents();
        ASSERT_EQ(reader.shell().kb_path(), kb);
        files.answers.push_back(scripted::chosen({photo.image}));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier);
        QApplication::sendEvent(&reader, &press);
        for (int i = 0; i < 200; ++i) QApplication::processEvents();
        EXPECT_NE(letters_only(reader.shell().display().text).find(expected), std::string::npos)
            << "orvoplatix read \"" << reader.shell().display().text << "\", taught " << expected;
    }
    ASSERT_EQ(chdir(cwd), 0);
    // platix reads the photograph with the same base, in its default
    // analysis as a user would run it.
    const std::string cmd = std::string(PLATIX_BINARY) + " read -q --kb '" + kb + "' '" + photo.image + "'";
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ASSERT_EQ(::pclose(p), 0) << out;
    bool read = false;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.rfind('\t');
        read = read || letters_only(line.substr(tab + 1)) == expected;
    }
    EXPECT_TRUE(read) << "platix read:\n" << out << "taught " << expected;
}

// The label of a bundled sample scene (NAME.txt beside NAME.jpg).
photos::LabelledImage bundled_scene(int n) {
    char name[64];
    std::snprintf(name, sizeof name, "/scene%05d.jpg", n);
    photos::LabelledImage scene;
    scene.image = std::string(ORVO_SAMPLES) + name;
    std::ifstream in(scene.image.substr(0, scene.image.size() - 4) + ".txt");
    std::string file;
    in >> file >> scene.x >> scene.y >> scene.w >> scene.h >> scene.plate;
    return scene;
}

TEST(TutrixEndToEnd, TrainsANewBaseOnASampleSceneThatBothReadersThenRead) {
    const photos::LabelledImage scene = bundled_scene(5);
    ASSERT_FALSE(scene.plate.empty());
    train_then_read(scene, false);
}

// The same on the first labelled European photograph, when the folder of
// labelled plates is at hand.
TEST(TutrixEndToEnd, TrainsANewBaseOnACarPhotographThatBothReadersThenRead) {
    const std::string folder = photos::plates_dir();
    if (folder.empty()) GTEST_SKIP() << "no labelled plate photographs here";
    const std::vector<photos::LabelledImage> photos = photos::labelled_images(folder + "/eu");
    if (photos.empty()) GTEST_SKIP() << "no labelled European photographs in " << folder;
    train_then_read(photos.front(), true);
}

// Records the programs' own message boxes and closes each as it is shown.
struct BoxAnswerer {
    std::vector<std::string> texts;
    QTimer timer;
    BoxAnswerer() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    texts.push_back(box->text().toStdString());
                    box->done(QMessageBox::Ok);
                }
        });
        timer.start(5);
    }
};

// What a program shows of its base after start-up or KBase: the line on
// standard error (among the toolkit's notes) and the box for a refused
// base, or the base taken.
template <typename Window>
void expect_base(Window& w, const std::string& kb, const std::string& problem, const std::string& err,
                 const BoxAnswerer& boxes, const char* program) {
    std::string said;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(std::string(program) + ": ", 0) == 0) said += line + "\n";
    if (problem.empty()) {
        EXPECT_EQ(said, "");
        EXPECT_TRUE(boxes.texts.empty());
        EXPECT_EQ(w.shell().kb_path(), kb);
        return;
    }
    EXPECT_EQ(said, std::string(program) + ": " + problem + "\n");
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"The knowledge base cannot be used:\n" + problem +
                                                    "\nNo knowledge base is loaded."});
    EXPECT_EQ(w.shell().kb_path(), "");
    EXPECT_FALSE(std::filesystem::exists(w.shell().kb_list_path()));
    EXPECT_EQ(w.control_bar().note()->text().toStdString(), "KB: none");
}

// Both programs refuse a knowledge base that the engine does not load
// whole, named in the settings or chosen with KBase, and go on without a
// base; the recognition program then reads no text rather than garbage.
// Training also refuses a base without its patterns file, which reading
// does without.
TEST(DesktopProgramsRefuse, AKnowledgeBaseThatDoesNotLoadWhole) {
    ensure_application();
    const auto whole = testsupport::read_bytes(ORVO_SOURCE_DIR "/data/kb/plates.kbf");
    std::vector<std::uint8_t> noise(4096);
    std::uint32_t seed = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::string damaged = "damaged knowledge base (not a whole .kbf file)";
    const std::string empty = "the knowledge base is empty or unreadable (no character loaded)";
    const struct Damage {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool patterns;                  // the base's .dat beside it
        std::string reading, training;  // the causes ("": the base is taken)
    } damages[] = {
        {"zero bytes", {}, true, empty, empty},
        {"random bytes", noise, true, damaged, damaged},
        {"truncated", {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)}, true, damaged,
         damaged},
        {"a JPEG renamed", testsupport::read_bytes(ORVO_SAMPLES "/scene00005.jpg"), true, damaged, damaged},
        {"no patterns file", whole, false, "", "PATTERNS"},
    };
    const std::filesystem::path cwd = std::filesystem::current_path();
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        testsupport::TempDir dir;
        const std::string kb = dir.file("base.kbf");
        testsupport::write_bytes(kb, d.bytes);
        if (d.patterns) std::filesystem::copy_file(ORVO_SOURCE_DIR "/data/kb/plates.dat", dir.file("base.dat"));
        for (const char* ini : {"orvoplatix.ini", "orvotutrix.ini"})
            std::ofstream(dir.file(ini)) << "[last_used]\r\nkb_file=" << kb << "\r\n";
        const auto problem = [&](const std::string& cause) {
            if (cause == "PATTERNS")
                return kb + ": its patterns file " + dir.file("base.dat") +
                       " is missing or unreadable; training would drop every sample it held";
            return cause.empty() ? cause : kb + ": " + cause;
        };
        {
            desk::QtMessagePresenter shown;  // as the program has it
            BoxAnswerer boxes;
            testing::internal::CaptureStderr();
            SessionLibs libs;
            tutrix::TutrixWindow trainer(dir.path(), libs);
            expect_base(trainer, kb, problem(d.training), testing::internal::GetCapturedStderr(), boxes, "orvotutrix");
        }
        scripted::FileDialog files;
        BoxAnswerer boxes;
        testing::internal::CaptureStderr();
        platix::MainWindow reader(dir.path(), platix::real_libraries(), &files);
        reader.show();
        expect_base(reader, kb, problem(d.reading), testing::internal::GetCapturedStderr(), boxes, "orvoplatix");
        if (d.reading.empty()) continue;
        // Chosen again with KBase: refused again. The scene then reads no text.
        boxes.texts.clear();
        files.answers.push_back(scripted::chosen({kb}));
        files.answers.push_back(scripted::chosen({ORVO_SAMPLES "/scene00005.jpg"}));
        testing::internal::CaptureStderr();
        for (const int k : {Qt::Key_K, Qt::Key_F}) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(&reader, &press);
            for (int i = 0; i < 200; ++i) QApplication::processEvents();
        }
        expect_base(reader, kb, problem(d.reading), testing::internal::GetCapturedStderr(), boxes, "orvoplatix");
        EXPECT_EQ(reader.output_bar().text(1).toStdString(), " None (no knowledge base loaded!)...");
        EXPECT_STREQ(reader.shell().display().text, "");
        platix::real_libraries().clear_results();
        platix::real_libraries().close_image();
        platix::real_libraries().reset_pages();
        std::filesystem::current_path(cwd);
    }
}

}  // namespace
