#include <gtest/gtest.h>

#include <climits>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Coord;
using test::CoordPicture;
using test::Hex;
using test::Pixels;

constexpr RgbValue kBackground = 0xFF00FF;  // never a pixel of CoordPicture

ProcessingParams Params(std::int32_t mode, std::int32_t overflow = OverflowBackground, std::int32_t freqNum = 1,
                        std::int32_t freqDen = 32, std::int32_t amplitude = 16) {
    ProcessingParams p;
    p.effectMode = mode;
    p.overflowMode = overflow;
    p.backgroundColor = kBackground;
    p.waveFreqNum = freqNum;
    p.waveFreqDen = freqDen;
    p.waveAmplitude = amplitude;
    return p;
}

TEST(Waves, NoDisplacementReproducesTheBase) {
    const PixelBuffer base = test::Varied(23, 17);
    struct Case { std::int32_t amplitude, freqDen, phaseDen; };
    // Amplitude 0 leaves out slot 1 of the ripples, which truncates even then (below).
    for (const Case& c : {Case{0, 32, 32}, Case{100, 0, 32}, Case{-100, 7, 0}})
        for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple})
            for (int slot = (c.amplitude == 0 && mode >= ModeRipple) ? 2 : 1; slot <= 4; ++slot)
                for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                    ProcessingParams p = Params(mode, overflow, 3, c.freqDen, c.amplitude);
                    p.wavePhase = 5;
                    p.wavePhaseDen = c.phaseDen;
                    p.startFromEnd = slot % 2;
                    p.centerX = 3;
                    p.centerY = -40;
                    EXPECT_EQ(test::RunSlot(base, p, slot).pixels, base.pixels)
                        << c.amplitude << " " << c.freqDen << " " << c.phaseDen << ", mode " << mode << " slot " << slot;
                }
}

TEST(Ripples, FirstSlotTruncatesTowardTheCentreWithoutDisplacement) {
    // ((r + 0) * dx) / r with r = m * sqrt((a/m)^2 + (b/m)^2) falls just short
    // of dx for some offsets (hypot would spoil others).
    struct Case { std::int32_t dx, dy, sx; bool beyondBump; };
    const Case cases[] = {{5, 27, 4, true},   {7, 20, 6, true},   {12, 1, 12, false},
                          {10, 9, 10, false}, {3, 14, 2, false}, {1, 12, 1, false}};
    const PixelBuffer base = CoordPicture(64, 64);  // centre (32, 32)
    // Amplitude 0, or the default bump, which is over at r = 16.
    for (const auto& [mode, amplitude] : {std::pair{ModeRipple, 0}, std::pair{ModeSingleRipple, 0}, std::pair{ModeSingleRipple, 16}}) {
        const PixelBuffer out = test::RunSlot(base, Params(mode, OverflowBackground, 1, 32, amplitude), 1);
        for (const Case& c : cases) {
            if (amplitude != 0 && !c.beyondBump) continue;
            EXPECT_EQ(Hex(out.At(32 + c.dx, 32 + c.dy)), Hex(Coord(32 + c.sx, 32 + c.dy))) << c.dx << "," << c.dy;
        }
    }
}

TEST(Waves, DefaultWaveAndTheOverflowTreatmentsAlongAnAxis) {
    // Slot 3: column 8 samples 16 rows up, column 24 16 rows down; columns 0
    // and 16 stay (sin(pi) is a tiny positive number).
    const PixelBuffer base = CoordPicture(30, 40);
    const PixelBuffer out[] = {test::RunSlot(base, Params(ModeWave, OverflowBackground), 3),
                               test::RunSlot(base, Params(ModeWave, OverflowWrap), 3),
                               test::RunSlot(base, Params(ModeWave, OverflowEdge), 3)};
    for (std::int32_t y = 0; y < 40; ++y) {
        const bool off = y >= 24;
        EXPECT_EQ(Hex(out[0].At(8, y)), Hex(off ? kBackground : Coord(8, y + 16))) << y;
        EXPECT_EQ(Hex(out[1].At(8, y)), Hex(Coord(8, off ? y - 24 : y + 16))) << y;
        EXPECT_EQ(Hex(out[2].At(8, y)), Hex(Coord(8, off ? 39 : y + 16))) << y;
        EXPECT_EQ(Hex(out[0].At(0, y)), Hex(Coord(0, y)));
        EXPECT_EQ(Hex(out[0].At(16, y)), Hex(Coord(16, y)));
    }
    EXPECT_EQ(Hex(out[1].At(24, 3)), Hex(Coord(24, 27)));
    EXPECT_EQ(Hex(out[2].At(24, 3)), Hex(Coord(24, 0)));
}

