#include <gtest/gtest.h>

#include <utility>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Coord;
using test::CoordPicture;
using test::Hex;
using test::SameImage;

constexpr RgbValue kBackground = 0xFF00FF;  // never a pixel of CoordPicture

ProcessingParams Params(std::int32_t mode, std::int32_t freqNum, std::int32_t freqDen,
                        std::int32_t overflow = OverflowBackground) {
    ProcessingParams p;
    p.effectMode = mode;
    p.waveFreqNum = freqNum;
    p.waveFreqDen = freqDen;
    p.overflowMode = overflow;
    p.backgroundColor = kBackground;
    return p;
}

TEST(VortexSlide, NoFrequencyOrNoAmplitudeReproducesTheBase) {
    const PixelBuffer base = test::Varied(21, 16);
    struct Case { std::int32_t mode; int slot; std::int32_t num, den, amplitude; };
    const Case cases[] = {
        {ModeVortex, 1, 0, 32, 16}, {ModeVortex, 2, 0, 32, 16}, {ModeVortex, 3, 0, 32, 16},
        {ModeVortex, 4, 0, 32, 16}, {ModeVortex, 1, 5, 0, 16},  {ModeVortex, 2, -5, 0, 16},
        {ModeVortex, 3, 5, 0, 16},  {ModeVortex, 4, 5, 0, 16},  {ModeVortex, 2, 5, 3, 0},
        {ModeVortex, 3, 5, 3, 0},   {ModeSlide, 1, 0, 32, 16},  {ModeSlide, 2, 0, 32, 16},
        {ModeSlide, 3, 0, 7, 16},   {ModeSlide, 4, 0, 7, 16},   {ModeSlide, 1, 9, 0, 16},
        {ModeSlide, 2, 9, 0, 16},   {ModeSlide, 3, 9, 0, 16},   {ModeSlide, 4, 9, 0, 16},
    };
    for (const Case& c : cases)
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
            ProcessingParams p = Params(c.mode, c.num, c.den, overflow);
            p.waveAmplitude = c.amplitude;
            p.centerX = -30;  // outside: the centre alone moves nothing
            p.centerY = 2;
            EXPECT_TRUE(SameImage(test::RunSlot(base, p, c.slot), base))
                << "mode " << c.mode << " slot " << c.slot << " " << c.num << "/" << c.den << " overflow " << overflow;
        }
}

TEST(Vortex, MinusOneZoomSamplesTheCentreEverywhere) {
    const PixelBuffer base = CoordPicture(13, 9);
    for (const auto& [num, den] : {std::pair{1, -1}, std::pair{-32, 32}})
        for (const auto& [centerX, centerY] : {std::pair{0, 0}, std::pair{-5, 3}}) {
            ProcessingParams p = Params(ModeVortex, num, den);
            p.centerX = centerX;
            p.centerY = centerY;
            const RgbValue centre = Coord(6 + centerX, 4 + centerY);
            EXPECT_TRUE(SameImage(test::RunSlot(base, p, 4), [&](std::int32_t, std::int32_t) { return centre; }))
                << num << "/" << den << " centre " << centerX << "," << centerY;
        }
}

TEST(Vortex, MinusOneZoomAboutACentreOutside) {
    // Every pixel samples the centre itself, (16, 4) on a 13 x 9 picture.
    // Clipping toward the centre has no line to follow from the centre.
    const PixelBuffer base = CoordPicture(13, 9);
    const RgbValue expected[] = {kBackground, Coord(3, 4), kBackground};
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        ProcessingParams p = Params(ModeVortex, -1, 1, overflow);
        p.centerX = 10;
        EXPECT_TRUE(SameImage(test::RunSlot(base, p, 4), [&](std::int32_t, std::int32_t) { return expected[overflow]; }))
            << "overflow " << overflow;
    }
}

TEST(Vortex, HalfRadianTurnLosesTheCorners) {
    const PixelBuffer base = CoordPicture(21, 21);
    const PixelBuffer out = test::RunSlot(base, Params(ModeVortex, 1, 2), 1);
    EXPECT_EQ(Hex(out.At(10, 10)), Hex(Coord(10, 10)));
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{20, 0}, std::pair{0, 20}, std::pair{20, 20}})
        EXPECT_EQ(Hex(out.At(x, y)), Hex(kBackground)) << x << "," << y;
}

