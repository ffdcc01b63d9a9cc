// The hue wheel's formulas in vector lanes: the one code of HueOf and
// RotateHue, whichever road calls them (a pass a run of pixels at a time, a
// table or a probe one colour at a time). Compiled for every target Highway
// supports; the best one the processor has runs.
#include "core/colour.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/hue_lanes.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "core/lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace prismview {
namespace HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;
using namespace lanes;  // NOLINT: the shared lane steps of core/lanes-inl.h

void HuesOfRunHere(const RgbValue* from, std::int32_t* hues, std::int32_t count) {
    const DU du;
    ForVectors(from, reinterpret_cast<RgbValue*>(hues), count, [&](hn::Vec<DU> pixels) {
        const Channels c = Split(pixels);
        const VI mx = hn::Max(hn::Max(c.r, c.g), c.b), mn = hn::Min(hn::Min(c.r, c.g), c.b);
        return hn::BitCast(du, HueLanes(c, mx, mn, hn::Sub(mx, mn)));
    });
}

// RotateHue in every lane: the hue, turned or mirrored, then the colour of
// that hue with the pixel's max and min. The angle is reduced once, in 64 bits, so that
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
        const VI h = HueLanes(c, mx, mn, d);
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

}  // namespace
}  // namespace HWY_NAMESPACE
}  // namespace prismview
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace prismview {

HWY_EXPORT(HuesOfRunHere);
HWY_EXPORT(RotateHueRunHere);

void HuesOfRun(const RgbValue* from, std::int32_t* hues, std::int32_t count) {
    HWY_DYNAMIC_DISPATCH(HuesOfRunHere)(from, hues, count);
}

void RotateHueRun(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run) {
    HWY_DYNAMIC_DISPATCH(RotateHueRunHere)(from, to, count, run);
}

std::int32_t HueOf(RgbValue colour) {
    std::int32_t hue = 0;
    HuesOfRun(&colour, &hue, 1);
    return hue;
}

RgbValue RotateHue(RgbValue colour, std::int32_t angle, bool mirror) {
    RgbValue turned = 0;
    RotateHueRun(&colour, &turned, 1, {angle, mirror, nullptr});
    return turned & 0xFFFFFFu;
}

}  // namespace prismview
#endif
