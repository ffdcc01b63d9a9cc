#include "effects/sampler.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <set>
#include <vector>

#include "effects/distortion_oracle.h"
#include "effects/image_checks.h"
#include "hwy/highway.h"
#include "hwy/targets.h"

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

// Every slot of the ripples, the vortex and the slide samples where the
// oracle says, under every overflow treatment and on every vector target:
// whatever the centre (even and odd widths, on an edge, outside, far
// outside, where offsets wrap) and with parameters at the 32-bit limits. The
// schedules work values out once for pixels that share them (mirrored about
// the centre, of one diamond distance, of one column), with or without their
// tables; the pictures equal the arithmetic done afresh for every pixel.
TEST(Distortions, PlaneSlotsSampleWhereTheOracleSays) {
    struct Wave { std::int32_t num, den, amplitude, phase, phaseDen; };
    const Wave waves[] = {{3, 29, 7, 2, 9}, {-5, 3, 40, 1, 4}, {INT_MAX, 7, INT_MIN, 3, 1}, {1, 1, 3, 0, 0}};
    std::vector<std::int64_t> targets = hwy::SupportedAndGeneratedTargets();
    for (const std::int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        for (const auto& [width, height] : {std::pair{40, 31}, std::pair{41, 30}, std::pair{1, 1}})
            for (const auto& [centerX, centerY] :
                 {std::pair{0, 0}, std::pair{-7, 3}, std::pair{11, -15}, std::pair{-width / 2, 0},
                  std::pair{width - 1 - width / 2, 0}, std::pair{-width, 2}, std::pair{width, -2},
                  std::pair{INT_MIN, INT_MAX - 5}})
                for (const Wave& w : waves)
                    for (std::int32_t mode : {ModeRipple, ModeSingleRipple, ModeVortex, ModeSlide})
                        for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
                            const PixelBuffer base = test::Varied(width, height);
                            const ProcessingParams p{.effectMode = mode, .backgroundColor = 0x123456,
                                                     .waveFreqNum = w.num, .waveFreqDen = w.den,
                                                     .waveAmplitude = w.amplitude, .wavePhase = w.phase,
                                                     .wavePhaseDen = w.phaseDen, .overflowMode = overflow,
                                                     .centerX = centerX, .centerY = centerY};
                            const test::DistortionOracle oracle(p, width, height);
                            for (int slot = 1; slot <= 4; ++slot) {
                                auto alone = [&](std::int32_t x, std::int32_t y) {
                                    if (!oracle.Moves(slot)) return base.Rows().At(x, y) & 0xFFFFFFu;
                                    return oracle.Sample(base.Rows(), oracle.Point(slot, x, y));
                                };
                                ASSERT_EQ(test::RunSlot(base, p, slot).pixels, test::Pixels(width, height, alone))
                                    << "mode " << mode << " slot " << slot << ", " << width << " x " << height
                                    << ", centre " << centerX << "," << centerY << ", wave " << w.num << "/" << w.den
                                    << " " << w.amplitude << ", overflow " << overflow << " on "
                                    << hwy::TargetName(target);
                            }
                        }
    }
    hwy::SetSupportedTargetsForTest(0);
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
