// Vector kernels of the point effects that cost most per pixel. Each runs
// over a run of pixels and gives every pixel exactly what its scalar formula
// gives (with the top byte opaque); it is compiled for every vector target
// Highway supports and runs on the best one the processor has.
#pragma once

#include <cstdint>

#include "core/pixels.h"
#include "core/shifts.h"

namespace prismview {

// Modes 8 and 9: ShiftLightness of every pixel by the level (additive) or by
// the level scaled by the pixel's distance to white or black out of 255
// (simultaneous), keeping the channel ratios or blending straight.
struct LightnessRun {
    std::int32_t level = 0;  // 0..510
    bool darken = false;
    bool simultaneous = false;
    bool straight = false;  // blend 1
};
void ShiftLightnessRun(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run);

// Modes 1, 2, 6 and 7: RotateHue of every pixel by `angle` (any 32-bit
// value), turned or mirrored. With `colours` (256 entries), each pixel's
// result is colours[red of the rotated pixel] instead.
struct HueRun {
    std::int32_t angle = 0;
    bool mirror = false;
    const RgbValue* colours = nullptr;
};
void RotateHueRun(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run);

// Modes 10 and 11: ApplySaturation of every pixel with the plan of its (max,
// min) pair, packed into one word each (PackSaturationPlan) and numbered
// max * (max + 1) / 2 + min: one look-up a pixel.
void ApplySaturationRun(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans);
// A plan as one word: its fixed result (opaque, so the top bit is set), or lo
// | hi << 8. False for a range outside 0..255, which one word cannot hold.
inline bool PackSaturationPlan(const SaturationPlan& plan, std::uint32_t& word) {
    if (plan.fixed != 0) {
        word = plan.fixed;
        return true;
    }
    if (plan.lo < 0 || plan.lo > 255 || plan.hi < 0 || plan.hi > 255) return false;
    word = static_cast<std::uint32_t>(plan.lo) | static_cast<std::uint32_t>(plan.hi) << 8;
    return true;
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
