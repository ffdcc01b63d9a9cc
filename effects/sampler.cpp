// The plane sampler in vector lanes: each form of sample point is worked out
// in double or 32-bit lanes, each product, sum and quotient rounded as in
// one-at-a-time arithmetic (no fused operations), then the one sampler
// applies the overflow treatment and fetches. Compiled for every target
// Highway supports; the best one the processor has runs.
#include "effects/sampler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "effects/sampler.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;

// Double lanes and the 32-bit lanes of the same count.
using DF = hn::ScalableTag<double>;
using DI = hn::Rebind<std::int32_t, DF>;
using DU = hn::Rebind<std::uint32_t, DF>;
using VF = hn::Vec<DF>;
using VI = hn::Vec<DI>;
using VU = hn::Vec<DU>;
using MI = hn::Mask<DI>;
constexpr std::size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);

// Wrapping 32-bit steps, done in unsigned lanes.
HWY_INLINE VI WrapAddLanes(VI a, VI b) {
    const DU du;
    const DI di;
    return hn::BitCast(di, hn::Add(hn::BitCast(du, a), hn::BitCast(du, b)));
}
HWY_INLINE VI WrapSubLanes(VI a, VI b) {
    const DU du;
    const DI di;
    return hn::BitCast(di, hn::Sub(hn::BitCast(du, a), hn::BitCast(du, b)));
}
HWY_INLINE VI WrapMulLanes(VI a, VI b) {
    const DU du;
    const DI di;
    return hn::BitCast(di, hn::Mul(hn::BitCast(du, a), hn::BitCast(du, b)));
}

// A double mask as a mask of the 32-bit lanes.
HWY_INLINE MI Narrow(hn::Mask<DF> m) {
    const DF df;
    const DI di;
    return hn::Gt(hn::DemoteTo(di, hn::IfThenElseZero(m, hn::Set(df, 1.0))), hn::Zero(di));
}

// T(v) where it has a 32-bit value (NaN and values out of range have none);
// the mask says where. Truncated before the conversion: the scalar target's
// conversion takes any magnitude above 2^31 - 1 for out of range, and would
// turn -2147483647.5 into INT_MIN.
HWY_INLINE MI Truncate(VF v, VI& t) {
    const DF df;
    const DI di;
    const auto ok = hn::And(hn::Gt(v, hn::Set(df, -2147483649.0)), hn::Lt(v, hn::Set(df, 2147483648.0)));
    t = hn::DemoteTo(di, hn::Trunc(hn::IfThenElseZero(ok, v)));
    return Narrow(ok);
}

// a / b truncated, where `ok` holds and CheckedDiv has a quotient (b != 0,
// not INT_MIN / -1); ok is narrowed to those lanes. Any two 32-bit integers
// divide exactly in double lanes: the quotient lies at least 1/|b| from the
// next integer, and its rounding error is below 2^31 / |b| * 2^-53.
HWY_INLINE VI Divide(VI a, VI b, MI& ok) {
    const DF df;
    const DI di;
    ok = hn::And(ok, hn::Not(hn::Eq(b, hn::Zero(di))));
    ok = hn::And(ok, hn::Not(hn::And(hn::Eq(a, hn::Set(di, INT32_MIN)), hn::Eq(b, hn::Set(di, -1)))));
    const VI safe = hn::IfThenElse(ok, b, hn::Set(di, 1));
    return hn::DemoteTo(di, hn::Div(hn::PromoteTo(df, hn::IfThenElseZero(ok, a)), hn::PromoteTo(df, safe)));
}

// v reduced into 0..n-1 (n >= 1), the floor modulo: the double quotient of
// any 32-bit integers floors exactly (as in Divide), and v - q * n is exact.
HWY_INLINE VI FloorModLanes(VI v, std::int32_t n) {
    const DF df;
    const DI di;
    const VF fv = hn::PromoteTo(df, v), fn = hn::Set(df, static_cast<double>(n));
    const VF q = hn::Floor(hn::Div(fv, fn));
    return hn::DemoteTo(di, hn::Sub(fv, hn::Mul(q, fn)));
}

