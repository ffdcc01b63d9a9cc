#include "platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "support/test_support.h"

namespace prismview {
namespace {

// Draws on a white image of 200 x 120 screen pixels at that pixel ratio.
template <class Draw>
QImage DrawAt(qreal ratio, Draw draw) {
    QImage target(200, 120, QImage::Format_RGB32);
    target.setDevicePixelRatio(ratio);
    target.fill(Qt::white);
    QPainter painter(&target);
    QtCanvas canvas(painter, ratio);
    draw(canvas);
    painter.end();
    return target;
}

// The rows of the image that hold a dark pixel.
int DarkRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ++rows;
                break;
            }
    return rows;
}

TEST(QtCanvas, AtAPixelRatioOfTwoPicturesAndFillsCountScreenPixelsTextsKeepTheirSize) {
    BitmapHandle bitmap = Bitmap::Create(10, 6);
    ASSERT_TRUE(WritePixels(*bitmap, test::Varied(10, 6)));
    for (qreal ratio : {1.0, 2.0}) {
        const QImage shown = DrawAt(ratio, [&](Canvas& canvas) {
            canvas.DrawImage({3, 5}, *bitmap, {10, 6});
            canvas.FillRect({50, 0, 82, 16}, 0xFF0000);
        });
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(shown.pixel(3 + x, 5 + y) & 0xFFFFFFu, PixelAt(*bitmap, x, y)) << ratio << ": " << x << "," << y;
        EXPECT_EQ(shown.pixel(13, 5) & 0xFFFFFFu, 0xFFFFFFu) << ratio;  // one picture pixel, one screen pixel
        EXPECT_EQ(shown.pixel(81, 15) & 0xFFFFFFu, 0xFF0000u) << ratio;
        EXPECT_EQ(shown.pixel(82, 15) & 0xFFFFFFu, 0xFFFFFFu) << ratio;
        EXPECT_EQ(shown.pixel(81, 16) & 0xFFFFFFu, 0xFFFFFFu) << ratio;
    }
    auto text = [](Canvas& canvas) { canvas.DrawText({0, 0}, "←→で指定"); };
    const int single = DarkRows(DrawAt(1, text));
    ASSERT_GT(single, 4);
    EXPECT_GE(DarkRows(DrawAt(2, text)), single * 3 / 2);
}

// An enlarged picture: every screen pixel shows the picture pixel whose
// block holds it, also where the target starts above and left of the image
// and runs past its far edges (only the visible part is drawn), at both pixel
// ratios.
TEST(QtCanvas, EnlargedPicturesShowEachPixelAsABlock) {
    const PixelBuffer pixels = test::Varied(60, 40);
    BitmapHandle bitmap = test::BitmapOf(pixels);
    struct Case {
        Rect target;
        int times;
    };
    const Case cases[] = {{{-37, -22, -37 + 60 * 5, -22 + 40 * 5}, 5},  // five times, scrolled past the edges
                          {{10, 5, 10 + 60 * 2, 5 + 40 * 2}, 2}};      // twice, ending inside
    for (const Case& c : cases) {
        for (qreal ratio : {1.0, 2.0}) {
            const Rect target = c.target;
            const QImage shown = DrawAt(ratio, [&](Canvas& canvas) { canvas.DrawImageEnlarged(target, *bitmap); });
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 200; ++x) {
                    const bool inside = x >= target.left && y >= target.top && x < target.right && y < target.bottom;
                    const RgbValue expected =
                        inside ? PixelAt(*bitmap, (x - target.left) / c.times, (y - target.top) / c.times) : 0xFFFFFFu;
                    ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFFu, expected) << ratio << ": " << x << "," << y;
                }
        }
    }
}

}  // namespace
}  // namespace prismview
