#include "effects/vector_kernels.h"

#include "core/shifts.h"
#include "effects/vector_checks.h"

namespace prismview::test {
namespace {

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
                        expected[i] = ShiftLightness(colours[i], darken ? -amount : amount, straight ? 1 : 0);
                    }
                    const LightnessRun run{level, darken, simultaneous, straight};
                    ExpectSameOnEveryTarget(
                        colours, expected,
                        [&](const RgbValue* from, RgbValue* to, std::int32_t n) { ShiftLightnessRun(from, to, n, run); },
                        "level " + std::to_string(level) + (darken ? " darken" : " brighten") +
                            (simultaneous ? " simultaneous" : " additive") + (straight ? " straight" : " ratio"));
                }
}

}  // namespace
}  // namespace prismview::test