// One step of ClipTowardCentre: coordinate v (centre c) onto the edges 0
// and n - 1, moving the other coordinate w (centre cw) along the line; a
// lane whose division has no quotient is no longer defined.
HWY_INLINE void ClipAxis(VI& v, VI& w, VI c, VI cw, VI n, MI& defined) {
    const DI di;
    const VI zero = hn::Zero(di);
    const MI low = hn::Lt(v, zero), high = hn::Not(hn::Lt(v, n)), across = hn::Or(low, high);
    MI divides = defined;
    const VI q = Divide(WrapMulLanes(WrapSubLanes(w, cw), hn::IfThenElse(low, c, WrapSubLanes(n, c))),
                        hn::IfThenElse(low, WrapSubLanes(c, v), WrapSubLanes(v, c)), divides);
    defined = hn::AndNot(hn::AndNot(divides, across), defined);
    w = hn::IfThenElse(across, WrapAddLanes(cw, q), w);
    v = hn::IfThenElse(low, zero, hn::IfThenElse(high, hn::Sub(n, hn::Set(di, 1)), v));
}

// The pixels at the lanes' indices from base, one load a lane.
HWY_INLINE VU LoadPixels(const RgbValue* base, VI index) {
    const DI di;
    const DU du;
    HWY_ALIGN std::int32_t at[HWY_MAX_BYTES / sizeof(std::int32_t)];
    HWY_ALIGN RgbValue pixels[HWY_MAX_BYTES / sizeof(RgbValue)];
    hn::Store(index, di, at);
    const std::size_t n = hn::Lanes(du);
    for (std::size_t i = 0; i < n; ++i) pixels[i] = base[at[i]];
    return hn::Load(du, pixels);
}

// The same for the pixels at (x, y), indexed in 64 bits.
HWY_INLINE VU LoadPixelsAt(const SourceRows& s, VI x, VI y) {
    const DI di;
    const DU du;
    HWY_ALIGN std::int32_t xs[HWY_MAX_BYTES / sizeof(std::int32_t)], ys[HWY_MAX_BYTES / sizeof(std::int32_t)];
    HWY_ALIGN RgbValue pixels[HWY_MAX_BYTES / sizeof(RgbValue)];
    hn::Store(x, di, xs);
    hn::Store(y, di, ys);
    const std::size_t n = hn::Lanes(du);
    for (std::size_t i = 0; i < n; ++i) pixels[i] = s.At(xs[i], ys[i]);
    return hn::Load(du, pixels);
}

enum class Treatment { Background, Wrap, Edge };

// The one sampler: the overflow treatment applied to (sx, sy) where ok
// holds, then the source pixel there, or the background (opaque).
template <Treatment kTreatment>
HWY_INLINE VU Fetch(const SampledRow& row, VI sx, VI sy, MI ok) {
    const DI di;
    const DU du;
    const SourceRows& s = row.source;
    const VI zero = hn::Zero(di), width = hn::Set(di, s.width), height = hn::Set(di, s.height);
    // Points inside the picture pass every treatment as they are.
    const auto within = [&](VI x, VI y) {
        return hn::And(hn::And(hn::Not(hn::Lt(x, zero)), hn::Lt(x, width)),
                       hn::And(hn::Not(hn::Lt(y, zero)), hn::Lt(y, height)));
    };
    if constexpr (kTreatment == Treatment::Wrap) {
        if (!hn::AllTrue(di, within(sx, sy))) {
            sx = FloorModLanes(sx, s.width);
            sy = FloorModLanes(sy, s.height);
        }
    } else if constexpr (kTreatment == Treatment::Edge) {
        // Only a vector with a point off the picture has anything to move.
        if (!hn::AllFalse(di, hn::AndNot(within(sx, sy), ok))) {
            // ClipTowardCentre: across the left or right edge first, then the
            // top or bottom, each a wrapping product over a difference; a lane
            // whose division has no quotient stays outside.
            const VI cx = hn::Set(di, row.centre.x), cy = hn::Set(di, row.centre.y);
            MI defined = ok;
            ClipAxis(sx, sy, cx, cy, width, defined);
            ClipAxis(sy, sx, cy, cx, height, defined);
            ok = defined;
        }
    }
    const MI inside = hn::And(ok, within(sx, sy));
    // One load a lane: the sample points lie near each other and in the
    // cache, where a gather instruction costs more than its loads. Lanes
    // outside read the first pixel and are replaced. The index is worked out
    // in the lanes where every pixel's fits 32 bits, else one at a time.
    const std::int64_t span = std::int64_t{s.height} * (s.stride < 0 ? -s.stride : s.stride);
    const VU pixels = span < (std::int64_t{1} << 31)
                          ? LoadPixels(s.bottom, hn::IfThenElseZero(inside, WrapAddLanes(WrapMulLanes(sy, hn::Set(di, static_cast<std::int32_t>(s.stride))), sx)))
                          : LoadPixelsAt(s, hn::IfThenElseZero(inside, sx), hn::IfThenElseZero(inside, sy));
    const VU fetched = hn::IfThenElse(hn::RebindMask(du, inside), pixels, hn::Set(du, row.background));
    return hn::Or(fetched, hn::Set(du, kOpaque));
}

