// The saturation shift's plan: the building block of the saturation modes.
// Signed 32-bit arithmetic throughout, every division truncating toward
// zero; the truncations are part of the result.
#pragma once

#include <cstdint>

#include "core/pixels.h"

namespace prismview {

// How the saturation shift treats a range that closes up, and greys.
enum SaturationRule : std::int8_t {
    SatScaled = 0,       // amount scaled by headroom / 255; a closed range becomes grey
    SatInvert = 1,       // amount ignored: the new spread is headroom - spread
    SatThroughGrey = 2,  // a closed range turns over into the opposite hue
    SatKeepGrey = 3,     // like SatScaled, but greys stay grey
};

// The saturation shift widens (positive amount) or narrows the range
// min..max about its centre, keeping L; a grey that gains colour takes on
// HueColour(hue). It comes in two steps: what it does to every colour of one
// max and min (for a fixed amount, rule and hue), the plan, then to one
// colour (ApplySaturationRun, effects/vector_kernels.h). Effects whose amount
// depends on a pixel through max and min alone plan each pair once.
struct SaturationPlan {
    std::int16_t lo = 0, hi = 0;  // the range min..max becomes, always within 0..255
    // The result whatever the channels (greys), marked with kOpaque; 0: none.
    // One word, so that a table of every (max, min) pair stays in the cache.
    RgbValue fixed = 0;

    void Fix(RgbValue colour) { fixed = colour | kOpaque; }
};
SaturationPlan PlanSaturation(std::int32_t max, std::int32_t min, std::int32_t amount, SaturationRule rule,
                              std::int32_t hue);

}  // namespace prismview
