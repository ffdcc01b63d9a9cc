#include "effects/vector_kernels.h"

#include <cstddef>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "effects/vector_kernels.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {
namespace {

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
// The divisions done here, with their largest |a| + b:
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

// Calls body(pixels) for every vector of the run and stores what it returns;
// the last, partial vector goes through a full one on the stack.
template <class Body>
HWY_INLINE void ForVectors(const RgbValue* from, RgbValue* to, std::int32_t count, Body&& body) {
    const DU du;
    const std::size_t n = hn::Lanes(du), total = static_cast<std::size_t>(count);
    std::size_t i = 0;
    for (; i + n <= total; i += n) hn::StoreU(body(hn::LoadU(du, from + i)), du, to + i);
    if (i < total) {
        HWY_ALIGN RgbValue in[HWY_MAX_BYTES / sizeof(RgbValue)] = {};
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(RgbValue)];
        std::memcpy(in, from + i, (total - i) * sizeof(RgbValue));
        hn::Store(body(hn::Load(du, in)), du, out);
        std::memcpy(to + i, out, (total - i) * sizeof(RgbValue));
    }
}

// Every channel c of a lane becomes (keep ? c : 0) + add + p * (flip ? 255 - c : c) / d:
// the one form all cases of ShiftLightness take.
struct ChannelMap {
    MI keep, flip;
    VI add, p, d;
};

HWY_INLINE VI MapChannel(const ChannelMap& m, VI c) {
    const DI di;
    const VI x = hn::IfThenElse(m.flip, hn::Sub(hn::Set(di, 255), c), c);
    return hn::Add(hn::Add(hn::IfThenElseZero(m.keep, c), m.add), DivTrunc(hn::Mul(m.p, x), m.d));
}

HWY_INLINE void Apply(const ChannelMap& m, Channels& c) {
    c.r = MapChannel(m, c.r);
    c.g = MapChannel(m, c.g);
    c.b = MapChannel(m, c.b);
}

// One call of the ratio-keeping shift in every lane, its case chosen by max
// and min as in the scalar step: grey, inside, full range, top, bottom.
// Returns the part of the amount it could not use. An amount of 0 leaves a
// lane as it is in every case, so lanes already done may run along.
HWY_INLINE VI KeepRatioStep(Channels& c, VI amount) {
    const DI di;
    const VI zero = hn::Zero(di), one = hn::Set(di, 1), c255 = hn::Set(di, 255), c510 = hn::Set(di, 510);
    const VI mx = hn::Max(hn::Max(c.r, c.g), c.b), mn = hn::Min(hn::Min(c.r, c.g), c.b), l = hn::Add(mx, mn);
    const MI grey = hn::Eq(mx, mn);
    const MI inside = hn::And(hn::Gt(mn, zero), hn::Lt(mx, c255));
    const MI full = hn::And(hn::Eq(mx, c255), hn::Eq(mn, zero));
    const MI top = hn::Eq(mx, c255);
    const MI up = hn::Gt(amount, zero);
    const VI room = hn::Sub(c510, l), belowTop = hn::Sub(c255, mn);

    // Bottom (min = 0): the largest channel moves by a, 0 stays 0.
    const VI aBottom = hn::Min(hn::Max(amount, hn::Neg(mx)), hn::Sub(c255, mx));
    const MI none = hn::FirstN(di, 0);
    ChannelMap m{none, none, zero, hn::Add(mx, aBottom), mx};
    VI rest = hn::Sub(amount, aBottom);

    // Top (max = 255): the smallest moves by a, 255 stays.
    const VI aTop = hn::Min(hn::Max(amount, hn::Neg(mn)), belowTop);
    m.keep = top;
    m.flip = top;
    m.p = hn::IfThenElse(top, aTop, m.p);
    m.d = hn::IfThenElse(top, belowTop, m.d);
    rest = hn::IfThenElse(top, hn::Sub(amount, aTop), rest);

    // Full range: a + c * (255 - a) / 255 up, c * (a + 255) / 255 down.
    const VI aUp = hn::Min(amount, c255), aDown = hn::Max(amount, hn::Neg(c255));
    m.keep = hn::AndNot(full, m.keep);
    m.flip = m.keep;
    m.add = hn::IfThenElseZero(hn::And(full, up), aUp);
    m.p = hn::IfThenElse(full, hn::IfThenElse(up, hn::Sub(c255, aUp), hn::Add(aDown, c255)), m.p);
    m.d = hn::IfThenElse(full, c255, m.d);
    rest = hn::IfThenElseZero(hn::Not(full), rest);

    // Inside: the channels (brightening) or their distances to 255
    // (darkening) grow in proportion, up to a limit.
    const VI limitUp = hn::Mul(l, hn::Sub(c255, mx)), limitDown = hn::Neg(hn::Mul(mn, room));
    const VI wUp = hn::Mul(amount, mx), wDown = hn::Mul(amount, belowTop);
    const MI overUp = hn::Gt(wUp, limitUp), overDown = hn::Lt(wDown, limitDown);
    const MI over = hn::Or(hn::And(up, overUp), hn::AndNot(up, overDown));
    const VI limit = hn::IfThenElse(up, limitUp, limitDown);
    const VI w = hn::IfThenElse(over, limit, hn::IfThenElse(up, wUp, wDown));
    const VI restDivisor = hn::IfThenElse(inside, hn::IfThenElse(up, mx, belowTop), one);
    const VI insideRest = hn::IfThenElseZero(over, hn::Sub(amount, DivTrunc(limit, restDivisor)));
    m.keep = hn::Or(m.keep, inside);
    m.flip = hn::Or(hn::AndNot(up, inside), hn::AndNot(inside, m.flip));
    m.add = hn::IfThenElseZero(hn::Not(inside), m.add);
    m.p = hn::IfThenElse(inside, w, m.p);
    m.d = hn::IfThenElse(inside, hn::IfThenElse(up, hn::Mul(l, mx), hn::Mul(room, belowTop)), m.d);
    rest = hn::IfThenElse(inside, insideRest, rest);

    // Grey: every channel moves by the amount, limited, halved toward zero.
    const VI twice = hn::Add(mx, mx);
    const VI limited = hn::Min(hn::Max(amount, hn::Neg(twice)), hn::Sub(c510, twice));
    const VI half = hn::ShiftRight<1>(hn::Sub(limited, hn::ShiftRight<31>(limited)));
    m.keep = hn::Or(m.keep, grey);
    m.add = hn::IfThenElse(grey, half, m.add);
    m.p = hn::IfThenElseZero(hn::Not(grey), m.p);
    m.d = hn::IfThenElse(grey, one, m.d);
    rest = hn::IfThenElseZero(hn::Not(grey), rest);

    Apply(m, c);
    return rest;
}

