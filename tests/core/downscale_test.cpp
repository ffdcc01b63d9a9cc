#include "core/downscale.h"

#include <gtest/gtest.h>

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
