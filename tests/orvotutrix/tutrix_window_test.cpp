// The training window, and both programs end to end: a taught plate read back; a damaged base refused.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "class_dialogs.h"
#include "library_writers.h"
#include "main_window.h"
#include "message_presenter.h"
#include "plate_labels.h"
#include "qt_runner.h"
#include "qt_test_app.h"
#include "real_libs.h"
#include "scripted.h"
#include "temp_dir.h"
#include "training_window.h"
#include "tutrix_window.h"

namespace {

using qttest::key;
[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("orvotutrix_window_tests"));

QPushButton* button(QWidget& w, const char* label) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QString::fromLatin1(label)) return b;
    return nullptr;
}

// Runs the event loop until the window's status says the analysis ended.
bool analysed(tutrix::TutrixShell& shell, int rounds) {
    for (int i = 0; i < rounds; ++i, QApplication::processEvents())
        if (shell.bar().text(tutrix::kTxtStatus).rfind("Analysis duration: ", 0) == 0) return true;
    return false;
}

// The real libraries with the library's own training session and dialog, whose widgets the test reaches.
struct SessionLibs : tutrixtest::ForwardingLibs {
    int train(void* parent, ocr_io* io, seg_result** current, const char* list) override {
        learner::RealSessionLibs libs;
        learner::QtDialogRunner runner(static_cast<QWidget*>(parent));
        return learner::run_training_session(io, current, list, libs, runner);
    }
};

// Plays the training dialog's user, a step per tick, naming character k after the label's k-th.
struct DialogUser {
    std::string label, expected;  // expected: the names given to the field's characters
    int steps = 0, named = 0, tags = 0;
    bool done = false;
    char name(std::size_t k) const { return k < label.size() ? label[k] : '?'; }
    void step() {
        learner::TrainingWindow* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* tw = qobject_cast<learner::TrainingWindow*>(t); tw && tw->isVisible()) w = tw;
        if (!w || done) return;
        learner::TrainingDialog& d = w->dialog();
        if (++steps > 2000) return done = true, d.cancel();  // give up rather than hang
        if (d.state() == learner::kViewOnly) return w->findChild<QCheckBox*>()->click();
        for (auto* sel : w->findChildren<learner::SelCharsDialog*>()) {
            if (!sel->isVisible()) continue;
            std::size_t k = 0;
            while (k < d.chars().size() && !(d.chars()[k].box == d.prior_frame())) ++k;
            sel->findChild<QLineEdit*>()->setText(QString(QChar::fromLatin1(name(k))));
            ++named;
            return button(*sel, "&Ok")->click();
        }
        if (QPushButton* confirm = button(*w, "C&onfirm instance"); confirm && confirm->isEnabled())
            return confirm->click();
        // Characters still read wrong are tagged and corrected.
        std::size_t wrong = 0;
        while (wrong < d.chars().size() && d.chars()[wrong].cls == std::string(1, name(wrong))) ++wrong;
        const bool fix = wrong < d.chars().size() && tags < 30;
        if (d.state() == learner::kObserving && fix) return d.toggle_tagging();
        if (d.state() == learner::kTagging && fix) {
            const learner::Box& b = d.chars()[wrong].box;
            return ++tags, d.mouse_press(b.left + 1, (b.top + b.bottom) / 2);
        }
        if (d.state() == learner::kObserving || d.state() == learner::kTagging) {
            for (std::size_t k = 0; k < d.chars().size(); ++k) expected += name(k);
            done = true;
            d.done();
        }
    }
};

