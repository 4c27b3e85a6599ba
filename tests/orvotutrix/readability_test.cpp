// Both programs' windows at ctest's scale: texts fit and stand out 4.5:1, drops load, "All images" finds any case.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "main_window.h"
#include "qt_test_app.h"
#include "readability.h"
#include "scripted.h"
#include "temp_dir.h"
#include "texts.h"
#include "tutrix_texts.h"
#include "tutrix_window.h"

namespace {

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("program_readability_tests"));
using qttest::settle;

const std::string scale = qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") ? "1" : qgetenv("QT_SCALE_FACTOR").toStdString();

// Every text and button label fits its control, and no control runs out of the bar.
void expect_fits(const desk::TemplateWidget& bar, const std::vector<platix::ControlTexts>& texts) {
    for (const auto& ct : texts)
        for (const std::string& t : ct.texts)
            EXPECT_LE(readability::advance(bar.control(ct.index), QString::fromLatin1(t.c_str())),
                      readability::room(bar.control(ct.index)))
                << "control " << ct.index << " text \"" << t << "\" at scale " << scale;
    for (int i = 0; i < bar.control_count(); ++i) {
        const QWidget* w = bar.control(i);
        const auto* b = qobject_cast<const QAbstractButton*>(w);
        EXPECT_LE(b ? readability::advance(w, b->text()) : 0, readability::room(w)) << "control " << i << " at " << scale;
        EXPECT_LE(w->geometry().right(), bar.width()) << "control " << i;
    }
}

// The text of every visible control with a text, in a grab of the bar.
void expect_contrast(desk::TemplateWidget& bar, const char* what) {
    const QImage grab = bar.grab().toImage();
    const qreal dpr = grab.devicePixelRatio();
    for (int i = 0; i < bar.control_count(); ++i) {
        QWidget* w = bar.control(i);
        const auto* l = qobject_cast<QLabel*>(w);
        const auto* b = qobject_cast<QAbstractButton*>(w);
        const QString text = l ? l->text() : b ? b->text() : QString();
        if (!w->isVisible() || text.trimmed().isEmpty()) continue;
        const QRect r = w->geometry().adjusted(3, 3, -3, -3);
        const QRect px(QPoint(int(r.left() * dpr), int(r.top() * dpr)), QPoint(int(r.right() * dpr), int(r.bottom() * dpr)));
        EXPECT_GE(readability::text_contrast(grab, px), 4.5)
            << what << " \"" << text.toStdString() << "\" (" << (w->isEnabled() ? "enabled" : "disabled") << ") at " << scale;
    }
}

class Programs : public ::testing::Test {
protected:
    testsupport::WorkDir dir;
    scripted::FileDialog files;

    void SetUp() override {
        std::filesystem::copy_file(ORVO_SAMPLES "/scene00005.jpg", dir.file("scene.jpg"));
        for (const char* part : {"plates.kbf", "plates.dat"})
            std::filesystem::copy_file(std::string(ORVO_SOURCE_DIR "/data/kb/") + part, dir.file(part));
        for (const char* ini : {"orvoplatix.ini", "orvotutrix.ini"})
            std::ofstream(dir.file(ini)) << "[last_used]\r\nkb_file=" << dir.file("plates.kbf") << "\r\n";
    }
    // Shows the window, runs the checks, saves the grab and quits.
    template <typename W>
    void shown(W& w, const std::function<void()>& body, const char* grab) {
        scripted::Presenter presenter;  // after the window's own; answers the quit with Yes
        w.show();
        settle();
        body();
        EXPECT_EQ(w.control_bar().note()->text(), QStringLiteral("KB: plates.kbf"));
        w.grab().save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/" + grab + scale + ".png"));
        w.shell().close_request();
        settle();
    }
};

// A scene named as an argument loads and is analysed; its field window opens beside it in the view.
TEST_F(Programs, RecognitionBarsHoldEveryTextReadably) {
    platix::MainWindow w(dir.path(), platix::real_libraries(), &files);
    shown(w, [&] {
        expect_fits(w.control_bar(), platix::bar_texts());
        expect_fits(w.output_bar(), platix::output_texts());
        EXPECT_LE(w.control_bar().width(), w.width());
        expect_contrast(w.control_bar(), "recognition bar, idle");
        EXPECT_EQ(w.open_files({QString::fromStdString(dir.file("scene.jpg")), QStringLiteral("missing.jpg")}), 1);
        settle();
        EXPECT_EQ(w.windowTitle().toStdString().substr(0, 28), "ORVO PLATIX 2.1 - scene.jpg ");
        EXPECT_EQ(w.control_bar().text(platix::kTxtStatus).left(19), QStringLiteral("Analysis duration: "));
        expect_contrast(w.control_bar(), "recognition bar, analysed");
        expect_contrast(w.output_bar(), "output bar, analysed");
        ASSERT_NE(w.field_window(), nullptr);
        const seg_result* c = w.shell().current_result();
        const QRect field = w.view().to_view(c->left, c->top, c->right, c->bottom).translated(w.view().pos());
        const QRect beside = w.field_window()->geometry();
        EXPECT_TRUE(w.view().geometry().contains(beside)) << "at scale " << scale;
        EXPECT_FALSE(beside.intersects(field)) << "at scale " << scale;
        EXPECT_TRUE(beside.top() < field.bottom() && beside.bottom() > field.top()) << "not beside, at " << scale;
    }, "orvoplatix_x");
}

// A drop of the scene loads it as the Files command does.
TEST_F(Programs, TrainingBarHoldsEveryTextReadably) {
    tutrix::TutrixWindow w(dir.path(), tutrix::real_tutrix_libraries(), &files);
    shown(w, [&] {
        expect_fits(w.control_bar(), tutrix::bar_texts());
        expect_contrast(w.control_bar(), "training bar, idle");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("scene.jpg")))});
        const QPoint mid(w.width() / 2, w.height() / 2);
        QDragEnterEvent enter(mid, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(mid), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        settle();
        EXPECT_EQ(w.windowTitle().toStdString().substr(0, 28), "ORVO Tutrix 2.1 - scene.jpg ");
        expect_contrast(w.control_bar(), "training bar, analysed");
    }, "orvotutrix_x");
}

// "All images", the first filter, lists photo.JPEG and hides the text file.
TEST_F(Programs, AllImagesFilterFindsAnyCaseOfTheExtensions) {
    for (const char* name : {"photo.JPEG", "scan.Tif", "plate.pgm", "notes.txt"}) std::ofstream(dir.file(name)) << "x";
    desk::OpenFileRequest rq;
    rq.filters = {{"JPEG files (*.jpg)", "*.jpg"}, {"All files (*.*)", "*.*"}};
    rq.initial_folder = dir.path();
    rq.multiple = true, rq.filter_index = 0;  // several files: "All images" first, and chosen
    QFileDialog dialog;
    desk::configure_dialog(dialog, rq);
    ASSERT_FALSE(dialog.nameFilters().isEmpty());
    EXPECT_TRUE(dialog.nameFilters().front().startsWith(QStringLiteral("All images")));
    EXPECT_TRUE(dialog.nameFilters().front().startsWith(dialog.selectedNameFilter()));
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    QStringList listed;
    QElapsedTimer waited;  // the folder is listed on a thread: wait by the clock, as a loaded machine is slow
    waited.start();
    while (listed.size() < 4 && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        listed.clear();
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
    }
    listed.sort();
    EXPECT_EQ(listed.join(QLatin1Char(' ')).toStdString(), "photo.JPEG plate.pgm scan.Tif scene.jpg");
}

}  // namespace
