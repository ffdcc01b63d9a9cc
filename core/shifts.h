// Lightness and saturation shifts: the building blocks of the brighten,
// darken and saturation modes. Signed 32-bit arithmetic throughout, every
// division truncating toward zero; the truncations are part of the result.
#pragma once

#include <cstdint>

#include "core/pixels.h"

namespace prismview {

// How ShiftSaturation treats a range that closes up, and greys.
enum SaturationRule : std::int8_t {
    SatScaled = 0,       // amount scaled by headroom / 255; a closed range becomes grey
    SatInvert = 1,       // amount ignored: the new spread is headroom - spread
    SatThroughGrey = 2,  // a closed range turns over into the opposite hue
    SatKeepGrey = 3,     // like SatScaled, but greys stay grey
};

// Changes L = max + min by `amount` (positive brightens), stopping at white
// or black. blend == 1 moves every channel straight toward white or black;
// any other value keeps the ratios between the channels as long as it can.
RgbValue ShiftLightness(RgbValue colour, std::int32_t amount, std::int32_t blend);

// Widens (positive amount) or narrows the range min..max about its centre,
// keeping L. A grey that gains colour takes on HueColour(hue).
RgbValue ShiftSaturation(RgbValue colour, std::int32_t amount, SaturationRule rule, std::int32_t hue);

// ShiftSaturation in two steps: what it does to every colour of one max and
// min (for a fixed amount, rule and hue), then to one colour. Effects whose
// amount depends on a pixel through max and min alone plan each pair once.
struct SaturationPlan {
    std::int16_t lo = 0, hi = 0;  // the fitted range min..max becomes (0..255)
    // The result whatever the channels (greys), marked with kOpaque; 0: none.
    // One word, so that a table of every (max, min) pair stays in the cache.
    RgbValue fixed = 0;

    void Fix(RgbValue colour) { fixed = colour | kOpaque; }
};
SaturationPlan PlanSaturation(std::int32_t max, std::int32_t min, std::int32_t amount, SaturationRule rule,
                              std::int32_t hue);
inline RgbValue ApplySaturation(const SaturationPlan& plan, const Pixel& p) {
    if (plan.fixed != 0) return plan.fixed & 0xFFFFFFu;
    const std::int32_t spread = p.max - p.min, lo = plan.lo, span = plan.hi - plan.lo;
    // An unchanged range (hi - lo = spread, and so lo = min, as hi + lo = max + min)
    // gives every channel back: no division needed, as at level 0.
    if (span == spread) return PackRgb(p.r, p.g, p.b);
    auto stretch = [&](std::int32_t c) { return lo + span * (c - p.min) / spread; };
    return PackRgb(stretch(p.r), stretch(p.g), stretch(p.b));
}

}  // namespace prismview
