#include <gtest/gtest.h>

#include <climits>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Coord;
using test::CoordPicture;
using test::Hex;
using test::SameImage;

constexpr RgbValue kBackground = 0xFF00FF;  // never a pixel of CoordPicture

ProcessingParams Params(std::int32_t mode, std::int32_t overflow = OverflowBackground) {
    ProcessingParams p;
    p.effectMode = mode;
    p.overflowMode = overflow;
    p.backgroundColor = kBackground;
    return p;
}

PixelBuffer MirrorX(const PixelBuffer& b) {
    return test::MakeBuffer(b.width, b.height, [&](std::int32_t x, std::int32_t y) { return b.At(b.width - 1 - x, y); });
}
PixelBuffer MirrorY(const PixelBuffer& b) {
    return test::MakeBuffer(b.width, b.height, [&](std::int32_t x, std::int32_t y) { return b.At(x, b.height - 1 - y); });
}

TEST(Waves, NoDisplacementReproducesTheBase) {
    const PixelBuffer base = test::Varied(23, 17);
    struct Case { const char* what; std::int32_t amplitude, freqDen, phaseDen; bool rippleSlot1; };
    const Case cases[] = {
        {"amplitude 0", 0, 32, 32, false},  // slot 1 of the ripples truncates even then: see below
        {"frequency denominator 0", 100, 0, 32, true},
        {"phase denominator 0", -100, 7, 0, true},
    };
    for (const Case& c : cases)
        for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple})
            for (int slot = 1; slot <= 4; ++slot)
                for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge})
                    for (std::int32_t fromEnd : {0, 1}) {
                        const bool ripple = mode == ModeRipple || mode == ModeSingleRipple;
                        if (ripple && slot == 1 && !c.rippleSlot1) continue;
                        ProcessingParams p = Params(mode, overflow);
                        p.waveAmplitude = c.amplitude;
                        p.waveFreqNum = 3;
                        p.waveFreqDen = c.freqDen;
                        p.wavePhase = 5;
                        p.wavePhaseDen = c.phaseDen;
                        p.startFromEnd = fromEnd;
                        p.centerX = 3;
                        p.centerY = -40;  // outside: nothing to clip either
                        EXPECT_TRUE(SameImage(test::RunSlot(base, p, slot), base))
                            << c.what << ", mode " << mode << " slot " << slot << " overflow " << overflow;
                    }
}

TEST(Ripples, FirstSlotTruncatesTowardTheCentreAtAmplitudeZero) {
    // ((r + 0) * dx) / r falls just short of dx for some offsets.
    struct Case { std::int32_t dx, dy, sx, sy; bool beyondBump; };
    const Case cases[] = {{5, 27, 4, 27, true}, {7, 20, 6, 20, true}, {12, 1, 12, 1, false},
                          {10, 9, 10, 9, false}, {3, 14, 2, 14, false}, {1, 12, 1, 12, false}};
    const PixelBuffer base = CoordPicture(64, 64);  // centre (32, 32)
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple})
        for (std::int32_t amplitude : {0, 16}) {
            // With the defaults the single bump ends at r = 16: beyond it, it is 0.
            if (mode == ModeRipple && amplitude != 0) continue;
            ProcessingParams p = Params(mode);
            p.waveAmplitude = amplitude;
            const PixelBuffer out = test::RunSlot(base, p, 1);
            for (const Case& c : cases) {
                if (amplitude != 0 && !c.beyondBump) continue;
                EXPECT_EQ(Hex(out.At(32 + c.dx, 32 + c.dy)), Hex(Coord(32 + c.sx, 32 + c.sy)))
                    << "mode " << mode << " offset " << c.dx << "," << c.dy;
            }
        }
}

TEST(Waves, DefaultWaveBendsColumnEightDownBySixteen) {
    const PixelBuffer base = CoordPicture(20, 40);
    const PixelBuffer out = test::RunSlot(base, Params(ModeWave), 3);
    for (std::int32_t y = 0; y < 40; ++y) {
        EXPECT_EQ(Hex(out.At(8, y)), Hex(y + 16 < 40 ? Coord(8, y + 16) : kBackground)) << y;
        // sin(pi) is a tiny positive number: columns 0 and 16 stay.
        EXPECT_EQ(Hex(out.At(0, y)), Hex(Coord(0, y)));
        EXPECT_EQ(Hex(out.At(16, y)), Hex(Coord(16, y)));
    }
}

