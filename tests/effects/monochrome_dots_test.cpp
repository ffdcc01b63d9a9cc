#include <gtest/gtest.h>

#include "core/colour.h"
#include "effects/point_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::PixelCase;

TEST(Monochrome, KnownGreys) {
    const PixelCase cases[] = {
        {ModeMonochrome, 1, 0xC86432, 0, 0, 0x7D7D7D},  // L / 2 = 125
        {ModeMonochrome, 2, 0xC86432, 0, 0, 0x828282},
        {ModeMonochrome, 3, 0xC86432, 0, 0, 0x747474},  // T / 3 = 350 / 3 = 116
        {ModeMonochrome, 4, 0xC86432, 0, 0, 0x8B8B8B},
        {ModeMonochrome, 1, 0xFFFFFF, 0, 0, 0xFFFFFF},
        {ModeMonochrome, 2, 0xFFFFFF, 0, 0, 0x000000},
        {ModeMonochrome, 3, 0xFFFFFF, 0, 0, 0xFFFFFF},
        {ModeMonochrome, 4, 0xFFFFFF, 0, 0, 0x000000},
        {ModeMonochrome, 1, 0x010000, 0, 0, 0x000000},  // L / 2 = 0
        {ModeMonochrome, 3, 0xAB010000, 0, 0, 0x000000},  // bits 24..31 of the source play no part
    };
    test::ExpectPixelCases(cases);
}

// The pixel with index 0 has the dot value 1000000: 400 modulo 510, 145
// modulo 765 and modulo 255.
TEST(DotsMono, ThresholdAtIndexZero) {
    const PixelCase cases[] = {
        {ModeDotsMono, 1, 0xC8C8C8, 0, 0, 0x000000},  // L = 400: not above the dot value
        {ModeDotsMono, 1, 0xC9C8C8, 0, 0, 0xFFFFFF},  // L = 401
        {ModeDotsMono, 2, 0xC8C8C8, 0, 0, 0xFFFFFF},
        {ModeDotsMono, 2, 0xC9C8C8, 0, 0, 0x000000},
        {ModeDotsMono, 3, 0x303031, 0, 0, 0x000000},  // T = 145
        {ModeDotsMono, 3, 0x313031, 0, 0, 0xFFFFFF},  // T = 146
        {ModeDotsMono, 4, 0x303031, 0, 0, 0xFFFFFF},
        {ModeDotsMono, 4, 0x313031, 0, 0, 0x000000},
        {ModeDotsColor, 2, 0x919191, 0, 0, 0x000000},  // grey 145: r < 145 fails
        {ModeDotsColor, 2, 0x929292, 0, 0, 0xFFFFFF},
    };
    test::ExpectPixelCases(cases);
}

PixelBuffer Flat(RgbValue colour) {
    return test::MakeBuffer(160, 90, [=](std::int32_t, std::int32_t) { return colour; });
}

std::int32_t IndexOf(const PixelBuffer& b, std::int32_t x, std::int32_t y) { return y * b.width + x; }

// Slots 2 and 4 use the same dot value as slots 1 and 3 at every position.
TEST(DotsMono, NegativeSlotsAreExactNegatives) {
    ProcessingParams params;
    params.effectMode = ModeDotsMono;
    const PixelBuffer base = test::Varied(97, 71);
    const auto slots = test::RunPass(base, params, 2);
    std::int32_t whites = 0;
    for (std::size_t i = 0; i < base.pixels.size(); ++i) {
        ASSERT_EQ(Hex(slots[1].pixels[i]), Hex(slots[0].pixels[i] ^ 0xFFFFFFu)) << "index " << i;
        ASSERT_EQ(Hex(slots[3].pixels[i]), Hex(slots[2].pixels[i] ^ 0xFFFFFFu)) << "index " << i;
        ASSERT_TRUE(slots[0].pixels[i] == 0xFFFFFFu || slots[0].pixels[i] == 0u);
        whites += slots[0].pixels[i] == 0xFFFFFFu;
    }
    EXPECT_GT(whites, 0);
    EXPECT_LT(whites, static_cast<std::int32_t>(base.pixels.size()));
}

