#include <gtest/gtest.h>

#include "core/colour.h"
#include "effects/point_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::PixelCase;

TEST(ColorReduce, LevelBoundaries) {
    struct Case {
        int slot;
        std::int32_t in, out;
    };
    const Case cases[] = {
        {1, 15, 0},  {1, 16, 32},  {1, 47, 32},  {1, 48, 64},  {1, 239, 224}, {1, 240, 255}, {1, 255, 255},
        {2, 31, 0},  {2, 32, 64},  {2, 95, 64},  {2, 96, 128}, {2, 223, 192}, {2, 224, 255},
        {3, 63, 0},  {3, 64, 128}, {3, 191, 128}, {3, 192, 255},
        {4, 127, 0}, {4, 128, 255}, {4, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(test::RunOnPixel(ModeColorReduce, c.slot, c.in * 0x010101u)), Hex(c.out * 0x010101u))
            << "slot " << c.slot << " component " << c.in;
    }
}

TEST(ColorReduce, KnownColours) {
    const PixelCase cases[] = {
        {ModeColorReduce, 1, 0xC86432, 0, 0, 0xC06040},  // (192, 96, 64)
        {ModeColorReduce, 2, 0xC86432, 0, 0, 0xC08040},  // (192, 128, 64)
        {ModeColorReduce, 3, 0xC86432, 0, 0, 0xFF8000},  // (255, 128, 0)
        {ModeColorReduce, 4, 0xC86432, 0, 0, 0xFF0000},  // (255, 0, 0)
    };
    test::ExpectPixelCases(cases);
    for (int slot = 1; slot <= 4; ++slot)
        for (RgbValue colour : {0x000000u, 0xFFFFFFu})
            EXPECT_EQ(Hex(test::RunOnPixel(ModeColorReduce, slot, colour)), Hex(colour)) << "slot " << slot;
}

TEST(TintMono, KnownColours) {
    const PixelCase cases[] = {
        // Two stages, hue 0: the ramp itself.
        {ModeTintMono2, 1, 0xFF0000, 0, 0, 0xFF0000},
        {ModeTintMono2, 2, 0xFF0000, 0, 0, 0xAA0000},  // 2 * 255 / 3 = 170
        {ModeTintMono2, 1, 0x0000FF, 0, 0, 0xFF0000},  // only the tone counts
        {ModeTintMono2, 2, 0x0000FF, 0, 0, 0xAA0000},
        {ModeTintMono2, 1, 0x808080, 0, 0, 0xFF0101},
        {ModeTintMono2, 2, 0x808080, 0, 0, 0xFF0101},
        {ModeTintMono2, 1, 0x000000, 0, 0, 0x000000},
        {ModeTintMono2, 2, 0xFFFFFF, 0, 0, 0xFFFFFF},
        // Turned by the chosen hue.
        {ModeTintMono2, 1, 0xFF0000, 510, 0, 0x00FF00},
        {ModeTintMono2, 1, 0xAAAAAA, 510, 0, 0x55FF55},
        {ModeTintMono2, 1, 0xFF0000, 1529, 0, 0xFF0001},
        {ModeTintMono2, 1, 0xAAAAAA, 1529, 0, 0xFF5555},
        {ModeTintMono2, 1, 0xAAAAAA, 765, 0, 0x55FFFF},
        {ModeTintMono2, 2, 0xFFFFFF, 765, 0, 0xFFFFFF},
        // Three stages, hue 0.
        {ModeTintMono3, 1, 0xFF0000, 0, 0, 0xFF7F00},  // 3 * 255 / 2 = 382
        {ModeTintMono3, 2, 0xFF0000, 0, 0, 0xFF007F},
        {ModeTintMono3, 3, 0xFF0000, 0, 0, 0xFF0000},
        {ModeTintMono3, 4, 0xFF0000, 0, 0, 0xFF0000},
        {ModeTintMono3, 1, 0x808080, 0, 0, 0xFF8100},
        {ModeTintMono3, 3, 0x808080, 0, 0, 0xFF8100},
        {ModeTintMono3, 2, 0x808080, 0, 0, 0xFF0081},
        {ModeTintMono3, 4, 0x808080, 0, 0, 0xFF0081},
        {ModeTintMono3, 3, 0xFFFFFF, 0, 0, 0xFFFFFF},
        {ModeTintMono3, 2, 0x000000, 0, 0, 0x000000},
        // The yellow stage turned to cyan, the magenta stage to yellow.
        {ModeTintMono3, 1, 0xAAAAAA, 510, 0, 0x00FFFF},
        {ModeTintMono3, 2, 0xAAAAAA, 510, 0, 0xFFFF00},
        {ModeTintMono3, 1, 0xFF0000, 1529, 0, 0xFF7E00},
        {ModeTintMono3, 2, 0xFF0000, 1529, 0, 0xFF0080},
        {ModeTintMono3, 1, 0xFF0000, 765, 0, 0x0080FF},
        {ModeTintMono3, 2, 0xFF0000, 765, 0, 0x00FF80},
    };
    test::ExpectPixelCases(cases);
}

TEST(TintMono2, LastTwoSlotsAreWhite) {
    const PixelBuffer base = test::Varied(31, 17);
    const PixelBuffer white = test::MakeBuffer(31, 17, [](std::int32_t, std::int32_t) { return 0xFFFFFFu; });
    for (std::int32_t hue : {0, 700, 1529}) {
        ProcessingParams params;
        params.effectMode = ModeTintMono2;
        params.hue = hue;
        EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, 3), white), "") << "hue " << hue;
        EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, 4), white), "") << "hue " << hue;
    }
}

TEST(ColourReduction, SameForAnyThreadCount) {
    for (std::int32_t mode : {ModeColorReduce, ModeTintMono2, ModeTintMono3}) {
        ProcessingParams params;
        params.effectMode = mode;
        params.hue = 222;
        test::ExpectSameForAnyThreadCount(params);
    }
}

}  // namespace
}  // namespace prismview