// The straight blend: every channel toward white (c + a * (255 - c) / (510 - L))
// or black (c + a * c / L); white or black themselves stay.
HWY_INLINE void StraightStep(Channels& c, VI amount, bool darken) {
    const DI di;
    const VI zero = hn::Zero(di), one = hn::Set(di, 1);
    const VI l = hn::Add(hn::Max(hn::Max(c.r, c.g), c.b), hn::Min(hn::Min(c.r, c.g), c.b));
    ChannelMap m;
    m.keep = hn::Eq(zero, zero);
    m.add = zero;
    if (darken) {
        const MI moves = hn::Gt(l, zero);
        m.flip = hn::Not(m.keep);
        m.p = hn::IfThenElseZero(moves, hn::Max(amount, hn::Neg(l)));
        m.d = hn::IfThenElse(moves, l, one);
    } else {
        const VI room = hn::Sub(hn::Set(di, 510), l);
        const MI moves = hn::Gt(room, zero);
        m.flip = m.keep;
        m.p = hn::IfThenElseZero(moves, hn::Min(amount, room));
        m.d = hn::IfThenElse(moves, room, one);
    }
    Apply(m, c);
}

void ShiftLightnessRunHere(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run) {
    const DI di;
    const VI level = hn::Set(di, run.level), zero = hn::Zero(di);
    ForVectors(from, to, count, [&](hn::Vec<DU> pixels) {
        Channels c = Split(pixels);
        VI amount = level;
        if (run.simultaneous) {
            const VI l = hn::Add(hn::Max(hn::Max(c.r, c.g), c.b), hn::Min(hn::Min(c.r, c.g), c.b));
            amount = DivTrunc(hn::Mul(run.darken ? l : hn::Sub(hn::Set(di, 510), l), level), hn::Set(di, 255));
        }
        if (run.darken) amount = hn::Neg(amount);
        if (run.straight) {
            StraightStep(c, amount, run.darken);
        } else {
            // At most three calls, as in the scalar chain; most lanes need one.
            for (int calls = 0; calls < 3 && !hn::AllTrue(di, hn::Eq(amount, zero)); ++calls)
                amount = KeepRatioStep(c, amount);
        }
        return Pack(c);
    });
}


HWY_INLINE VI ScaleTo255(VI x, VI d) {
    const DI di;
    const MI grey = hn::Eq(d, hn::Zero(di));
    return hn::IfThenZeroElse(grey, DivTrunc(hn::Mul(x, hn::Set(di, 255)), hn::IfThenElse(grey, hn::Set(di, 1), d)));
}