TEST(Waves, StartFromEndMirrorsTheWave) {
    // Slots 1 and 3 mirror left to right, 2 and 4 top to bottom; in slots 1
    // and 2 the displacement turns round with the axis, so the mirror holds.
    const PixelBuffer base = test::Varied(29, 19);
    for (std::int32_t mode : {ModeWave, ModeSingleWave})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                const bool acrossX = slot % 2 == 1;
                auto mirror = [&](const PixelBuffer& b) {
                    return test::MakeBuffer(29, 19, [&](std::int32_t x, std::int32_t y) {
                        return acrossX ? b.At(28 - x, y) : b.At(x, 18 - y);
                    });
                };
                ProcessingParams p = Params(mode, overflow, 3, 40, 7);
                p.wavePhase = 5;
                p.wavePhaseDen = 16;
                const PixelBuffer plain = test::RunSlot(mirror(base), p, slot);
                p.startFromEnd = 1;
                EXPECT_EQ(test::RunSlot(base, p, slot).pixels, mirror(plain).pixels) << mode << "/" << slot << "/" << overflow;
            }
}

TEST(Waves, DefaultSingleBumpSitsAtTheStart) {
    // Phase 0: centred on column (row) 0 with 2 x 16 pixels of displacement,
    // over from column (row) 16 on.
    const PixelBuffer base = CoordPicture(40, 40);
    const RgbValue atOrigin[] = {Coord(32, 0), Coord(0, 32), Coord(0, 32), Coord(32, 0)};
    for (int slot = 1; slot <= 4; ++slot) {
        const PixelBuffer out = test::RunSlot(base, Params(ModeSingleWave), slot);
        EXPECT_EQ(Hex(out.At(0, 0)), Hex(atOrigin[slot - 1])) << slot;
        EXPECT_EQ(out.pixels, Pixels(40, 40, [&](std::int32_t x, std::int32_t y) {
                      return (slot % 2 == 1 ? x : y) >= 16 ? Coord(x, y) : out.At(x, y);
                  })) << slot;
    }
}

TEST(Waves, ShiftBeyondThirtyTwoBitsTakesTheBackground) {
    // Amplitude INT_MIN, a quarter cycle per pixel: column 1 moves by
    // sin(pi/2) * INT_MIN = INT_MIN, column 3 by +2^31, which no overflow
    // treatment can place. Counting from the end negates INT_MIN as a 32-bit
    // product, which leaves it INT_MIN: then t = 3 is column 1.
    const PixelBuffer base = CoordPicture(5, 2);
    // 1 + INT_MIN and 3 + INT_MIN floor-mod 5 are 3 and 0; clamped both are 0.
    const RgbValue column1[] = {kBackground, Coord(3, 0), Coord(0, 0)};
    const RgbValue column3[] = {kBackground, Coord(0, 0), Coord(0, 0)};
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        ProcessingParams p = Params(ModeWave, overflow, 1, 4, INT_MIN);
        const PixelBuffer out = test::RunSlot(base, p, 1);
        EXPECT_EQ(Hex(out.At(1, 0)), Hex(column1[overflow])) << overflow;
        EXPECT_EQ(Hex(out.At(3, 0)), Hex(kBackground)) << overflow;
        p.startFromEnd = 1;
        const PixelBuffer fromEnd = test::RunSlot(base, p, 1);
        EXPECT_EQ(Hex(fromEnd.At(1, 0)), Hex(kBackground)) << overflow;
        EXPECT_EQ(Hex(fromEnd.At(3, 0)), Hex(column3[overflow])) << overflow;
    }
}

TEST(Ripples, TruncationsFallWhereEachSlotPutsThem) {
    struct Case { std::int32_t mode; int slot, freqDen, amplitude, x, y, sx, sy; };
    const Case cases[] = {
        // On the x axis r = 4 exactly; sin(A(4)) = 1, and the bump is 3 there.
        {ModeRipple, 1, 16, 3, 11, 7, 14, 7}, {ModeSingleRipple, 1, 16, 3, 11, 7, 14, 7},
        // Turned by 3/4 radian: (4 cos .75, 4 sin .75) = (2.93, 2.73).
        {ModeRipple, 4, 16, 3, 11, 7, 9, 9}, {ModeSingleRipple, 4, 16, 3, 11, 7, 9, 9},
        // Offset (3, 2), displacement 4.999.. (mode 22) or 4.5 (mode 23): mode 22
        // truncates first, (2 * 4) div 3 = 2; mode 23 divides in reals, T(2 * 4.5 / 3) = 3.
        {ModeRipple, 2, 36, 10, 10, 9, 14, 11}, {ModeSingleRipple, 2, 18, 3, 10, 9, 14, 12},
        // Mirrored: the displacement negated, divisions truncating toward zero.
        {ModeRipple, 2, 36, 10, 4, 5, 0, 3}, {ModeSingleRipple, 2, 18, 3, 4, 5, 0, 2},
        // Offset (1, 2), m = 3: both modes truncate the displacement to 4 first.
        {ModeRipple, 3, 36, 10, 8, 9, 9, 11}, {ModeSingleRipple, 3, 18, 3, 8, 9, 9, 11},
    };
    const PixelBuffer base = CoordPicture(15, 15);  // centre (7, 7)
    for (const Case& c : cases)
        EXPECT_EQ(Hex(test::RunSlot(base, Params(c.mode, OverflowBackground, 1, c.freqDen, c.amplitude), c.slot)
                          .At(c.x, c.y)),
                  Hex(Coord(c.sx, c.sy)))
            << "mode " << c.mode << " slot " << c.slot << " at " << c.x << "," << c.y;
}

