// The point formulas that more than one family shows.
#pragma once

#include "core/params.h"
#include "core/pixels.h"

namespace prismview {

// Half way round the hue wheel, exactly: the largest and smallest channel
// exchange their roles, c' = L - c.
struct HueInversion {
    explicit HueInversion(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const {
        const std::int32_t l = p.max + p.min;
        return PackRgb(l - p.r, l - p.g, l - p.b);
    }
};

// Every pixel white, whatever it was.
struct White {
    explicit White(const ProcessingParams&) {}
    RgbValue operator()(const Pixel&) const { return 0xFFFFFFu; }
};

}  // namespace prismview
