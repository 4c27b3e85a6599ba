// Readable texts on real widgets: a control's room for its text, a text's advance, a grab's WCAG contrast.
#pragma once

#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>
#include <map>

namespace readability {

// The advance of a text without its mnemonic marks ("&&" stands for "&").
inline int advance(const QWidget* w, const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) plain += text[text[i] == QLatin1Char('&') && i + 1 < text.size() ? ++i : i];
    return QFontMetrics(w->font()).horizontalAdvance(plain);
}

// The width the control draws its text in.
inline int room(const QWidget* w) {
    const auto* check = qobject_cast<const QCheckBox*>(w);
    if (const QAbstractButton* b = check ? static_cast<const QAbstractButton*>(check) : qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton o;
        o.initFrom(b);
        o.rect = b->rect();
        o.text = b->text();
        return b->style()->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &o, b).width();
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) return l->contentsRect().width() - 2 * l->margin();
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return e->width() - 2 * e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) - 4;
    return w->width();
}

inline double luminance(QColor c) {
    const auto lin = [](double s) { return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

// Contrast of the rectangle's commonest colour (background) with its most distinct pixel; 1 if uniform.
inline double text_contrast(const QImage& grab, QRect r) {
    r &= grab.rect();
    std::map<QRgb, int> count;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++count[grab.pixel(x, y) | 0xff000000u];
    if (count.empty()) return 1.0;
    const double bg = luminance(QColor(std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first));
    double best = 1.0;
    for (const auto& [rgb, n] : count) {
        const double l = luminance(QColor(rgb));
        best = std::max(best, (std::max(l, bg) + 0.05) / (std::min(l, bg) + 0.05));
    }
    return best;
}

}  // namespace readability
