#include "core/shifts.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/colour.h"
#include "effects/vector_kernels.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::Hex;

// One colour shifted by the kernels that run in the passes.
RgbValue ShiftLightness(RgbValue colour, std::int32_t amount, bool straight) {
    RgbValue out = 0;
    ShiftLightnessRun(&colour, &out, 1, {amount < 0 ? -amount : amount, amount < 0, false, straight});
    return out & 0xFFFFFFu;
}
RgbValue ShiftSaturation(RgbValue colour, std::int32_t amount, SaturationRule rule, std::int32_t hue) {
    const Pixel p = SplitPixel(colour);
    std::vector<std::uint32_t> plans(256 * 257 / 2);
    plans[static_cast<std::size_t>(p.max * (p.max + 1) / 2 + p.min)] =
        PackSaturationPlan(PlanSaturation(p.max, p.min, amount, rule, hue));
    RgbValue out = 0;
    ApplySaturationRun(&colour, &out, 1, plans.data());
    return out & 0xFFFFFFu;
}

struct LightnessCase {
    RgbValue colour;
    std::int32_t amount;
    bool straight;
    RgbValue expected;
};

TEST(ShiftLightness, KnownShifts) {
    const LightnessCase cases[] = {
        {0x806040, 100, false, 0xC29261},    // inside: channels scale up in proportion
        {0x806040, 250, false, 0xFFDDBB},    // inside to max 255 (uses 190), then top with the rest 60
        {0x806040, -150, false, 0x2A1500},   // inside to min 0 (uses 106), then bottom with the rest -44
        {0x804000, 100, false, 0xE47200},    // bottom: the largest moves by exactly the amount
        {0x804000, 200, false, 0xFFA349},    // bottom to 255 (uses 127), then full range with 73
        {0xFF8040, -100, false, 0xDB4900},   // top to min 0 (uses 64), then full range with -36
        {0xFF8000, 100, false, 0xFFB164},    // full range up
        {0x7F7F7F, 255, false, 0xFEFEFE},    // grey: half the amount, truncated
        {0x646464, 5, false, 0x666666},      // odd amounts halve toward zero
        {0x646464, -5, false, 0x626262},
        {0x806040, 0, false, 0x806040},
        {0x806040, 0, true, 0x806040},
        {0xAB806040, 100, false, 0xC29261},  // bits 24..31 are ignored and come back zero
        {0xAB806040, 0, false, 0x806040},
    };
    for (const LightnessCase& c : cases)
        EXPECT_EQ(Hex(ShiftLightness(c.colour, c.amount, c.straight)), Hex(c.expected))
            << Hex(c.colour) << " by " << c.amount << " straight " << c.straight;
}

TEST(ShiftLightness, StopsAtWhiteAndBlack) {
    for (bool blend : {false, true}) {
        for (RgbValue colour : {0x806040u, 0xFF0000u, 0x010203u, 0x7F7F7Fu, 0xFEFFFDu}) {
            EXPECT_EQ(Hex(ShiftLightness(colour, 510, blend)), Hex(0xFFFFFF)) << Hex(colour);
            EXPECT_EQ(Hex(ShiftLightness(colour, -510, blend)), Hex(0x000000)) << Hex(colour);
        }
        EXPECT_EQ(Hex(ShiftLightness(0xFFFFFF, 77, blend)), Hex(0xFFFFFF));
        EXPECT_EQ(Hex(ShiftLightness(0x000000, -77, blend)), Hex(0x000000));
    }
}

struct SaturationCase {
    RgbValue colour;
    std::int32_t amount;
    SaturationRule rule;
    std::int32_t hue;
    RgbValue expected;
};

TEST(ShiftSaturation, KnownShifts) {
    const SaturationCase cases[] = {
        {0x808080, 100, SatKeepGrey, 0, 0x808080},
        {0x808080, 0, SatScaled, 0, 0x808080},       // hi = lo gives the grey
        {0x808080, 100, SatScaled, 0, 0xE31D1D},     // a tint of the chosen hue about the grey's level
        {0x808080, 100, SatScaled, 510, 0x1DE31D},
        {0xC86432, -510, SatScaled, 0, 0x7D7D7D},       // the grey (max + min) / 2
        {0xC86432, -510, SatThroughGrey, 0, 0x00A7FA},  // the opposite hue at the same L
        {0xFF0000, 0, SatInvert, 0, 0x807F7F},
        {0xFE0000, 0, SatInvert, 0, 0x7F7F7F},
        {0xFF0000, 300, SatInvert, 0, 0x807F7F},        // the amount plays no part
        {0x646464, 0, SatInvert, 0, 0xC80000},          // grey 100: full colour of the hue, L = 200
        {0x808080, 0, SatInvert, 0, 0xFF0101},
        {0xAB808080, 0, SatScaled, 0, 0x808080},        // bits 24..31 are ignored
    };
    for (const SaturationCase& c : cases)
        EXPECT_EQ(Hex(ShiftSaturation(c.colour, c.amount, c.rule, c.hue)), Hex(c.expected))
            << Hex(c.colour) << " by " << c.amount << " rule " << int{c.rule} << " hue " << c.hue;
}

// Past +-255 the fitted range no longer changes, so any amount is defined
// and gives what the largest meaningful amounts give.
TEST(ShiftSaturation, ExtremeAmountsMatchTheLargestMeaningfulOnes) {
    const PixelBuffer colours = test::Varied(23, 19);
    for (RgbValue colour : colours.pixels)
        for (SaturationRule rule : {SatScaled, SatThroughGrey, SatKeepGrey}) {
            EXPECT_EQ(Hex(ShiftSaturation(colour, INT_MAX, rule, 300)), Hex(ShiftSaturation(colour, 510, rule, 300)))
                << Hex(colour);
            EXPECT_EQ(Hex(ShiftSaturation(colour, INT_MIN, rule, 300)), Hex(ShiftSaturation(colour, -510, rule, 300)))
                << Hex(colour);
        }
}

}  // namespace
}  // namespace prismview
