// Vector kernels of the point effects that cost most per pixel: each is the
// one code of its formula, over a run of pixels (with the top byte opaque).
// They are compiled for every target Highway supports, its scalar one too,
// and run on the best one the processor has; the tests hold each against a
// plain transcription of its arithmetic over every colour on every target.
#pragma once

#include <cstdint>

#include "core/pixels.h"
#include "core/shifts.h"

namespace prismview {

// Modes 8 and 9: L = max + min of every pixel moved by the level (additive)
// or by the level scaled by the pixel's distance to white or black out of
// 255 (simultaneous), stopping at white or black; keeping the ratios between
// the channels as long as it can, or moving every channel straight toward
// white or black (blend 1).
struct LightnessRun {
    std::int32_t level = 0;  // 0..510
    bool darken = false;
    bool simultaneous = false;
    bool straight = false;  // blend 1
};
void ShiftLightnessRun(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run);

// Modes 10 and 11: the saturation plan of every pixel's (max, min) pair
// applied to it, the plans packed into one word each (PackSaturationPlan)
// and numbered max * (max + 1) / 2 + min: one look-up a pixel. A plan's fixed
// result (opaque, so a grey's) where it has one, else the channels stretched
// from min..max into lo..hi.
void ApplySaturationRun(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans);
// A plan as one word: its fixed result (opaque, so the top bit is set), or
// lo | hi << 8, which PlanSaturation keeps within 0..255.
inline std::uint32_t PackSaturationPlan(const SaturationPlan& plan) {
    if (plan.fixed != 0) return plan.fixed;
    return static_cast<std::uint32_t>(plan.lo & 0xFF) | static_cast<std::uint32_t>(plan.hi & 0xFF) << 8;
}

// Mode 5: the coloured dots of every pixel; noise holds the pixels' raw dot
// noise (DotNoiseRaw of their index).
struct ColourDotsRun {
    bool sixColours = false;  // the sector's corner colours, else the pure colour
    bool whiteBlack = false;  // white or black outside min..max, else the grey
};
void ColourDotsRow(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count,
                   const ColourDotsRun& run);

}  // namespace prismview
