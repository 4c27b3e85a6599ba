// Painting pages and field bitmaps into images, and the widening of a template's controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPainter>

#include "lights.h"
#include "page_painter.h"
#include "qt_test_app.h"
#include "template_widget.h"

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("desktop_qt_tests"));

// Paints into a fresh image of the given size and fill.
template <typename Draw>
QImage painted(int w, int h, QColor fill, Draw draw) {
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(fill);
    QPainter p(&out);
    draw(p);
    p.end();
    return out;
}

TEST(PagePainting, CopiesGrayRowsSkipsThePaddingAndStretches) {
    const unsigned char page[] = {0, 100, 200, 9, 50, 150, 255, 9};  // bpl 4, 3 columns
    const QImage img = desk::page_image(page, 3, 2, 4);
    EXPECT_EQ(std::pair(qGray(img.pixel(1, 0)), qGray(img.pixel(2, 1))), std::pair(100, 255));
    EXPECT_TRUE(desk::page_image(nullptr, 3, 2, 4).isNull());
    EXPECT_TRUE(desk::page_image(page, 5, 2, 4).isNull());  // rows shorter than the width
    const unsigned char two[] = {0, 255};
    const QImage out = painted(40, 10, Qt::red, [&](QPainter& p) { EXPECT_TRUE(desk::paint_page(p, desk::page_image(two, 2, 1, 2), QRect(0, 0, 40, 10))); });
    EXPECT_LT(qGray(out.pixel(2, 5)), 30);
    EXPECT_GT(qGray(out.pixel(37, 5)), 225);
}

// 10 x 2, 2 bytes per row, 0 bits are ink: at 0 and 9 in row 0, at 8 in row 1.
TEST(FieldPainting, DrawsInkBlackAndBackgroundWhiteRowByRow) {
    const unsigned char bits[] = {0x7F, 0xBF, 0xFF, 0x7F};
    const QImage out = painted(10, 2, Qt::blue, [&](QPainter& p) { desk::paint_field_rows(p, bits, 10, 2, 2, 2, QRect(0, 0, 10, 2)); });
    for (const auto& [x, y, ink] : {std::tuple{0, 0, true}, {1, 0, false}, {9, 0, true}, {8, 1, true}, {9, 1, false}})
        EXPECT_EQ(out.pixel(x, y), ink ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
}

TEST(LightPainting, EachLightHasItsOwnColour) {
    for (desk::Light l : {desk::Light::Gray, desk::Light::Red, desk::Light::Yellow, desk::Light::Green}) {
        const QImage out = painted(20, 20, Qt::white, [&](QPainter& p) { desk::draw_light(p, QRect(0, 0, 20, 20), l); });
        EXPECT_LT(std::abs(QColor(out.pixel(11, 11)).hue() - desk::light_colour(l).hue()) % 360, 20) << int(l);
        EXPECT_NE(out.pixel(0, 0), out.pixel(10, 10));
    }
}

// A control too narrow for its label or a later text is widened, font kept; right neighbours move.
TEST(TemplateWidgetLabels, AControlTooNarrowForItsTextIsWidenedAndItsRightNeighboursMove) {
    desk::DialogTemplate t{"T", "MS Sans Serif", 8, 200, 14, {}};
    t.controls = {{1, desk::ControlKind::CheckBox, "Show &bitmap", desk::Rect{0, 0, 30, 11}, desk::kStyleTextLeft},
                  {2, desk::ControlKind::CheckBox, "Show &bitmap", desk::Rect{40, 0, 150, 11}, desk::kStyleTextLeft},
                  {3, desk::ControlKind::Text, "", desk::Rect{192, 2, 6, 10}, desk::kStyleSunken}};
    desk::TemplateWidget w(t, nullptr);
    const int points = w.font().pointSize(), width = w.width();
    QWidget *narrow = w.control(0), *wide = w.control(1), *text = w.control(2);
    EXPECT_EQ(narrow->font().pointSize(), points);
    EXPECT_GE(w.text_room(0), w.text_width(0, qobject_cast<QCheckBox*>(narrow)->text()));
    const int grown = narrow->width() - w.units().to_px_x(30);
    EXPECT_GT(grown, 0);
    EXPECT_EQ(wide->geometry(), QRect(w.units().to_px_x(40) + grown, wide->y(), w.units().to_px_x(150), wide->height()));
    const int text_x = text->x();
    w.fit_texts(2, {"Analysis duration: 999999 ms"});
    EXPECT_GE(w.text_room(2), w.text_width(2, QStringLiteral("Analysis duration: 999999 ms")));
    EXPECT_EQ(text->x(), text_x);
    EXPECT_EQ(w.width(), width + text->width() - w.units().to_px_x(6));
}
