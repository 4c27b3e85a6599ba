// Readable windows of both programs on the offscreen platform, run once
// per scale factor (QT_SCALE_FACTOR 1, 1.25 and 1.5, set by ctest): every
// text a control of a bar can show fits the room the control's style
// leaves for it, the texts of a grab stand out 4.5:1 from their faces,
// image files named outside the dialog load as if chosen, the "All images"
// filter finds any case of the extensions, and the bar names the
// knowledge base.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "main_window.h"
#include "readability.h"
#include "qt_test_app.h"
#include "scripted.h"
#include "temp_dir.h"
#include "texts.h"
#include "tutrix_texts.h"
#include "tutrix_window.h"

namespace {

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("program_readability_tests"));
using qttest::settle;

std::string scale() { return qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") ? "1" : qgetenv("QT_SCALE_FACTOR").toStdString(); }

// Each text against the control that shows it.
void expect_fits(const desk::TemplateWidget& bar, const std::vector<platix::ControlTexts>& texts, const char* what) {
    for (const auto& ct : texts) {
        const QWidget* w = bar.control(ct.index);
        ASSERT_NE(w, nullptr) << what << " control " << ct.index;
        for (const std::string& t : ct.texts)
            EXPECT_LE(readability::advance(w, QString::fromLatin1(t.c_str())), readability::room(w))
                << what << " control " << ct.index << " text \"" << t << "\" at scale " << scale();
    }
    // The labels of the buttons and check boxes too, and no control runs
    // out of the bar.
    for (int i = 0; i < bar.control_count(); ++i) {
        const QWidget* w = bar.control(i);
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            EXPECT_LE(readability::advance(w, b->text()), readability::room(w))
                << what << " label \"" << b->text().toStdString() << "\" at scale " << scale();
        }
        EXPECT_LE(w->geometry().right(), bar.width()) << what << " control " << i;
    }
}

// The text of every visible control with a text, in a grab of the bar.
void expect_contrast(desk::TemplateWidget& bar, const char* what) {
    const QImage grab = bar.grab().toImage();
    const qreal dpr = grab.devicePixelRatio();
    for (int i = 0; i < bar.control_count(); ++i) {
        QWidget* w = bar.control(i);
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        if (!w->isVisible() || text.trimmed().isEmpty()) continue;
        const QRect r = w->geometry().adjusted(3, 3, -3, -3);
        const QRect px(QPoint(int(r.left() * dpr), int(r.top() * dpr)), QPoint(int(r.right() * dpr), int(r.bottom() * dpr)));
        EXPECT_GE(readability::text_contrast(grab, px), 4.5)
            << what << " \"" << text.toStdString() << "\" (" << (w->isEnabled() ? "enabled" : "disabled")
            << ") at scale " << scale();
    }
}

class Programs : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::filesystem::path old_cwd = std::filesystem::current_path();
    scripted::FileDialog files;
    std::unique_ptr<scripted::Presenter> presenter;

    void SetUp() override {
        std::filesystem::current_path(dir.path());
        std::filesystem::copy_file(ORVO_SAMPLES "/scene00005.jpg", dir.file("scene.jpg"));
        for (const char* part : {"plates.kbf", "plates.dat"})
            std::filesystem::copy_file(std::string(ORVO_SOURCE_DIR "/data/kb/") + part, dir.file(part));
        for (const char* ini : {"orvoplatix.ini", "orvotutrix.ini"}) {
            std::ofstream(dir.file(ini)) << "[last_used]\r\nkb_file=" << dir.file("plates.kbf") << "\r\n";
        }
    }
    void TearDown() override { std::filesystem::current_path(old_cwd); }
    template <typename W>
    void quit(W& w) {
        presenter->answers.push_back(OSYS_IDYES);
        w.shell().close_request();
        settle();
    }
};

