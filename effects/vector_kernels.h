// Vector kernels of the point effects that cost most per pixel. Each runs
// over a run of pixels and gives every pixel exactly what its scalar formula
// gives (with the top byte opaque); it is compiled for every vector target
// Highway supports and runs on the best one the processor has.
#pragma once

#include <cstdint>

#include "core/pixels.h"

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

}  // namespace prismview
