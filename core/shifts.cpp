#include "core/shifts.h"

#include <algorithm>
#include <cstdlib>

#include "core/colour.h"

namespace prismview {

namespace {

// Every channel converges on white or black at the same moment.
RgbValue BlendLightness(const Pixel& p, std::int32_t amount) {
    const std::int32_t l = p.max + p.min;
    if (amount > 0) {
        if (l >= 510) return PackRgb(p.r, p.g, p.b);
        const std::int32_t a = std::min(amount, 510 - l), room = 510 - l;
        auto up = [&](std::int32_t c) { return c + a * (255 - c) / room; };
        return PackRgb(up(p.r), up(p.g), up(p.b));
    }
    if (amount < 0) {
        if (l <= 0) return PackRgb(p.r, p.g, p.b);
        const std::int32_t a = std::max(amount, -l);
        // Signed: a channel falls by its share of |a| rounded down.
        auto down = [&](std::int32_t c) { return c + a * c / l; };
        return PackRgb(down(p.r), down(p.g), down(p.b));
    }
    return PackRgb(p.r, p.g, p.b);
}

struct LightnessStep {
    RgbValue colour;
    std::int32_t rest;  // the part of the amount this step could not use
};

// One step of the ratio-keeping shift. Which case applies depends on where
// max and min stand; each case moves as far as it can without changing the
// case's invariant and hands the remainder back.
LightnessStep KeepRatioStep(RgbValue colour, std::int32_t amount) {
    const Pixel p = SplitPixel(colour);
    const std::int32_t max = p.max, min = p.min, l = max + min;

    if (max == min) {
        const std::int32_t half = ClampInt(amount, -2 * max, 510 - 2 * max) / 2;
        return {PackRgb(p.r + half, p.g + half, p.b + half), 0};
    }

    if (min > 0 && max < 255) {
        if (amount > 0) {
            // Scale all channels up until the largest reaches 255. The product
            // is formed in 64 bits so that any amount stays defined; once
            // limited, w fits 32 bits again.
            const std::int32_t limit = l * (255 - max);
            std::int32_t w = limit, rest = 0;
            if (std::int64_t{amount} * max > limit) {
                rest = amount - limit / max;
            } else {
                w = amount * max;
            }
            // (w * c / l) / max with both quotients truncated equals one
            // division by l * max, all terms being non-negative.
            const std::int32_t den = l * max;
            auto up = [&](std::int32_t c) { return c + w * c / den; };
            return {PackRgb(up(p.r), up(p.g), up(p.b)), rest};
        }
        if (amount < 0) {
            // Scale the distances to 255 up until the smallest channel is 0.
            const std::int32_t limit = -min * (510 - l);
            std::int32_t w = limit, rest = 0;
            if (std::int64_t{amount} * (255 - min) < limit) {
                rest = amount - limit / (255 - min);
            } else {
                w = amount * (255 - min);
            }
            const std::int32_t den = (510 - l) * (255 - min);
            auto down = [&](std::int32_t c) { return c + w * (255 - c) / den; };
            return {PackRgb(down(p.r), down(p.g), down(p.b)), rest};
        }
        return {PackRgb(p.r, p.g, p.b), 0};
    }

    if (max == 255 && min == 0) {
        if (amount > 0) {
            const std::int32_t a = std::min(amount, 255);
            auto up = [&](std::int32_t c) { return a + c * (255 - a) / 255; };
            return {PackRgb(up(p.r), up(p.g), up(p.b)), 0};
        }
        const std::int32_t a = std::max(amount, -255);
        auto down = [&](std::int32_t c) { return c * (a + 255) / 255; };
        return {PackRgb(down(p.r), down(p.g), down(p.b)), 0};
    }

    std::int32_t a = amount, rest = 0;
    if (max == 255) {
        // The 255 channel stays; the smallest moves by exactly a.
        if (a > 255 - min) {
            rest = a - (255 - min);
            a = 255 - min;
        }
        if (a < -min) {
            rest = a + min;
            a = -min;
        }
        auto move = [&](std::int32_t c) { return c + a * (255 - c) / (255 - min); };
        return {PackRgb(move(p.r), move(p.g), move(p.b)), rest};
    }

    // min == 0: the 0 channel stays; the largest moves by exactly a.
    if (a > 255 - max) {
        rest = a - (255 - max);
        a = 255 - max;
    }
    if (a < -max) {
        rest = a + max;
        a = -max;
    }
    auto scale = [&](std::int32_t c) { return c * (max + a) / max; };
    return {PackRgb(scale(p.r), scale(p.g), scale(p.b)), rest};
}

}  // namespace

RgbValue ShiftLightness(RgbValue colour, std::int32_t amount, std::int32_t blend) {
    if (blend == 1) return BlendLightness(SplitPixel(colour), amount);
    // A step that runs out of room leaves max at 255 or min at 0, and from
    // there at most one more case applies: never more than three steps.
    LightnessStep step{colour & 0xFFFFFFu, amount};
    for (int calls = 0; calls < 3 && step.rest != 0; ++calls) step = KeepRatioStep(step.colour, step.rest);
    return step.colour;
}

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

    // hi + lo stays max + min, so fitting keeps the centre and L.
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

RgbValue ShiftSaturation(RgbValue colour, std::int32_t amount, SaturationRule rule, std::int32_t hue) {
    const Pixel p = SplitPixel(colour);
    return ApplySaturation(PlanSaturation(p.max, p.min, amount, rule, hue), p);
}

}  // namespace prismview
