// The training dialog on Qt: the image frame with the field's rows and the
// inverting double edit frame, its scroll bar, the recognized text in
// Courier, the status line in Helvetica, the buttons and the view-only
// check box, and the modeless class dialog. TrainingDialog decides; this
// window shows its state and forwards the user's actions.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

#include "event_port.h"
#include "training_dialog.h"

class QCheckBox;
class QPushButton;
class QScrollBar;

namespace learner {

class SelCharsDialog;
class TrainingWindow;

// The field's rows from the scroll offset, 5 pixels from the top.
class ImageFrame : public QWidget {
public:
    explicit ImageFrame(TrainingWindow& owner, QWidget* parent);
    void set_field(const seg_result* r);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TrainingWindow& owner_;
    QImage field_;
};

// A line of text drawn in its own font and colours.
class TextStrip : public QWidget {
public:
    TextStrip(const char* family, int shrink, bool centred, bool dark, QWidget* parent);
    void set_text(const std::string& t);
    const QString& text() const { return text_; }
    // The font the text is drawn in (sized from the strip's height) and a
    // text's advance in it.
    QFont text_font() const;
    int text_width(const std::string& t) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString text_;
    QString family_;
    int shrink_;
    bool centred_, dark_;
};

class TrainingWindow : public QDialog, public TrainingView {
    Q_OBJECT
public:
    TrainingWindow(QWidget* parent, ocr_io& io, SessionLibs& libs, seg_result* current, const std::string& kb_path);
    ~TrainingWindow() override;
    TrainingDialog& dialog() { return *dialog_; }

    void changed() override;
    void open_class_dialog() override;
    void close_class_dialog() override;
    int run_unlearn(UnlearnList& list) override;
    void end_dialog(int result) override;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void place_class_dialog();

private:
    ocr_io& io_;
    SessionLibs& libs_;
    desk::CommandReceiver* receiver_;
    desk::QtCommandPoster poster_;
    std::unique_ptr<TrainingDialog> dialog_;
    ImageFrame* frame_;
    QScrollBar* scroll_;
    TextStrip* text_;
    TextStrip* status_;
    QPushButton *prev_, *next_, *unlearn_, *tag_, *confirm_, *skip_, *done_, *cancel_;
    QCheckBox* view_only_;
    SelCharsDialog* sel_ = nullptr;
    const seg_result* shown_field_ = nullptr;
    bool ending_ = false;
};

}  // namespace learner
