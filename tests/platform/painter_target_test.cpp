#include "platform/painter_target.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

namespace {

// Columns only line up if measuring and drawing agree, in the target's units.
TEST(PainterTargetTest, MeasuresAndDrawsInTheTargetsUnits) {
    QImage image(400, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterTarget pixels(painter, 1);
    PainterTarget halves(painter, 2);  // one unit is two pixels
    const QString text = QStringLiteral("Kompressortemperatur");
    const double width = pixels.text_width(text);
    EXPECT_GT(width, 50);
    EXPECT_NEAR(halves.text_width(text), width / 2, 1e-9);
    pixels.font.bold = true;
    EXPECT_GT(pixels.text_width(text), width);
    pixels.font.size = 22;
    EXPECT_GT(pixels.text_height(text), halves.text_height(text) * 2 * 1.5);

    halves.current_x = 10;
    halves.current_y = 5;
    ASSERT_TRUE(halves.draw_text(text));
    EXPECT_NEAR(halves.current_x, 10 + halves.text_width(text), 1e-9);
    halves.draw_line(10, 40, 60, 40, 1);
    painter.end();
    // Ink from x = 20 px on, nothing left of it; the rule at y = 80 px.
    auto ink_in = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (qGray(image.pixel(x, y)) < 128) return true;
        return false;
    };
    EXPECT_FALSE(ink_in(0, 19, 0, 60));
    EXPECT_TRUE(ink_in(20, 40, 10, 40));
    EXPECT_TRUE(ink_in(60, 110, 79, 82));
    EXPECT_FALSE(pixels.draw_text(text));  // the painter has ended
}

}  // namespace
