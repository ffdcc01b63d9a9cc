#include "tools/batch_options.h"

#include "tools/batch_arguments.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "effects/mode_table.h"

namespace prismview {
namespace {

bool ParseParameter(std::string_view name, const std::string& text, ProcessingParams& params, std::string& error) {
    const ParameterInfo* parameter = FindParameter(name);
    EXPECT_NE(parameter, nullptr) << name;
    return parameter && ParseParameter(*parameter, text, params, error);
}

TEST(BatchOptions, ModesByNumberNameAndFormerName) {
    ProcessingParams params;
    std::string error;
    for (const ModeSpec* mode : AllModes()) {
        std::vector<std::string> texts = {std::to_string(mode->mode), std::string(mode->name)};
        if (!mode->formerName.empty()) texts.emplace_back(mode->formerName);
        for (const std::string& text : texts) {
            params.effectMode = -1;
            ASSERT_TRUE(ParseParameter("mode", text, params, error)) << error;
            EXPECT_EQ(params.effectMode, mode->mode) << text;
        }
    }
    // What scripts of earlier versions wrote still works.
    for (const auto& [old, mode] : {std::pair{"saturation2", 11}, {"edges2", 14}, {"tint-mono2", 17},
                                    {"tint-mono3", 18}, {"color-reduce", 16}, {"dots-color", 5}}) {
        ASSERT_TRUE(ParseParameter("mode", old, params, error)) << error;
        EXPECT_EQ(params.effectMode, mode) << old;
    }
    for (const char* bad : {"19", "26", "-1", "Invert", "hue_rotate", "3x", "", "0x3", "ModeInvert"})
        EXPECT_FALSE(ParseParameter("mode", bad, params, error)) << bad;
}

TEST(BatchOptions, NumbersAreParsedStrictly) {
    std::int32_t v = 0;
    EXPECT_TRUE(ParseInt32("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(ParseInt32("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    for (const char* bad : {"2147483648", "-2147483649", "12x", " 12", "12 ", "+", "-", "", "1e3", "0x10"})
        EXPECT_FALSE(ParseInt32(bad, v)) << bad;
}

TEST(BatchOptions, RangesAndForms) {
    ProcessingParams p;
    std::string error;
    EXPECT_TRUE(ParseParameter("hue", "1529", p, error));
    EXPECT_EQ(p.hue, 1529);
    EXPECT_FALSE(ParseParameter("hue", "1530", p, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ParseParameter("level", "511", p, error));
    EXPECT_FALSE(ParseParameter("level", "-1", p, error));
    EXPECT_TRUE(ParseParameter("background", "a0B1c2", p, error));
    EXPECT_EQ(p.backgroundColor, 0xA0B1C2u);
    for (const char* bad : {"FFF", "1234567", "GG0000", "-12345", "0x1234"})
        EXPECT_FALSE(ParseParameter("background", bad, p, error)) << bad;
    EXPECT_TRUE(ParseParameter("freq", "-3/0", p, error));
    EXPECT_EQ(p.waveFreqNum, -3);
    EXPECT_EQ(p.waveFreqDen, 0);
    for (const char* bad : {"1/", "/2", "1", "1/2/3", "1/99999999999"})
        EXPECT_FALSE(ParseParameter("freq", bad, p, error)) << bad;
    EXPECT_TRUE(ParseParameter("phase", "5/-7", p, error));
    EXPECT_EQ(p.wavePhase, 5);
    EXPECT_EQ(p.wavePhaseDen, -7);
    EXPECT_TRUE(ParseParameter("center", "-2147483648,12", p, error));
    EXPECT_EQ(p.centerX, -2147483647 - 1);
    EXPECT_EQ(p.centerY, 12);
    EXPECT_FALSE(ParseParameter("center", "1;2", p, error));
    EXPECT_TRUE(ParseParameter("overflow", "2", p, error));
    EXPECT_FALSE(ParseParameter("overflow", "3", p, error));
    EXPECT_TRUE(ParseParameter("amplitude", "-16", p, error));
    EXPECT_EQ(p.waveAmplitude, -16);
    EXPECT_FALSE(ParseParameter("amplitude", "2147483648", p, error));
}

TEST(BatchArguments, TheWholeCommandLineOrTheFirstMistake) {
    struct Case {
        QStringList arguments;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {{"in.png", "out"}, 0, ""},
        {{"--hue", "1", "--hue=2", "in", "out"}, 2, "--hue given more than once"},
        {{"--hue=1530", "--format=gif", "in", "out"}, 2, "--hue needs a whole number from 0 to 1529, not '1530'"},
        {{"--format=gif", "--slots=5", "in", "out"}, 2, "--format needs bmp, png, jpg, webp or tif, not 'gif'"},
        {{"--slots", "1", "--slots", "2", "in", "out"}, 2, "--slots given more than once"},
        {{"in"}, 2, "expected INPUT and OUTPUT_PREFIX (see --help)"},
        {{"--hue"}, 2, "Missing value after '--hue'."},
        {{"--nonsense", "in", "out"}, 2, "Unknown option 'nonsense'."},
        {{"-h", "--hue=99999"}, 0, ""},
    };
    for (const Case& c : cases) {
        const BatchArguments parsed = ParseBatchArguments(QStringList{"prismview-batch"} + c.arguments);
        EXPECT_EQ(parsed.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(parsed.error, c.error) << c.arguments.join(' ').toStdString();
    }
    const BatchArguments parsed = ParseBatchArguments(
        {"prismview-batch", "-mode=vortex", "--center", "3,-4", "--start-from-end", "--format", "tif", "--slots=2,4",
         "--force", "-", "out/p"});
    ASSERT_EQ(parsed.status, 0) << parsed.error;
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.params.effectMode, ModeVortex);
    EXPECT_EQ(parsed.params.centerX, 3);
    EXPECT_EQ(parsed.params.centerY, -4);
    EXPECT_EQ(parsed.params.startFromEnd, 1);
    EXPECT_EQ(parsed.params.hue, ProcessingParams{}.hue);
    EXPECT_EQ(parsed.extension, "tif");
    EXPECT_EQ(parsed.slots, (std::array<bool, 4>{false, true, false, true}));
    EXPECT_TRUE(parsed.force);
    EXPECT_EQ(parsed.input, "-");
    EXPECT_EQ(parsed.prefix, "out/p");
    EXPECT_TRUE(ParseBatchArguments({"prismview-batch", "-h", "--hue=99999"}).help);
}

}  // namespace
}  // namespace prismview
