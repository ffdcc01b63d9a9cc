#include "effects/sampling.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <set>
#include <vector>

#include "effects/image_checks.h"

namespace prismview {
namespace {

using test::Coord;
using test::Hex;

TEST(SampleSourceAxis, EachTreatment) {
    struct Case { std::int32_t v, n, overflow, expected; };
    const Case cases[] = {
        {3, 5, OverflowBackground, 3}, {3, 5, OverflowWrap, 3},    {3, 5, OverflowEdge, 3},
        {-1, 5, OverflowBackground, -1}, {-1, 5, OverflowWrap, 4}, {-1, 5, OverflowEdge, 0},
        {5, 5, OverflowBackground, -1}, {5, 5, OverflowWrap, 0},   {7, 5, OverflowEdge, 4},
        {INT_MIN, 5, OverflowWrap, 2},  {INT_MAX, 5, OverflowWrap, 2}, {INT_MIN, 5, OverflowEdge, 0},
        {INT_MAX, 1, OverflowEdge, 0},  {-1, 5, 7, -1},  // an unknown treatment only tests the bounds
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleSourceAxis(c.v, c.n, c.overflow), c.expected) << c.v << " in " << c.n << " / " << c.overflow;
}

TEST(SampleSource, EachTreatmentInThePlane) {
    const PixelBuffer source = test::CoordPicture(4, 3);
    constexpr RgbValue kBackground = 0xFF00FF;
    struct Case { SamplePoint point; std::int32_t cx, cy; RgbValue background, wrap, edge; };
    const Case cases[] = {
        {{2, 1}, 1, 1, Coord(2, 1), Coord(2, 1), Coord(2, 1)},
        {{-1, 1}, 1, 1, kBackground, Coord(3, 1), Coord(0, 1)},
        // Edge: x = 3, y = 1 + (-5 * 3) / 5 = -2; then from there x = 1 + 2 * 1 / 3, y = 0.
        {{6, -4}, 1, 1, kBackground, Coord(2, 2), Coord(1, 0)},
        {{INT_MIN, INT_MAX}, 1, 1, kBackground, Coord(0, 1), Coord(0, 1)},
        {{5, 1}, 5, 9, kBackground, Coord(1, 1), kBackground},   // level with a centre outside: no line
        {InvalidPoint(), 1, 1, kBackground, kBackground, kBackground},
    };
    for (const Case& c : cases) {
        const auto where = std::to_string(c.point.x) + "," + std::to_string(c.point.y);
        EXPECT_EQ(Hex(SampleSource<OverflowBackground>(source, c.point, c.cx, c.cy, kBackground)), Hex(c.background))
            << where;
        EXPECT_EQ(Hex(SampleSource<OverflowWrap>(source, c.point, c.cx, c.cy, kBackground)), Hex(c.wrap)) << where;
        EXPECT_EQ(Hex(SampleSource<OverflowEdge>(source, c.point, c.cx, c.cy, kBackground)), Hex(c.edge)) << where;
    }
}

TEST(Distance, ExactForWholeTrianglesAndHugeOffsets) {
    EXPECT_EQ(Distance(0, 0), 0.0);
    EXPECT_EQ(Distance(3, -4), 5.0);
    EXPECT_EQ(Distance(-4, 3), 5.0);
    EXPECT_EQ(Distance(-9, 0), 9.0);
    // The magnitude of the most negative offset does not wrap.
    EXPECT_EQ(Distance(INT_MIN, 0), 2147483648.0);
    EXPECT_GT(Distance(INT_MIN, INT_MIN), 3.0e9);
}

// Every distortion slot with parameters at the 32-bit limits. These run
// under the sanitizers: no overflow, no division by zero, no conversion of a
// NaN or out-of-range double. Every output pixel is a source pixel or the
// background colour.
struct Limits {
    std::int32_t num, den, amplitude, phase, phaseDen, centerX, centerY;
};

std::vector<Limits> ExtremeSets() {
    const Limits defaults{1, 32, 16, 0, 32, 0, 0};
    const std::int32_t values[] = {INT_MIN, INT_MAX, 0, -1};
    std::vector<Limits> sets;
    for (int field = 0; field < 7; ++field)
        for (std::int32_t v : values) {
            Limits l = defaults;
            std::int32_t* fields[] = {&l.num, &l.den, &l.amplitude, &l.phase, &l.phaseDen, &l.centerX, &l.centerY};
            *fields[field] = v;
            sets.push_back(l);
        }
    for (std::int32_t v : values) sets.push_back({v, v, v, v, v, v, v});
    sets.push_back({INT_MAX, 1, INT_MIN, INT_MIN, 1, INT_MIN, INT_MAX});
    sets.push_back({INT_MIN, -1, INT_MAX, INT_MAX, -1, INT_MAX, INT_MIN});
    sets.push_back({1, INT_MAX, INT_MAX, 1, INT_MIN, 1000000, -1000000});
    sets.push_back({-1, 1, INT_MIN, 0, 1, INT_MAX - 2, INT_MAX - 2});
    sets.push_back({1, 1, 3, 0, 1, -7, 40});  // centre just outside
    // Pseudo-random mixtures of awkward values, reproducible.
    const std::int32_t awkward[] = {INT_MIN, INT_MIN + 1, -32, -1, 0, 1, 2, 32, 1 << 30, INT_MAX - 1, INT_MAX};
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return awkward[(seed >> 16) % std::size(awkward)];
    };
    for (int i = 0; i < 60; ++i) sets.push_back({next(), next(), next(), next(), next(), next(), next()});
    return sets;
}

TEST(Distortions, ParametersAtTheLimitsStayDefined) {
    const PixelBuffer base = test::Varied(7, 5);
    constexpr RgbValue kBackground = 0xFEDCBA;
    std::set<RgbValue> allowed(base.pixels.begin(), base.pixels.end());
    allowed.insert(kBackground);
    int backgrounds = 0, pixels = 0;
    for (const Limits& l : ExtremeSets())
        for (std::int32_t mode : {ModeWave, ModeSingleWave, ModeRipple, ModeSingleRipple, ModeVortex, ModeSlide})
            for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge})
                for (std::int32_t fromEnd : {0, 1}) {
                    ProcessingParams p;
                    p.effectMode = mode;
                    p.waveFreqNum = l.num;
                    p.waveFreqDen = l.den;
                    p.waveAmplitude = l.amplitude;
                    p.wavePhase = l.phase;
                    p.wavePhaseDen = l.phaseDen;
                    p.centerX = l.centerX;
                    p.centerY = l.centerY;
                    p.overflowMode = overflow;
                    p.startFromEnd = fromEnd;
                    p.backgroundColor = kBackground;
                    for (int slot = 1; slot <= 4; ++slot) {
                        const PixelBuffer out = test::RunSlot(base, p, slot);
                        for (RgbValue v : out.pixels) {
                            ASSERT_TRUE(allowed.count(v)) << Hex(v) << " in mode " << mode << " slot " << slot;
                            backgrounds += v == kBackground;
                            ++pixels;
                        }
                    }
                }
    // The table reaches both outcomes, not only one of them.
    EXPECT_GT(backgrounds, pixels / 20);
    EXPECT_LT(backgrounds, pixels - pixels / 20);
}

TEST(Distortions, ExtremeCentresGiveTheSameResultOnAnyNumberOfThreads) {
    const PixelBuffer base = test::Varied(97, 71);
    for (std::int32_t mode : {ModeRipple, ModeSingleRipple, ModeVortex, ModeSlide})
        for (std::int32_t overflow : {OverflowWrap, OverflowEdge}) {
            ProcessingParams p;
            p.effectMode = mode;
            p.overflowMode = overflow;
            p.waveFreqNum = INT_MAX;
            p.waveFreqDen = 3;
            p.waveAmplitude = INT_MIN;
            p.centerX = INT_MAX;
            p.centerY = INT_MIN + 5;
            const auto one = test::RunPass(base, p, 1);
            const auto three = test::RunPass(base, p, 3);
            for (int slot = 0; slot < 4; ++slot)
                EXPECT_TRUE(test::SameImage(three[slot], one[slot])) << mode << "/" << slot + 1 << "/" << overflow;
        }
}

}  // namespace
}  // namespace prismview
