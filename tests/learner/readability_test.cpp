// Readable training dialogs at QT_SCALE_FACTOR 1, 1.25, 1.5: texts fit, contrast 4.5:1, no cover.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <type_traits>

#include "class_dialogs.h"
#include "learner_qt.h"
#include "readability.h"
#include "session_fixture.h"
#include "training_window.h"

namespace {

using lrntest::Field;

std::string scale() { return qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") ? "1" : qgetenv("QT_SCALE_FACTOR").toStdString(); }

class TrainingReadability : public ::testing::Test {
protected:
    static void SetUpTestSuite() { lrnqt::make_application("learner_readability_tests"); }
    void SetUp() override {
        io = OCR_init(folder.list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        io->kb_index = 1;
    }
    void TearDown() override { OCR_cleanup(); }
    static void settle() { for (int i = 0; i < 50; ++i) QApplication::processEvents(); }
    // Every labelled button, check box and label of a dialog holds its text.
    template <typename W = QAbstractButton>
    static void expect_labels_fit(QWidget& d, const char* what) {
        for (W* b : d.findChildren<W*>())
            EXPECT_LE(readability::advance(b, b->text()), readability::room(b)) << what << " \"" << b->text().toStdString()
                                                                                  << "\" at scale " << scale();
        if constexpr (!std::is_same_v<W, QLabel>) expect_labels_fit<QLabel>(d, what);
    }
    testsupport::KbFolder folder;
    const std::string& kb = folder.kb;
    ocr_io* io = nullptr;
    lrntest::ListLibs libs;
};

TEST_F(TrainingReadability, SessionDialogShowsEveryTextWhole) {
    Field f("HL");
    libs.list = {&f.record};
    learner::TrainingWindow w(nullptr, *io, libs, &f.record, kb);
    w.show();
    settle();
    QList<learner::TextStrip*> strips;
    for (QWidget* c : w.findChildren<QWidget*>())
        if (auto* s = dynamic_cast<learner::TextStrip*>(c)) strips << s;
    ASSERT_EQ(strips.size(), 2);
    learner::TextStrip* text = strips[0]->y() < strips[1]->y() ? strips[0] : strips[1];
    learner::TextStrip* status = text == strips[0] ? strips[1] : strips[0];
    const QFontMetrics fm(status->text_font());
    for (const std::string& t : learner::TrainingDialog::status_texts())
        EXPECT_LE(fm.horizontalAdvance(QString::fromLatin1(t.c_str())), status->width()) << t << " at scale " << scale();
    EXPECT_LE(status->geometry().right(), w.width());
    expect_labels_fit(w, "training dialog");
    auto* box = w.findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);

    // The recognised text, the status line and the labels, enabled and not.
    const QImage grab = w.grab().toImage();
    const qreal dpr = grab.devicePixelRatio();
    auto px = [&](QRect r) {
        r.adjust(3, 3, -3, -3);
        return QRect(QPoint(int(r.left() * dpr), int(r.top() * dpr)), QPoint(int(r.right() * dpr), int(r.bottom() * dpr)));
    };
    EXPECT_FALSE(text->text().trimmed().isEmpty());
    EXPECT_GE(readability::text_contrast(grab, px(text->geometry())), 4.5) << "recognised text at scale " << scale();
    EXPECT_GE(readability::text_contrast(grab, px(status->geometry())), 4.5) << "status line at scale " << scale();
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>())
        EXPECT_GE(readability::text_contrast(grab, px(b->geometry())), 4.5) << b->text().toStdString() << " at " << scale();

    // Learning on: the class dialog opens clear of the dialog wherever the screen leaves room.
    box->click();
    learner::SelCharsDialog* sel = nullptr;
    for (int i = 0; i < 200 && !sel; ++i) {
        QApplication::processEvents();
        for (auto* d : w.findChildren<learner::SelCharsDialog*>())
            if (d->isVisible()) sel = d;
    }
    ASSERT_NE(sel, nullptr);
    settle();
    const QRect screen = w.screen()->availableGeometry();
    const QRect me = w.frameGeometry(), it = sel->frameGeometry();
    const bool room = screen.bottom() - me.bottom() > it.height() + 4 || me.top() - screen.top() > it.height() + 4 ||
                      screen.right() - me.right() > it.width() + 4;
    EXPECT_FALSE(room && it.intersects(me)) << "at scale " << scale();
    EXPECT_TRUE(screen.contains(it.topLeft())) << "at scale " << scale();
    expect_labels_fit(*sel, "class dialog");
    w.grab().save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/training_x" + scale() + ".png"));
    sel->grab().save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/class_x" + scale() + ".png"));
    w.reject();
}

}  // namespace
