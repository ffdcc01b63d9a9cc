#include "core/colour.h"

#include <cmath>
#include <cstdio>

#include "core/int_math.h"

namespace prismview {

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