// RotateHue in every lane: the hue as HueOf finds it (the first of its six
// tests that holds), turned or mirrored, then the colour of that hue with
// the pixel's max and min. The angle is reduced once, in 64 bits, so that
// any angle gives the scalar floor modulo.
void RotateHueRunHere(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run) {
    const DI di;
    const DU du;
    auto floorMod = [](std::int64_t v) { return static_cast<std::int32_t>(((v % 1530) + 1530) % 1530); };
    const VI shift = hn::Set(di, floorMod(run.mirror ? 2 * static_cast<std::int64_t>(run.angle) : run.angle));
    const VI zero = hn::Zero(di), c255 = hn::Set(di, 255), steps = hn::Set(di, 1530);
    auto at = [&](std::int32_t v) { return hn::Set(di, v); };
    ForVectors(from, to, count, [&](hn::Vec<DU> pixels) {
        const Channels c = Split(pixels);
        const VI mx = hn::Max(hn::Max(c.r, c.g), c.b), mn = hn::Min(hn::Min(c.r, c.g), c.b), d = hn::Sub(mx, mn);
        // HueOf: base + ScaleTo255(x, d), from the last test to the first.
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
        const VI h = hn::Add(base, ScaleTo255(x, d));
        VI u = run.mirror ? hn::Sub(shift, h) : hn::Add(h, shift);  // -1530..3059
        u = hn::IfThenElse(hn::Lt(u, zero), hn::Add(u, steps), u);
        u = hn::IfThenElse(hn::Lt(u, steps), u, hn::Sub(u, steps));
        // The sector of u: which channel is max, which min, and how far the
        // third lies along d (k / 255 of it).
        const MI s1 = hn::Not(hn::Gt(u, c255)), s2 = hn::Not(hn::Gt(u, at(510))), s3 = hn::Not(hn::Gt(u, at(765)));
        const MI s4 = hn::Not(hn::Gt(u, at(1020))), s5 = hn::Not(hn::Gt(u, at(1275)));
        VI k = hn::Sub(steps, u);
        k = hn::IfThenElse(s5, hn::Sub(u, at(1020)), k);
        k = hn::IfThenElse(s4, hn::Sub(at(1020), u), k);
        k = hn::IfThenElse(s3, hn::Sub(u, at(510)), k);
        k = hn::IfThenElse(s2, hn::Sub(at(510), u), k);
        k = hn::IfThenElse(s1, u, k);
        const VI third = hn::Add(mn, DivBy255(hn::Mul(k, d)));
        // (r, g, b) per sector: 1 (max, t, min), 2 (t, max, min), 3 (min, max, t),
        // 4 (min, t, max), 5 (t, min, max), 6 (max, min, t).
        const VI r = hn::IfThenElse(s1, mx, hn::IfThenElse(s2, third, hn::IfThenElse(s4, mn, hn::IfThenElse(s5, third, mx))));
        const VI g = hn::IfThenElse(s1, third, hn::IfThenElse(s3, mx, hn::IfThenElse(s4, third, mn)));
        const VI b = hn::IfThenElse(s2, mn, hn::IfThenElse(s3, third, hn::IfThenElse(s5, mx, third)));
        const MI grey = hn::Eq(d, zero);
        const Channels turned{hn::IfThenElse(grey, c.r, r), hn::IfThenElse(grey, c.r, g), hn::IfThenElse(grey, c.r, b)};
        if (run.colours) {
            return hn::Or(hn::GatherIndex(du, run.colours, turned.r), hn::Set(du, 0xFF000000u));
        }
        return Pack(turned);
    });
}

// ApplySaturation in every lane, the plan's word gathered from the table: a
// fixed result, the channels as they are (an unchanged range) or stretched
// into lo..hi.
void ApplySaturationRunHere(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans) {
    const DI di;
    const DU du;
    const VI zero = hn::Zero(di), one = hn::Set(di, 1), byte = hn::Set(di, 255);
    const hn::Vec<DU> opaque = hn::Set(du, 0xFF000000u);
    ForVectors(from, to, count, [&](hn::Vec<DU> pixels) {
        const Channels c = Split(pixels);
        const VI mx = hn::Max(hn::Max(c.r, c.g), c.b), mn = hn::Min(hn::Min(c.r, c.g), c.b);
        const VI pair = hn::Add(hn::ShiftRight<1>(hn::Mul(mx, hn::Add(mx, one))), mn);
        const hn::Vec<DU> word = hn::GatherIndex(du, plans, pair);
        const VI w = hn::BitCast(di, word);
        const VI lo = hn::And(w, byte), hi = hn::And(hn::ShiftRight<8>(w), byte);
        const VI spread = hn::Sub(mx, mn), span = hn::Sub(hi, lo);
        const VI divisor = hn::IfThenElse(hn::Eq(spread, zero), one, spread);
        // Stretched, the largest channel becomes hi and the smallest lo
        // exactly (span * spread / spread); only a channel strictly between
        // them, at most one per pixel, needs the division.
        const VI middle = hn::Sub(hn::Sub(hn::Add(hn::Add(c.r, c.g), c.b), mx), mn);
        const VI between = hn::Add(lo, DivTrunc(hn::Mul(span, hn::Sub(middle, mn)), divisor));
        auto stretch = [&](VI v) { return hn::IfThenElse(hn::Eq(v, mx), hi, hn::IfThenElse(hn::Eq(v, mn), lo, between)); };
        const Channels stretched{stretch(c.r), stretch(c.g), stretch(c.b)};
        const hn::Vec<DU> moved = hn::IfThenElse(hn::RebindMask(du, hn::Eq(span, spread)), pixels, Pack(stretched));
        return hn::IfThenElse(hn::RebindMask(du, hn::Lt(w, zero)), word, hn::Or(moved, opaque));
    });
}