TEST(Waves, OverflowTreatmentsAlongOneAxis) {
    // Column 8 of the default wave samples 16 rows higher; its top rows fall off.
    const PixelBuffer base = CoordPicture(30, 40);
    const PixelBuffer background = test::RunSlot(base, Params(ModeWave, OverflowBackground), 3);
    const PixelBuffer wrap = test::RunSlot(base, Params(ModeWave, OverflowWrap), 3);
    const PixelBuffer edge = test::RunSlot(base, Params(ModeWave, OverflowEdge), 3);
    for (std::int32_t y = 24; y < 40; ++y) {
        EXPECT_EQ(Hex(background.At(8, y)), Hex(kBackground));
        EXPECT_EQ(Hex(wrap.At(8, y)), Hex(Coord(8, y + 16 - 40)));
        EXPECT_EQ(Hex(edge.At(8, y)), Hex(Coord(8, 39)));
    }
    // Column 24 samples 16 rows lower: wraps to the top, clamps to row 0.
    EXPECT_EQ(Hex(test::RunSlot(base, Params(ModeWave, OverflowWrap), 3).At(24, 3)), Hex(Coord(24, 27)));
    EXPECT_EQ(Hex(test::RunSlot(base, Params(ModeWave, OverflowEdge), 3).At(24, 3)), Hex(Coord(24, 0)));
}

TEST(Waves, StartFromEndMirrorsTheWave) {
    // Slots 1 and 3 mirror left to right, 2 and 4 top to bottom; in slots 1
    // and 2 the displacement turns round with the axis, so the mirror holds.
    const PixelBuffer base = test::Varied(29, 19);
    for (std::int32_t mode : {ModeWave, ModeSingleWave})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                ProcessingParams p = Params(mode, overflow);
                p.waveFreqNum = 3;
                p.waveFreqDen = 40;
                p.waveAmplitude = 7;
                p.wavePhase = 5;
                p.wavePhaseDen = 16;
                const bool acrossX = slot == 1 || slot == 3;
                const PixelBuffer mirrored = acrossX ? MirrorX(base) : MirrorY(base);
                const PixelBuffer plain = test::RunSlot(mirrored, p, slot);
                p.startFromEnd = 1;
                EXPECT_TRUE(SameImage(test::RunSlot(base, p, slot), acrossX ? MirrorX(plain) : MirrorY(plain)))
                    << "mode " << mode << " slot " << slot << " overflow " << overflow;
            }
}

TEST(Waves, DefaultSingleBumpSitsAtTheStart) {
    // Phase 0: the bump is centred on column (row) 0 with 2 x 16 pixels of
    // displacement there and is over from column (row) 16 on.
    const PixelBuffer base = CoordPicture(40, 40);
    struct Case { int slot; bool alongX; std::int32_t sx, sy; };  // where output (0, 0) samples
    const Case cases[] = {{1, true, 32, 0}, {2, false, 0, 32}, {3, true, 0, 32}, {4, false, 32, 0}};
    for (const Case& c : cases) {
        const PixelBuffer out = test::RunSlot(base, Params(ModeSingleWave), c.slot);
        EXPECT_EQ(Hex(out.At(0, 0)), Hex(Coord(c.sx, c.sy))) << "slot " << c.slot;
        EXPECT_TRUE(SameImage(out, [&](std::int32_t x, std::int32_t y) {
            return (c.alongX ? x : y) >= 16 ? Coord(x, y) : out.At(x, y);
        })) << "slot " << c.slot;
    }
}

