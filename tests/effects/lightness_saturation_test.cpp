#include <gtest/gtest.h>

#include "core/colour.h"
#include "effects/point_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::PixelCase;

TEST(BrightenDarken, KnownColours) {
    const PixelCase cases[] = {
        // 0x806040 at level 100; mode 8 scales it to k = 318 * 100 / 255 = 124.
        {ModeBrighten, 1, 0x806040, 0, 100, 0xC29261},
        {ModeBrighten, 2, 0x806040, 0, 100, 0xA7927C},
        {ModeBrighten, 3, 0x806040, 0, 100, 0xD29E69},
        {ModeBrighten, 4, 0x806040, 0, 100, 0xB19E8A},
        // Mode 9 scales it to k = 192 * 100 / 255 = 75, and negates.
        {ModeDarken, 1, 0x806040, 0, 100, 0x592E04},
        {ModeDarken, 2, 0x806040, 0, 100, 0x3E2E1F},
        {ModeDarken, 3, 0x806040, 0, 100, 0x633B13},
        {ModeDarken, 4, 0x806040, 0, 100, 0x4E3B27},
        {ModeBrighten, 1, 0x7F7F7F, 0, 255, 0xFEFEFE},  // the grey shift adds 255 / 2
    };
    test::ExpectPixelCases(cases);
}

struct WholePicture {
    std::int32_t mode;
    std::int32_t level;
    std::vector<int> slots;
    RgbValue everywhere;
};

// At level 255 the simultaneous slots use each pixel's whole distance, and at
// 510 even the additive slots have enough: the picture ends on white or black.
TEST(BrightenDarken, WholeDistanceEndsOnWhiteOrBlack) {
    const WholePicture cases[] = {
        {ModeBrighten, 255, {3, 4}, 0xFFFFFF},
        {ModeDarken, 255, {3, 4}, 0x000000},
        {ModeBrighten, 510, {1, 2, 3, 4}, 0xFFFFFF},
        {ModeDarken, 510, {1, 2, 3, 4}, 0x000000},
    };
    const PixelBuffer base = test::Varied(61, 53);
    for (const WholePicture& c : cases) {
        ProcessingParams params;
        params.effectMode = c.mode;
        params.level = c.level;
        const PixelBuffer expected = test::MakeBuffer(61, 53, [&](std::int32_t, std::int32_t) { return c.everywhere; });
        for (int slot : c.slots)
            EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, slot), expected), "")
                << "mode " << c.mode << " level " << c.level << " slot " << slot;
    }
}

TEST(LightnessSaturation, LevelZeroKeepsTheSource) {
    const PixelBuffer base = test::Varied(61, 53);
    struct Case { std::int32_t mode; std::vector<int> slots; };
    const Case cases[] = {{ModeBrighten, {1, 2, 3, 4}},
                          {ModeDarken, {1, 2, 3, 4}},
                          {ModeSaturation, {1, 2, 3, 4}},
                          {ModeSaturation2, {1, 2, 4}}};
    for (const Case& c : cases)
        for (int slot : c.slots) {
            ProcessingParams params;
            params.effectMode = c.mode;
            params.hue = 400;
            EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, slot), base), "")
                << "mode " << c.mode << " slot " << slot;
        }
}

TEST(Saturation, KnownColours) {
    const PixelCase cases[] = {
        {ModeSaturation, 1, 0xC86432, 0, 100, 0xFA5300},
        {ModeSaturation, 2, 0xC86432, 0, 100, 0x7D7D7D},
        {ModeSaturation, 3, 0xC86432, 0, 100, 0xEF570B},
        {ModeSaturation, 4, 0xC86432, 0, 100, 0x8E776C},
        {ModeSaturation, 3, 0xC86432, 0, 128, 0xFA5300},
        {ModeSaturation, 4, 0xC86432, 0, 128, 0x7E7C7C},
        {ModeSaturation, 4, 0xC86432, 0, 255, 0x7D7D7D},
        {ModeSaturation, 1, 0x808080, 0, 100, 0xE31D1D},
        {ModeSaturation, 2, 0x808080, 0, 100, 0x808080},
        {ModeSaturation, 1, 0x808080, 0, 128, 0xFF0101},
        // The saturation inversion ignores the level.
        {ModeSaturation2, 3, 0xC86432, 0, 0, 0xAF6C4B},
        {ModeSaturation2, 3, 0x806040, 0, 0, 0xA06020},
        {ModeSaturation2, 3, 0xFF0000, 0, 0, 0x807F7F},
        {ModeSaturation2, 3, 0x808080, 0, 0, 0xFF0101},
        {ModeSaturation2, 3, 0x806040, 0, 333, 0xA06020},
        {ModeSaturation2, 4, 0xC86432, 0, 100, 0x668594},
        {ModeSaturation2, 4, 0xC86432, 0, 255, 0x00A7FA},
        {ModeSaturation2, 1, 0xC86432, 0, 128, 0xFA5300},
        {ModeSaturation2, 2, 0xC86432, 0, 128, 0xFA5300},
        {ModeSaturation2, 4, 0x808080, 0, 100, 0x1DE3E3},  // a grey opens into the opposite hue
    };
    test::ExpectPixelCases(cases);
}