TEST(Ripples, OverflowTreatmentsInThePlane) {
    // Slot 2, sin(A(1)) = 1, amplitude 20, centre (4, 4): (5, 4) samples
    // (25, 4), (5, 5) samples (25, 25). Clipped toward the centre with the
    // width, not width - 1: y = 4 + 21 * 5 / 21 = 9, then x = 4 + 4 * 5 / 5.
    const PixelBuffer base = CoordPicture(9, 9);
    const RgbValue at54[] = {kBackground, Coord(7, 4), Coord(8, 4)};
    const RgbValue at55[] = {kBackground, Coord(7, 7), Coord(8, 8)};
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        const PixelBuffer out = test::RunSlot(base, Params(ModeRipple, overflow, 1, 4, 20), 2);
        EXPECT_EQ(Hex(out.At(5, 4)), Hex(at54[overflow])) << overflow;
        EXPECT_EQ(Hex(out.At(5, 5)), Hex(at55[overflow])) << overflow;
    }
    // Centres far out make dx = dy = INT_MIN at (0, 0): |dx| + |dy| wraps to
    // 0, and slot 3 would divide by it.
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple}) {
        ProcessingParams p = Params(mode, OverflowWrap, 1, 32, 1);
        p.centerX = p.centerY = INT_MAX - 1;  // 2 + INT_MAX - 1 wraps to INT_MIN
        EXPECT_EQ(Hex(test::RunSlot(CoordPicture(5, 5), p, 3).At(0, 0)), Hex(kBackground)) << mode;
    }
}

TEST(Ripples, CentrePixelStaysAndTheCentreMovesThePattern) {
    const PixelBuffer base = CoordPicture(60, 40);
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple})
        for (int slot = 1; slot <= 4; ++slot)
            for (const auto& [mx, my] : {std::pair{0, 0}, std::pair{10, 0}, std::pair{0, 10}}) {
                ProcessingParams p = Params(mode, OverflowBackground, 2, 23, 9);
                p.wavePhase = 3;
                p.wavePhaseDen = 8;
                const PixelBuffer plain = test::RunSlot(base, p, slot);
                p.centerX = mx;
                p.centerY = my;
                const PixelBuffer moved = test::RunSlot(base, p, slot);
                EXPECT_EQ(Hex(moved.At(30 + mx, 20 + my)), Hex(Coord(30 + mx, 20 + my)));
                // Where both sample inside, the moved pattern samples mx, my further on.
                int compared = 0;
                for (std::int32_t y = 0; y + my < 40; ++y)
                    for (std::int32_t x = 0; x + mx < 60; ++x) {
                        const RgbValue before = plain.At(x, y), after = moved.At(x + mx, y + my);
                        if (before == kBackground || after == kBackground) continue;
                        ++compared;
                        ASSERT_EQ(Hex(after), Hex(Coord(GreenOf(before) + mx, BlueOf(before) + my))) << x << "," << y;
                    }
                EXPECT_GT(compared, 1000);
            }
}

TEST(Waves, WrapAndEdgeFindAPixelForEveryPoint) {
    // Edge in modes 22 and 23 only while the centre lies inside the picture.
    const PixelBuffer base = CoordPicture(31, 23);
    for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t overflow : {OverflowWrap, OverflowEdge}) {
                ProcessingParams p = Params(mode, overflow, 2, 23, 40);
                p.centerX = 4;
                p.centerY = -3;
                for (RgbValue v : test::RunSlot(base, p, slot).pixels)
                    ASSERT_NE(Hex(v), Hex(kBackground)) << mode << "/" << slot << "/" << overflow;
            }
}

}  // namespace
}  // namespace prismview