TEST(Waves, ShiftBeyondThirtyTwoBitsTakesTheBackground) {
    // Amplitude INT_MIN at a quarter cycle per pixel: column 1 moves by
    // sin(pi/2) * INT_MIN, which is INT_MIN; column 3 by +2^31, which has no
    // 32-bit value, so even wrapping cannot place it.
    const PixelBuffer base = CoordPicture(5, 2);
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        ProcessingParams p = Params(ModeWave, overflow);
        p.waveFreqNum = 1;
        p.waveFreqDen = 4;
        p.waveAmplitude = INT_MIN;
        const PixelBuffer out = test::RunSlot(base, p, 1);
        EXPECT_EQ(Hex(out.At(3, 0)), Hex(kBackground)) << overflow;
        // 1 + INT_MIN floor-mod 5 is 3; clamped it is 0.
        const RgbValue column1[] = {kBackground, Coord(3, 0), Coord(0, 0)};
        EXPECT_EQ(Hex(out.At(1, 0)), Hex(column1[overflow])) << overflow;
        // Counting from the end turns the amplitude round as a 32-bit product:
        // INT_MIN stays INT_MIN, so t = 3 (column 1) is the one that falls off
        // and t = 1 (column 3) moves by INT_MIN (3 + INT_MIN floor-mod 5 is 0).
        p.startFromEnd = 1;
        const PixelBuffer mirrored = test::RunSlot(base, p, 1);
        EXPECT_EQ(Hex(mirrored.At(1, 0)), Hex(kBackground)) << overflow;
        const RgbValue column3[] = {kBackground, Coord(0, 0), Coord(0, 0)};
        EXPECT_EQ(Hex(mirrored.At(3, 0)), Hex(column3[overflow])) << overflow;
    }
}

struct PointCase {
    std::int32_t mode;
    int slot;
    std::int32_t freqNum, freqDen, amplitude;
    std::int32_t x, y;    // output pixel; the centre is (7, 7)
    std::int32_t sx, sy;  // where it samples
};

TEST(Ripples, TruncationsFallWhereEachSlotPutsThem) {
    const PointCase cases[] = {
        // On the x axis r = 4 exactly; sin(A(4)) = 1 and the single bump is 3 there.
        {ModeRipple, 1, 1, 16, 3, 11, 7, 14, 7},
        {ModeSingleRipple, 1, 1, 16, 3, 11, 7, 14, 7},
        // Turned by 3 / 4 radians: (4 cos .75, 4 sin .75) = (2.93, 2.73).
        {ModeRipple, 4, 1, 16, 3, 11, 7, 9, 9},
        {ModeSingleRipple, 4, 1, 16, 3, 11, 7, 9, 9},
        // Offset (3, 2), displacement 4.4999.. (mode 22) or 4.5 (mode 23):
        // mode 22 truncates first, (2 * 4) div 3 = 2; mode 23 divides in reals, T(2 * 4.5 / 3) = 3.
        {ModeRipple, 2, 1, 36, 9, 10, 9, 14, 11},
        {ModeSingleRipple, 2, 1, 18, 3, 10, 9, 14, 12},
        // The mirror image: negated displacement, truncating division toward zero.
        {ModeRipple, 2, 1, 36, 9, 4, 5, 0, 3},
        {ModeSingleRipple, 2, 1, 18, 3, 4, 5, 0, 2},
        // Offset (1, 2), m = 3: both modes truncate the displacement to 4 first.
        {ModeRipple, 3, 1, 36, 9, 8, 9, 9, 11},
        {ModeSingleRipple, 3, 1, 18, 3, 8, 9, 9, 11},
    };
    const PixelBuffer base = CoordPicture(15, 15);
    for (const PointCase& c : cases) {
        ProcessingParams p = Params(c.mode);
        p.waveFreqNum = c.freqNum;
        p.waveFreqDen = c.freqDen;
        p.waveAmplitude = c.amplitude;
        EXPECT_EQ(Hex(test::RunSlot(base, p, c.slot).At(c.x, c.y)), Hex(Coord(c.sx, c.sy)))
            << "mode " << c.mode << " slot " << c.slot << " at " << c.x << "," << c.y;
    }
}

TEST(Ripples, OverflowTreatmentsInThePlane) {
    // Slot 2 with sin(A(1)) = 1 and amplitude 20 on a 9 x 9 picture (centre
    // (4, 4)): (5, 4) samples (25, 4), (5, 5) samples (25, 25).
    const PixelBuffer base = CoordPicture(9, 9);
    struct Case { std::int32_t overflow; RgbValue at54, at55; };
    const Case cases[] = {
        {OverflowBackground, kBackground, kBackground},
        {OverflowWrap, Coord(7, 4), Coord(7, 7)},
        // Along the line to the centre, with the width (not width - 1) in the
        // far-edge numerator: y = 4 + 21 * 5 / 21 = 9, then x = 4 + 4 * 5 / 5.
        {OverflowEdge, Coord(8, 4), Coord(8, 8)},
    };
    for (const Case& c : cases) {
        ProcessingParams p = Params(ModeRipple, c.overflow);
        p.waveFreqNum = 1;
        p.waveFreqDen = 4;
        p.waveAmplitude = 20;
        const PixelBuffer out = test::RunSlot(base, p, 2);
        EXPECT_EQ(Hex(out.At(5, 4)), Hex(c.at54)) << c.overflow;
        EXPECT_EQ(Hex(out.At(5, 5)), Hex(c.at55)) << c.overflow;
    }
}