// The coloured dots as ColourDots forms them: both candidates, then the
// one the dot value selects.
void ColourDotsRowHere(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count,
                       const ColourDotsRun& run) {
    const DI di;
    const DU du;
    const std::size_t n = hn::Lanes(du), total = static_cast<std::size_t>(count);
    const VI c255 = hn::Set(di, 255);
    auto colour = [&](hn::Vec<DU> pixels, VI raw) {
        const Channels c = Split(pixels);
        const VI mx = hn::Max(hn::Max(c.r, c.g), c.b), mn = hn::Min(hn::Min(c.r, c.g), c.b);
        const VI spread = hn::Sub(mx, mn);
        const VI dot = hn::Sub(raw, hn::Mul(DivTrunc(raw, c255), c255));
        VI coloured;
        if (run.sixColours) {
            // The tests in SixColourDot's order: the first that holds decides.
            auto rgb = [&](RgbValue v) { return hn::Set(di, static_cast<std::int32_t>(v)); };
            VI middle = c.g, below = rgb(0x00FFFFu), above = rgb(0x0000FFu);
            auto take = [&](MI when, VI m, RgbValue b, RgbValue a) {
                middle = hn::IfThenElse(when, m, middle);
                below = hn::IfThenElse(when, rgb(b), below);
                above = hn::IfThenElse(when, rgb(a), above);
            };
            const MI rMax = hn::Eq(mx, c.r), gMax = hn::Eq(mx, c.g), bMax = hn::Eq(mx, c.b);
            take(hn::And(bMax, hn::Eq(mn, c.g)), c.r, 0xFF00FFu, 0x0000FFu);
            take(hn::And(gMax, hn::Eq(mn, c.r)), c.b, 0x00FFFFu, 0x00FF00u);
            take(hn::And(gMax, hn::Eq(mn, c.b)), c.r, 0xFFFF00u, 0x00FF00u);
            take(hn::And(rMax, hn::Eq(mn, c.g)), c.b, 0xFF00FFu, 0xFF0000u);
            take(hn::And(rMax, hn::Eq(mn, c.b)), c.g, 0xFFFF00u, 0xFF0000u);
            coloured = hn::IfThenElse(hn::Lt(dot, ScaleTo255(hn::Sub(middle, mn), spread)), below, above);
        } else {
            coloured = hn::BitCast(di, Pack({ScaleTo255(hn::Sub(c.r, mn), spread), ScaleTo255(hn::Sub(c.g, mn), spread),
                                             ScaleTo255(hn::Sub(c.b, mn), spread)}));
        }
        VI rest;
        if (run.whiteBlack) {
            rest = hn::IfThenElse(hn::Lt(dot, mn), hn::Set(di, 0xFFFFFF), hn::Zero(di));
        } else {
            rest = hn::Mul(ScaleTo255(mn, hn::Sub(c255, spread)), hn::Set(di, 0x010101));
        }
        const MI dotted = hn::AndNot(hn::Gt(mn, dot), hn::Lt(dot, mx));
        return hn::Or(hn::BitCast(du, hn::IfThenElse(dotted, coloured, rest)), hn::Set(du, 0xFF000000u));
    };
    std::size_t i = 0;
    for (; i + n <= total; i += n)
        hn::StoreU(colour(hn::LoadU(du, from + i), hn::LoadU(di, noise + i)), du, to + i);
    if (i < total) {
        HWY_ALIGN RgbValue in[HWY_MAX_BYTES / sizeof(RgbValue)] = {};
        HWY_ALIGN std::int32_t dots[HWY_MAX_BYTES / sizeof(std::int32_t)] = {};
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(RgbValue)];
        std::memcpy(in, from + i, (total - i) * sizeof(RgbValue));
        std::memcpy(dots, noise + i, (total - i) * sizeof(std::int32_t));
        hn::Store(colour(hn::Load(du, in), hn::Load(di, dots)), du, out);
        std::memcpy(to + i, out, (total - i) * sizeof(RgbValue));
    }
}

