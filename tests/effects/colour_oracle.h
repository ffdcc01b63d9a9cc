// Test oracles of the point formulas that run in vector lanes: each written
// out plainly, one pixel at a time, as the arithmetic reads. Only the tests
// use them, to hold the program's kernels against over every colour
// (tests/effects/vector_kernels_test.cpp).
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/colour.h"
#include "core/int_math.h"
#include "core/shifts.h"

namespace prismview::test::oracle {

// Every channel converges on white or black at the same moment.
inline RgbValue BlendLightness(const Pixel& p, std::int32_t amount) {
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
inline LightnessStep KeepRatioStep(RgbValue colour, std::int32_t amount) {
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

// Changes L = max + min by `amount` (positive brightens), stopping at white
// or black; blend 1 moves every channel straight toward white or black, any
// other keeps the ratios between the channels as long as it can.
inline RgbValue ShiftLightness(RgbValue colour, std::int32_t amount, std::int32_t blend) {
    if (blend == 1) return BlendLightness(SplitPixel(colour), amount);
    // A step that runs out of room leaves max at 255 or min at 0, and from
    // there at most one more case applies: never more than three steps.
    LightnessStep step{colour & 0xFFFFFFu, amount};
    for (int calls = 0; calls < 3 && step.rest != 0; ++calls) step = KeepRatioStep(step.colour, step.rest);
    return step.colour;
}

// A saturation plan applied to one colour.
inline RgbValue ApplySaturation(const SaturationPlan& plan, const Pixel& p) {
    if (plan.fixed != 0) return plan.fixed & 0xFFFFFFu;
    const std::int32_t spread = p.max - p.min, lo = plan.lo, span = plan.hi - plan.lo;
    if (span == spread) return PackRgb(p.r, p.g, p.b);
    auto stretch = [&](std::int32_t c) { return lo + span * (c - p.min) / spread; };
    return PackRgb(stretch(p.r), stretch(p.g), stretch(p.b));
}

inline RgbValue ShiftSaturation(RgbValue colour, std::int32_t amount, SaturationRule rule, std::int32_t hue) {
    const Pixel p = SplitPixel(colour);
    return ApplySaturation(PlanSaturation(p.max, p.min, amount, rule, hue), p);
}

// The pure colour of p: stretched so that its smallest channel is 0 and its
// largest 255. Only for colours, never greys.
inline RgbValue PureColour(const Pixel& p) {
    const std::int32_t spread = p.max - p.min;
    return PackRgb(ScaleTo255(p.r - p.min, spread), ScaleTo255(p.g - p.min, spread), ScaleTo255(p.b - p.min, spread));
}

// One of the two corner colours of p's hue sector, chosen by comparing the
// dot value with the pure colour's middle channel. The order of the tests
// settles ties between equal channels.
inline RgbValue SixColourDot(const Pixel& p, std::int32_t dot) {
    std::int32_t middle;
    RgbValue below, above;
    if (p.max == p.r && p.min == p.b) middle = p.g, below = 0xFFFF00u, above = 0xFF0000u;
    else if (p.max == p.r && p.min == p.g) middle = p.b, below = 0xFF00FFu, above = 0xFF0000u;
    else if (p.max == p.g && p.min == p.b) middle = p.r, below = 0xFFFF00u, above = 0x00FF00u;
    else if (p.max == p.g && p.min == p.r) middle = p.b, below = 0x00FFFFu, above = 0x00FF00u;
    else if (p.max == p.b && p.min == p.g) middle = p.r, below = 0xFF00FFu, above = 0x0000FFu;
    else middle = p.g, below = 0x00FFFFu, above = 0x0000FFu;
    return dot < ScaleTo255(middle - p.min, p.max - p.min) ? below : above;
}

// The coloured dots: where min <= dot < max the pure colour or one of the
// six corner colours, elsewhere the grey that keeps the average or white
// below min and black from max on.
inline RgbValue ColourDots(const Pixel& p, std::int32_t noise, bool sixColours, bool whiteBlack) {
    const std::int32_t dot = noise % 255;
    const RgbValue coloured = sixColours ? SixColourDot(p, dot) : PureColour(p);
    const RgbValue rest = !whiteBlack ? static_cast<RgbValue>(ScaleTo255(p.min, 255 - (p.max - p.min))) * 0x010101u
                                      : (dot < p.min ? 0xFFFFFFu : 0x000000u);
    return p.min <= dot && dot < p.max ? coloured : rest;
}

// The hue of a colour on the wheel's 1530 steps, the first matching test
// settling ties.
inline std::int32_t HueOf(RgbValue colour) {
    const Pixel p = SplitPixel(colour);
    const std::int32_t max = p.max, min = p.min, d = max - min;
    // The first matching row settles ties between equal channels.
    std::int32_t h;
    if (p.r == max && p.g == min) {
        h = 1275 + ScaleTo255(max - p.b, d);
    } else if (p.r == max) {
        h = ScaleTo255(p.g - min, d);
    } else if (p.g == max && p.b == min) {
        h = 255 + ScaleTo255(max - p.r, d);
    } else if (p.g == max) {
        h = 510 + ScaleTo255(p.b - min, d);
    } else if (p.b == max && p.r == min) {
        h = 765 + ScaleTo255(max - p.g, d);
    } else {
        h = 1020 + ScaleTo255(p.r - min, d);
    }
    return h;
}

// A colour turned (or mirrored) on the wheel, keeping max and min.
inline RgbValue RotateHue(RgbValue colour, std::int32_t angle, bool mirror) {
    const Pixel p = SplitPixel(colour);
    const std::int32_t max = p.max, min = p.min, d = max - min;
    if (d == 0) return PackRgb(p.r, p.r, p.r);
    const std::int32_t h = HueOf(colour);

    // Wide arithmetic keeps any angle defined; the reduction is a floor modulo.
    const std::int64_t turned = mirror ? 2 * static_cast<std::int64_t>(angle) - h + HueSteps
                                       : static_cast<std::int64_t>(h) + angle;
    std::int64_t u = turned % HueSteps;
    if (u < 0) u += HueSteps;

    if (u <= 255) return PackRgb(max, min + static_cast<std::int32_t>(u) * d / 255, min);
    if (u <= 510) return PackRgb(min + (510 - static_cast<std::int32_t>(u)) * d / 255, max, min);
    if (u <= 765) return PackRgb(min, max, min + (static_cast<std::int32_t>(u) - 510) * d / 255);
    if (u <= 1020) return PackRgb(min, min + (1020 - static_cast<std::int32_t>(u)) * d / 255, max);
    if (u <= 1275) return PackRgb(min + (static_cast<std::int32_t>(u) - 1020) * d / 255, min, max);
    return PackRgb(max, min, min + (1530 - static_cast<std::int32_t>(u)) * d / 255);
}

}  // namespace prismview::test::oracle
