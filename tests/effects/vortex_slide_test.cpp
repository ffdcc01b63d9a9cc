#include <gtest/gtest.h>

#include <utility>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Coord;
using test::CoordPicture;
using test::Hex;
using test::Pixels;

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
    struct Case { std::int32_t num, den, amplitude; int firstSlot, lastSlot; };
    const Case cases[] = {{0, 32, 16, 1, 4}, {5, 0, 16, 1, 4}, {-5, 0, 0, 1, 4}, {5, 3, 0, 2, 3}};
    for (std::int32_t mode : {ModeVortex, ModeSlide})
        for (const Case& c : cases)
            for (int slot = c.firstSlot; slot <= c.lastSlot; ++slot)
                for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                    if (mode == ModeSlide && c.amplitude == 0) continue;  // the slide ignores the amplitude
                    ProcessingParams p = Params(mode, c.num, c.den, overflow);
                    p.waveAmplitude = c.amplitude;
                    p.centerX = -30;
                    p.centerY = 2;
                    EXPECT_EQ(test::RunSlot(base, p, slot).pixels, base.pixels)
                        << mode << " slot " << slot << " " << c.num << "/" << c.den << " amplitude " << c.amplitude;
                }
}

TEST(Vortex, MinusOneZoomSamplesTheCentreEverywhere) {
    const PixelBuffer base = CoordPicture(13, 9);  // centre (6, 4)
    for (const auto& [num, den] : {std::pair{1, -1}, std::pair{-32, 32}})
        for (const auto& [mx, my] : {std::pair{0, 0}, std::pair{-5, 3}}) {
            ProcessingParams p = Params(ModeVortex, num, den);
            p.centerX = mx;
            p.centerY = my;
            EXPECT_EQ(test::RunSlot(base, p, 4).pixels,
                      Pixels(13, 9, [&](std::int32_t, std::int32_t) { return Coord(6 + mx, 4 + my); }));
        }
    // A centre outside at (16, 4): wrapped it is (3, 4); clipping toward it
    // has no line to follow from the centre itself.
    const RgbValue outside[] = {kBackground, Coord(3, 4), kBackground};
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        ProcessingParams p = Params(ModeVortex, -1, 1, overflow);
        p.centerX = 10;
        EXPECT_EQ(test::RunSlot(base, p, 4).pixels, Pixels(13, 9, [&](std::int32_t, std::int32_t) { return outside[overflow]; }));
    }
}

TEST(Vortex, TurnsAsEachSlotSays) {
    // Half a radian about the middle of a square: the corners fall off.
    const PixelBuffer square = test::RunSlot(CoordPicture(21, 21), Params(ModeVortex, 1, 2), 1);
    EXPECT_EQ(Hex(square.At(10, 10)), Hex(Coord(10, 10)));
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{20, 0}, std::pair{0, 20}, std::pair{20, 20}})
        EXPECT_EQ(Hex(square.At(x, y)), Hex(kBackground)) << x << "," << y;
    // f = 1 radian, amplitude 5, centre (12, 12). At distance 5 every slot
    // turns by 1; at distance 10 slot 2 by 1/2 and slot 3 by 2.
    struct Case { int slot; std::int32_t x, sx, sy; };
    const Case cases[] = {
        {1, 17, 14, 16}, {2, 17, 14, 16}, {3, 17, 14, 16},  // 5 (cos 1, sin 1) = (2.70, 4.21)
        {1, 22, 17, 20},                                    // 10 (cos 1, sin 1) = (5.40, 8.41)
        {2, 22, 20, 16},                                    // 10 (cos .5, sin .5) = (8.78, 4.79)
        {3, 22, 8, 21},                                     // 10 (cos 2, sin 2) = (-4.16, 9.09)
        {4, 14, 16, 12},                                    // zoom by 1 + f = 2
    };
    for (const Case& c : cases) {
        ProcessingParams p = Params(ModeVortex, 1, 1);
        p.waveAmplitude = 5;
        EXPECT_EQ(Hex(test::RunSlot(CoordPicture(25, 25), p, c.slot).At(c.x, 12)), Hex(Coord(c.sx, c.sy))) << c.slot;
    }
}

