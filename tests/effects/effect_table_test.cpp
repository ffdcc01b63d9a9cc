// The parameters each mode declares it reads: a change to any other must
// leave every derived pixel as it was, since the window then skips the pass.
#include "effects/effect_table.h"

#include <gtest/gtest.h>

#include <functional>

#include "resources/modes.h"
#include "support/test_support.h"

namespace prismview {
namespace {

TEST(SameImages, AChangeTheModeDoesNotReadLeavesEveryPixel) {
    struct Change {
        const char* name;
        std::function<void(ProcessingParams&)> apply;
    };
    const Change changes[] = {
        {"hue", [](ProcessingParams& p) { p.hue = (p.hue + 701) % 1530; }},
        {"level", [](ProcessingParams& p) { p.level = (p.level + 333) % 511; }},
        {"background", [](ProcessingParams& p) { p.backgroundColor ^= 0xA5C3E1u; }},
        {"freq", [](ProcessingParams& p) { p.waveFreqNum += 3; p.waveFreqDen -= 7; }},
        {"amplitude", [](ProcessingParams& p) { p.waveAmplitude += 9; }},
        {"phase", [](ProcessingParams& p) { p.wavePhase += 5; p.wavePhaseDen += 2; }},
        {"overflow", [](ProcessingParams& p) { p.overflowMode = (p.overflowMode + 1) % 3; }},
        {"centre", [](ProcessingParams& p) { p.centerX -= 6; p.centerY += 4; }},
        {"start from end", [](ProcessingParams& p) { p.startFromEnd ^= 1; }},
    };
    const PixelBuffer pictures[] = {test::Varied(23, 17), test::Varied(1, 1)};
    int skipped = 0, different = 0;
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        if (ModeLabelTable[mode].name.empty()) continue;
        for (int variant = 0; variant < 2; ++variant) {
            ProcessingParams params;
            params.effectMode = mode;
            params.hue = 250 + 400 * variant;
            params.level = 90 + 200 * variant;
            params.backgroundColor = 0x336699;
            params.wavePhase = 3 * variant;
            params.waveAmplitude = 5 + 20 * variant;
            params.overflowMode = variant;
            for (const Change& change : changes) {
                ProcessingParams changed = params;
                change.apply(changed);
                EXPECT_TRUE(SameImages(params, params));
                if (!SameImages(params, changed)) {
                    ++different;
                    continue;
                }
                ++skipped;
                for (const PixelBuffer& picture : pictures) {
                    const auto before = test::RunPass(picture, params), after = test::RunPass(picture, changed);
                    for (std::size_t slot = 0; slot < before.size(); ++slot)
                        EXPECT_EQ(before[slot].pixels, after[slot].pixels)
                            << "mode " << mode << " slot " << slot + 1 << " reads the " << change.name;
                }
            }
        }
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(different, 0);
    ProcessingParams other;
    other.effectMode = ModeVortex;
    EXPECT_FALSE(SameImages(ProcessingParams{}, other));
}

}  // namespace
}  // namespace prismview