// The source pixels at the lanes' indices, one load a lane: the sample
// points lie near each other and in the cache, where a gather instruction
// costs more than its loads on some processors.
template <class DU32, class VI32>
HWY_INLINE hn::Vec<DU32> LoadPixels(DU32 du, const RgbValue* base, VI32 index) {
    const hn::RebindToSigned<DU32> di;
    HWY_ALIGN std::int32_t at[HWY_MAX_BYTES / sizeof(std::int32_t)];
    HWY_ALIGN RgbValue pixels[HWY_MAX_BYTES / sizeof(RgbValue)];
    hn::Store(index, di, at);
    const std::size_t n = hn::Lanes(du);
    for (std::size_t i = 0; i < n; ++i) pixels[i] = base[at[i]];
    return hn::Load(du, pixels);
}

// cos and sin pairs into a vector of each.
template <class VD>
HWY_INLINE void Deinterleave(const double* pairs, VD& cosK, VD& sinK) {
    const hn::ScalableTag<double> df;
#if HWY_TARGET == HWY_SCALAR
    cosK = hn::Set(df, pairs[0]);
    sinK = hn::Set(df, pairs[1]);
#else
    const VD a = hn::LoadU(df, pairs), b = hn::LoadU(df, pairs + hn::Lanes(df));
    cosK = hn::ConcatEven(df, b, a);
    sinK = hn::ConcatOdd(df, b, a);
#endif
}

// Whether every pixel index of the source (row * stride + column) fits the
// 32-bit lanes the samplers index with.
HWY_INLINE bool IndexesFit(const SourceRows& s) {
    const std::int64_t span = static_cast<std::int64_t>(s.height) * (s.stride < 0 ? -s.stride : s.stride);
    return span < (std::int64_t{1} << 31);
}

// The source pixel at (sx, sy) in every lane where ok holds and the point
// lies inside the picture, the background elsewhere; opaque.
template <class DU32, class VI32, class M>
HWY_INLINE hn::Vec<DU32> PixelsOrBackground(DU32 du, const SourceRows& s, VI32 sx, VI32 sy, M ok,
                                            hn::Vec<DU32> background) {
    const hn::RebindToSigned<DU32> di;
    const VI32 zero = hn::Zero(di);
    const auto inside = hn::And(hn::And(ok, hn::And(hn::Not(hn::Lt(sx, zero)), hn::Lt(sx, hn::Set(di, s.width)))),
                                hn::And(hn::Not(hn::Lt(sy, zero)), hn::Lt(sy, hn::Set(di, s.height))));
    const VI32 stride = hn::Set(di, static_cast<std::int32_t>(s.stride));
    const VI32 index = hn::Add(hn::Mul(hn::IfThenElseZero(inside, sy), stride), hn::IfThenElseZero(inside, sx));
    const hn::Vec<DU32> pixels = LoadPixels(du, s.bottom, index);
    return hn::Or(hn::IfThenElse(hn::RebindMask(du, inside), pixels, background), hn::Set(du, 0xFF000000u));
}

// to[x] = sample(x0) for the vectors of columns first..last-1 (x0 the first
// column of each); the last, partial vector goes through a full one on the
// stack.
template <class DU32, class Sample>
HWY_INLINE void StoreColumns(DU32 du, std::size_t first, std::size_t last, RgbValue* to, Sample&& sample) {
    const std::size_t n = hn::Lanes(du);
    std::size_t x = first;
    for (; x + n <= last; x += n) hn::StoreU(sample(x), du, to + x);
    if (x < last) {
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(RgbValue)];
        hn::Store(sample(x), du, out);
        std::memcpy(to + x, out, (last - x) * sizeof(RgbValue));
    }
}

