// The mode records: what each declares it reads, and how the table finds them.
#include "effects/mode_table.h"

#include "core/parameter_table.h"

#include <gtest/gtest.h>

#include <functional>

#include <set>
#include "support/test_support.h"

namespace prismview {
namespace {

TEST(SameImages, AChangeTheModeDoesNotReadLeavesEveryPixel) {
    // A change of each parameter of the table, every field of it at once,
    // staying within its range.
    const auto change = [](const ParameterInfo& parameter, ProcessingParams& p) {
        if (parameter.colour) p.*parameter.colour ^= 0xA5C3E1u;
        for (const ParameterField& field : parameter.fields) {
            if (!field.member) continue;
            std::int32_t& v = p.*field.member;
            if (parameter.kind == ParameterKind::Flag) v ^= 1;
            else if (const auto range = parameter.range) {
                const std::int32_t size = range->hi - range->lo + 1;
                v = range->lo + (v - range->lo + size / 2 + 1) % size;
            } else {
                v += 7;
            }
        }
    };
    const PixelBuffer pictures[] = {test::Varied(23, 17), test::Varied(1, 1)};
    int skipped = 0, different = 0;
    for (const ModeSpec* record : AllModes()) {
        const std::int32_t mode = record->mode;
        for (int variant = 0; variant < 2; ++variant) {
            ProcessingParams params;
            params.effectMode = mode;
            params.hue = 250 + 400 * variant;
            params.level = 90 + 200 * variant;
            params.backgroundColor = 0x336699;
            params.wavePhase = 3 * variant;
            params.waveAmplitude = 5 + 20 * variant;
            params.overflowMode = variant;
            for (const ParameterInfo& parameter : kParameterTable) {
                if (parameter.kind == ParameterKind::Mode) continue;
                ProcessingParams changed = params;
                change(parameter, changed);
                EXPECT_EQ(SameImages(params, changed), SameImages(changed, params)) << parameter.name;  // either way round
                if (!SameImages(params, changed)) {
                    ++different;
                    continue;
                }
                ++skipped;
                for (const PixelBuffer& picture : pictures) {
                    const auto before = test::RunPass(picture, params), after = test::RunPass(picture, changed);
                    for (std::size_t slot = 0; slot < before.size(); ++slot)
                        EXPECT_EQ(before[slot].pixels, after[slot].pixels)
                            << "mode " << mode << " slot " << slot + 1 << " reads the " << parameter.name;
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

// The other way round: each parameter a mode declares (the background colour
// and the overflow treatment too) changes some pixel of some slot, so no
// declared read is idle (and the swatches and the right
// click, which follow the declarations, point at something real).
TEST(ModeRecords, EveryDeclaredReadChangesSomePixel) {
    const PixelBuffer picture = test::Varied(29, 23);
    for (const ModeSpec* record : AllModes()) {
        ProcessingParams params;
        params.effectMode = record->mode;
        params.hue = 250;
        params.level = 90;
        params.backgroundColor = 0x336699;
        params.waveAmplitude = 5;
        params.wavePhase = 3;
        params.waveFreqNum = 3;  // the slide moves pixels of this small picture
        params.centerX = 3;
        const auto before = test::RunPass(picture, params);
        auto changes = [&](auto&& change) {
            ProcessingParams changed = params;
            change(changed);
            return test::RunPass(picture, changed) != before;
        };
        const unsigned reads = record->reads;
        EXPECT_TRUE(!(reads & ReadsHue) || changes([](auto& p) { p.hue = 1000; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsLevel) || changes([](auto& p) { p.level = 400; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsFrequency) || changes([](auto& p) { p.waveFreqNum = 5; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsAmplitude) || changes([](auto& p) { p.waveAmplitude = 9; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsPhase) || changes([](auto& p) { p.wavePhase = 11; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsCentre) || changes([](auto& p) { p.centerX = -6; })) << record->name;
        EXPECT_TRUE(!(reads & ReadsStartFromEnd) || changes([](auto& p) { p.startFromEnd = 1; })) << record->name;
        // The distortions meet the background and the overflow treatment only
        // beyond the picture: moves of 40 pixels reach it.
        auto farChanges = [&](auto&& change) {
            ProcessingParams far = params;
            far.waveAmplitude = 40;
            ProcessingParams changed = far;
            change(changed);
            return test::RunPass(picture, changed) != test::RunPass(picture, far);
        };
        EXPECT_TRUE(!(reads & ReadsBackground) || changes([](auto& p) { p.backgroundColor = 0xC0FFEE; }) ||
                    farChanges([](auto& p) { p.backgroundColor = 0xC0FFEE; }))
            << record->name;
        EXPECT_TRUE(!(reads & ReadsOverflow) || (farChanges([](auto& p) { p.overflowMode = OverflowWrap; }) &&
                                                 farChanges([](auto& p) { p.overflowMode = OverflowEdge; })))
            << record->name;
        // A hue swatch only beside images that follow the hue, a level swatch likewise.
        EXPECT_TRUE(!(record->hueSwatch) || reads & ReadsHue) << record->name;
        EXPECT_TRUE(!(record->levelSwatch) || reads & ReadsLevel) << record->name;
    }
}

TEST(ModeRecords, NumbersAndNamesFindTheirRecordOnce) {
    std::set<std::int32_t> numbers;
    std::set<std::string_view> names;
    for (const ModeSpec* record : AllModes()) {
        EXPECT_TRUE(numbers.insert(record->mode).second) << record->mode;
        EXPECT_EQ(FindMode(record->mode), record);
        EXPECT_EQ(FindModeByName(record->name), record);
        EXPECT_TRUE(names.insert(record->name).second) << record->name;
        if (!record->formerName.empty()) {
            EXPECT_EQ(FindModeByName(record->formerName), record);
            EXPECT_TRUE(names.insert(record->formerName).second) << record->formerName;
        }
        for (const auto& make : record->slots) EXPECT_TRUE(make) << record->name;
    }
    EXPECT_EQ(AllModes().size(), 25u);
    for (std::int32_t missing : {-1, 19, 26}) EXPECT_EQ(FindMode(missing), nullptr);
    EXPECT_EQ(FindModeByName(""), nullptr);
    EXPECT_EQ(FindModeByName("ModeInvert"), nullptr);
}

}  // namespace
}  // namespace prismview
