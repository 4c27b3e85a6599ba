// The class dialogs on Qt: "Edit character(s)" (modeless, over the
// training dialog), "Select character(s)" (the character table, modal over
// it) and "Unlearn character(s)" (modal over the training dialog). Their
// rules live in sel_chars, char_table and unlearn_list.
#pragma once

#include <QDialog>
#include <functional>

#include "char_table.h"
#include "sel_chars.h"
#include "unlearn_list.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QLabel;

namespace learner {

class SelCharsDialog : public QDialog {
    Q_OBJECT
public:
    // `ended` receives the result (0 jump over, 1 ok, 2 suspend or closed);
    // `edge` moves the training dialog's frame edge by -1 or +1.
    SelCharsDialog(ClassBuffer& buffer, std::function<void(int)> ended, std::function<void(int)> edge,
                   QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void act(SelChars::Action a);
    void finish(int result);
    void sync();
    SelChars logic_;
    ClassBuffer& buffer_;
    std::function<void(int)> ended_, edge_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* jump_;
    QPushButton* table_;
    QPushButton* suspend_;
    bool finished_ = false;
};

class CharTabDialog : public QDialog {
    Q_OBJECT
public:
    CharTabDialog(const ClassBuffer& initial, QWidget* parent);
    std::string chosen() const { return logic_.chosen(); }

private:
    void sync();
    CharTable logic_;
    QListWidget* list_;
    QLabel* cls_;
    QLabel* ascii_;
    QPushButton* done_;
};

class UnlearnDialog : public QDialog {
    Q_OBJECT
public:
    UnlearnDialog(UnlearnList& list, ocr_io& io, SessionLibs& libs, QWidget* parent);

private:
    void rebuild();
    void sync();
    UnlearnList& logic_;
    ocr_io& io_;
    SessionLibs& libs_;
    QListWidget* list_;
    QPushButton* ok_;
    QPushButton* select_all_;
    QPushButton* unselect_;
};

}  // namespace learner