// The turned or stretched offsets in double lanes, each product, sum and
// quotient rounded as the scalar formula rounds it (no fused operations), then
// truncated, checked and looked up in 32-bit lanes. Offsets and sums wrap as
// unsigned lanes. At the centre (r = 0) the stretch gives the offset itself,
// whose sum with the centre is the pixel, as the formula returns it.
bool SampleOffsetRowHere(const OffsetRow& row, RgbValue* to) {
    const SourceRows& s = row.source;
    if (!IndexesFit(s)) return false;
    const hn::ScalableTag<double> df;
    const hn::Rebind<std::int32_t, decltype(df)> di;
    const hn::Rebind<std::uint32_t, decltype(df)> du;
    using VD = hn::Vec<decltype(df)>;
    const std::size_t n = hn::Lanes(df), width = static_cast<std::size_t>(row.last);
    const auto cx = hn::Set(du, static_cast<std::uint32_t>(row.cx)), cy = hn::Set(du, static_cast<std::uint32_t>(row.cy));
    const auto zero = hn::Zero(di);
    const VD one = hn::Set(df, 1.0);
    const VD fy = hn::Set(df, static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(row.y) -
                                                                           static_cast<std::uint32_t>(row.cy))));
    const VD low = hn::Set(df, -2147483649.0), high = hn::Set(df, 2147483648.0);
    const auto background = hn::Set(du, row.background);
    const auto iota = hn::BitCast(du, hn::Iota(di, 0));
    auto sample = [&](std::size_t x0, VD cosK, VD sinK) {
        const auto dx = hn::BitCast(di, hn::Sub(hn::Add(hn::Set(du, static_cast<std::uint32_t>(x0)), iota), cx));
        const VD fx = hn::PromoteTo(df, dx);
        VD vx, vy;
        if (row.stretch) {  // cosK holds r, sinK d
            const auto centre = hn::Eq(cosK, hn::Zero(df));
            const VD r = hn::IfThenElse(centre, one, cosK), reach = hn::Add(cosK, sinK);
            vx = hn::IfThenElse(centre, fx, hn::Div(hn::Mul(reach, fx), r));
            vy = hn::IfThenElse(centre, fy, hn::Div(hn::Mul(reach, fy), r));
        } else {
            vx = hn::Sub(hn::Mul(cosK, fx), hn::Mul(sinK, fy));
            vy = hn::Add(hn::Mul(sinK, fx), hn::Mul(cosK, fy));
        }
        const auto ok = hn::And(hn::And(hn::Gt(vx, low), hn::Lt(vx, high)), hn::And(hn::Gt(vy, low), hn::Lt(vy, high)));
        const auto tx = hn::BitCast(du, hn::DemoteTo(di, hn::IfThenElseZero(ok, vx)));
        const auto ty = hn::BitCast(du, hn::DemoteTo(di, hn::IfThenElseZero(ok, vy)));
        const auto sx = hn::BitCast(di, hn::Add(cx, tx)), sy = hn::BitCast(di, hn::Add(cy, ty));
        const auto valid = hn::Gt(hn::DemoteTo(di, hn::IfThenElseZero(ok, one)), zero);
        return PixelsOrBackground(du, s, sx, sy, valid, background);
    };
    auto turnsAt = [&](std::size_t x, VD& cosK, VD& sinK) {
        if (!row.perColumn) {
            cosK = hn::Set(df, row.pairs[0]);
            sinK = hn::Set(df, row.pairs[1]);
            return;
        }
        Deinterleave(row.pairs + 2 * x, cosK, sinK);
    };
    std::size_t x = static_cast<std::size_t>(row.first);
    for (; x + n <= width; x += n) {
        VD cosK, sinK;
        turnsAt(x, cosK, sinK);
        hn::StoreU(sample(x, cosK, sinK), du, to + x);
    }
    if (x < width) {
        HWY_ALIGN double turns[2 * HWY_MAX_BYTES / sizeof(double)];
        for (std::size_t i = 0; i < n; ++i) {
            const bool real = x + i < width;
            const std::size_t from = row.perColumn ? 2 * (x + i) : 0;
            turns[2 * i] = real ? row.pairs[from] : 1.0;
            turns[2 * i + 1] = real ? row.pairs[from + 1] : 0.0;
        }
        VD cosK, sinK;
        Deinterleave(turns, cosK, sinK);
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(double)];
        hn::Store(sample(x, cosK, sinK), du, out);
        std::memcpy(to + x, out, (width - x) * sizeof(RgbValue));
    }
    return true;
}

