#include "core/shifts.h"

#include <algorithm>
#include <cstdlib>

#include "core/colour.h"

namespace prismview {

SaturationPlan PlanSaturation(std::int32_t max, std::int32_t min, std::int32_t amount, SaturationRule rule,
                              std::int32_t hue) {
    std::int32_t b;
    if (rule == SatInvert) {
        const std::int32_t m = (max + min) / 2;
        b = m >= 128 ? m + 255 - 2 * max : 2 * min - m;
    } else {
        const std::int32_t headroom = 255 - std::abs(255 - max - min);
        // Beyond +-255 the fitted range no longer depends on b, so bounding it
        // changes nothing and keeps any amount defined.
        b = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{amount} * headroom / 255, -510, 510));
    }

    // hi + lo stays max + min (0..510), so fitting keeps the centre and L,
    // and the fitted range lies within 0..255 either way round.
    SaturationPlan plan;
    std::int32_t hi = max + b, lo = min - b;
    if (hi <= lo) {
        if (rule != SatThroughGrey) {
            const std::int32_t m = (max + min) / 2;
            plan.Fix(PackRgb(m, m, m));
            return plan;
        }
        if (lo > 255 || hi < 0) {
            const std::int32_t k = std::max(lo - 255, -hi);
            lo -= k;
            hi += k;
        }
    } else if (hi > 255 || lo < 0) {
        const std::int32_t k = std::max(-lo, hi - 255);
        hi -= k;
        lo += k;
    }
    plan.lo = static_cast<std::int16_t>(lo);
    plan.hi = static_cast<std::int16_t>(hi);

    if (max == min) {
        if (rule == SatKeepGrey) {
            plan.Fix(PackRgb(max, max, max));
        } else {
            const RgbValue tint = HueColour(hue);
            auto along = [&](std::int32_t h) { return lo + (hi - lo) * h / 255; };
            plan.Fix(PackRgb(along(RedOf(tint)), along(GreenOf(tint)), along(BlueOf(tint))));
        }
    }
    return plan;
}

}  // namespace prismview
