#include "core/colour.h"

#include <cmath>
#include <cstdio>

#include "core/int_math.h"

namespace prismview {

std::int32_t HueOf(RgbValue colour) {
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

ColourTerms TermsOf(RgbValue colour) {
    const Pixel p = SplitPixel(colour);
    ColourTerms terms{colour & 0xFFFFFFu, p.r, p.g, p.b, std::nullopt, p.max + p.min, p.r + p.g + p.b};
    if (p.max != p.min) terms.hue = HueOf(colour) % HueSteps;
    return terms;
}

std::string TermsText(const ColourTerms& terms) {
    char text[80];
    std::snprintf(text, sizeof text, "#%06X %d %d %d H %s L %d T %d", static_cast<unsigned>(terms.colour), terms.r,
                  terms.g, terms.b, terms.hue ? std::to_string(*terms.hue).c_str() : "—", terms.l, terms.t);
    return text;
}

RgbValue RotateHue(RgbValue colour, std::int32_t angle, bool mirror) {
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

RgbValue HueColour(std::int32_t hue) { return RotateHue(0xFF0000u, hue, false); }

std::int32_t DotNoiseRaw(std::int32_t index) {
    const double s = std::sin(static_cast<double>(index));
    return static_cast<std::int32_t>((s + 1.0) * 1000000.0);
}

std::int32_t FloorMod(std::int32_t a, std::int32_t n) {
    if (n == 0) return 0;
    // In 64 bits: raising the most negative values would overflow 32 bits.
    std::int64_t wide = a;
    if (wide < 0) wide += static_cast<std::int64_t>(n) * ((-(wide + 1)) / n + 1);
    return static_cast<std::int32_t>(wide % n);
}

void ClipTowardCentre(std::int32_t& x, std::int32_t& y, std::int32_t cx, std::int32_t cy,
                      std::int32_t width, std::int32_t height) {
    // 32-bit arithmetic, wrapping like the rest of the sampling arithmetic.
    // A division without a defined result leaves the point outside the image.
    std::int32_t q = 0;
    if (x < 0) {
        if (!CheckedDiv(WrapMul(WrapSub(y, cy), cx), WrapSub(cx, x), q)) { x = y = -1; return; }
        y = WrapAdd(cy, q);
        x = 0;
    } else if (x >= width) {
        if (!CheckedDiv(WrapMul(WrapSub(y, cy), WrapSub(width, cx)), WrapSub(x, cx), q)) {
            x = y = -1;
            return;
        }
        y = WrapAdd(cy, q);
        x = width - 1;
    }
    if (y < 0) {
        if (!CheckedDiv(WrapMul(WrapSub(x, cx), cy), WrapSub(cy, y), q)) { x = y = -1; return; }
        x = WrapAdd(cx, q);
        y = 0;
    } else if (y >= height) {
        if (!CheckedDiv(WrapMul(WrapSub(x, cx), WrapSub(height, cy)), WrapSub(y, cy), q)) {
            x = y = -1;
            return;
        }
        x = WrapAdd(cx, q);
        y = height - 1;
    }
}

}  // namespace prismview