// The dot value is computed once per pass and reduced per slot; on a picture
// of many rows split across threads every pixel must come out as the dot
// value computed afresh for its index says. Flat pictures make the expected
// pattern plain: each pixel is one of two colours by r < threshold.
TEST(DotNoiseReuse, MatchesTheValueComputedAfresh) {
    struct Case {
        std::int32_t mode;
        int slot;
        RgbValue colour;
        std::int32_t modulus;
        std::int32_t threshold;  // r < threshold gives `below`, otherwise `above`
        RgbValue below, above;
    };
    const Case cases[] = {
        {ModeDotsMono, 1, 0x808080, 510, 256, 0xFFFFFF, 0x000000},
        {ModeDotsMono, 2, 0x808080, 510, 256, 0x000000, 0xFFFFFF},
        {ModeDotsMono, 3, 0x605040, 765, 240, 0xFFFFFF, 0x000000},
        {ModeDotsMono, 4, 0x605040, 765, 240, 0x000000, 0xFFFFFF},
        {ModeDotsColor, 2, 0x646464, 255, 100, 0xFFFFFF, 0x000000},  // grey: white below its level
        {ModeDotsColor, 4, 0x646464, 255, 100, 0xFFFFFF, 0x000000},
        {ModeDotsColor, 3, 0xFF8000, 255, 128, 0xFFFF00, 0xFF0000},  // orange: yellow or red dots
        {ModeDotsColor, 4, 0xFF8000, 255, 128, 0xFFFF00, 0xFF0000},
        // White stays white and black black in slots 1 and 3; 2 and 4 swap them.
        {ModeDotsMono, 1, 0xFFFFFF, 510, 510, 0xFFFFFF, 0x000000},
        {ModeDotsMono, 2, 0xFFFFFF, 510, 510, 0x000000, 0xFFFFFF},
        {ModeDotsMono, 3, 0x000000, 765, 0, 0xFFFFFF, 0x000000},
        {ModeDotsMono, 4, 0x000000, 765, 0, 0x000000, 0xFFFFFF},
        // Mode 5 keeps a grey in slots 1 and 3 (y = g), and a fully saturated
        // colour in slots 1 and 2 (every pixel a dot of the pure colour).
        {ModeDotsColor, 1, 0x646464, 255, 0, 0, 0x646464},
        {ModeDotsColor, 3, 0x646464, 255, 0, 0, 0x646464},
        {ModeDotsColor, 1, 0x00FF40, 255, 255, 0x00FF40, 0},
        {ModeDotsColor, 2, 0xFF00FF, 255, 255, 0xFF00FF, 0},
    };
    for (const Case& c : cases) {
        ProcessingParams params;
        params.effectMode = c.mode;
        const PixelBuffer base = Flat(c.colour);
        const PixelBuffer expected = test::MakeBuffer(base.width, base.height, [&](std::int32_t x, std::int32_t y) {
            return DotNoise(IndexOf(base, x, y), c.modulus) < c.threshold ? c.below : c.above;
        });
        const auto slots = test::RunPass(base, params, 3);
        EXPECT_EQ(test::FirstDifference(slots[c.slot - 1], expected), "") << "mode " << c.mode << " slot " << c.slot;
    }
}

// At index 0 (r = 145) every branch of mode 5 can be reached by the choice
// of colour.
TEST(DotsColor, BranchesAtIndexZero) {
    const PixelCase cases[] = {
        // min <= 145 < max: the pure colour, stretched to 0..255.
        {ModeDotsColor, 1, 0xC86432, 0, 0, 0xFF5500},   // (150, 50, 0) * 255 / 150
        {ModeDotsColor, 2, 0xC86432, 0, 0, 0xFF5500},
        // Below min: grey y = min * 255 / (255 - spread), or white.
        {ModeDotsColor, 1, 0xF0C8A0, 0, 0, 0xE9E9E9},   // 160 * 255 / 175 = 233
        {ModeDotsColor, 2, 0xF0C8A0, 0, 0, 0xFFFFFF},
        // From max on: the grey, or black.
        {ModeDotsColor, 1, 0x806040, 0, 0, 0x555555},   // 64 * 255 / 191 = 85
        {ModeDotsColor, 2, 0x806040, 0, 0, 0x000000},
        // Six-colour dots: r = 145 against the pure colour's middle channel.
        {ModeDotsColor, 3, 0xC86432, 0, 0, 0xFF0000},   // max R, min B: pg = 85, not above 145: red
        {ModeDotsColor, 3, 0xC8B432, 0, 0, 0xFFFF00},   // pg = 130 * 255 / 150 = 221: yellow
        {ModeDotsColor, 4, 0xC832B4, 0, 0, 0xFF00FF},   // max R, min G: pb = 221: magenta
        {ModeDotsColor, 4, 0xC83264, 0, 0, 0xFF0000},   // pb = 85: red
        {ModeDotsColor, 3, 0xB4C832, 0, 0, 0xFFFF00},   // max G, min B: pr = 221: yellow
        {ModeDotsColor, 3, 0x64C832, 0, 0, 0x00FF00},   // pr = 85: green
        {ModeDotsColor, 3, 0x32C8B4, 0, 0, 0x00FFFF},   // max G, min R: pb = 221: cyan
        {ModeDotsColor, 3, 0x32C864, 0, 0, 0x00FF00},
        {ModeDotsColor, 3, 0xB432C8, 0, 0, 0xFF00FF},   // max B, min G: pr = 221: magenta
        {ModeDotsColor, 3, 0x6432C8, 0, 0, 0x0000FF},
        {ModeDotsColor, 3, 0x32B4C8, 0, 0, 0x00FFFF},   // max B, min R: pg = 221: cyan
        {ModeDotsColor, 3, 0x3264C8, 0, 0, 0x0000FF},
        {ModeDotsColor, 3, 0xC8C832, 0, 0, 0xFFFF00},   // R = G = max: the first row, pg = 255
        {ModeDotsColor, 3, 0xC83232, 0, 0, 0xFF0000},   // G = B = min: the first row, pg = 0
    };
    test::ExpectPixelCases(cases);
}

TEST(MonochromeDots, SameForAnyThreadCount) {
    for (std::int32_t mode : {ModeMonochrome, ModeDotsMono, ModeDotsColor}) {
        ProcessingParams params;
        params.effectMode = mode;
        test::ExpectSameForAnyThreadCount(params);
    }
}

}  // namespace
}  // namespace prismview
