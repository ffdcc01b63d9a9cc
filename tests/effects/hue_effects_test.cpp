#include <gtest/gtest.h>

#include "core/colour.h"
#include "effects/point_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::PixelCase;

TEST(HueLineInvert, KnownColours) {
    const PixelCase cases[] = {
        {ModeHueLineInvert, 1, 0xFF8000, 0, 0, 0xFF0080},  // green and blue exchanged
        {ModeHueLineInvert, 2, 0xFF8000, 0, 0, 0x0080FF},  // red and blue
        {ModeHueLineInvert, 3, 0xFF8000, 0, 0, 0x80FF00},  // red and green
        // Exact exchanges: no RotateHue truncation of the middle channel.
        {ModeHueLineInvert, 1, 0x806040, 0, 0, 0x804060},
        {ModeHueLineInvert, 2, 0x806040, 0, 0, 0x406080},
        {ModeHueLineInvert, 3, 0x806040, 0, 0, 0x608040},
        {ModeHueLineInvert, 1, 0xAB806040, 0, 0, 0x804060},  // bits 24..31 come back zero
        // Slot 4 mirrors about the chosen hue.
        {ModeHueLineInvert, 4, 0xC86432, 0, 0, 0xC83264},     // as slot 1
        {ModeHueLineInvert, 4, 0xC86432, 1529, 0, 0xC83265},  // h = 85 goes to 1443
        {ModeHueLineInvert, 4, 0xFF0000, 1529, 0, 0xFF0002},
        {ModeHueLineInvert, 4, 0xFF0000, 300, 0, 0x00FF5A},   // red to 600
        {ModeHueLineInvert, 4, 0xFF0000, 765, 0, 0xFF0000},   // red lies on the line through cyan
    };
    test::ExpectPixelCases(cases);
}

TEST(HueRotate, KnownColours) {
    const PixelCase cases[] = {
        {ModeHueRotate, 1, 0xFF0000, 0, 0, 0x00FF00},  // (B, R, G)
        {ModeHueRotate, 2, 0xFF0000, 0, 0, 0x0000FF},  // (G, B, R)
        {ModeHueRotate, 3, 0xFF0000, 0, 0, 0x00FFFF},  // L - c
        {ModeHueRotate, 1, 0x806040, 0, 0, 0x408060},
        {ModeHueRotate, 2, 0x806040, 0, 0, 0x604080},
        {ModeHueRotate, 3, 0xC86432, 0, 0, 0x3296C8},
        {ModeHueRotate, 3, 0x806040, 0, 0, 0x406080},  // exact, unlike a turn by 765
        {ModeHueRotate, 4, 0x806040, 0, 0, 0x805F40},  // a turn by 0 can lower the middle channel
        {ModeHueRotate, 4, 0xFF0000, 1529, 0, 0xFF0001},
        {ModeHueRotate, 4, 0xC86432, 1529, 0, 0xC86332},  // h = 85 goes to 84
        {ModeHueRotate, 4, 0xC86432, 765, 0, 0x3296C8},
    };
    test::ExpectPixelCases(cases);
}

TEST(HueLineInvertAndRotate, GreysStayAtAnyHue) {
    for (std::int32_t mode : {ModeHueLineInvert, ModeHueRotate})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t hue : {0, 700, 1529})
                for (RgbValue grey : {0x000000u, 0x7F7F7Fu, 0xFFFFFFu}) {
                    ProcessingParams params;
                    params.hue = hue;
                    EXPECT_EQ(Hex(test::RunOnPixel(mode, slot, grey, params)), Hex(grey))
                        << "mode " << mode << " slot " << slot << " hue " << hue;
                }
}

TEST(LevelToHue, KnownColours) {
    const PixelCase cases[] = {
        // Black and white both land on the chosen hue.
        {ModeLevelToHue, 1, 0x000000, 0, 0, 0xFF0000},
        {ModeLevelToHue, 2, 0x000000, 0, 0, 0xFF0000},
        {ModeLevelToHue, 3, 0xFFFFFF, 0, 0, 0xFF0000},
        {ModeLevelToHue, 4, 0xFFFFFF, 0, 0, 0xFF0000},
        {ModeLevelToHue, 1, 0xFFFFFF, 1529, 0, 0xFF0001},
        {ModeLevelToHue, 4, 0x000000, 1529, 0, 0xFF0001},
        {ModeLevelToHue, 2, 0x000000, 765, 0, 0x00FFFF},
        // Grey 0x7F7F7F: L = 254, T = 381.
        {ModeLevelToHue, 1, 0x7F7F7F, 0, 0, 0x00FFFC},  // 762
        {ModeLevelToHue, 2, 0x7F7F7F, 0, 0, 0x00FFFC},  // 762
        {ModeLevelToHue, 3, 0x7F7F7F, 0, 0, 0x00FCFF},  // -762 reduced to 768
        {ModeLevelToHue, 4, 0x7F7F7F, 0, 0, 0x00FCFF},
        {ModeLevelToHue, 1, 0x7F7F7F, 1529, 0, 0x00FFFB},  // 2291 reduced to 761
        {ModeLevelToHue, 3, 0x7F7F7F, 1529, 0, 0x00FDFF},  // 767
        {ModeLevelToHue, 1, 0x7F7F7F, 765, 0, 0xFF0003},   // 1527
        {ModeLevelToHue, 3, 0x7F7F7F, 765, 0, 0xFF0300},   // 3
        // L = 170: -510 reduced to 1020, pure blue; the source's hue plays no part.
        {ModeLevelToHue, 3, 0x555555, 0, 0, 0x0000FF},
        {ModeLevelToHue, 3, 0xAA0000, 0, 0, 0x0000FF},
        {ModeLevelToHue, 4, 0x0000FF, 0, 0, 0x0000FF},     // T = 255: -510 as well
    };
    test::ExpectPixelCases(cases);
}

TEST(HueEffects, SameForAnyThreadCount) {
    for (std::int32_t mode : {ModeHueLineInvert, ModeHueRotate, ModeLevelToHue}) {
        ProcessingParams params;
        params.effectMode = mode;
        params.hue = 1111;
        test::ExpectSameForAnyThreadCount(params);
    }
}

}  // namespace
}  // namespace prismview
