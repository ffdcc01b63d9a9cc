#include <gtest/gtest.h>

#include "core/params.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::Hex;
using test::RunOnPixel;

TEST(Invert, KnownPixels) {
    struct Case { int slot; RgbValue in, out; };
    const Case cases[] = {
        // hue inversion: max and min trade places, the middle mirrors between them
        {1, 0xFF0000, 0x00FFFF}, {1, 0xFFFF00, 0x0000FF}, {1, 0xC86432, 0x3296C8}, {1, 0x7F7F7F, 0x7F7F7F},
        // lightness inversion: every channel moves by 255 - L
        {2, 0xFFFFFF, 0x000000}, {2, 0x000000, 0xFFFFFF}, {2, 0xFF0000, 0xFF0000},
        {2, 0x806040, 0xBF9F7F}, {2, 0xC86432, 0xCD6937}, {2, 0x7F7F7F, 0x808080},
        // the negative
        {3, 0x000000, 0xFFFFFF}, {3, 0x806040, 0x7F9FBF},
        // white whatever the source
        {4, 0x000000, 0xFFFFFF}, {4, 0x123456, 0xFFFFFF},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(RunOnPixel(ModeInvert, c.slot, c.in)), Hex(c.out)) << c.slot << " " << Hex(c.in);
}

TEST(Invert, NegativeIsHueThenLightnessInversionAndUndoesItself) {
    const PixelBuffer colours = test::Varied(41, 29);
    for (RgbValue c : colours.pixels) {
        const RgbValue negative = RunOnPixel(ModeInvert, 3, c);
        EXPECT_EQ(RunOnPixel(ModeInvert, 3, negative), c);
        EXPECT_EQ(negative, RunOnPixel(ModeInvert, 2, RunOnPixel(ModeInvert, 1, c))) << Hex(c);
        // Hue inversion keeps max and min; lightness inversion maps L to 510 - L.
        const Pixel p = SplitPixel(c), h = SplitPixel(RunOnPixel(ModeInvert, 1, c)),
                    l = SplitPixel(RunOnPixel(ModeInvert, 2, c));
        EXPECT_EQ(h.max, p.max);
        EXPECT_EQ(h.min, p.min);
        EXPECT_EQ(l.max + l.min, 510 - p.max - p.min);
    }
}

}  // namespace
}  // namespace prismview
