// The lane steps the colour kernels share (core/hue_lanes.cpp,
// effects/vector_kernels.cpp), compiled once for every target with them.
// Included after hwy/foreach_target.h and hwy/highway.h.
#if defined(PRISMVIEW_CORE_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PRISMVIEW_CORE_LANES_INL_H_
#undef PRISMVIEW_CORE_LANES_INL_H_
#else
#define PRISMVIEW_CORE_LANES_INL_H_
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/pixels.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {
namespace lanes {

namespace hn = hwy::HWY_NAMESPACE;
using DI = hn::ScalableTag<std::int32_t>;
using DU = hn::ScalableTag<std::uint32_t>;
using VI = hn::Vec<DI>;
using MI = hn::Mask<DI>;

// Truncating division of integers in float lanes: exact when b > 0 and
// |a| + b < 2^24. The true quotient lies at least 1/b short of the next
// integer away from zero, q + 1, while half a float step there is at most
// (q + 1) / 2^24 < 1/b, as (q + 1) * b <= |a| + b; rounding never reaches it,
// the conversion truncates the rest, and the sign is symmetric.
// The divisions done with it, with their largest |a| + b:
// - ShiftLightness, inside, brightening: w * c / (L * max), w * c <= L * (255 - max) * max
//   <= 2 * max^2 * (255 - max) <= 4,913,000, L * max <= 130,050;
// - inside, darkening: w * (255 - c) / ((510 - L) * (255 - min)), the mirror image, the same bounds;
// - the rest of the inside case: limit / max or / (255 - min), limit <= 130,050;
// - the full range, top and bottom cases: products <= 255 * 255 over divisors <= 255;
// - the straight blend: a * (255 - c) / (510 - L) and a * c / L, |a| <= 510, products <= 130,050;
// - the simultaneous amounts: (510 - L) * level / 255 and L * level / 255, <= 260,100;
// - ApplySaturation: (hi - lo) * (c - min) / (max - min), |hi - lo| <= 255 (the fitted
//   range lies within 0..255), so at most 65,025 over at most 255;
// - the dots: noise / 255 with noise <= 2,000,000, and ScaleTo255, x * 255 / d with
//   x <= d <= 255;
// - RotateHue: the hue's x * 255 / d as above (its k * d / 255 goes through DivBy255).
// All stay below 2,001,000: far inside the bound, which the exhaustive tests of
// every colour confirm on every target.
HWY_INLINE VI DivTrunc(VI a, VI b) {
    const DI di;
    const hn::Rebind<float, DI> df;
    return hn::ConvertTo(di, hn::Div(hn::ConvertTo(df, a), hn::ConvertTo(df, b)));
}

// v / 255 truncated for 0 <= v <= 65,280: v * 32,897 / 2^23 overshoots v / 255
// by v * 127 / (255 * 2^23), less than the 1/255 that separates v / 255 from
// the next integer while v < 2^23 / 127, and the product stays below 2^31.
// Used for RotateHue's k * d / 255 (at most 65,025), which the exhaustive
// tests check.
HWY_INLINE VI DivBy255(VI v) { return hn::ShiftRight<23>(hn::Mul(v, hn::Set(DI(), 32897))); }

struct Channels {
    VI r, g, b;
};

HWY_INLINE Channels Split(hn::Vec<DU> v) {
    const DI di;
    const VI p = hn::BitCast(di, v), byte = hn::Set(di, 255);
    return {hn::And(hn::ShiftRight<16>(p), byte), hn::And(hn::ShiftRight<8>(p), byte), hn::And(p, byte)};
}

HWY_INLINE hn::Vec<DU> Pack(const Channels& c) {
    const DU du;
    const VI packed = hn::Or(hn::Or(hn::ShiftLeft<16>(c.r), hn::ShiftLeft<8>(c.g)), c.b);
    return hn::Or(hn::BitCast(du, packed), hn::Set(du, 0xFF000000u));
}

// Calls body(pixels) for every vector of the run, or body(pixels, values)
// with the vector of `beside` at the same offset, and stores what it
// returns; the last, partial vector goes through a full one on the stack.
template <class Body>
HWY_INLINE void ForVectors(const RgbValue* from, RgbValue* to, std::int32_t count, Body&& body,
                           const std::int32_t* beside = nullptr) {
    const DU du;
    const DI di;
    const std::size_t n = hn::Lanes(du), total = static_cast<std::size_t>(count);
    auto run = [&](hn::Vec<DU> pixels, const std::int32_t* values) {
        if constexpr (std::is_invocable_v<Body&, hn::Vec<DU>, VI>) return body(pixels, hn::LoadU(di, values));
        else return body(pixels);
    };
    std::size_t i = 0;
    for (; i + n <= total; i += n) hn::StoreU(run(hn::LoadU(du, from + i), beside ? beside + i : nullptr), du, to + i);
    if (i < total) {
        HWY_ALIGN RgbValue in[HWY_MAX_BYTES / sizeof(RgbValue)] = {};
        HWY_ALIGN std::int32_t values[HWY_MAX_BYTES / sizeof(std::int32_t)] = {};
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(RgbValue)];
        std::memcpy(in, from + i, (total - i) * sizeof(RgbValue));
        if (beside) std::memcpy(values, beside + i, (total - i) * sizeof(std::int32_t));
        hn::Store(run(hn::Load(du, in), values), du, out);
        std::memcpy(to + i, out, (total - i) * sizeof(RgbValue));
    }
}

HWY_INLINE VI ScaleTo255(VI x, VI d) {
    const DI di;
    const MI grey = hn::Eq(d, hn::Zero(di));
    return hn::IfThenZeroElse(grey, DivTrunc(hn::Mul(x, hn::Set(di, 255)), hn::IfThenElse(grey, hn::Set(di, 1), d)));
}

// The hue as HueOf gives it, 0..1530, of colours with channels c, max mx,
// min mn and spread d = mx - mn > 0: base + ScaleTo255(x, d), where the first
// of six tests that holds picks the base and x (taken here from the last
// test to the first, so that the first overrides).
HWY_INLINE VI HueLanes(const Channels& c, VI mx, VI mn, VI d) {
    const DI di;
    auto at = [&](std::int32_t v) { return hn::Set(di, v); };
    VI base = at(1020), x = hn::Sub(c.r, mn);
    auto take = [&](MI when, std::int32_t b, VI v) {
        base = hn::IfThenElse(when, at(b), base);
        x = hn::IfThenElse(when, v, x);
    };
    const MI rMax = hn::Eq(c.r, mx), gMax = hn::Eq(c.g, mx), bMax = hn::Eq(c.b, mx);
    take(hn::And(bMax, hn::Eq(c.r, mn)), 765, hn::Sub(mx, c.g));
    take(gMax, 510, hn::Sub(c.b, mn));
    take(hn::And(gMax, hn::Eq(c.b, mn)), 255, hn::Sub(mx, c.r));
    take(rMax, 0, hn::Sub(c.g, mn));
    take(hn::And(rMax, hn::Eq(c.g, mn)), 1275, hn::Sub(mx, c.b));
    return hn::Add(base, ScaleTo255(x, d));
}

}  // namespace lanes
}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#endif  // PRISMVIEW_CORE_LANES_INL_H_
