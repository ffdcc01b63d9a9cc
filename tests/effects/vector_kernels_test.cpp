#include "effects/vector_kernels.h"

#include "core/colour.h"
#include "core/shifts.h"
#include "core/wide_loops.h"
#include "effects/colour_oracle.h"
#include "effects/vector_checks.h"

namespace prismview::test {
namespace {

// The compiler's AVX2 loops follow the vector kernels' dispatch, so the
// golden record, run on every target, holds both roads of every loop.
TEST(VectorKernels, WideLoopsFollowTheChosenTarget) {
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        const bool wide = HWY_ARCH_X86 && target <= HWY_AVX2;
        EXPECT_EQ(WideLoops(), wide) << hwy::TargetName(target);
        int ran = 0;
        RunLoop([&] { ++ran; });
        EXPECT_EQ(ran, 1);
    }
    hwy::SetSupportedTargetsForTest(0);
}

// Modes 8 and 9: all four ways at levels that take the chains through one,
// two and three calls, to the ends, and past them.
TEST(VectorKernels, LightnessShiftsGiveTheScalarResultForEveryColour) {
    const std::vector<RgbValue> colours = SweptColours();
    std::vector<RgbValue> expected(colours.size());
    for (const std::int32_t level : {1, 200, 510})
        for (const bool darken : {false, true})
            for (const bool simultaneous : {false, true})
                for (const bool straight : {false, true}) {
                    for (std::size_t i = 0; i < colours.size(); ++i) {
                        const Pixel p = SplitPixel(colours[i]);
                        const std::int32_t l = p.max + p.min;
                        const std::int32_t amount = simultaneous ? (darken ? l : 510 - l) * level / 255 : level;
                        expected[i] = oracle::ShiftLightness(colours[i], darken ? -amount : amount, straight ? 1 : 0);
                    }
                    const LightnessRun run{level, darken, simultaneous, straight};
                    ExpectSameOnEveryTarget(
                        colours, expected,
                        [&](const RgbValue* from, RgbValue* to, std::int32_t n) { ShiftLightnessRun(from, to, n, run); },
                        "level " + std::to_string(level) + (darken ? " darken" : " brighten") +
                            (simultaneous ? " simultaneous" : " additive") + (straight ? " straight" : " ratio"));
                }
}

// Modes 1, 2, 6 and 7: turned and mirrored by angles all round the wheel and
// beyond it, and the look-up of the turned red channel (the scalar RotateHue
// is the same kernel at one pixel).
TEST(VectorKernels, HueRotationsGiveTheScalarResultForEveryColour) {
    const std::vector<RgbValue> colours = SweptColours();
    std::vector<RgbValue> expected(colours.size());
    std::vector<RgbValue> table(256);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<RgbValue>(i * 0x010203u);
    for (const std::int32_t angle : {0, 255, 1000, 1529, -7, 2147483647})
        for (const int use : {0, 1, 2}) {  // turned, mirrored, turned and looked up
            for (std::size_t i = 0; i < colours.size(); ++i) {
                const RgbValue v = oracle::RotateHue(colours[i], angle, use == 1);
                expected[i] = use == 2 ? table[static_cast<std::size_t>(RedOf(v))] : v;
            }
            const HueRun run{angle, use == 1, use == 2 ? table.data() : nullptr};
            ExpectSameOnEveryTarget(
                colours, expected,
                [&](const RgbValue* from, RgbValue* to, std::int32_t n) { RotateHueRun(from, to, n, run); },
                "angle " + std::to_string(angle) + " use " + std::to_string(use));
        }
}

// Modes 10 and 11: the plans of every rule for amounts that widen, close and
// turn the range over; the kernel stretches each colour into its pair's plan.
TEST(VectorKernels, SaturationPlansGiveTheScalarResultForEveryColour) {
    const std::vector<RgbValue> colours = SweptColours();
    std::vector<RgbValue> expected(colours.size());
    std::vector<std::uint32_t> plans(256 * 257 / 2);
    for (const SaturationRule rule : {SatScaled, SatInvert, SatThroughGrey, SatKeepGrey})
        for (const std::int32_t amount : {-510, -100, 37, 510}) {
            for (std::int32_t max = 0; max < 256; ++max)
                for (std::int32_t min = 0; min <= max; ++min)
                    plans[static_cast<std::size_t>(max * (max + 1) / 2 + min)] =
                        PackSaturationPlan(PlanSaturation(max, min, amount, rule, 300));
            for (std::size_t i = 0; i < colours.size(); ++i) expected[i] = oracle::ShiftSaturation(colours[i], amount, rule, 300);
            ExpectSameOnEveryTarget(
                colours, expected,
                [&](const RgbValue* from, RgbValue* to, std::int32_t n) { ApplySaturationRun(from, to, n, plans.data()); },
                "rule " + std::to_string(rule) + " amount " + std::to_string(amount));
        }
}

// Mode 5: every colour with dot values spread over the whole noise range.
TEST(VectorKernels, ColourDotsGiveTheScalarResultForEveryColour) {
    const std::vector<RgbValue> colours = SweptColours();
    std::vector<std::int32_t> noise(colours.size());
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::int32_t>(i * 40503 % 2000001);
    std::vector<RgbValue> expected(colours.size());
    for (const bool sixColours : {false, true})
        for (const bool whiteBlack : {false, true}) {
            for (std::size_t i = 0; i < colours.size(); ++i)
                expected[i] = oracle::ColourDots(SplitPixel(colours[i]), noise[i], sixColours, whiteBlack);
            // The noise runs beside the colours: the kernel reads both at the same offset.
            ExpectSameOnEveryTarget(
                colours, expected,
                [&](const RgbValue* from, RgbValue* to, std::int32_t n) {
                    ColourDotsRow(from, noise.data() + (from - colours.data()), to, n, {sixColours, whiteBlack});
                },
                std::string(sixColours ? "six colours" : "pure colour") + (whiteBlack ? ", white and black" : ", grey"));
        }
}

}  // namespace
}  // namespace prismview::test
