// The processing mode and every parameter the effects read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/pixels.h"

namespace prismview {

enum EffectMode : std::int32_t {
    ModeInvert = 0,
    ModeRgbComponents = 1,
    ModeYcmComponents = 2,
    ModeMonochrome = 3,
    ModeDotsMono = 4,
    ModeDotsColor = 5,
    ModeHueLineInvert = 6,
    ModeHueRotate = 7,
    ModeBrighten = 8,
    ModeDarken = 9,
    ModeSaturation = 10,
    ModeSaturation2 = 11,
    ModeBackgroundMix = 12,
    ModeEdges = 13,
    ModeEdges2 = 14,
    ModeLevelToHue = 15,
    ModeColorReduce = 16,
    ModeTintMono2 = 17,
    ModeTintMono3 = 18,
    // 19 has no effect and nothing selects it.
    ModeWave = 20,
    ModeSingleWave = 21,
    ModeRipple = 22,
    ModeSingleRipple = 23,
    ModeVortex = 24,
    ModeSlide = 25,
};
constexpr std::int32_t kModeCount = 26;

enum OverflowMode : std::int32_t {
    OverflowBackground = 0,
    OverflowWrap = 1,
    OverflowEdge = 2,
};

// The processing parameters: their defaults here, their names, ranges and
// descriptions in kParameterTable below.
struct ProcessingParams {
    std::int32_t effectMode = ModeInvert;
    std::int32_t hue = 0;
    std::int32_t level = 0;
    RgbValue backgroundColor = 0;
    std::int32_t waveFreqNum = 1;
    std::int32_t waveFreqDen = 32;
    std::int32_t waveAmplitude = 16;
    std::int32_t wavePhase = 0;
    std::int32_t wavePhaseDen = 32;
    std::int32_t overflowMode = OverflowBackground;
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
    std::int32_t startFromEnd = 0;

    friend bool operator==(const ProcessingParams&, const ProcessingParams&) = default;
};

struct ParameterRange {
    std::int32_t lo;
    std::int32_t hi;
};

enum class ParameterKind {
    Mode,    // a mode number or name
    Number,  // one whole number
    Pair,    // two whole numbers with a separator: NUM/DEN, X,Y
    Colour,  // RRGGBB, into backgroundColor
    Flag,    // set to 1 by the option's presence
};

// One processing parameter: how the batch tool names it and what it may hold.
// Fields without a range take any 32-bit value (the effects cope with all).
struct ParameterInfo {
    std::string_view name;
    ParameterKind kind;
    std::string_view valueName;
    std::int32_t ProcessingParams::*field;   // null for the colour
    std::int32_t ProcessingParams::*second;  // the pair's second number
    char separator;
    std::optional<ParameterRange> range;
    std::string_view description;
};

inline constexpr ParameterRange kHueRange{0, 1529};   // the hue wheel's 1530 steps
inline constexpr ParameterRange kLevelRange{0, 510};  // the lightness sum max + min
inline constexpr ParameterRange kOverflowRange{OverflowBackground, OverflowEdge};

inline constexpr ParameterInfo kParameterTable[] = {
    {"mode", ParameterKind::Mode, "N|NAME", &ProcessingParams::effectMode, nullptr, 0, std::nullopt,
     "processing mode, number or name"},
    {"hue", ParameterKind::Number, "N", &ProcessingParams::hue, nullptr, 0, kHueRange, "position on the hue wheel"},
    {"level", ParameterKind::Number, "N", &ProcessingParams::level, nullptr, 0, kLevelRange,
     "lightness/saturation/mixing level"},
    {"background", ParameterKind::Colour, "RRGGBB", nullptr, nullptr, 0, std::nullopt,
     "background colour, six hex digits"},
    {"freq", ParameterKind::Pair, "NUM/DEN", &ProcessingParams::waveFreqNum, &ProcessingParams::waveFreqDen, '/', std::nullopt, "wave frequency"},
    {"amplitude", ParameterKind::Number, "N", &ProcessingParams::waveAmplitude, nullptr, 0, std::nullopt,
     "wave amplitude in pixels"},
    {"phase", ParameterKind::Pair, "NUM/DEN", &ProcessingParams::wavePhase, &ProcessingParams::wavePhaseDen, '/', std::nullopt, "wave phase"},
    {"overflow", ParameterKind::Number, "N", &ProcessingParams::overflowMode, nullptr, 0, kOverflowRange,
     "outside the picture: 0 background, 1 wrap, 2 edge"},
    {"center", ParameterKind::Pair, "X,Y", &ProcessingParams::centerX, &ProcessingParams::centerY, ',', std::nullopt,
     "effect centre relative to the picture's middle"},
    {"start-from-end", ParameterKind::Flag, "", &ProcessingParams::startFromEnd, nullptr, 0, std::nullopt,
     "count waves from the right or top edge"},
};

}  // namespace prismview
