#include <gtest/gtest.h>

#include "core/colour.h"
#include "core/params.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::Hex;
using test::RunOnPixel;

ProcessingParams WithHue(std::int32_t hue) {
    ProcessingParams p;
    p.hue = hue;
    return p;
}

TEST(Components, SlotsOneToThreeSeparateTheChannels) {
    const PixelBuffer colours = test::Varied(23, 19);
    for (RgbValue c : colours.pixels) {
        const RgbValue r = RunOnPixel(ModeRgbComponents, 1, c), g = RunOnPixel(ModeRgbComponents, 2, c),
                       b = RunOnPixel(ModeRgbComponents, 3, c);
        EXPECT_EQ(r, c & 0xFF0000u);
        EXPECT_EQ(g, c & 0x00FF00u);
        EXPECT_EQ(b, c & 0x0000FFu);
        EXPECT_EQ(r | g | b, c);  // they OR together to the source
        const RgbValue y = RunOnPixel(ModeYcmComponents, 1, c), m = RunOnPixel(ModeYcmComponents, 2, c),
                       cy = RunOnPixel(ModeYcmComponents, 3, c);
        EXPECT_EQ(y, r | 0x00FFFFu);
        EXPECT_EQ(m, g | 0xFF00FFu);
        EXPECT_EQ(cy, b | 0xFFFF00u);
        EXPECT_EQ(y & m & cy, c);  // they AND together to the source
    }
}

TEST(Components, AlongTheChosenHue) {
    struct Case { std::int32_t mode; std::int32_t hue; RgbValue in, out; };
    const Case cases[] = {
        {ModeRgbComponents, 0, 0x806040, 0x800000},    // hue 0: the red channel
        {ModeRgbComponents, 0, 0x408060, 0x400000},    // red is the minimum: no truncation
        {ModeRgbComponents, 0, 0x604080, 0x5F0000},    // red in the middle can come out 1 lower
        {ModeRgbComponents, 510, 0x806040, 0x005F00},  // hue green: the green channel, truncated twice
        {ModeRgbComponents, 255, 0x808080, 0x808000},  // grey g: HueColour scaled by g / 255
        {ModeRgbComponents, 1529, 0xFFFFFF, 0xFF0001},
        {ModeRgbComponents, 700, 0x000000, 0x000000},
        {ModeYcmComponents, 0, 0xFFFFFF, 0xFFFFFF},
        {ModeYcmComponents, 0, 0x000000, 0x00FFFF},    // black: the complement of HueColour
        {ModeYcmComponents, 1020, 0x000000, 0xFFFF00},
        {ModeYcmComponents, 0, 0x806040, 0x80FFFF},
        {ModeYcmComponents, 255, 0x808080, 0x8080FF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(RunOnPixel(c.mode, 4, c.in, WithHue(c.hue))), Hex(c.out))
            << "mode " << c.mode << " hue " << c.hue << " " << Hex(c.in);
}

TEST(Components, GreysScaleTheHueColour) {
    for (std::int32_t hue : {0, 1, 300, 765, 1234, 1529})
        for (std::uint32_t g : {0u, 1u, 77u, 128u, 254u, 255u}) {
            const RgbValue h = HueColour(hue);
            const RgbValue expected = PackRgb(RedOf(h) * static_cast<std::int32_t>(g) / 255,
                                              GreenOf(h) * static_cast<std::int32_t>(g) / 255,
                                              BlueOf(h) * static_cast<std::int32_t>(g) / 255);
            EXPECT_EQ(Hex(RunOnPixel(ModeRgbComponents, 4, g * 0x010101u, WithHue(hue))), Hex(expected));
        }
}

}  // namespace
}  // namespace prismview
