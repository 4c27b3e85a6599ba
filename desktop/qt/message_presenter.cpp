// Message boxes on QMessageBox; the texts are Windows-1252.
#include "message_presenter.h"

#include <QApplication>
#include <QMessageBox>

namespace desk {

namespace {
void beep(void*) { QApplication::beep(); }

QString from_cp1252(const char* s) { return QString::fromLatin1(s ? s : ""); }
}  // namespace

QtMessagePresenter::QtMessagePresenter() {
    previous_ = osys_set_message_presenter(&QtMessagePresenter::present, this, &previous_context_);
    osys_set_beeper(&beep, nullptr);
}

QtMessagePresenter::~QtMessagePresenter() {
    osys_set_message_presenter(previous_, previous_context_, nullptr);
    osys_set_beeper(nullptr, nullptr);
}

int QtMessagePresenter::present(void*, const char* title, const char* text, unsigned style) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(from_cp1252(title));
    box.setText(from_cp1252(text));
    switch (style & OSYS_MB_ICONS) {
    case OSYS_MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case OSYS_MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case OSYS_MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case OSYS_MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (style & OSYS_MB_BUTTONS) {
    case OSYS_MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case OSYS_MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case OSYS_MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    if ((style & OSYS_MB_ICONS) != 0) QApplication::beep();
    switch (box.exec()) {
    case QMessageBox::Yes: return OSYS_IDYES;
    case QMessageBox::No: return OSYS_IDNO;
    case QMessageBox::Cancel: return OSYS_IDCANCEL;
    default: return OSYS_IDOK;
    }
}

}  // namespace desk
