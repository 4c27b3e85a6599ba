// Widgets from dialog templates.
#include "template_widget.h"

#include "lights.h"
#include "text_fit.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace desk {

QFont template_font(const std::string& family, int points) {
    QFont f(QString::fromLatin1(family.c_str()), points);
    f.setStyleHint(QFont::SansSerif);
    // Resolve to the installed family so that later measurements agree.
    const QFontInfo info(f);
    QFont resolved(info.family(), points);
    return resolved;
}

DialogUnits units_of(const QFont& font) {
    const QFontMetrics fm(font);
    const int advance =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return dialog_units_from_font(advance, fm.height());
}

TemplateWidget::TemplateWidget(const DialogTemplate& t, QWidget* parent)
    : QFrame(parent), template_(t) {
    setFont(template_font(t.font_family, t.font_points));
    use_readable_palette(this);
    units_ = units_of(font());
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    resize(units_.to_px_x(t.width_dlu), units_.to_px_y(t.height_dlu));
    setMinimumWidth(width());
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const TemplateControl& c = t.controls[i];
        const int index = static_cast<int>(i);
        const QString label = QString::fromLatin1(c.label.c_str());
        QWidget* w = nullptr;
        switch (c.kind) {
        case ControlKind::PushButton: {
            auto* b = new QPushButton(label, this);
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, [this, index] { emit pressed(index); });
            w = b;
            break;
        }
        case ControlKind::CheckBox: {
            auto* b = new QCheckBox(label, this);
            if (c.style & kStyleTextLeft) b->setLayoutDirection(Qt::RightToLeft);
            connect(b, &QCheckBox::clicked, this, [this, index] { emit pressed(index); });
            w = b;
            break;
        }
        case ControlKind::Slider: {
            auto* s = new QSlider(Qt::Horizontal, this);
            if (c.style & kStyleTickMarks) s->setTickPosition(QSlider::TicksBelow);
            s->setTickInterval(1);
            s->setPageStep(1);
            connect(s, &QSlider::valueChanged, this,
                    [this, index](int v) { emit slider_scrolled(index, v); });
            w = s;
            break;
        }
        case ControlKind::Edit: {
            auto* e = new QLineEdit(label, this);
            e->setReadOnly((c.style & kStyleReadOnly) != 0);
            if (c.style & kStyleCentred) e->setAlignment(Qt::AlignCenter);
            w = e;
            break;
        }
        case ControlKind::Text:
        case ControlKind::Label: {
            if (c.style & kStyleIcon) {
                auto* light = new LightWidget(this);
                const std::string& n = c.label;
                light->show_light(n == "red" ? Light::Red : n == "yellow" ? Light::Yellow
                                  : n == "green" ? Light::Green : Light::Gray);
                w = light;
                break;
            }
            auto* l = new QLabel(label, this);
            if (c.style & kStyleCentred) l->setAlignment(Qt::AlignCenter);
            else l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (c.style & kStyleSunken) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            // A disabled static text only refuses the focus; it reads as
            // plain text.
            QPalette pal = l->palette();
            pal.setColor(QPalette::Disabled, QPalette::WindowText, pal.color(QPalette::Active, QPalette::WindowText));
            l->setPalette(pal);
            w = l;
            break;
        }
        }
        if (c.style & kStyleDisabled) w->setEnabled(false);
        w->setGeometry(units_.to_px_x(c.dlu.x), units_.to_px_y(c.dlu.y), units_.to_px_x(c.dlu.w),
                       units_.to_px_y(c.dlu.h));
        widgets_.push_back(w);
    }
    // The installed family standing in for the template's may be wider:
    // every label gets the room it needs.
    for (std::size_t i = 0; i < t.controls.size(); ++i)
        if (!t.controls[i].label.empty() && !(t.controls[i].style & kStyleIcon))
            fit_texts(static_cast<int>(i), {t.controls[i].label});
}

void TemplateWidget::fit_texts(int index, const std::vector<std::string>& texts) {
    QWidget* w = control(index);
    if (!w) return;
    QStringList list;
    for (const std::string& s : texts) list << QString::fromLatin1(s.c_str());
    const int delta = width_for_texts(w, list) - w->width();
    if (delta <= 0) return;
    const int old_right = w->x() + w->width();
    for (QWidget* other : widgets_)
        if (other != w && other->x() >= old_right - 1) other->move(other->x() + delta, other->y());
    w->resize(w->width() + delta, w->height());
    resize(width() + delta, height());
    setMinimumWidth(width());
}

void TemplateWidget::set_note(const QString& text) {
    if (!note_) {
        note_ = new QLabel(this);
        note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        note_->setFocusPolicy(Qt::NoFocus);
        note_->show();
    }
    note_text_ = text;
    note_->setToolTip(text);
    // Room for the note, up to 40 average characters (a longer one is
    // shortened): the bar grows when its controls leave less.
    const QFontMetrics fm(note_->font());
    int x = 0;
    for (const QWidget* w : widgets_) x = std::max(x, w->x() + w->width());
    const int want = x + std::min(fm.horizontalAdvance(text), 40 * fm.averageCharWidth()) +
                     units_.to_px_x(4) + 2 * frameWidth() + 2;
    if (want > minimumWidth()) setMinimumWidth(want);
    if (want > width()) resize(want, height());
    place_note();
}

void TemplateWidget::place_note() {
    if (!note_) return;
    int x = 0;
    for (const QWidget* w : widgets_) x = std::max(x, w->x() + w->width());
    x += units_.to_px_x(2);
    const int room = std::max(0, width() - frameWidth() - x - units_.to_px_x(2));
    note_->setGeometry(x, frameWidth(), room, height() - 2 * frameWidth());
    note_->setText(QFontMetrics(note_->font()).elidedText(note_text_, Qt::ElideMiddle, room));
}

void TemplateWidget::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    place_note();
}

int TemplateWidget::text_room(int index) const {
    const QWidget* w = control(index);
    return w ? desk::text_room(w) : 0;
}

int TemplateWidget::text_width(int index, const QString& text) const {
    const QWidget* w = control(index);
    return w ? text_advance(w, text) : 0;
}

QWidget* TemplateWidget::control(int index) const {
    if (index < 0 || index >= control_count()) return nullptr;
    return widgets_[static_cast<std::size_t>(index)];
}

int TemplateWidget::index_of(const QWidget* w) const {
    for (int i = 0; i < control_count(); ++i)
        if (widgets_[static_cast<std::size_t>(i)] == w) return i;
    return -1;
}

void TemplateWidget::set_text(int index, const QString& text) {
    QWidget* w = control(index);
    if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
}

QString TemplateWidget::text(int index) const {
    QWidget* w = control(index);
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    return QString();
}

void TemplateWidget::sync(const ControlTable& table) {
    for (int i = 0; i < control_count() && i < table.size(); ++i) {
        const Control& c = table.at(i);
        QWidget* w = control(i);
        const QSignalBlocker block(w);
        w->setEnabled(c.enabled);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(QString::fromLatin1(c.label.c_str()));
            if (b->isCheckable() || qobject_cast<QCheckBox*>(w)) b->setChecked(c.checked);
        } else if (auto* s = qobject_cast<QSlider*>(w)) {
            s->setRange(c.min, c.max);
            s->setValue(c.value);
        } else if (c.kind == ControlKind::Text || c.kind == ControlKind::Label) {
            set_text(i, QString::fromLatin1(c.label.c_str()));
        }
    }
    const int f = table.focus();
    if (QWidget* w = control(f); w && w->isEnabled() && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

}  // namespace desk
