// What the distortions share: the centre and the offsets from it, the
// distance and turns, the forms in which a formula gives its sample points,
// and the one sampler that fetches the source pixel there under the chosen
// overflow treatment (effects/sampler.cpp, in vector lanes).
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

#include "core/colour.h"
#include "core/int_math.h"
#include "core/mode.h"

namespace prismview {

// The centre point of the ripples, vortex and slide.
struct Centre {
    std::int32_t x = 0, y = 0;
};

// A sample position; ok is 0 where no defined arithmetic produced it.
struct SamplePoint {
    std::int32_t x = 0, y = 0;
    std::int32_t ok = 1;
};

// A turn by an angle, held as its cosine and sine; by default no turn.
struct Turn {
    double cosK = 1.0, sinK = 0.0;
};

// What the round ripple knows of a pixel: its distance r from the centre and
// the wave d there.
struct Stretch {
    double r = 0.0, d = 0.0;
};

// A truncated displacement; ok is 0 where it has no 32-bit value.
struct DiamondShift {
    std::int32_t d = 0;
    std::int32_t ok = 1;
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

// The turn by the angle k.
inline Turn TurnBy(double k) { return Turn{std::cos(k), std::sin(k)}; }

// The sampler along one axis (the waves): the index along an axis of extent
// n that a displaced coordinate v samples, or -1 for the background colour.
// Wrap takes v modulo n, the edge treatment clamps it onto the nearest edge.
inline std::int32_t SampleAxis(std::int32_t v, std::int32_t n, std::int32_t overflowMode) {
    if (overflowMode == OverflowWrap) v = FloorMod(v, n);
    else if (overflowMode == OverflowEdge) v = ClampInt(v, 0, n - 1);
    return v >= 0 && v < n ? v : -1;
}

// The sampler in the plane (every other distortion), in vector lanes on
// every target: columns first..last-1 of output row `row.y`, to[x] the
// source pixel at the sample point of (x, y), or the background colour. Wrap
// takes each coordinate modulo the picture's size; the edge treatment moves
// the point toward the centre onto the picture's edge (ClipTowardCentre); any
// other treatment value samples as the background treatment does. Each entry
// takes the sample points in one of the forms the formulas give them, indexed
// by column (values[x], points[x]); the arithmetic of each form is written
// once, there.
struct SampledRow {
    SourceRows source;
    Centre centre;
    std::int32_t y = 0, first = 0, last = 0;
    std::int32_t overflow = OverflowBackground;
    RgbValue background = 0;  // opaque
};

// The offset from the centre turned: centre + T(cos * dx - sin * dy), centre
// + T(sin * dx + cos * dy). turns[x] for every column, or turns[0] for all.
void SampleTurned(const SampledRow& row, const Turn* turns, bool perColumn, RgbValue* to);

// The offset from the centre stretched by (r + d) / r: centre + T(((r + d) *
// dx) / r) and the same for dy; the pixel itself where r = 0.
void SampleStretched(const SampledRow& row, const Stretch* values, RgbValue* to);

// Each offset moved by its share of the displacement d at m = |dx| + |dy|:
// (x + (dx * d) / m, y + (dy * d) / m), 32-bit products that wrap and
// truncating quotients; the centre stays; no point where d has no value or a
// quotient none (m = 0 away from the centre, INT_MIN / -1).
void SampleDiamond(const SampledRow& row, const DiamondShift* values, RgbValue* to);

// The dominant offset (ties to x) moved by the wave at its size (waveOfColumn[x]
// or waveY), negated for a negative offset, the other in proportion: bump, in
// reals and truncated after; else truncated first and divided in 32-bit
// integers (the product wraps). The centre stays.
void SampleSquare(const SampledRow& row, const double* waveOfColumn, double waveY, bool bump, RgbValue* to);

// Sample points worked out one at a time.
void SamplePoints(const SampledRow& row, const SamplePoint* points, RgbValue* to);

}  // namespace prismview
