#include "effects/sampler.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <set>
#include <vector>

#include "effects/image_checks.h"

namespace prismview {
namespace {

TEST(Sampling, AxisTreatmentsAndExactDistance) {
    struct Case { std::int32_t v, overflow, expected; };
    const Case cases[] = {
        {-1, OverflowBackground, -1}, {-1, OverflowWrap, 4}, {-1, OverflowEdge, 0}, {5, OverflowWrap, 0},
        {INT_MIN, OverflowWrap, 2},   {INT_MAX, OverflowEdge, 4}, {-1, 7, -1},  // unknown: bounds only
    };
    for (const Case& c : cases) EXPECT_EQ(SampleAxis(c.v, 5, c.overflow), c.expected) << c.v << "/" << c.overflow;
    EXPECT_EQ(Distance(3, -4), 5.0);
    EXPECT_EQ(Distance(INT_MIN, 0), 2147483648.0);  // the magnitude does not wrap
}

// The round ripples and the vortex work out what depends on a pixel's
// distance once for each pair of pixels mirrored about the centre column.
// Whatever the centre (even and odd widths, on an edge, outside), the
// pictures equal the arithmetic done afresh for every pixel.
TEST(Distortions, MirroredPixelsGiveWhatEachPixelGivesAlone) {
    const double twoPi = 2.0 * std::acos(-1.0);
    const std::int32_t num = 3, den = 29, amplitude = 7, phaseNum = 2, phaseDen = 9;
    const double phase = static_cast<double>(phaseNum) / phaseDen;
    auto wave = [&](bool single, double rho) {
        if (!single) return std::sin(twoPi * ((num * rho) / den + phase)) * amplitude;
        const double o = (num * rho) / den - phase;
        return std::fabs(o) <= 0.5 ? (std::cos(twoPi * o) + 1.0) * amplitude : 0.0;
    };
    auto waveAt = [&](bool single, std::int32_t q) {  // an integer product with the frequency
        if (!single) return std::sin(twoPi * (static_cast<double>(q * num) / den + phase)) * amplitude;
        const double o = static_cast<double>(q * num) / den - phase;
        return std::fabs(o) <= 0.5 ? (std::cos(twoPi * o) + 1.0) * amplitude : 0.0;
    };
    // The sample point of one pixel at offset (dx, dy) from the centre.
    auto point = [&](std::int32_t mode, int slot, Centre c, std::int32_t dx, std::int32_t dy) {
        const double r = Distance(dx, dy);
        const bool single = mode == ModeSingleRipple;
        if (mode == ModeVortex) {
            const double f = static_cast<double>(num) / den;
            const double k = slot == 2 ? (r == 0.0 ? 0.0 : (f * amplitude) / r) : (f * r) / amplitude;
            return Turned(c, dx, dy, TurnBy(k));
        }
        if (slot == 1) {
            if (r == 0.0) return SamplePoint{c.x, c.y};
            const double d = wave(single, r);
            return SamplePoint{c.x + static_cast<std::int32_t>(((r + d) * dx) / r),
                               c.y + static_cast<std::int32_t>(((r + d) * dy) / r)};
        }
        if (slot == 4) return Turned(c, dx, dy, r == 0.0 ? Turn{} : TurnBy(wave(single, r) / r));
        const std::int32_t m = std::abs(dx) + std::abs(dy);
        if (m == 0) return SamplePoint{c.x, c.y};
        const auto d = static_cast<std::int32_t>(waveAt(single, m));
        return SamplePoint{c.x + dx + dx * d / m, c.y + dy + dy * d / m};
    };
    struct Slot { std::int32_t mode; int slot; };
    const Slot slots[] = {{ModeRipple, 1}, {ModeRipple, 3}, {ModeRipple, 4}, {ModeSingleRipple, 1},
                          {ModeSingleRipple, 3}, {ModeSingleRipple, 4}, {ModeVortex, 2}, {ModeVortex, 3}};
    for (const auto& [width, height] : {std::pair{40, 31}, std::pair{41, 30}})
        for (const auto& [centerX, centerY] : {std::pair{0, 0}, std::pair{-7, 3}, std::pair{11, -15},
                                               std::pair{-width / 2, 0}, std::pair{width - 1 - width / 2, 0},
                                               std::pair{-width, 2}, std::pair{width, -2}})
            for (const Slot& s : slots)
                for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                    const PixelBuffer base = test::Varied(width, height);
                    ProcessingParams p;
                    p.effectMode = s.mode;
                    p.waveFreqNum = num;
                    p.waveFreqDen = den;
                    p.waveAmplitude = amplitude;
                    p.wavePhase = phaseNum;
                    p.wavePhaseDen = phaseDen;
                    p.centerX = centerX;
                    p.centerY = centerY;
                    p.overflowMode = overflow;
                    const Centre c{width / 2 + centerX, height / 2 + centerY};
                    auto alone = [&](std::int32_t x, std::int32_t y) {
                        const SamplePoint at = point(s.mode, s.slot, c, x - c.x, y - c.y);
                        switch (overflow) {
                            case OverflowWrap: return SamplePlane<OverflowWrap>(base.Rows(), at, c, p.backgroundColor);
                            case OverflowEdge: return SamplePlane<OverflowEdge>(base.Rows(), at, c, p.backgroundColor);
                            default: return SamplePlane<OverflowBackground>(base.Rows(), at, c, p.backgroundColor);
                        }
                    };
                    ASSERT_EQ(test::RunSlot(base, p, s.slot).pixels, test::Pixels(width, height, alone))
                        << "mode " << s.mode << " slot " << s.slot << ", " << width << " x " << height << ", centre "
                        << centerX << "," << centerY << ", overflow " << overflow;
                }
}

// Every distortion slot with parameters at the 32-bit limits; these run under
// the sanitizers. Every output pixel is a source pixel or the background.
TEST(Distortions, ParametersAtTheLimitsStayDefined) {
    struct Limits { std::int32_t num, den, amplitude, phase, phaseDen, centerX, centerY; };
    std::vector<Limits> sets;
    const std::int32_t values[] = {INT_MIN, INT_MAX, 0, -1};
    for (int field = 0; field < 7; ++field)
        for (std::int32_t v : values) {
            Limits l{1, 32, 16, 0, 32, 0, 0};
            std::int32_t* fields[] = {&l.num, &l.den, &l.amplitude, &l.phase, &l.phaseDen, &l.centerX, &l.centerY};
            *fields[field] = v;
            sets.push_back(l);
        }
    for (std::int32_t v : values) sets.push_back({v, v, v, v, v, v, v});
    sets.push_back({INT_MAX, 1, INT_MIN, INT_MIN, 1, INT_MIN, INT_MAX});
    sets.push_back({-1, 1, INT_MIN, 0, 1, INT_MAX - 2, INT_MAX - 2});
    sets.push_back({1, 1, 3, 0, 1, -7, 40});
    // Reproducible mixtures of awkward values.
    const std::int32_t awkward[] = {INT_MIN, INT_MIN + 1, -32, -1, 0, 1, 2, 32, 1 << 30, INT_MAX - 1, INT_MAX};
    std::uint32_t seed = 12345;
    auto next = [&] { return awkward[((seed = seed * 1664525u + 1013904223u) >> 16) % std::size(awkward)]; };
    for (int i = 0; i < 60; ++i) sets.push_back({next(), next(), next(), next(), next(), next(), next()});

    const PixelBuffer base = test::Varied(7, 5);
    constexpr RgbValue kBackground = 0xFEDCBA;
    std::set<RgbValue> allowed(base.pixels.begin(), base.pixels.end());
    allowed.insert(kBackground);
    long backgrounds = 0, pixels = 0;
    for (const Limits& l : sets)
        for (std::int32_t mode = ModeWave; mode <= ModeSlide; ++mode)
            for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge})
                for (int slot = 1; slot <= 4; ++slot) {
                    const ProcessingParams p{.effectMode = mode, .backgroundColor = kBackground,
                                             .waveFreqNum = l.num, .waveFreqDen = l.den,
                                             .waveAmplitude = l.amplitude, .wavePhase = l.phase,
                                             .wavePhaseDen = l.phaseDen, .overflowMode = overflow,
                                             .centerX = l.centerX, .centerY = l.centerY, .startFromEnd = slot % 2};
                    for (RgbValue v : test::RunSlot(base, p, slot).pixels) {
                        ASSERT_TRUE(allowed.count(v)) << test::Hex(v) << " in mode " << mode << " slot " << slot;
                        backgrounds += v == kBackground;
                        ++pixels;
                    }
                }
    // The table reaches both outcomes.
    EXPECT_GT(backgrounds, pixels / 20);
    EXPECT_LT(backgrounds, pixels - pixels / 20);
}

TEST(EdgesAndDistortions, ThreadCountDoesNotChangeThePictures) {
    const PixelBuffer base = test::Varied(97, 71);
    for (std::int32_t mode : {13, 14, 20, 21, 22, 23, 24, 25})
        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge})
            for (bool extreme : {false, true}) {
                ProcessingParams p{.effectMode = mode, .backgroundColor = 0x123456, .waveFreqNum = 3,
                                   .waveFreqDen = 7, .waveAmplitude = 20, .wavePhase = 3, .wavePhaseDen = 8,
                                   .overflowMode = overflow, .centerX = 11, .centerY = -4, .startFromEnd = 1};
                if (extreme) {
                    p.waveFreqNum = p.centerX = INT_MAX;
                    p.waveAmplitude = INT_MIN;
                    p.centerY = INT_MIN + 5;
                }
                const auto one = test::RunPass(base, p, 1), three = test::RunPass(base, p, 3);
                for (int slot = 0; slot < 4; ++slot)
                    EXPECT_EQ(three[slot].pixels, one[slot].pixels) << mode << "/" << slot + 1 << "/" << overflow;
            }
}

}  // namespace
}  // namespace prismview
