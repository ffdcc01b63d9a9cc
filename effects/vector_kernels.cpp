#include "effects/vector_kernels.h"

#include <cstddef>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "effects/vector_kernels.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "core/lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;
using namespace lanes;  // NOLINT: the shared lane steps of core/lanes-inl.h

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
    ForVectors(from, to, count, colour, noise);
}

}  // namespace
}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(ShiftLightnessRunHere);
HWY_EXPORT(ApplySaturationRunHere);
HWY_EXPORT(ColourDotsRowHere);

void ShiftLightnessRun(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run) {
    HWY_DYNAMIC_DISPATCH(ShiftLightnessRunHere)(from, to, count, run);
}

void ApplySaturationRun(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans) {
    HWY_DYNAMIC_DISPATCH(ApplySaturationRunHere)(from, to, count, plans);
}

void ColourDotsRow(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count,
                   const ColourDotsRun& run) {
    HWY_DYNAMIC_DISPATCH(ColourDotsRowHere)(from, noise, to, count, run);
}

}  // namespace prismview
#endif
