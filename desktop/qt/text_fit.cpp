// Text room and advance of the controls, and the readable palette.
#include "text_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace desk {

namespace {
// Pixels kept free on each side of a text so that no glyph touches an edge.
constexpr int kSlack = 2;

QString without_mnemonics(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}
}  // namespace

int text_room(const QWidget* w) {
    if (const auto* b = qobject_cast<const QCheckBox*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.rect = b->rect();
        opt.text = b->text();
        return b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b).width() - 2 * kSlack;
    }
    if (const auto* b = qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.rect = b->rect();
        opt.text = b->text();
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, b);
        return b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width() - margin;
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        const int indent = std::max(0, l->indent());
        return l->contentsRect().width() - 2 * l->margin() - indent - 2 * kSlack;
    }
    if (const auto* e = qobject_cast<const QLineEdit*>(w)) {
        const QMargins m = e->textMargins();
        // The line edit's frame and its fixed inner margin of 2 pixels a side.
        const int frame = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) : 0;
        return e->width() - 2 * frame - m.left() - m.right() - 4 - 2 * kSlack;
    }
    return w->contentsRect().width();
}

int text_advance(const QWidget* w, const QString& text) {
    return QFontMetrics(w->font()).horizontalAdvance(without_mnemonics(text));
}

int width_for_texts(const QWidget* w, const QStringList& texts) {
    const int overhead = w->width() - text_room(w);
    int need = w->width();
    for (const QString& t : texts) need = std::max(need, text_advance(w, t) + overhead);
    return need;
}

void fit_child_texts(QWidget* dialog) {
    const QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    int right = 0, bottom = 0;
    for (QWidget* c : children) {
        QString text;
        if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
        if (!text.isEmpty()) {
            const int delta = width_for_texts(c, {text}) - c->width();
            if (delta > 0) {
                const QRect was = c->geometry();
                for (QWidget* o : children) {
                    const QRect g = o->geometry();
                    if (o != c && g.x() >= was.x() + was.width() - 1 && g.top() <= was.bottom() && g.bottom() >= was.top())
                        o->move(g.x() + delta, g.y());
                }
                c->resize(was.width() + delta, was.height());
            }
        }
    }
    for (QWidget* c : children) {
        right = std::max(right, c->geometry().right() + 1);
        bottom = std::max(bottom, c->geometry().bottom() + 1);
    }
    const QSize want(std::max(dialog->width(), right + 10), std::max(dialog->height(), bottom + 10));
    if (want == dialog->size()) return;
    if (dialog->minimumSize() == dialog->maximumSize()) dialog->setFixedSize(want);
    else dialog->resize(want);
}

QColor disabled_text_colour() { return QColor(72, 72, 72); }

void use_readable_palette(QWidget* w) {
    QPalette pal = w->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, disabled_text_colour());
    w->setPalette(pal);
}

}  // namespace desk