// The arrows move the caret in the page number; Tab leaves it over the count.
TEST(TutrixWindow, ArrowKeysInThePageNumberMoveItsCaret) {
    testsupport::WorkDir dir;  // the programs change into image folders
    scripted::FileDialog files;
    SessionLibs libs;
    auto window = std::make_unique<tutrix::TutrixWindow>(dir.path(), libs, &files);
    window->show();
    const auto page = testsupport::tiff_gray_page({320, 240, std::vector<std::uint8_t>(320 * 240, 180)});
    ASSERT_TRUE(testsupport::write_tiff(dir.file("pages.tif"), {page, page, page}));
    files.answers.push_back(scripted::chosen({dir.file("pages.tif")}));
    window->shell().bar().press(tutrix::kBtnFiles);
    ASSERT_TRUE(analysed(window->shell(), 500));
    const auto control = [&](int i) { return window->control_bar().control(i); };
    auto* number = qobject_cast<QLineEdit*>(control(tutrix::kEdtNumber));
    control(tutrix::kBtnNext)->setFocus();
    key(control(tutrix::kBtnNext), Qt::Key_Right);  // over the disabled Go
    ASSERT_EQ(QApplication::focusWidget(), number);
    number->setText(QStringLiteral("12"));
    number->setCursorPosition(2);
    for (const auto& [k, caret] : {std::pair{Qt::Key_Left, 1}, {Qt::Key_Right, 2}, {Qt::Key_Up, 2}, {Qt::Key_Down, 2}}) {
        key(number, k);
        EXPECT_EQ(number->cursorPosition(), caret);
        EXPECT_EQ(QApplication::focusWidget(), number);
    }
    key(number, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control(tutrix::kBtnSeg));
    key(control(tutrix::kBtnSeg), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), number);
    window.reset();
    libs.release();
}

// Without the dots and spaces that separate fields and groups.
std::string letters_only(std::string s) { return std::erase_if(s, [](char c) { return c == '.' || c == ' '; }), s; }

// Teaches the plate into a new base, then reads the photograph with orvoplatix and with platix.
void train_then_read(const photos::LabelledImage& photo, bool skip_when_not_found) {
    scripted::Presenter shown;  // answers the boxes instead of showing them
    testsupport::WorkDir dir;  // the programs change into image folders
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
        ASSERT_TRUE(analysed(shell, 20000)) << photo.image;
        const platix::PageInfo page = libs.page();
        seg_result* plate = libs.results();
        while (plate && !photos::on_plate(*plate, page.xscale, page.yscale, photo)) plate = plate->next;
        if (plate == nullptr) {
            libs.release();
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
        // The session's modal loop runs inside the event processing.
        shell.mouse_press((plate->left + plate->right) / 2, (plate->top + plate->bottom) / 2);
        for (int i = 0; i < 2000 && shell.sessions() == 0; ++i) QApplication::processEvents();
        timer.stop();
        ASSERT_EQ(shell.sessions(), 1);
        EXPECT_TRUE(user.done);
        EXPECT_GT(user.named, 0);
        ASSERT_TRUE(std::ifstream(kb).good());
        EXPECT_GE(user.expected.size(), 3u);
        expected = user.expected;
        libs.release();  // not the quit sequence: it would end the event loop
    }
    // The recognition program, in a folder of its own with the new base last used, reads the plate among the fields.
    const std::string reader_dir = dir.file("reader");
    ASSERT_TRUE(std::filesystem::create_directory(reader_dir));
    std::ofstream(reader_dir + "/orvoplatix.ini", std::ios::binary) << "[last_used]\r\nkb_file=" << kb << "\r\n";
    {
        scripted::FileDialog files;
        platix::MainWindow reader(reader_dir, platix::real_libraries(), &files);
        scripted::Presenter answers;  // after the window's own
        reader.show();
        ASSERT_EQ(reader.shell().kb_path(), kb);
        files.answers.push_back(scripted::chosen({photo.image}));
        key(&reader, Qt::Key_F, 200);
        EXPECT_NE(letters_only(reader.shell().display().text).find(expected), std::string::npos)
            << "orvoplatix read \"" << reader.shell().display().text << "\", taught " << expected;
    }
    // platix reads the photograph with the same base, in its default analysis.
    FILE* p = ::popen((std::string(PLATIX_BINARY) + " read -q --kb '" + kb + "' '" + photo.image + "'").c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ASSERT_EQ(::pclose(p), 0) << out;
    EXPECT_NE(letters_only(out).find("\t" + expected + "\n"), std::string::npos)
        << "platix read:\n" << out << "taught " << expected;
}

TEST(TutrixEndToEnd, TrainsANewBaseOnASampleSceneThatBothReadersThenRead) {
    photos::LabelledImage scene;
    std::string file;
    std::ifstream(ORVO_SAMPLES "/scene00005.txt") >> file >> scene.x >> scene.y >> scene.w >> scene.h >> scene.plate;
    ASSERT_FALSE(scene.plate.empty());
    scene.image = ORVO_SAMPLES "/" + file;
    train_then_read(scene, false);
}

// The same on the first labelled European photograph, when they are at hand.
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
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    texts.push_back(box->text().toStdString()), box->done(QMessageBox::Ok);
        });
        timer.start(5);
    }
};