TEST_F(Programs, RecognitionBarsHoldEveryTextReadably) {
    platix::MainWindow w(dir.path(), platix::real_libraries(), &files);
    presenter = std::make_unique<scripted::Presenter>();
    w.show();
    settle();
    expect_fits(w.control_bar(), platix::bar_texts(), "recognition bar");
    expect_fits(w.output_bar(), platix::output_texts(), "output bar");
    EXPECT_LE(w.control_bar().width(), w.width());
    expect_contrast(w.control_bar(), "recognition bar, idle");
    // The scene named as an argument is loaded and, alone, analysed.
    EXPECT_EQ(w.open_files({QString::fromStdString(dir.file("scene.jpg")), QStringLiteral("missing.jpg")}), 1);
    settle();
    EXPECT_TRUE(w.shell().image_loaded());
    EXPECT_EQ(w.shell().image_name(), "scene.jpg");
    EXPECT_EQ(w.windowTitle().toStdString().substr(0, 28), "ORVO PLATIX 2.1 - scene.jpg ");
    EXPECT_EQ(w.control_bar().text(platix::kTxtStatus).left(19), QStringLiteral("Analysis duration: "));
    expect_contrast(w.control_bar(), "recognition bar, analysed");
    expect_contrast(w.output_bar(), "output bar, analysed");
    // The binarised field opens beside the plate, inside the view.
    ASSERT_NE(w.field_window(), nullptr);
    const seg_result* c = w.shell().current_result();
    ASSERT_NE(c, nullptr);
    const QRect field = w.view().to_view(c->left, c->top, c->right, c->bottom).translated(w.view().pos());
    const QRect shown = w.field_window()->geometry();
    EXPECT_TRUE(w.view().geometry().contains(shown)) << "at scale " << scale();
    EXPECT_FALSE(shown.intersects(field)) << "at scale " << scale();
    EXPECT_LT(shown.top(), field.bottom()) << "not below the plate, at scale " << scale();
    EXPECT_GT(shown.bottom(), field.top()) << "not above the plate, at scale " << scale();
    ASSERT_NE(w.control_bar().note(), nullptr);
    EXPECT_EQ(w.control_bar().note()->text(), QStringLiteral("KB: plates.kbf"));
    w.grab().save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/orvoplatix_x" + scale() + ".png"));
    quit(w);
}

TEST_F(Programs, TrainingBarHoldsEveryTextReadably) {
    tutrix::TutrixWindow w(dir.path(), tutrix::real_tutrix_libraries(), &files);
    presenter = std::make_unique<scripted::Presenter>();
    w.show();
    settle();
    expect_fits(w.control_bar(), tutrix::bar_texts(), "training bar");
    expect_contrast(w.control_bar(), "training bar, idle");
    // A drop of the scene loads it as the Files command does.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("scene.jpg")))});
    const QPoint mid(w.width() / 2, w.height() / 2);
    QDragEnterEvent enter(mid, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(mid), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    settle();
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(w.windowTitle().toStdString().substr(0, 28), "ORVO Tutrix 2.1 - scene.jpg ");
    expect_contrast(w.control_bar(), "training bar, analysed");
    EXPECT_EQ(w.control_bar().note()->text(), QStringLiteral("KB: plates.kbf"));
    w.grab().save(QString::fromStdString(std::string(ORVO_SCREENSHOT_DIR) + "/orvotutrix_x" + scale() + ".png"));
    quit(w);
}

// The dialog the Files command shows lists photo.JPEG under "All images",
// its first filter, and hides the text file.
TEST_F(Programs, AllImagesFilterFindsAnyCaseOfTheExtensions) {
    for (const char* name : {"photo.JPEG", "scan.Tif", "plate.pgm", "notes.txt"}) std::ofstream(dir.file(name)) << "x";
    desk::OpenFileRequest rq;
    rq.title = "Select image file(s)";
    rq.filters = {{"JPEG files (*.jpg)", "*.jpg"}, {"All files (*.*)", "*.*"}};
    rq.initial_folder = dir.path();
    rq.multiple = true;
    rq.filter_index = 0;
    QFileDialog dialog;
    desk::configure_dialog(dialog, rq);
    ASSERT_FALSE(dialog.nameFilters().isEmpty());
    EXPECT_TRUE(dialog.nameFilters().front().startsWith(QStringLiteral("All images")));
    EXPECT_TRUE(dialog.nameFilters().front().startsWith(dialog.selectedNameFilter()));
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    QStringList shown;
    // The dialog's model lists the folder on a thread of its own: wait for
    // it by the clock, since a loaded machine can take seconds.
    QElapsedTimer waited;
    waited.start();
    while (shown.size() < 4 && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        shown.clear();
        const QModelIndex root = view->rootIndex();
        for (int r = 0; r < view->model()->rowCount(root); ++r)
            shown << view->model()->index(r, 0, root).data().toString();
    }
    shown.sort();
    EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(), "photo.JPEG plate.pgm scan.Tif scene.jpg");
}

}  // namespace
