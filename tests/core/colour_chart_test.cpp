#include "core/colour_chart.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/colour.h"

namespace prismview {
namespace {

struct Terms {
    std::int32_t max, min;
};
Terms MaxMin(RgbValue c) {
    const std::int32_t r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
    return {std::max({r, g, b}), std::min({r, g, b})};
}

// Every pixel has the L of its row; across the row where the colours are
// fully saturated each column has exactly the hue it stands for; the band
// on the right is grey; black on top, white at the bottom.
TEST(ColourChart, EachPixelHasTheHueAndLightnessItStandsFor) {
    const BitmapHandle chart = MakeColourChart();
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->Width(), kChartWidth);
    ASSERT_EQ(chart->Height(), kChartHeight);
    const ChartLayout layout(kChartWidth, kChartHeight);
    EXPECT_EQ(layout.HueAt(0), 0);
    EXPECT_GT(layout.HueAt(layout.hueColumns - 1), 1525);
    EXPECT_LT(layout.HueAt(layout.hueColumns - 1), 1530);
    EXPECT_EQ(layout.LightnessAt(0), 0);
    EXPECT_EQ(layout.LightnessAt(kChartHeight - 1), 510);
    for (std::int32_t y = 0; y < kChartHeight; ++y) {
        const std::uint32_t* row = chart->Scanline(y);
        for (std::int32_t x = 0; x < kChartWidth; ++x) {
            ASSERT_EQ(row[x] & kOpaque, kOpaque);
            const Terms t = MaxMin(row[x]);
            if (x >= layout.hueColumns) {
                ASSERT_EQ(t.max, t.min) << x << "," << y;
                ASSERT_EQ(t.max + t.min, layout.LightnessAt(y) / 2 * 2) << x << "," << y;
                continue;
            }
            ASSERT_EQ(t.max + t.min, layout.LightnessAt(y)) << x << "," << y;
            ASSERT_EQ(t.max - t.min, std::min(layout.LightnessAt(y), 510 - layout.LightnessAt(y)));
        }
    }
    const std::uint32_t* saturated = chart->Scanline(255);
    for (std::int32_t x = 0; x < layout.hueColumns; ++x)
        ASSERT_EQ(TermsOf(saturated[x] & 0xFFFFFFu).hue, layout.HueAt(x)) << x;
    EXPECT_EQ(chart->Scanline(0)[100] & 0xFFFFFFu, 0u);
    EXPECT_EQ(chart->Scanline(kChartHeight - 1)[100] & 0xFFFFFFu, 0xFFFFFFu);
}

// Between black and white the hue is the nearest the spread allows: never
// more than one step of that spread from the column's.
TEST(ColourChart, LessSaturatedRowsKeepTheirHueToTheSpreadsPrecision) {
    for (const std::int32_t lightness : {20, 101, 254, 256, 400, 490})
        for (std::int32_t hue = 0; hue < 1530; hue += 7) {
            const ColourTerms terms = TermsOf(ChartColour(hue, lightness));
            ASSERT_EQ(terms.l, lightness);
            ASSERT_TRUE(terms.hue);
            const std::int32_t spread = std::min(lightness, 510 - lightness);
            const std::int32_t off = std::abs(*terms.hue - hue);
            ASSERT_LE(std::min(off, 1530 - off), 255 / spread + 1) << hue << " at L " << lightness;
        }
}

TEST(ColourChart, AnySizeFromOnePixelAndNoneBeyondTheLimits) {
    const BitmapHandle one = MakeColourChart(1, 1);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Scanline(0)[0] & 0xFFFFFFu, ChartColour(0, 255));  // no room for a grey band
    const BitmapHandle two = MakeColourChart(2, 3);
    ASSERT_TRUE(two);
    EXPECT_EQ(ChartLayout(2, 3).hueColumns, 1);
    EXPECT_EQ(two->Scanline(2)[1] & 0xFFFFFFu, 0xFFFFFFu);
    for (const auto& [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {kMaxChartSide + 1, 1}})
        EXPECT_FALSE(MakeColourChart(w, h)) << w << "x" << h;
}

}  // namespace
}  // namespace prismview
