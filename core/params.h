// The processing mode and every parameter the effects read.
#pragma once

#include <cstdint>

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

// The processing parameters: their defaults here, everything else the
// program knows of them in kParameterTable (core/parameter_table.h).
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

inline constexpr ParameterRange kHueRange{0, 1529};   // the hue wheel's 1530 steps
inline constexpr ParameterRange kLevelRange{0, 510};  // the lightness sum max + min
inline constexpr ParameterRange kOverflowRange{OverflowBackground, OverflowEdge};

}  // namespace prismview