// Calls body(x0, lanes) for the vectors of columns first..last-1 (x0 the
// vector's first column; `lanes` of them are the row's) and stores what it
// returns, the last, partial vector through a full one on the stack. The
// treatment is chosen once for the row.
template <class Body>
HWY_INLINE void ForColumns(const SampledRow& row, RgbValue* to, Body&& body) {
    auto run = [&](auto treatment) {
        const DU du;
        const std::size_t n = hn::Lanes(du), last = static_cast<std::size_t>(row.last);
        std::size_t x = static_cast<std::size_t>(row.first);
        for (; x + n <= last; x += n) hn::StoreU(body(treatment, x, n), du, to + x);
        if (x < last) {
            HWY_ALIGN RgbValue out[kMaxLanes];
            hn::Store(body(treatment, x, last - x), du, out);
            std::memcpy(to + x, out, (last - x) * sizeof(RgbValue));
        }
    };
    using T = Treatment;
    switch (row.overflow) {
        case OverflowWrap: return run(std::integral_constant<T, T::Wrap>{});
        case OverflowEdge: return run(std::integral_constant<T, T::Edge>{});
        default: return run(std::integral_constant<T, T::Background>{});
    }
}

// The fields of values[x] for the lanes' columns x0.. (`lanes` of them; the
// lanes past the row's end read zeros), one vector each. The values are
// records of one to three lanes' worth of fields (Turn, Stretch,
// DiamondShift, SamplePoint, a double), read as their bytes and
// deinterleaved. A whole vector of single values or of pairs of doubles is
// loaded straight from the records: through a copy on the stack, the wide
// loads would wait for the narrower stores to drain.
template <class D, class T, class... V>
HWY_INLINE void LoadFields(D d, const T* values, std::size_t x0, std::size_t lanes, V&... fields) {
    using Lane = hn::TFromD<D>;
    constexpr std::size_t kFields = sizeof...(V), kLanes = hn::MaxLanes(D());
    static_assert(sizeof(T) == kFields * sizeof(Lane), "a record of whole lanes");
#if HWY_TARGET != HWY_SCALAR
    if (lanes == kLanes) {
        const hn::Repartition<std::uint8_t, D> d8;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(values + x0);
        if constexpr (kFields == 1) {
            (..., (fields = hn::BitCast(d, hn::LoadU(d8, bytes))));
            return;
        } else if constexpr (kFields == 2 && sizeof(Lane) == 8) {
            const auto low = hn::BitCast(d, hn::LoadU(d8, bytes));
            const auto high = hn::BitCast(d, hn::LoadU(d8, bytes + kLanes * sizeof(Lane)));
            hn::Vec<D>* out[] = {&fields...};
            *out[0] = hn::ConcatEven(d, high, low);
            *out[1] = hn::ConcatOdd(d, high, low);
            return;
        }
    }
#endif
    HWY_ALIGN Lane at[kFields * kMaxLanes];
    if (lanes == kLanes) {
        std::memcpy(at, values + x0, kLanes * sizeof(T));
    } else {
        std::memset(at, 0, sizeof at);
        std::memcpy(at, values + x0, lanes * sizeof(T));
    }
    if constexpr (kFields == 1) (..., (fields = hn::Load(d, at)));
    else if constexpr (kFields == 2) hn::LoadInterleaved2(d, at, fields...);
    else hn::LoadInterleaved3(d, at, fields...);
}

// The columns of the lanes and their offsets from the centre column.
HWY_INLINE VI Columns(std::size_t x0) {
    const DI di;
    return WrapAddLanes(hn::Set(di, static_cast<std::int32_t>(x0)), hn::Iota(di, 0));
}

