#include "core/downscale.h"

#include <gtest/gtest.h>

#include "hwy/targets.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::BitmapOf;

TEST(Downscale, AveragesEachBlockRoundingToNearest) {
    struct Case {
        const char* name;
        PixelBuffer source;
        std::int32_t width, height;
        PixelBuffer expected;
    };
    const Case cases[] = {
        // Per channel: red (10+20+30+41)/4 = 25.25, green 2/4 = 0.5 rounds up, blue stays.
        {"2x2 to 1", test::Picture(2, 2, {0x0A00FF, 0x1400FF, 0x1E00FF, 0x2902FF}), 1, 1,
         test::Picture(1, 1, {0x1901FF})},
        // Columns 0 | 1 2: the second block is twice as wide.
        {"3 to 2 across", test::Picture(3, 1, {0x0A0000, 0x140000, 0x1F0000}), 2, 1,
         test::Picture(2, 1, {0x0A0000, 0x1A0000})},
        // Rows top 0 | 1 2 | 3 4 from the top: blocks of 1, 2 and 2 rows.
        {"5 to 3 down", test::Picture(1, 5, {0x000010, 0x000020, 0x000031, 0x000001, 0x000002}), 1, 3,
         test::Picture(1, 3, {0x000010, 0x000029, 0x000002})},
        // A one-pixel checkerboard is grey at half size, not all black or all white.
        {"checkerboard", test::MakeBuffer(8, 8, [](std::int32_t x, std::int32_t y) {
             return (x + y) % 2 ? 0xFFFFFFu : 0x000000u;
         }),
         4, 4, test::MakeBuffer(4, 4, [](std::int32_t, std::int32_t) { return 0x808080u; })},
        {"one colour stays", test::MakeBuffer(13, 7, [](std::int32_t, std::int32_t) { return 0x123456u; }), 5, 3,
         test::MakeBuffer(5, 3, [](std::int32_t, std::int32_t) { return 0x123456u; })},
        {"same size copies", test::Varied(7, 5), 7, 5, test::Varied(7, 5)},
    };
    for (const Case& c : cases) {
        const BitmapHandle source = BitmapOf(c.source);
        const BitmapHandle copy = Downscale(*source, c.width, c.height, 1);
        ASSERT_TRUE(copy) << c.name;
        EXPECT_EQ(ReadPixels(*copy).pixels, c.expected.pixels) << c.name;
        EXPECT_EQ(copy->Scanline(0)[0] >> 24, 0xFFu) << c.name;  // opaque, as the store keeps pixels
    }
}

// Blocks of up to 257 rows add up in 16-bit halves, blocks of up to 257
// pixels across their columns too, larger ones pixel by pixel: every road,
// at and past its limit, on every vector target, gives the mean of the block
// (the rows run past whole vectors).
TEST(Downscale, EveryRoadAndVectorTargetGivesTheMean) {
    auto naive = [](const PixelBuffer& from, std::int32_t w, std::int32_t h) {
        return test::MakeBuffer(w, h, [&](std::int32_t c, std::int32_t bottomUp) {
            const std::int32_t r = h - 1 - bottomUp;  // blocks count from the top
            const std::int32_t x0 = c * from.width / w, x1 = (c + 1) * from.width / w;
            const std::int32_t y0 = r * from.height / h, y1 = (r + 1) * from.height / h;
            std::uint64_t s[3] = {};
            for (std::int32_t y = y0; y < y1; ++y)
                for (std::int32_t x = x0; x < x1; ++x)
                    for (int k = 0; k < 3; ++k) s[k] += from.At(x, from.height - 1 - y) >> (16 - 8 * k) & 255u;
            const std::uint64_t n = std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
            return static_cast<RgbValue>((s[0] + n / 2) / n << 16 | (s[1] + n / 2) / n << 8 | (s[2] + n / 2) / n);
        });
    };
    auto white = [](std::int32_t w, std::int32_t h) {
        return test::MakeBuffer(w, h, [](std::int32_t, std::int32_t) { return 0xFFFFFFu; });
    };
    const PixelBuffer varied = test::Varied(67, 300);
    const struct {
        PixelBuffer source;
        std::int32_t width, height;
    } cases[] = {{varied, 33, 150}, {varied, 2, 2}, {varied, 1, 1}, {white(37, 257), 1, 1}, {white(37, 258), 1, 1},
                 {white(257, 1), 1, 1}, {white(258, 1), 1, 1}};
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (const auto& c : cases) {
            PixelBuffer copy = ReadPixels(*Downscale(*BitmapOf(c.source), c.width, c.height, 1));
            for (RgbValue& v : copy.pixels) v &= 0xFFFFFFu;
            EXPECT_EQ(copy.pixels, naive(c.source, c.width, c.height).pixels)
                << hwy::TargetName(target) << " " << c.source.width << "x" << c.source.height << " to " << c.width
                << "x" << c.height;
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(Downscale, SameResultOnAnyNumberOfThreads) {
    const BitmapHandle source = BitmapOf(test::Varied(137, 91));
    const PixelBuffer one = ReadPixels(*Downscale(*source, 40, 17, 1));
    for (int threads : {2, 3, 8}) EXPECT_EQ(ReadPixels(*Downscale(*source, 40, 17, threads)).pixels, one.pixels);
}

TEST(Downscale, RefusesEmptyAndLargerSizes) {
    const BitmapHandle source = BitmapOf(test::Varied(6, 4));
    EXPECT_EQ(Downscale(*source, 0, 2), nullptr);
    EXPECT_EQ(Downscale(*source, 3, -1), nullptr);
    EXPECT_EQ(Downscale(*source, 7, 4), nullptr);
    EXPECT_EQ(Downscale(*source, 6, 5), nullptr);
    EXPECT_NE(Downscale(*source, 1, 1), nullptr);
}

}  // namespace
}  // namespace prismview