// A grey (chosen hue green) and pure red through every slot at the four
// telling levels. Grey 128 has headroom 254; red has no room to widen.
TEST(Saturation, GreyAndPureColourAtEveryLevel) {
    struct Case {
        std::int32_t mode;
        int slot;
        RgbValue colour;
        RgbValue expected[4];  // levels 0, 128, 255, 510
    };
    const Case cases[] = {
        {ModeSaturation, 1, 0x808080, {0x808080, 0x01FF01, 0x01FF01, 0x01FF01}},
        {ModeSaturation, 2, 0x808080, {0x808080, 0x808080, 0x808080, 0x808080}},
        {ModeSaturation, 3, 0x808080, {0x808080, 0x01FF01, 0x01FF01, 0x01FF01}},
        {ModeSaturation, 4, 0x808080, {0x808080, 0x808080, 0x808080, 0x808080}},
        {ModeSaturation2, 1, 0x808080, {0x808080, 0x808080, 0x808080, 0x808080}},
        {ModeSaturation2, 2, 0x808080, {0x808080, 0x808080, 0x808080, 0x808080}},
        {ModeSaturation2, 3, 0x808080, {0x01FF01, 0x01FF01, 0x01FF01, 0x01FF01}},
        {ModeSaturation2, 4, 0x808080, {0x808080, 0xFF01FF, 0xFF01FF, 0xFF01FF}},
        {ModeSaturation, 1, 0xFF0000, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
        {ModeSaturation, 2, 0xFF0000, {0xFF0000, 0x7F7F7F, 0x7F7F7F, 0x7F7F7F}},
        {ModeSaturation, 3, 0xFF0000, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
        {ModeSaturation, 4, 0xFF0000, {0xFF0000, 0x7F7F7F, 0x7F7F7F, 0x7F7F7F}},
        {ModeSaturation2, 1, 0xFF0000, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
        {ModeSaturation2, 2, 0xFF0000, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
        {ModeSaturation2, 3, 0xFF0000, {0x807F7F, 0x807F7F, 0x807F7F, 0x807F7F}},
        {ModeSaturation2, 4, 0xFF0000, {0xFF0000, 0x7F8080, 0x00FFFF, 0x00FFFF}},
    };
    const std::int32_t levels[4] = {0, 128, 255, 510};
    for (const Case& c : cases)
        for (int i = 0; i < 4; ++i) {
            ProcessingParams params;
            params.hue = 510;
            params.level = levels[i];
            EXPECT_EQ(Hex(test::RunOnPixel(c.mode, c.slot, c.colour, params)), Hex(c.expected[i]))
                << "mode " << c.mode << " slot " << c.slot << " of " << Hex(c.colour) << " level " << levels[i];
        }
}

TEST(Saturation, BlackAndWhiteStay) {
    for (std::int32_t mode : {ModeSaturation, ModeSaturation2})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t level : {0, 100, 255, 510})
                for (RgbValue colour : {0x000000u, 0xFFFFFFu}) {
                    ProcessingParams params;
                    params.hue = 900;
                    params.level = level;
                    EXPECT_EQ(Hex(test::RunOnPixel(mode, slot, colour, params)), Hex(colour))
                        << "mode " << mode << " slot " << slot << " level " << level;
                }
}

TEST(LightnessSaturation, SameForAnyThreadCount) {
    for (std::int32_t mode : {ModeBrighten, ModeDarken, ModeSaturation, ModeSaturation2}) {
        ProcessingParams params;
        params.effectMode = mode;
        params.hue = 1300;
        params.level = 77;
        test::ExpectSameForAnyThreadCount(params);
    }
}

}  // namespace
}  // namespace prismview