// centre + T(vx), centre + T(vy): the sample point of a real offset.
template <class Chosen>
HWY_INLINE VU FromRealOffset(const SampledRow& row, VF vx, VF vy) {
    const DI di;
    VI tx, ty;
    const MI ok = hn::And(Truncate(vx, tx), Truncate(vy, ty));
    return Fetch<Chosen::value>(row, WrapAddLanes(hn::Set(di, row.centre.x), tx),
                                   WrapAddLanes(hn::Set(di, row.centre.y), ty), ok);
}

void SampleTurnedHere(const SampledRow& row, const Turn* turns, bool perColumn, RgbValue* to) {
    const DF df;
    const DI di;
    const VI cx = hn::Set(di, row.centre.x);
    const VF fy = hn::Set(df, static_cast<double>(WrapSub(row.y, row.centre.y)));
    ForColumns(row, to, [&](auto treatment, std::size_t x0, std::size_t lanes) {
        const VF fx = hn::PromoteTo(df, WrapSubLanes(Columns(x0), cx));
        VF cosK = hn::Set(df, turns[0].cosK), sinK = hn::Set(df, turns[0].sinK);
        if (perColumn) LoadFields(df, turns, x0, lanes, cosK, sinK);
        return FromRealOffset<decltype(treatment)>(row, hn::Sub(hn::Mul(cosK, fx), hn::Mul(sinK, fy)),
                                                   hn::Add(hn::Mul(sinK, fx), hn::Mul(cosK, fy)));
    });
}

void SampleStretchedHere(const SampledRow& row, const Stretch* values, RgbValue* to) {
    const DF df;
    const DI di;
    const VI cx = hn::Set(di, row.centre.x);
    const VF fy = hn::Set(df, static_cast<double>(WrapSub(row.y, row.centre.y))), one = hn::Set(df, 1.0);
    ForColumns(row, to, [&](auto treatment, std::size_t x0, std::size_t lanes) {
        const VF fx = hn::PromoteTo(df, WrapSubLanes(Columns(x0), cx));
        VF r, d;
        LoadFields(df, values, x0, lanes, r, d);
        // At the centre (r = 0) the offset itself, whose sum with the centre
        // is the pixel.
        const auto centre = hn::Eq(r, hn::Zero(df));
        const VF safe = hn::IfThenElse(centre, one, r), reach = hn::Add(r, d);
        return FromRealOffset<decltype(treatment)>(row, hn::IfThenElse(centre, fx, hn::Div(hn::Mul(reach, fx), safe)),
                                                   hn::IfThenElse(centre, fy, hn::Div(hn::Mul(reach, fy), safe)));
    });
}

// |v| as a 32-bit value: the most negative one stays as it is.
HWY_INLINE VI WrapAbsLanes(VI v) {
    const DI di;
    return hn::IfThenElse(hn::Lt(v, hn::Zero(di)), WrapSubLanes(hn::Zero(di), v), v);
}

void SampleDiamondHere(const SampledRow& row, const DiamondShift* values, RgbValue* to) {
    const DI di;
    const VI cx = hn::Set(di, row.centre.x), y = hn::Set(di, row.y);
    const VI dy = WrapSubLanes(y, hn::Set(di, row.centre.y)), zero = hn::Zero(di);
    ForColumns(row, to, [&](auto treatment, std::size_t x0, std::size_t lanes) {
        const VI x = Columns(x0), dx = WrapSubLanes(x, cx);
        const MI centre = hn::And(hn::Eq(dx, zero), hn::Eq(dy, zero));
        const VI m = WrapAddLanes(WrapAbsLanes(dx), WrapAbsLanes(dy));
        VI d, valid;
        LoadFields(di, values, x0, lanes, d, valid);
        MI ok = hn::Not(hn::Eq(valid, zero));
        const VI qx = Divide(WrapMulLanes(dx, d), m, ok);
        const VI qy = Divide(WrapMulLanes(dy, d), m, ok);
        return Fetch<decltype(treatment)::value>(row, WrapAddLanes(x, hn::IfThenZeroElse(centre, qx)),
                                                 WrapAddLanes(y, hn::IfThenZeroElse(centre, qy)), hn::Or(ok, centre));
    });
}

