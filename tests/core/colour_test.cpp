#include "core/colour.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/test_support.h"

namespace prismview {
namespace {

using test::Hex;

TEST(RotateHue, GreysIgnoreAngleAndMirror) {
    for (RgbValue grey : {0x000000u, 0x010101u, 0x808080u, 0xFFFFFFu})
        for (std::int32_t angle : {0, 1, 255, 765, 1529, -1529})
            for (bool mirror : {false, true}) EXPECT_EQ(Hex(RotateHue(grey, angle, mirror)), Hex(grey));
}

TEST(RotateHue, KnownRotations) {
    struct Case { RgbValue colour; std::int32_t angle; bool mirror; RgbValue expected; };
    const Case cases[] = {
        {0xFF0000, 255, false, 0xFFFF00},  {0xFF0000, 765, false, 0x00FFFF},
        {0xFF0000, 1275, false, 0xFF00FF}, {0xFF0000, 1529, false, 0xFF0001},
        {0xC86432, 765, false, 0x3296C8},  // half way round: max + min - c
        {0x806040, 0, false, 0x805F40},    // a turn by 0 can lower the middle channel
        {0xFF0000, -255, false, 0xFF00FF}, // negative angles reduce with a floor modulo
        {0x00FF00, 510, false, 0x0000FF},  {0x0000FF, 510, false, 0xFF0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(RotateHue(c.colour, c.angle, c.mirror)), Hex(c.expected))
            << Hex(c.colour) << " by " << c.angle;
}

TEST(RotateHue, KeepsMaxMinAndClearsHighBits) {
    const PixelBuffer colours = test::Varied(37, 23);
    for (RgbValue colour : colours.pixels) {
        const Pixel before = SplitPixel(colour);
        for (std::int32_t angle : {0, 100, 777, 1529}) {
            const RgbValue turned = RotateHue(colour | 0xAB000000u, angle, angle % 2 == 1);
            const Pixel after = SplitPixel(turned);
            EXPECT_EQ(turned >> 24, 0u);
            EXPECT_EQ(after.max, before.max);
            EXPECT_EQ(after.min, before.min);
        }
    }
}

TEST(RotateHue, MirrorAtZeroExchangesGreenAndBlueWhenRedLeads) {
    const RgbValue cases[] = {0xFF0000, 0xFF8000, 0xFF0080, 0xC86432, 0x90102F, 0xFF00FF, 0xFFFF00};
    for (RgbValue colour : cases) {
        const Pixel p = SplitPixel(colour);
        const Pixel m = SplitPixel(RotateHue(colour, 0, true));
        EXPECT_EQ(m.r, p.r) << Hex(colour);
        // Up to the truncation of the hue position, by at most 1.
        EXPECT_LE(std::abs(m.g - p.b), 1) << Hex(colour);
        EXPECT_LE(std::abs(m.b - p.g), 1) << Hex(colour);
    }
    EXPECT_EQ(Hex(RotateHue(0xFF8000, 0, true)), Hex(0xFF0080));
}

TEST(HueColour, CornersAndEnd) {
    EXPECT_EQ(Hex(HueColour(0)), Hex(0xFF0000));
    EXPECT_EQ(Hex(HueColour(100)), Hex(0xFF6400));
    EXPECT_EQ(Hex(HueColour(255)), Hex(0xFFFF00));
    EXPECT_EQ(Hex(HueColour(510)), Hex(0x00FF00));
    EXPECT_EQ(Hex(HueColour(765)), Hex(0x00FFFF));
    EXPECT_EQ(Hex(HueColour(1020)), Hex(0x0000FF));
    EXPECT_EQ(Hex(HueColour(1275)), Hex(0xFF00FF));
    EXPECT_EQ(Hex(HueColour(1529)), Hex(0xFF0001));
}

TEST(DotNoise, KnownValues) {
    EXPECT_EQ(DotNoiseRaw(0), 1000000);
    EXPECT_EQ(DotNoiseRaw(1), 1841470);
    EXPECT_EQ(DotNoise(0, 510), 400);
    EXPECT_EQ(DotNoise(0, 765), 145);
    EXPECT_EQ(DotNoise(0, 255), 145);
    EXPECT_EQ(DotNoise(1, 510), 370);
    EXPECT_EQ(DotNoise(2, 765), 622);
    EXPECT_EQ(DotNoise(5, 255), 20);
    for (std::int32_t index : {-7, 3, 1000, 11999999, INT_MAX, INT_MIN}) {
        const std::int32_t v = DotNoise(index, 510);
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 510);
    }
}

TEST(FloorMod, NegativeAndZero) {
    EXPECT_EQ(FloorMod(-1, 5), 4);
    EXPECT_EQ(FloorMod(-5, 5), 0);
    EXPECT_EQ(FloorMod(-6, 5), 4);
    EXPECT_EQ(FloorMod(7, 0), 0);
    EXPECT_EQ(FloorMod(7, 5), 2);
    EXPECT_EQ(FloorMod(0, 1), 0);
    // Near the most negative value the raising step must not overflow.
    EXPECT_EQ(FloorMod(INT_MIN, 2), 0);
    EXPECT_EQ(FloorMod(INT_MIN, 3), 1);
    EXPECT_EQ(FloorMod(INT_MIN, INT_MAX), INT_MAX - 1);
    EXPECT_EQ(FloorMod(INT_MAX, 10), 7);
    EXPECT_EQ(FloorMod(INT_MIN, -1), 0);
    EXPECT_EQ(FloorMod(-1, -5), -1);
}

TEST(ClampInt, Bounds) {
    EXPECT_EQ(ClampInt(-3, 0, 9), 0);
    EXPECT_EQ(ClampInt(12, 0, 9), 9);
    EXPECT_EQ(ClampInt(4, 0, 9), 4);
    EXPECT_EQ(ClampInt(INT_MIN, 0, 0), 0);
}

struct ClipCase {
    std::int32_t x, y, cx, cy, width, height;
    std::int32_t expectedX, expectedY;
};

TEST(ClipTowardCentre, MovesAlongTheLineOntoTheEdge) {
    const ClipCase cases[] = {
        {-5, 5, 5, 5, 10, 10, 0, 5},     // straight left
        {15, 15, 5, 5, 10, 10, 9, 9},    // corner: the second step uses the first step's result
        {2, -20, 5, 5, 10, 10, 5, 0},    // below: -15 / 25 truncates to 0
        {-10, 25, 5, 5, 10, 10, 1, 9},   // left (y = 11), then above from there
        {20, 5, 4, 2, 10, 5, 9, 3},      // far edge: 3 * (10 - 4) / 16, the width not width - 1
        {3, 4, 5, 5, 10, 10, 3, 4},      // inside: unchanged
    };
    for (const ClipCase& c : cases) {
        std::int32_t x = c.x, y = c.y;
        ClipTowardCentre(x, y, c.cx, c.cy, c.width, c.height);
        EXPECT_EQ(x, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(y, c.expectedY) << c.x << "," << c.y;
    }
}

TEST(ClipTowardCentre, UndefinedLineLeavesThePointOutside) {
    // Centre outside the image, level with the point: no line to follow.
    const ClipCase cases[] = {
        {-3, 20, -3, 5, 10, 10, 0, 0},
        {12, 40, 12, 5, 10, 10, 0, 0},
        {4, -7, 50, -7, 10, 10, 0, 0},
        {4, 30, -50, 30, 10, 10, 0, 0},
    };
    for (const ClipCase& c : cases) {
        std::int32_t x = c.x, y = c.y;
        ClipTowardCentre(x, y, c.cx, c.cy, c.width, c.height);
        const bool inside = x >= 0 && x < c.width && y >= 0 && y < c.height;
        EXPECT_FALSE(inside) << c.x << "," << c.y << " -> " << x << "," << y;
    }
}

TEST(ClipTowardCentre, CentreInsideAlwaysLandsOnTheImage) {
    for (std::int32_t px = -40; px <= 50; px += 3)
        for (std::int32_t py = -45; py <= 45; py += 5)
            for (std::int32_t cx : {0, 4, 9})
                for (std::int32_t cy : {0, 3, 6}) {
                    std::int32_t x = px, y = py;
                    ClipTowardCentre(x, y, cx, cy, 10, 7);
                    EXPECT_TRUE(x >= 0 && x < 10 && y >= 0 && y < 7) << px << "," << py;
                    if (px >= 0 && px < 10 && py >= 0 && py < 7) {
                        EXPECT_TRUE(x == px && y == py);
                    }
                }
}

TEST(ClipTowardCentre, ExtremeValuesStayDefined) {
    // Runs in the sanitizer build: no overflow, no division by zero or of the
    // most negative value by -1. Points inside the image never move.
    const std::int32_t values[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, 7, INT_MAX - 1, INT_MAX};
    for (std::int32_t px : values)
        for (std::int32_t py : values)
            for (std::int32_t cx : values)
                for (std::int32_t cy : {INT_MIN, -1, 0, 5, INT_MAX}) {
                    std::int32_t x = px, y = py;
                    ClipTowardCentre(x, y, cx, cy, 10, 10);
                    if (px >= 0 && px < 10 && py >= 0 && py < 10) {
                        EXPECT_TRUE(x == px && y == py);
                    }
                }
}

}  // namespace
}  // namespace prismview