TEST(Slide, SlopesAboutTheCentre) {
    // Default slope 1/32, slot 1: the column 32 right of the centre moves
    // down a row, 32 left up a row.
    const PixelBuffer out = test::RunSlot(CoordPicture(80, 20), Params(ModeSlide, 1, 32), 1);
    for (std::int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(Hex(out.At(40, y)), Hex(Coord(40, y)));
        EXPECT_EQ(Hex(out.At(72, y)), Hex(y < 19 ? Coord(72, y + 1) : kBackground));
        EXPECT_EQ(Hex(out.At(8, y)), Hex(y > 0 ? Coord(8, y - 1) : kBackground));
    }
    // Slope -1: slot 2 shows the centre column in every column, slot 4 the centre row.
    const PixelBuffer base = CoordPicture(15, 6);  // centre (7, 3)
    EXPECT_EQ(test::RunSlot(base, Params(ModeSlide, -1, 1), 2).pixels,
              Pixels(15, 6, [](std::int32_t, std::int32_t y) { return Coord(7, y); }));
    EXPECT_EQ(test::RunSlot(base, Params(ModeSlide, -1, 1), 4).pixels,
              Pixels(15, 6, [](std::int32_t x, std::int32_t) { return Coord(x, 3); }));
    // Slot 3 slides rows by their distance from the centre row.
    EXPECT_EQ(Hex(test::RunSlot(base, Params(ModeSlide, 1, 1), 3).At(4, 0)), Hex(Coord(1, 0)));
}

TEST(VortexSlide, OverflowTreatments) {
    // Centre (4, 4). Slide slot 2, slope 2: (8, 4) samples (16, 4), (8, 8)
    // samples (16, 8), clipped to y = 4 + 4 * (9 - 4) / 12 = 5. Vortex slot 4,
    // f = 1: (8, 6) samples (12, 8), clipped to y = 4 + 4 * 5 / 8 = 6.
    struct Case { std::int32_t mode; int slot; std::int32_t num, x, y; RgbValue expected[3]; };
    const Case cases[] = {
        {ModeSlide, 2, 2, 8, 4, {kBackground, Coord(7, 4), Coord(8, 4)}},
        {ModeSlide, 2, 2, 8, 8, {kBackground, Coord(7, 8), Coord(8, 5)}},
        {ModeVortex, 4, 1, 8, 6, {kBackground, Coord(3, 8), Coord(8, 6)}},
    };
    for (const Case& c : cases)
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge})
            EXPECT_EQ(Hex(test::RunSlot(CoordPicture(9, 9), Params(c.mode, c.num, 1, overflow), c.slot).At(c.x, c.y)),
                      Hex(c.expected[overflow]))
                << c.mode << " overflow " << overflow;
}

// The pass works the distance values of the ripples and the vortex out once
// into a table over |dy| and |dx|; a kernel run on its own (no pass memory)
// works them out per pixel. Both give the same pictures, for pictures taller
// and wider than they are wide and high, centres anywhere inside (the table
// is refused near a corner) and outside.
TEST(VortexSlide, DistanceTableGivesEveryPixelItsOwnValue) {
    for (const std::int32_t mode : {ModeRipple, ModeSingleRipple, ModeVortex})
        for (const auto& [width, height] : {std::pair{23, 61}, std::pair{61, 23}})
            for (const auto& [cx, cy] : {std::pair{0, 0}, std::pair{5, -20}, std::pair{-11, 30}, std::pair{-40, 0}}) {
                ProcessingParams p = Params(mode, 3, 11);
                p.waveAmplitude = 9;
                p.centerX = cx;
                p.centerY = cy;
                const PixelBuffer base = test::Varied(width, height);
                const std::vector<PixelBuffer> pass = test::RunPass(base, p, 2);
                for (int slot = 1; slot <= 4; ++slot)
                    EXPECT_EQ(pass[static_cast<std::size_t>(slot - 1)].pixels, test::RunSlot(base, p, slot).pixels)
                        << "mode " << mode << " " << width << "x" << height << " centre " << cx << "," << cy
                        << " slot " << slot;
            }
}

}  // namespace
}  // namespace prismview