void SampleSquareHere(const SampledRow& row, const double* waveOfColumn, double waveY, bool bump, RgbValue* to) {
    const DF df;
    const DI di;
    const VI cx = hn::Set(di, row.centre.x), y = hn::Set(di, row.y);
    const VI dy = WrapSubLanes(y, hn::Set(di, row.centre.y)), zero = hn::Zero(di), one = hn::Set(di, 1);
    const VF absDy = hn::Abs(hn::PromoteTo(df, dy)), waveOfRow = hn::Set(df, waveY);
    ForColumns(row, to, [&](auto treatment, std::size_t x0, std::size_t lanes) {
        const VI x = Columns(x0), dx = WrapSubLanes(x, cx);
        VF waveX;
        LoadFields(df, waveOfColumn, x0, lanes, waveX);
        const MI centre = hn::And(hn::Eq(dx, zero), hn::Eq(dy, zero));
        // Which axis leads, compared exactly (ties to x).
        const auto alongXd = hn::Ge(hn::Abs(hn::PromoteTo(df, dx)), absDy);
        const MI alongX = Narrow(alongXd);
        // The lead is never 0 away from the centre, and 1 there stands in.
        const VI lead = hn::IfThenElse(centre, one, hn::IfThenElse(alongX, dx, dy));
        const VI other = hn::IfThenElse(alongX, dy, dx);
        const VF fLead = hn::PromoteTo(df, lead);
        VF d = hn::IfThenElse(alongXd, waveX, waveOfRow);
        d = hn::IfThenElse(hn::Lt(fLead, hn::Zero(df)), hn::Neg(d), d);
        VI shift, across;
        MI ok = Truncate(d, shift);
        if (bump) {
            ok = hn::And(ok, Truncate(hn::Div(hn::Mul(hn::PromoteTo(df, other), d), fLead), across));
        } else {
            across = Divide(WrapMulLanes(other, shift), lead, ok);
        }
        const VI moved = WrapAddLanes(hn::IfThenElse(alongX, x, y), shift);
        const VI beside = WrapAddLanes(hn::IfThenElse(alongX, y, x), across);
        const VI sx = hn::IfThenElse(centre, x, hn::IfThenElse(alongX, moved, beside));
        const VI sy = hn::IfThenElse(centre, y, hn::IfThenElse(alongX, beside, moved));
        return Fetch<decltype(treatment)::value>(row, sx, sy, hn::Or(ok, centre));
    });
}

void SamplePointsHere(const SampledRow& row, const SamplePoint* points, RgbValue* to) {
    const DI di;
    ForColumns(row, to, [&](auto treatment, std::size_t x0, std::size_t lanes) {
        VI sx, sy, valid;
        LoadFields(di, points, x0, lanes, sx, sy, valid);
        const MI ok = hn::Not(hn::Eq(valid, hn::Zero(di)));
        return Fetch<decltype(treatment)::value>(row, sx, sy, ok);
    });
}

}  // namespace
}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(SampleTurnedHere);
HWY_EXPORT(SampleStretchedHere);
HWY_EXPORT(SampleDiamondHere);
HWY_EXPORT(SampleSquareHere);
HWY_EXPORT(SamplePointsHere);

void SampleTurned(const SampledRow& row, const Turn* turns, bool perColumn, RgbValue* to) {
    HWY_DYNAMIC_DISPATCH(SampleTurnedHere)(row, turns, perColumn, to);
}

void SampleStretched(const SampledRow& row, const Stretch* values, RgbValue* to) {
    HWY_DYNAMIC_DISPATCH(SampleStretchedHere)(row, values, to);
}

void SampleDiamond(const SampledRow& row, const DiamondShift* values, RgbValue* to) {
    HWY_DYNAMIC_DISPATCH(SampleDiamondHere)(row, values, to);
}

void SampleSquare(const SampledRow& row, const double* waveOfColumn, double waveY, bool bump, RgbValue* to) {
    HWY_DYNAMIC_DISPATCH(SampleSquareHere)(row, waveOfColumn, waveY, bump, to);
}

void SamplePoints(const SampledRow& row, const SamplePoint* points, RgbValue* to) {
    HWY_DYNAMIC_DISPATCH(SamplePointsHere)(row, points, to);
}

}  // namespace prismview
#endif
