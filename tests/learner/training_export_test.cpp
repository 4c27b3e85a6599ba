// The exported training session on an analysed scene: kept after "&Done", restored after "&Cancel".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "learner.h"
#include "learner_qt.h"
#include "orvosys.h"
#include "own_format_writers.h"
#include "plate_scene.h"
#include "message_log.h"
#include "temp_dir.h"

namespace {

using lrnqt::button;
using testsupport::read_bytes;

bool exists(const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); }

QDialog* visible_dialog(const QString& title_start) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->windowTitle().startsWith(title_start))
            return d;
    return nullptr;
}

// Presses from the event loop: a button opening a modal dialog returns only when it closes.
void press_later(QPushButton* b) { QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection); }

// Names instances "A" until `teach` are confirmed (after unlearning all if asked), then presses `finish`.
struct Teacher {
    int teach = 0, confirmed = 0, steps = 0;
    bool unlearn_all = false, unlearn_opened = false, unlearned = false, finished = false;
    const char* finish = "&Done";
    std::function<void()> before_finish;
    // A deadline in time, not in timer ticks: a loaded machine runs many idle ticks.
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

    void step() {
        ++steps;
        QDialog* w = visible_dialog(QStringLiteral("Create/update knowledge base - "));
        if (!w || finished) return;
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(60))
            return finished = true, w->reject();  // give up rather than hang
        if (QDialog* u = visible_dialog(QStringLiteral("Unlearn character(s)"))) {
            if (QPushButton* all = button(*u, "&Select all"); all->isEnabled()) all->click();
            else if (!std::exchange(unlearned, true)) press_later(button(*u, "&OK"));
            return;
        }
        if (unlearn_all && !unlearn_opened) {
            if (QPushButton* b = button(*w, "&Unlearn character(s)"); b->isEnabled())
                unlearn_opened = true, press_later(b);
            return;
        }
        if (QDialog* sel = visible_dialog(QStringLiteral("Edit character(s)"))) {
            if (confirmed < teach) sel->findChild<QLineEdit*>()->setText(QStringLiteral("A"));
            button(*sel, confirmed < teach ? "&Ok" : "&Suspend learning")->click();
            return;
        }
        QCheckBox* view_only = w->findChild<QCheckBox*>();
        if (confirmed < teach && view_only->isChecked()) return view_only->click();
        if (QPushButton* confirm = button(*w, "C&onfirm instance"); confirm->isEnabled()) {
            confirm->click();
            ++confirmed;
            return;
        }
        if (confirmed >= teach && button(*w, finish)->isEnabled()) {
            if (before_finish) before_finish();
            finished = true;
            button(*w, finish)->click();
        }
    }
};

class TrainingExport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { lrnqt::make_application("learner_export_tests"); }
    void SetUp() override {
        samples::SceneOptions o;
        o.colour = false, o.seed = 3;
        const std::string image = dir.file("scene.pgm");
        testsupport::write_bytes(image, testsupport::pgm_file(samples::to_gray(samples::draw_scene(o))));
        ASSERT_TRUE(SEG_set_image_file(image.c_str()) == 1 && SEG_open_image() == 1 && SEG_analyze_image(3) == 1);
        ASSERT_GT(SEG_get_results_number(), 0);
    }
    void TearDown() override { SEG_clear_analysis_results(), SEG_close_image(); }
    // One session on the first field, as the training program runs it.
    int session(Teacher& user) {
        ocr_io* io = OCR_init(list.c_str(), 0);
        EXPECT_NE(io, nullptr);
        if (!io) return -1;
        io->kb_index = 1;
        current = results;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&user] { user.step(); });
        timer.start(1);
        const int r = LRN_do_training_session(nullptr, io, &current, list.c_str());
        timer.stop();
        OCR_cleanup();
        return r;
    }
    bool backups_left() const { return exists(dir.file("$kbfbak$.$$$")) || exists(dir.file("$datbak$.$$$")); }
    testsupport::KbFolder folder;
    const testsupport::TempDir& dir = folder.dir;
    const std::string &kb = folder.kb, &dat = folder.dat, &list = folder.list;
    testsupport::MessageLog boxes;
    seg_result* current = nullptr;
};

TEST_F(TrainingExport, KeepsTheTaughtBaseAfterDoneAndPutsItBackAfterCancel) {
    Teacher first;
    first.teach = 2;
    EXPECT_EQ(session(first), 1);
    EXPECT_TRUE(first.finished && first.confirmed == 2);
    EXPECT_TRUE(exists(kb) && exists(dat) && !backups_left() && boxes.shown.empty());
    EXPECT_EQ(current, results);  // the field shown last: the only one
    const std::vector<std::uint8_t> kb_bytes = read_bytes(kb), dat_bytes = read_bytes(dat);
    ASSERT_FALSE(kb_bytes.empty());

    Teacher straight;  // cancel straight away: nothing is asked
    straight.finish = "&Cancel";
    EXPECT_EQ(session(straight), 0);
    EXPECT_TRUE(straight.finished && boxes.shown.empty());
    EXPECT_TRUE(read_bytes(kb) == kb_bytes && read_bytes(dat) == dat_bytes);

    Teacher user;  // unlearn every class, then cancel and answer No
    user.unlearn_all = true;
    user.finish = "&Cancel";
    bool deleted = false;
    user.before_finish = [&] { deleted = !exists(kb); };
    boxes.answers = {OSYS_IDYES, OSYS_IDNO};  // lose all classes: yes; keep the changes: no
    EXPECT_EQ(session(user), 0);
    EXPECT_TRUE(user.unlearned && deleted) << "a base without classes has no file";
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "All learned characters will be lost! Proceed?");
    EXPECT_EQ(boxes.shown[1].title + ": " + boxes.shown[1].text,
              "Warning: Changes have been made. Do you wish to keep them?");
    EXPECT_TRUE(read_bytes(kb) == kb_bytes && read_bytes(dat) == dat_bytes && !backups_left());
}

TEST_F(TrainingExport, NoFieldsNoListOrNoRecordEndAtOnce) {
    ocr_io* io = OCR_init(list.c_str(), 0);
    ASSERT_NE(io, nullptr);
    io->kb_index = 1;
    EXPECT_EQ(LRN_do_training_session(nullptr, io, &current, dir.file("none.$$$").c_str()), 0);
    EXPECT_EQ(LRN_do_training_session(nullptr, nullptr, &current, list.c_str()), 0);
    OCR_cleanup();
    EXPECT_TRUE(boxes.shown.empty());
    SEG_clear_analysis_results();
    Teacher user;
    EXPECT_EQ(session(user), 0);
    EXPECT_EQ(user.steps, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title + ": " + boxes.shown[0].text, "Error: Sorry, no text fields (rows) found in image...");
    EXPECT_FALSE(exists(kb) || backups_left());
}

}  // namespace
