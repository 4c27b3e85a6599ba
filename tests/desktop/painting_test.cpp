// Pages made into images, and the widening of a template's controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>

#include "page_painter.h"
#include "qt_test_app.h"
#include "template_widget.h"

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new qttest::Application("desktop_qt_tests"));

// Gray rows are copied without their padding; no data, or rows shorter than the width, give no image.
TEST(PagePainting, CopiesGrayRowsWithoutThePaddingAndRefusesShortRows) {
    const unsigned char page[] = {0, 100, 200, 9, 50, 150, 255, 9};  // bpl 4, 3 columns
    const QImage img = desk::page_image(page, 3, 2, 4);
    EXPECT_EQ(std::pair(qGray(img.pixel(1, 0)), qGray(img.pixel(2, 1))), std::pair(100, 255));
    EXPECT_TRUE(desk::page_image(nullptr, 3, 2, 4).isNull());
    EXPECT_TRUE(desk::page_image(page, 5, 2, 4).isNull());
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
