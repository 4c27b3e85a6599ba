// Painting of the page and of field bitmaps, and the lights, into images.
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

TEST(PagePainting, CopiesGrayRowsSkipsThePaddingAndStretches) {
    const unsigned char page[] = {0, 100, 200, 9, 50, 150, 255, 9};  // bpl 4, 3 columns
    QImage img = desk::page_image(page, 3, 2, 4);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(qGray(img.pixel(1, 0)), 100);
    EXPECT_EQ(qGray(img.pixel(2, 1)), 255);
    EXPECT_TRUE(desk::page_image(nullptr, 3, 2, 4).isNull());
    EXPECT_TRUE(desk::page_image(page, 5, 2, 4).isNull());  // rows shorter than the width
    // Stretched onto the target.
    const unsigned char two[] = {0, 255};
    QImage src = desk::page_image(two, 2, 1, 2);
    QImage out(40, 10, QImage::Format_RGB32);
    out.fill(Qt::red);
    QPainter p(&out);
    ASSERT_TRUE(desk::paint_page(p, src, QRect(0, 0, 40, 10)));
    p.end();
    EXPECT_LT(qGray(out.pixel(2, 5)), 30);
    EXPECT_GT(qGray(out.pixel(37, 5)), 225);
}

TEST(FieldPainting, DrawsInkBlackAndBackgroundWhiteRowByRow) {
    // 10 x 2 bitmap, 2 bytes per row: row 0 ink in pixel 0 and 9, row 1 all
    // background except pixel 8.
    const unsigned char bits[] = {0x7F, 0xBF, 0xFF, 0x7F};
    QImage out(10, 2, QImage::Format_RGB32);
    out.fill(Qt::blue);
    QPainter p(&out);
    desk::paint_field_rows(p, bits, 10, 2, 2, 2, QRect(0, 0, 10, 2));
    p.end();
    EXPECT_EQ(out.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(9, 0), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(8, 1), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(9, 1), qRgb(255, 255, 255));
}

TEST(LightPainting, EachLightHasItsOwnColour) {
    for (desk::Light l : {desk::Light::Gray, desk::Light::Red, desk::Light::Yellow, desk::Light::Green}) {
        QImage out(20, 20, QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter p(&out);
        desk::draw_light(p, QRect(0, 0, 20, 20), l);
        p.end();
        const QColor c = QColor(out.pixel(11, 11));
        const QColor want = desk::light_colour(l);
        EXPECT_LT(std::abs(c.hue() - want.hue()) % 360, 20) << static_cast<int>(l);
        EXPECT_NE(out.pixel(0, 0), out.pixel(10, 10));
    }
}

TEST(TemplateWidgetLabels, AControlTooNarrowForItsTextIsWidenedAndItsRightNeighboursMove) {
    desk::DialogTemplate t;
    t.name = "T";
    t.font_family = "MS Sans Serif";
    t.font_points = 8;
    t.width_dlu = 200;
    t.height_dlu = 14;
    t.controls = {{1, desk::ControlKind::CheckBox, "Show &bitmap", desk::Rect{0, 0, 30, 11}, desk::kStyleTextLeft},
                  {2, desk::ControlKind::CheckBox, "Show &bitmap", desk::Rect{40, 0, 150, 11}, desk::kStyleTextLeft},
                  {3, desk::ControlKind::Text, "", desk::Rect{192, 2, 6, 10}, desk::kStyleSunken}};
    desk::TemplateWidget w(t, nullptr);
    const int points = w.font().pointSize();
    const int width = w.width();
    auto* narrow = qobject_cast<QCheckBox*>(w.control(0));
    auto* wide = qobject_cast<QCheckBox*>(w.control(1));
    ASSERT_TRUE(narrow && wide);
    // The label keeps its font and gets the room it needs.
    EXPECT_EQ(narrow->font().pointSize(), points);
    EXPECT_GE(w.text_room(0), w.text_width(0, narrow->text()));
    const int grown = narrow->width() - w.units().to_px_x(30);
    EXPECT_GT(grown, 0);
    EXPECT_EQ(wide->x(), w.units().to_px_x(40) + grown);
    EXPECT_EQ(wide->width(), w.units().to_px_x(150));
    // A text set later that does not fit widens its control the same way.
    QWidget* text = w.control(2);
    const int text_x = text->x();
    w.fit_texts(2, {"Analysis duration: 999999 ms"});
    EXPECT_GE(w.text_room(2), w.text_width(2, QStringLiteral("Analysis duration: 999999 ms")));
    EXPECT_EQ(text->x(), text_x);
    EXPECT_EQ(w.width(), width + text->width() - w.units().to_px_x(6));
    EXPECT_GE(w.width(), text->geometry().right());
}