// A program's own stderr line and box for a refused base, or the base taken.
template <typename Window>
void expect_base(Window& w, const std::string& kb, const std::string& problem, BoxAnswerer& boxes,
                 const std::string& program) {
    std::string said;
    std::istringstream lines(testing::internal::GetCapturedStderr());
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(program + ": ", 0) == 0) said += line + "\n";
    EXPECT_EQ(said, problem.empty() ? "" : program + ": " + problem + "\n");
    EXPECT_EQ(boxes.texts, problem.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{"The knowledge base cannot be used:\n" + problem +
                                                                      "\nNo knowledge base is loaded."});
    boxes.texts.clear();
    EXPECT_EQ(w.shell().kb_path(), problem.empty() ? kb : "");
    if (problem.empty()) return;
    EXPECT_FALSE(std::filesystem::exists(w.shell().kb_list_path()));
    EXPECT_EQ(w.control_bar().note()->text().toStdString(), "KB: none");
}

// Damaged bases, from the settings or KBase, are refused and read no text; training needs the patterns.
TEST(DesktopProgramsRefuse, AKnowledgeBaseThatDoesNotLoadWhole) {
    const auto whole = testsupport::read_bytes(ORVO_SOURCE_DIR "/data/kb/plates.kbf");
    std::vector<std::uint8_t> noise(4096);
    std::uint32_t seed = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::string damaged = "damaged knowledge base (not a whole .kbf file)";
    const std::string empty = "the knowledge base is empty or unreadable (no character loaded)";
    // patterns: the base's .dat beside it; reading, training: the causes ("": the base is taken).
    const struct Damage { const char* what; std::vector<std::uint8_t> bytes; bool patterns;
                          std::string reading, training; } damages[] = {
        {"zero bytes", {}, true, empty, empty},
        {"random bytes", noise, true, damaged, damaged},
        {"truncated", {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)}, true, damaged, damaged},
        {"a JPEG renamed", testsupport::read_bytes(ORVO_SAMPLES "/scene00005.jpg"), true, damaged, damaged},
        {"no patterns file", whole, false, "", "PATTERNS"},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        testsupport::WorkDir dir;
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
        BoxAnswerer boxes;
        {
            desk::QtMessagePresenter shown;  // as the program has it
            testing::internal::CaptureStderr();
            SessionLibs libs;
            tutrix::TutrixWindow trainer(dir.path(), libs);
            expect_base(trainer, kb, problem(d.training), boxes, "orvotutrix");
        }
        scripted::FileDialog files;
        testing::internal::CaptureStderr();
        platix::MainWindow reader(dir.path(), platix::real_libraries(), &files);
        reader.show();
        expect_base(reader, kb, problem(d.reading), boxes, "orvoplatix");
        if (d.reading.empty()) continue;
        // Chosen again with KBase: refused again. The scene then reads no text.
        files.answers = {scripted::chosen({kb}), scripted::chosen({ORVO_SAMPLES "/scene00005.jpg"})};
        testing::internal::CaptureStderr();
        for (const int k : {Qt::Key_K, Qt::Key_F}) key(&reader, k, 200);
        expect_base(reader, kb, problem(d.reading), boxes, "orvoplatix");
        EXPECT_EQ(reader.output_bar().text(1).toStdString(), " None (no knowledge base loaded!)...");
        EXPECT_STREQ(reader.shell().display().text, "");
        tutrixtest::ForwardingLibs().release();
    }
}

}  // namespace