// The diamond ripple's shares in 32-bit lanes, each quotient in double lanes:
// any 32-bit integers divide exactly there (|a| + |b| < 2^33, far below
// 2^53). Where the scalar CheckedDiv has no quotient (m = 0, which only a
// wrapped m gives away from the centre, or INT_MIN / -1) the point is
// invalid, as there.
bool SampleDiamondRowHere(const DiamondRow& row, RgbValue* to) {
    const SourceRows& s = row.source;
    if (!IndexesFit(s)) return false;
    const hn::ScalableTag<double> df;
    const hn::Rebind<std::int32_t, decltype(df)> di;
    const hn::Rebind<std::uint32_t, decltype(df)> du;
    using VI32 = hn::Vec<decltype(di)>;
    using VU32 = hn::Vec<decltype(du)>;
    const std::size_t last = static_cast<std::size_t>(row.last);
    const VU32 cx = hn::Set(du, static_cast<std::uint32_t>(row.cx)), cy = hn::Set(du, static_cast<std::uint32_t>(row.cy));
    const VU32 y = hn::Set(du, static_cast<std::uint32_t>(row.y));
    const VI32 dy = hn::BitCast(di, hn::Sub(y, cy));
    const VI32 zero = hn::Zero(di), minusOne = hn::Set(di, -1), intMin = hn::Set(di, INT32_MIN);
    const VU32 background = hn::Set(du, row.background);
    const VU32 iota = hn::BitCast(du, hn::Iota(di, 0));
    const VI32 origin = hn::Set(di, static_cast<std::int32_t>(row.origin)), end = hn::Set(di, row.last);
    auto abs = [&](VI32 v) { return hn::BitCast(du, hn::IfThenElse(hn::Lt(v, zero), hn::BitCast(di, hn::Sub(hn::BitCast(du, zero), hn::BitCast(du, v))), v)); };
    // Truncating a / b; ok where the scalar CheckedDiv has a quotient.
    auto divide = [&](VI32 a, VI32 b, hn::Mask<decltype(di)>& ok) {
        ok = hn::And(ok, hn::Not(hn::Eq(b, zero)));
        ok = hn::And(ok, hn::Not(hn::And(hn::Eq(a, intMin), hn::Eq(b, minusOne))));
        const VI32 safe = hn::IfThenElse(ok, b, hn::Set(di, 1));
        return hn::DemoteTo(di, hn::Div(hn::PromoteTo(df, hn::IfThenElseZero(ok, a)), hn::PromoteTo(df, safe)));
    };
    auto sample = [&](std::size_t x0) {
        const VU32 x = hn::Add(hn::Set(du, static_cast<std::uint32_t>(x0)), iota);
        const VI32 dx = hn::BitCast(di, hn::Sub(x, cx));
        const auto centre = hn::And(hn::Eq(dx, zero), hn::Eq(dy, zero));
        const VI32 m = hn::BitCast(di, hn::Add(abs(dx), abs(dy)));
        // m lies in the table for every pixel of the row but the centre, whose
        // m = 0 may not, and the lanes past the row's end: they look up the first.
        const auto elsewhere = hn::Or(centre, hn::Not(hn::Lt(hn::BitCast(di, x), end)));
        const VI32 k = hn::IfThenElse(elsewhere, zero, hn::Sub(m, origin));
        const VI32 d = hn::GatherIndex(di, row.displacement, k);
        auto ok = hn::Not(hn::Eq(hn::GatherIndex(di, row.valid, k), zero));
        const VI32 qx = divide(hn::BitCast(di, hn::Mul(hn::BitCast(du, dx), hn::BitCast(du, d))), m, ok);
        const VI32 qy = divide(hn::BitCast(di, hn::Mul(hn::BitCast(du, dy), hn::BitCast(du, d))), m, ok);
        ok = hn::Or(ok, centre);
        const VI32 sx = hn::BitCast(di, hn::Add(x, hn::BitCast(du, hn::IfThenZeroElse(centre, qx))));
        const VI32 sy = hn::BitCast(di, hn::Add(y, hn::BitCast(du, hn::IfThenZeroElse(centre, qy))));
        return PixelsOrBackground(du, s, sx, sy, ok, background);
    };
    StoreColumns(du, static_cast<std::size_t>(row.first), last, to, sample);
    return true;
}