TEST(Vortex, TwistDependsOnTheDistanceAsEachSlotSays) {
    // f = 1 radian, amplitude 5, centre (12, 12). At distance 5 every twist
    // is 1 radian; at distance 10 slot 2 twists by 1/2 and slot 3 by 2.
    struct Case { int slot; std::int32_t x, sx, sy; };
    const Case cases[] = {
        {1, 17, 14, 16}, {2, 17, 14, 16}, {3, 17, 14, 16},  // 5 (cos 1, sin 1) = (2.70, 4.21)
        {1, 22, 17, 20},                                    // 10 (cos 1, sin 1) = (5.40, 8.41)
        {2, 22, 20, 16},                                    // 10 (cos .5, sin .5) = (8.78, 4.79)
        {3, 22, 8, 21},                                     // 10 (cos 2, sin 2) = (-4.16, 9.09)
        {4, 14, 16, 12},                                    // zoom by 1 + f = 2
    };
    const PixelBuffer base = CoordPicture(25, 25);
    for (const Case& c : cases) {
        ProcessingParams p = Params(ModeVortex, 1, 1);
        p.waveAmplitude = 5;
        EXPECT_EQ(Hex(test::RunSlot(base, p, c.slot).At(c.x, 12)), Hex(Coord(c.sx, c.sy)))
            << "slot " << c.slot << " at " << c.x;
    }
}

TEST(Slide, DefaultSlopeMovesColumnsOneRowPerThirtyTwo) {
    const PixelBuffer base = CoordPicture(80, 20);  // centre column 40
    const PixelBuffer out = test::RunSlot(base, Params(ModeSlide, 1, 32), 1);
    for (std::int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(Hex(out.At(40, y)), Hex(Coord(40, y)));
        EXPECT_EQ(Hex(out.At(72, y)), Hex(y + 1 < 20 ? Coord(72, y + 1) : kBackground));
        EXPECT_EQ(Hex(out.At(8, y)), Hex(y > 0 ? Coord(8, y - 1) : kBackground));
    }
}

TEST(Slide, MinusOneSlopeShowsTheCentreColumn) {
    const PixelBuffer base = CoordPicture(15, 6);
    EXPECT_TRUE(SameImage(test::RunSlot(base, Params(ModeSlide, -1, 1), 2),
                          [](std::int32_t, std::int32_t y) { return Coord(7, y); }));
    // Slots 3 and 4 work from the centre row instead.
    EXPECT_TRUE(SameImage(test::RunSlot(base, Params(ModeSlide, -1, 1), 4),
                          [](std::int32_t x, std::int32_t) { return Coord(x, 3); }));
    const PixelBuffer sheared = test::RunSlot(base, Params(ModeSlide, 1, 1), 3);
    EXPECT_EQ(Hex(sheared.At(4, 5)), Hex(Coord(6, 5)));
    EXPECT_EQ(Hex(sheared.At(4, 0)), Hex(Coord(1, 0)));
}

TEST(VortexSlide, OverflowTreatments) {
    // 9 x 9 picture, centre (4, 4). Slide slot 2 with slope 2 sends (8, 4)
    // to (16, 4) and (8, 8) to (16, 8); vortex slot 4 with f = 1 sends (8, 6)
    // to (12, 8).
    struct Case { std::int32_t mode; int slot; std::int32_t x, y; RgbValue expected[3]; };
    const Case cases[] = {
        {ModeSlide, 2, 8, 4, {kBackground, Coord(7, 4), Coord(8, 4)}},
        // Clipped along the line to the centre: y = 4 + 4 * (9 - 4) / 12 = 5.
        {ModeSlide, 2, 8, 8, {kBackground, Coord(7, 8), Coord(8, 5)}},
        // y = 4 + 4 * 5 / 8 = 6.
        {ModeVortex, 4, 8, 6, {kBackground, Coord(3, 8), Coord(8, 6)}},
    };
    const PixelBuffer base = CoordPicture(9, 9);
    for (const Case& c : cases)
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
            const ProcessingParams p = Params(c.mode, c.mode == ModeSlide ? 2 : 1, 1, overflow);
            EXPECT_EQ(Hex(test::RunSlot(base, p, c.slot).At(c.x, c.y)), Hex(c.expected[overflow]))
                << "mode " << c.mode << " overflow " << overflow;
        }
}

TEST(VortexSlide, ThreadCountDoesNotChangeThePictures) {
    const PixelBuffer base = test::Varied(97, 71);
    for (std::int32_t mode : {ModeVortex, ModeSlide})
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
            ProcessingParams p = Params(mode, 3, 7, overflow);
            p.waveAmplitude = 20;
            p.centerX = 11;
            p.centerY = -4;
            const auto one = test::RunPass(base, p, 1);
            const auto three = test::RunPass(base, p, 3);
            for (int slot = 0; slot < 4; ++slot)
                EXPECT_TRUE(SameImage(three[slot], one[slot])) << mode << "/" << slot + 1 << "/" << overflow;
        }
}

}  // namespace
}  // namespace prismview
