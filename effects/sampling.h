// What the distortions share: fetching the source pixel at a sample point
// under the chosen overflow treatment, the wave arithmetic and the distance.
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
#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "core/colour.h"
#include "core/effect.h"
#include "core/int_math.h"

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

// The index along an axis of extent n that a displaced coordinate v samples,
// or -1 for the background colour.
inline std::int32_t SampleSourceAxis(std::int32_t v, std::int32_t n, std::int32_t overflowMode) {
    if (overflowMode == OverflowWrap) v = FloorMod(v, n);
    else if (overflowMode == OverflowEdge) v = ClampInt(v, 0, n - 1);
    return v >= 0 && v < n ? v : -1;
}

// The source pixel at a sample point in the plane, or the background colour.
// Edge clipping moves the point toward the centre (cx, cy).
template <std::int32_t kOverflow>
inline RgbValue SampleSource(const SourceRows& source, SamplePoint p, std::int32_t cx, std::int32_t cy,
                             RgbValue background) {
    if (!p.ok) return background;
    if constexpr (kOverflow == OverflowWrap) {
        p.x = FloorMod(p.x, source.width);
        p.y = FloorMod(p.y, source.height);
    } else if constexpr (kOverflow == OverflowEdge) {
        ClipTowardCentre(p.x, p.y, cx, cy, source.width, source.height);
    }
    if (p.x < 0 || p.x >= source.width || p.y < 0 || p.y >= source.height) return background;
    return source.At(p.x, p.y);
}

// Rows first..last-1 of the source, unchanged: what every distortion gives
// when its parameters switch the displacement off (a point inside the image
// passes every overflow treatment unchanged).
inline void CopyRows(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t width = out.width;
    ForEachRow<true>(out, first, last, [&](std::int32_t y, RgbValue* to) {
        const RgbValue* from = c.source.Row(y);
        for (std::int32_t x = 0; x < width; ++x) to[x] = from[x] | kOpaque;
    });
}

// The centre point of the ripples, vortex and slide.
struct Centre {
    std::int32_t x, y;
};
inline Centre CentreOf(const SlotContext& c) {
    return Centre{WrapAdd(c.source.width / 2, c.params.centerX), WrapAdd(c.source.height / 2, c.params.centerY)};
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

// Pixels mirrored about the centre column, x and 2cx - x, lie at the offsets
// dx and -dx from the centre, so whatever depends only on |dx| and dy (the
// distance, the wave there, an angle) is the same for both. Asked left to
// right along a row, At computes such a value once per pair: the right pixel
// of a pair takes what its left partner computed earlier in the same row.
// A partner lies inside the image only when the centre does, and then no
// offset wraps: dx and -dx are exact.
template <class V>
class RowMirror {
public:
    RowMirror(std::int32_t width, std::int32_t cx)
        : twiceCx_(2 * std::int64_t{cx}), values_(static_cast<std::size_t>(width)) {}

    template <class Compute>
    const V& At(std::int32_t x, Compute&& compute) {
        const std::int64_t partner = twiceCx_ - x;
        if (partner >= 0 && partner < x) return values_[static_cast<std::size_t>(partner)];
        V& value = values_[static_cast<std::size_t>(x)];
        value = compute();
        return value;
    }

private:
    std::int64_t twiceCx_;
    std::vector<V> values_;
};

// One output row: to[x] = the source pixel at point(x, y); the overflow
// treatment is chosen once for the row.
template <class PointFn>
void SamplePlaneRow(const SlotContext& c, RgbValue* to, std::int32_t y, Centre centre, PointFn&& point) {
    const RgbValue background = c.params.backgroundColor | kOpaque;
    const std::int32_t width = c.source.width;
    auto fill = [&](auto overflow) {
        constexpr std::int32_t kOverflow = decltype(overflow)::value;
        for (std::int32_t x = 0; x < width; ++x)
            to[x] = SampleSource<kOverflow>(c.source, point(x, y), centre.x, centre.y, background) | kOpaque;
    };
    switch (c.params.overflowMode) {
        case OverflowWrap: return fill(std::integral_constant<std::int32_t, OverflowWrap>{});
        case OverflowEdge: return fill(std::integral_constant<std::int32_t, OverflowEdge>{});
        default: return fill(std::integral_constant<std::int32_t, OverflowBackground>{});
    }
}

// Fills rows first..last-1 with the source pixel at point(x, y) for every
// output pixel.
template <class PointFn>
void SamplePlaneRows(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last,
                     Centre centre, PointFn&& point) {
    ForEachRow<true>(out, first, last, [&](std::int32_t y, RgbValue* to) { SamplePlaneRow(c, to, y, centre, point); });
}

// Rows mirrored about the centre row, cy - k and cy + k, lie at the offsets
// dy and -dy, so a value of |dx| and |dy| alone is the same for both rows as
// well. MirroredRows runs a slot over rows in an order that puts such pairs
// next to each other: position 2(k-1) is row cy - k, 2(k-1) + 1 is row
// cy + k (k = 1 .. the pairs inside the image), then the centre row and the
// rows without a partner in ascending order. It is a one-to-one order of the
// rows, so a pass that hands out positions instead of rows still writes
// every row once; a pair that falls into one range of positions shares one
// row of values. As with RowMirror, partners exist only when the centre lies
// inside the picture, and then no offset wraps.
//
// value(dx, dy) gives the value of an offset; point(v, x, y, dx, dy) the
// sample point of pixel (x, y) with value v.
template <class V, class ValueFn, class PointFn>
void MirroredRows(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last, Centre centre,
                  ValueFn&& value, PointFn&& point) {
    const std::int32_t w = c.source.width, h = c.source.height;
    const bool inside = centre.y >= 0 && centre.y < h;
    const std::int32_t pairs = inside ? std::min(centre.y, h - 1 - centre.y) : 0;
    // The row at a position, and whether its partner comes at the next one.
    auto rowAt = [&](std::int32_t position) {
        if (position < 2 * pairs) {
            const std::int32_t k = position / 2 + 1;
            return position % 2 == 0 ? centre.y - k : centre.y + k;
        }
        const std::int32_t rest = position - 2 * pairs;  // the centre row and the unpaired ones, in order
        if (!inside) return rest;
        const std::int32_t low = centre.y - pairs;  // lowest row of the mirrored band
        if (rest < low) return rest;
        return rest == low ? centre.y : rest + 2 * pairs;
    };
    std::vector<V> values(static_cast<std::size_t>(w));
    RowMirror<V> mirror(w, centre.x);
    auto sampleRow = [&](std::int32_t y, bool computeValues) {
        RgbValue* to = out.Row(y);
        SamplePlaneRow(c, to, y, centre, [&](std::int32_t x, std::int32_t yy) {
            const Offset offset = OffsetFrom(centre, x, yy);  // no structured binding: the lambda below uses it
            const std::int32_t dx = offset.dx, dy = offset.dy;
            V& v = values[static_cast<std::size_t>(x)];
            if (computeValues) v = mirror.At(x, [&] { return value(dx, dy); });
            return point(v, x, yy, dx, dy);
        });
    };
    for (std::int32_t position = first; position < last; ++position) {
        const std::int32_t y = rowAt(position);
        sampleRow(y, true);
        if (position < 2 * pairs && position % 2 == 0 && position + 1 < last) {
            sampleRow(rowAt(position + 1), false);  // the partner row: the same values
            ++position;
        }
    }
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

}  // namespace prismview
