#include "core/colour_counts.h"

#include <gtest/gtest.h>

#include <numeric>

#include "core/colour.h"
#include "core/colour_chart.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// The counts as the probe reads each pixel's colour, one pixel at a time.
ColourCounts ProbeCount(const PixelBuffer& pixels, std::int32_t rowStep = 1) {
    ColourCounts counts;
    const BitmapHandle bitmap = test::BitmapOf(pixels);
    for (std::int32_t row = 0; row < pixels.height; row += rowStep)
        for (std::int32_t x = 0; x < pixels.width; ++x) {
            const ColourTerms terms = TermsOf(bitmap->Scanline(row)[x] & 0xFFFFFFu);
            ++counts.r[terms.r];
            ++counts.g[terms.g];
            ++counts.b[terms.b];
            ++counts.l[terms.l];
            ++counts.t[terms.t];
            ++counts.spread[std::max({terms.r, terms.g, terms.b}) - std::min({terms.r, terms.g, terms.b})];
            if (terms.hue) ++counts.hue[*terms.hue % kHueSteps];
            else ++counts.greys;
            ++counts.pixels;
        }
    return counts;
}

// Colours 5 apart in each channel, every combination once: greys, the pure
// hues, red at both ends of the wheel.
TEST(CountColours, EqualTheProbesTermsOfEveryPixel) {
    const PixelBuffer every = test::MakeBuffer(52 * 52, 52, [](std::int32_t x, std::int32_t y) {
        return static_cast<RgbValue>((x % 52) * 5 << 16 | (x / 52) * 5 << 8 | y * 5);
    });
    const BitmapHandle bitmap = test::BitmapOf(every);
    const ColourCounts counts = CountColours(*bitmap, 1, 2);
    EXPECT_EQ(counts, ProbeCount(every));
    EXPECT_EQ(counts.pixels, 52u * 52 * 52);
    EXPECT_EQ(counts.greys, 52u);
    EXPECT_EQ(counts.spread[0], 52u);
    for (std::size_t v = 0; v < 256; ++v) EXPECT_EQ(counts.r[v], v % 5 == 0 ? 52u * 52 : 0u) << v;
    EXPECT_EQ(std::accumulate(counts.hue.begin(), counts.hue.end(), std::uint64_t{0}) + counts.greys, counts.pixels);
    // Every third row: the rows a scope samples.
    EXPECT_EQ(CountColours(*bitmap, 3, 1), ProbeCount(every, 3));
    EXPECT_EQ(CountColours(*bitmap, 3, 1).pixels, 52u * 52 * 18);
    EXPECT_EQ(CountColours(*bitmap, 0, 1), counts);  // below 1: every row
}

TEST(CountColours, AGreyPictureHasOneBinOfEachTermAndNoHue) {
    const PixelBuffer grey = test::MakeBuffer(7, 3, [](std::int32_t, std::int32_t) { return RgbValue{0x808080}; });
    const ColourCounts counts = CountColours(*test::BitmapOf(grey));
    EXPECT_EQ(counts.greys, 21u);
    EXPECT_EQ(counts.l[256], 21u);
    EXPECT_EQ(counts.t[384], 21u);
    EXPECT_EQ(counts.r[128], 21u);
    EXPECT_EQ(std::accumulate(counts.hue.begin(), counts.hue.end(), std::uint64_t{0}), 0u);
    // One colour at a time, as the probe's: pure red is the wheel's 0.
    ColourCounts one;
    CountColour(one, 0xFF0000);
    CountColour(one, 0xFF00FF);
    EXPECT_EQ(one.hue[0], 1u);
    EXPECT_EQ(one.hue[static_cast<std::size_t>(HueOf(0xFF00FF) % kHueSteps)], 1u);
    EXPECT_EQ(one.pixels, 2u);
}

// The chart: every hue and every L, greys in the band and in the black and
// white rows.
TEST(CountColours, OfTheChartEqualAPlainCount) {
    const BitmapHandle chart = MakeColourChart(kChartWidth, kChartHeight);
    ASSERT_TRUE(chart);
    const PixelBuffer pixels = ReadPixels(*chart);
    const ColourCounts counts = CountColours(*chart, 1, 2);
    EXPECT_EQ(counts, ProbeCount(pixels));
    EXPECT_EQ(counts.pixels, std::uint64_t{kChartWidth} * kChartHeight);
}

}  // namespace
}  // namespace prismview