// The square ripple in lanes: which axis leads, compared exactly in double
// lanes; the displacement's products and quotients in double lanes, rounded
// as the scalar ones; the integer road's quotient in double lanes, exact for
// any 32-bit integers.
bool SampleSquareRowHere(const SquareRow& row, RgbValue* to) {
    const SourceRows& s = row.source;
    if (!IndexesFit(s)) return false;
    const hn::ScalableTag<double> df;
    const hn::Rebind<std::int32_t, decltype(df)> di;
    const hn::Rebind<std::uint32_t, decltype(df)> du;
    using VD = hn::Vec<decltype(df)>;
    using VI32 = hn::Vec<decltype(di)>;
    using VU32 = hn::Vec<decltype(du)>;
    using MI32 = hn::Mask<decltype(di)>;
    const std::size_t n = hn::Lanes(df), last = static_cast<std::size_t>(row.last);
    const VU32 cx = hn::Set(du, static_cast<std::uint32_t>(row.cx)), cy = hn::Set(du, static_cast<std::uint32_t>(row.cy));
    const VU32 y = hn::Set(du, static_cast<std::uint32_t>(row.y));
    const VI32 dy = hn::BitCast(di, hn::Sub(y, cy));
    const VD absDy = hn::Abs(hn::PromoteTo(df, dy)), waveY = hn::Set(df, row.waveY);
    const VI32 zero = hn::Zero(di), minusOne = hn::Set(di, -1), intMin = hn::Set(di, INT32_MIN), oneI = hn::Set(di, 1);
    const VD one = hn::Set(df, 1.0), zeroD = hn::Zero(df);
    const VD low = hn::Set(df, -2147483649.0), high = hn::Set(df, 2147483648.0);
    const VU32 background = hn::Set(du, row.background);
    const VU32 iota = hn::BitCast(du, hn::Iota(di, 0));
    // A double mask as a mask of the 32-bit lanes.
    auto narrow = [&](hn::Mask<decltype(df)> m) { return hn::Gt(hn::DemoteTo(di, hn::IfThenElseZero(m, one)), zero); };
    // T(v) where it has a 32-bit value; the mask says where.
    auto truncate = [&](VD v, VI32& t) {
        const auto ok = hn::And(hn::Gt(v, low), hn::Lt(v, high));
        t = hn::DemoteTo(di, hn::IfThenElseZero(ok, v));
        return narrow(ok);
    };
    auto sample = [&](std::size_t x0, VD waveX) {
        const VU32 x = hn::Add(hn::Set(du, static_cast<std::uint32_t>(x0)), iota);
        const VI32 dx = hn::BitCast(di, hn::Sub(x, cx));
        const MI32 centre = hn::And(hn::Eq(dx, zero), hn::Eq(dy, zero));
        const VD fdx = hn::PromoteTo(df, dx);
        const auto alongXd = hn::Ge(hn::Abs(fdx), absDy);
        const MI32 alongX = narrow(alongXd);
        const VI32 lead = hn::IfThenElse(centre, oneI, hn::IfThenElse(alongX, dx, dy));
        const VI32 other = hn::IfThenElse(alongX, dy, dx);
        const VD fLead = hn::PromoteTo(df, lead);
        VD d = hn::IfThenElse(alongXd, waveX, waveY);
        d = hn::IfThenElse(hn::Lt(fLead, zeroD), hn::Neg(d), d);
        VI32 shift, across;
        MI32 ok = truncate(d, shift);
        if (row.bump) {
            ok = hn::And(ok, truncate(hn::Div(hn::Mul(hn::PromoteTo(df, other), d), fLead), across));
        } else {
            const VI32 product = hn::BitCast(di, hn::Mul(hn::BitCast(du, other), hn::BitCast(du, shift)));
            ok = hn::And(ok, hn::Not(hn::And(hn::Eq(product, intMin), hn::Eq(lead, minusOne))));
            across = hn::DemoteTo(di, hn::Div(hn::PromoteTo(df, hn::IfThenElseZero(ok, product)), fLead));
        }
        const VU32 moved = hn::Add(hn::IfThenElse(hn::RebindMask(du, alongX), x, y), hn::BitCast(du, shift));
        const VU32 beside = hn::Add(hn::IfThenElse(hn::RebindMask(du, alongX), y, x), hn::BitCast(du, across));
        VI32 sx = hn::BitCast(di, hn::IfThenElse(hn::RebindMask(du, alongX), moved, beside));
        VI32 sy = hn::BitCast(di, hn::IfThenElse(hn::RebindMask(du, alongX), beside, moved));
        sx = hn::IfThenElse(centre, hn::BitCast(di, x), sx);
        sy = hn::IfThenElse(centre, hn::BitCast(di, y), sy);
        ok = hn::Or(ok, centre);
        return PixelsOrBackground(du, s, sx, sy, ok, background);
    };
    std::size_t x = static_cast<std::size_t>(row.first);
    for (; x + n <= last; x += n) hn::StoreU(sample(x, hn::LoadU(df, row.waveOfColumn + x)), du, to + x);
    if (x < last) {
        HWY_ALIGN double waves[HWY_MAX_BYTES / sizeof(double)] = {};
        std::memcpy(waves, row.waveOfColumn + x, (last - x) * sizeof(double));
        HWY_ALIGN RgbValue out[HWY_MAX_BYTES / sizeof(double)];
        hn::Store(sample(x, hn::Load(df, waves)), du, out);
        std::memcpy(to + x, out, (last - x) * sizeof(RgbValue));
    }
    return true;
}

}  // namespace
}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(ShiftLightnessRunHere);
HWY_EXPORT(ApplySaturationRunHere);
HWY_EXPORT(RotateHueRunHere);
HWY_EXPORT(ColourDotsRowHere);
HWY_EXPORT(SampleOffsetRowHere);
HWY_EXPORT(SampleDiamondRowHere);
HWY_EXPORT(SampleSquareRowHere);

void ShiftLightnessRun(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run) {
    HWY_DYNAMIC_DISPATCH(ShiftLightnessRunHere)(from, to, count, run);
}

void RotateHueRun(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run) {
    HWY_DYNAMIC_DISPATCH(RotateHueRunHere)(from, to, count, run);
}

void ApplySaturationRun(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans) {
    HWY_DYNAMIC_DISPATCH(ApplySaturationRunHere)(from, to, count, plans);
}

void ColourDotsRow(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count,
                   const ColourDotsRun& run) {
    HWY_DYNAMIC_DISPATCH(ColourDotsRowHere)(from, noise, to, count, run);
}

bool SampleSquareRow(const SquareRow& row, RgbValue* to) {
    return HWY_DYNAMIC_DISPATCH(SampleSquareRowHere)(row, to);
}

bool SampleDiamondRow(const DiamondRow& row, RgbValue* to) {
    return HWY_DYNAMIC_DISPATCH(SampleDiamondRowHere)(row, to);
}

bool SampleOffsetRow(const OffsetRow& row, RgbValue* to) { return HWY_DYNAMIC_DISPATCH(SampleOffsetRowHere)(row, to); }

}  // namespace prismview
#endif