TEST(Ripples, UndefinedDivisionTakesTheBackground) {
    // Centres far out make dx = dy = INT_MIN at pixel (0, 0): |dx| + |dy|
    // wraps to 0, and slot 3 would divide by it.
    const PixelBuffer base = CoordPicture(5, 5);
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple}) {
        ProcessingParams p = Params(mode, OverflowWrap);
        p.centerX = p.centerY = INT_MAX - 1;  // centre (2 + INT_MAX - 1) wraps to INT_MIN
        p.waveAmplitude = 1;
        EXPECT_EQ(Hex(test::RunSlot(base, p, 3).At(0, 0)), Hex(kBackground)) << mode;
    }
}

ProcessingParams Wavy(std::int32_t mode, std::int32_t overflow) {
    ProcessingParams p = Params(mode, overflow);
    p.waveFreqNum = 2;
    p.waveFreqDen = 23;
    p.waveAmplitude = 9;
    p.wavePhase = 3;
    p.wavePhaseDen = 8;
    return p;
}

TEST(Ripples, CentrePixelStaysAndTheCentreMovesThePattern) {
    const PixelBuffer base = CoordPicture(60, 40);
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple})
        for (int slot = 1; slot <= 4; ++slot) {
            ProcessingParams p = Wavy(mode, OverflowBackground);
            const PixelBuffer plain = test::RunSlot(base, p, slot);
            EXPECT_EQ(Hex(plain.At(30, 20)), Hex(Coord(30, 20))) << mode << "/" << slot;
            // The displacement field moves with the centre: 10 to the right, or 10 up.
            for (const bool alongX : {true, false}) {
                p.centerX = alongX ? 10 : 0;
                p.centerY = alongX ? 0 : 10;
                const PixelBuffer moved = test::RunSlot(base, p, slot);
                EXPECT_EQ(Hex(moved.At(30 + p.centerX, 20 + p.centerY)), Hex(Coord(30 + p.centerX, 20 + p.centerY)));
                int compared = 0;
                for (std::int32_t y = 0; y + p.centerY < 40; ++y)
                    for (std::int32_t x = 0; x + p.centerX < 60; ++x) {
                        const RgbValue before = plain.At(x, y), after = moved.At(x + p.centerX, y + p.centerY);
                        if (before == kBackground || after == kBackground) continue;
                        ++compared;
                        ASSERT_EQ(Hex(after), Hex(Coord(GreenOf(before) + p.centerX, BlueOf(before) + p.centerY)))
                            << mode << "/" << slot << " at " << x << "," << y;
                    }
                EXPECT_GT(compared, 1000);
            }
        }
}

TEST(Waves, WrapAndEdgeNeverGiveTheBackgroundWhereTheyCanPlaceThePoint) {
    const PixelBuffer base = CoordPicture(31, 23);
    for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple})
        for (int slot = 1; slot <= 4; ++slot)
            for (std::int32_t overflow : {OverflowWrap, OverflowEdge}) {
                ProcessingParams p = Wavy(mode, overflow);
                p.waveAmplitude = 40;  // larger than the picture
                p.centerX = 4;
                p.centerY = -3;
                const PixelBuffer out = test::RunSlot(base, p, slot);
                for (RgbValue v : out.pixels) ASSERT_NE(Hex(v), Hex(kBackground)) << mode << "/" << slot << "/" << overflow;
            }
}

TEST(Waves, ThreadCountDoesNotChangeThePictures) {
    const PixelBuffer base = test::Varied(97, 71);
    for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple})
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
            ProcessingParams p = Wavy(mode, overflow);
            p.centerX = -7;
            p.startFromEnd = 1;
            const auto one = test::RunPass(base, p, 1);
            const auto three = test::RunPass(base, p, 3);
            for (int slot = 0; slot < 4; ++slot)
                EXPECT_TRUE(SameImage(three[slot], one[slot])) << mode << "/" << slot + 1 << "/" << overflow;
        }
}

}  // namespace
}  // namespace prismview
