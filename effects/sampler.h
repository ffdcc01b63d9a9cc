// What the distortions share: the sample point, the one sampler that fetches
// the source pixel there under the chosen overflow treatment, the centre and
// the offsets from it, the distance and turns.
//
// The wave fields and the centre are unbounded 32-bit values, so every step
// has to stay defined for any of them:
// - 32-bit integer steps (products with the frequency, sums of coordinates and
//   displacements, the centre and the offsets from it) wrap in two's complement;
// - a real value that has no 32-bit truncation (NaN, out of range), and an
//   integer division without a result (zero divisor, INT_MIN / -1), make the
//   sample point invalid, and an invalid point takes the background colour
//   under every overflow treatment;
// - magnitudes that only feed comparisons and real arithmetic (the distance,
//   which axis dominates) are taken exactly; only where a magnitude has to be
//   a 32-bit integer (a wave position, a divisor) does it wrap.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "core/colour.h"
#include "core/int_math.h"
#include "core/mode.h"

namespace prismview {

// A sample position; ok is false where no defined arithmetic produced it.
struct SamplePoint {
    std::int32_t x = 0, y = 0;
    bool ok = true;
};

constexpr SamplePoint InvalidPoint() { return SamplePoint{0, 0, false}; }

// base + T(v), or false where T(v) has no 32-bit value.
inline bool AddTruncated(std::int32_t base, double v, std::int32_t& out) {
    std::int32_t t = 0;
    if (!TruncToInt32(v, t)) return false;
    out = WrapAdd(base, t);
    return true;
}

// The centre point of the ripples, vortex and slide.
struct Centre {
    std::int32_t x = 0, y = 0;
};
inline Centre CentreOf(const PassInput& input) {
    return Centre{WrapAdd(input.source.width / 2, input.params.centerX),
                  WrapAdd(input.source.height / 2, input.params.centerY)};
}

// The offset (dx, dy) of a pixel from the centre, wrapping like every
// coordinate step.
struct Offset {
    std::int32_t dx, dy;
};
inline Offset OffsetFrom(Centre centre, std::int32_t x, std::int32_t y) {
    return Offset{WrapSub(x, centre.x), WrapSub(y, centre.y)};
}

// The distance of the offset (dx, dy): m x sqrt((a/m)^2 + (b/m)^2), each step
// rounded in this order. Its truncations are part of the pictures; hypot or
// sqrt(a^2 + b^2) move some pixels by one.
inline double Distance(std::int32_t dx, std::int32_t dy) {
    const double a = std::fabs(static_cast<double>(dx));
    const double b = std::fabs(static_cast<double>(dy));
    const double m = a > b ? a : b;
    if (m == 0.0) return 0.0;
    const double p = a / m, q = b / m;
    return m * std::sqrt(p * p + q * q);
}

// A turn by an angle, held as its cosine and sine; by default no turn.
struct Turn {
    double cosK = 1.0, sinK = 0.0;
};
inline Turn TurnBy(double k) { return Turn{std::cos(k), std::sin(k)}; }

// The offset (dx, dy) turned about the centre.
inline SamplePoint Turned(Centre centre, std::int32_t dx, std::int32_t dy, const Turn& turn) {
    const double fx = static_cast<double>(dx), fy = static_cast<double>(dy);
    SamplePoint p;
    if (!AddTruncated(centre.x, turn.cosK * fx - turn.sinK * fy, p.x) ||
        !AddTruncated(centre.y, turn.sinK * fx + turn.cosK * fy, p.y))
        return InvalidPoint();
    return p;
}

// The sampler along one axis (the waves): the index along an axis of extent
// n that a displaced coordinate v samples, or -1 for the background colour.
// Wrap takes v modulo n, the edge treatment clamps it onto the nearest edge.
inline std::int32_t SampleAxis(std::int32_t v, std::int32_t n, std::int32_t overflowMode) {
    if (overflowMode == OverflowWrap) v = FloorMod(v, n);
    else if (overflowMode == OverflowEdge) v = ClampInt(v, 0, n - 1);
    return v >= 0 && v < n ? v : -1;
}

// The sampler in the plane (every other distortion): the source pixel at a
// sample point, or the background colour. Wrap takes each coordinate modulo
// the picture's size; the edge treatment moves the point toward the centre
// onto the picture's edge.
template <std::int32_t kOverflow>
inline RgbValue SamplePlane(const SourceRows& source, SamplePoint p, Centre centre, RgbValue background) {
    if (!p.ok) return background;
    if constexpr (kOverflow == OverflowWrap) {
        p.x = FloorMod(p.x, source.width);
        p.y = FloorMod(p.y, source.height);
    } else if constexpr (kOverflow == OverflowEdge) {
        ClipTowardCentre(p.x, p.y, centre.x, centre.y, source.width, source.height);
    }
    if (p.x < 0 || p.x >= source.width || p.y < 0 || p.y >= source.height) return background;
    return source.At(p.x, p.y);
}

// Columns first..last-1 of one output row through the plane sampler: to[x] =
// the source pixel at point(x); the overflow treatment is chosen once.
template <class PointFn>
void SampleColumns(const SourceRows& source, const ProcessingParams& params, Centre centre, RgbValue* to,
                   std::int32_t first, std::int32_t last, PointFn&& point) {
    const RgbValue background = params.backgroundColor | kOpaque;
    auto fill = [&](auto overflow) {
        constexpr std::int32_t kOverflow = decltype(overflow)::value;
        for (std::int32_t x = first; x < last; ++x)
            to[x] = SamplePlane<kOverflow>(source, point(x), centre, background) | kOpaque;
    };
    switch (params.overflowMode) {
        case OverflowWrap: return fill(std::integral_constant<std::int32_t, OverflowWrap>{});
        case OverflowEdge: return fill(std::integral_constant<std::int32_t, OverflowEdge>{});
        default: return fill(std::integral_constant<std::int32_t, OverflowBackground>{});
    }
}

// One whole output row through the plane sampler.
template <class PointFn>
void SampleRow(const SourceRows& source, const ProcessingParams& params, Centre centre, RgbValue* to,
               PointFn&& point) {
    SampleColumns(source, params, centre, to, 0, source.width, point);
}

}  // namespace prismview
