// Modes 20 to 23: waves along a straight line (20 endless, 21 a single bump)
// and ripples around the centre point (22 endless, 23 a single bump). Each
// output pixel shows the source pixel at a displaced sample point.
#include <algorithm>
#include <limits>
#include <vector>

#include "effects/effect_table.h"
#include "effects/sampling.h"

namespace prismview {

namespace {

// The wave of the frequency and phase fractions. Each expression keeps the
// order of its operations: the truncations of the pictures depend on it.
struct Wave {
    double twoPi;
    double den;    // waveFreqDen
    double phase;  // wavePhase / wavePhaseDen
    std::int32_t num;

    // For an integer position the product with the frequency is an integer
    // product; for a real distance it is a real one.
    double AngleAt(std::int32_t q) const {
        return twoPi * (static_cast<double>(WrapMul(q, num)) / den + phase);
    }
    double AngleAt(double rho) const { return twoPi * ((static_cast<double>(num) * rho) / den + phase); }
    double OffsetAt(std::int32_t q) const { return static_cast<double>(WrapMul(q, num)) / den - phase; }
    double OffsetAt(double rho) const { return (static_cast<double>(num) * rho) / den - phase; }

    // One raised-cosine bump of height 2a, a cycle wide, centred on offset 0.
    double Bump(double o, double a) const { return std::fabs(o) <= 0.5 ? (std::cos(twoPi * o) + 1.0) * a : 0.0; }

    // The displacement at a position: the sine wave, or the single bump.
    template <bool kSingle, class Position>
    double At(Position q, double a) const {
        if constexpr (kSingle) return Bump(OffsetAt(q), a);
        else return std::sin(AngleAt(q)) * a;
    }
};

// A zero denominator switches the displacement off.
bool WaveIsOn(const ProcessingParams& p) { return p.waveFreqDen != 0 && p.wavePhaseDen != 0; }

Wave WaveOf(const ProcessingParams& p) {
    return Wave{2.0 * std::acos(-1.0), static_cast<double>(p.waveFreqDen),
                static_cast<double>(p.wavePhase) / static_cast<double>(p.wavePhaseDen), p.waveFreqNum};
}

// Modes 20 and 21. Slots 1 and 3 run the wave along x, slots 2 and 4 along y;
// slots 1 and 2 displace along the wave, 3 and 4 across it. The displacement
// depends only on the column (or row), so it is computed once per column
// (before the rows, in WaveColumns) or row instead of per pixel; the pixels
// are the same.
//
// Counting from the far end mirrors the wave; where it displaces along the
// mirrored axis the displacement turns round too (an integer product, which
// wraps for the most negative amplitude).
template <int kSlot>
double WaveAmplitude(const ProcessingParams& p) {
    return static_cast<double>(kSlot <= 2 ? WrapMul(p.waveAmplitude, p.startFromEnd != 0 ? -1 : 1)
                                          : p.waveAmplitude);
}

// The wave's shift at position `along` of extent n; false where it has no
// 32-bit value.
template <bool kSingle, int kSlot>
bool ShiftAt(const Wave& wave, const ProcessingParams& p, std::int32_t along, std::int32_t n, std::int32_t& shift) {
    const std::int32_t t = p.startFromEnd != 0 ? n - 1 - along : along;
    return TruncToInt32(wave.template At<kSingle>(t, WaveAmplitude<kSlot>(p)), shift);
}

// Slot 1: the sampled column of every column (ints, -1 for the background).
// Slot 3: the shift of every column (ints) and whether it has a value (flags).
template <bool kSingle, int kSlot>
void WaveColumns(const SlotContext& c, SlotTables& tables) {
    const ProcessingParams& p = c.params;
    if (!WaveIsOn(p)) return;
    const Wave wave = WaveOf(p);
    const std::int32_t w = c.source.width;
    tables.ints.resize(static_cast<std::size_t>(w));
    tables.flags.resize(static_cast<std::size_t>(w));
    for (std::int32_t x = 0; x < w; ++x) {
        const std::size_t i = static_cast<std::size_t>(x);
        std::int32_t shift = 0;
        const bool ok = ShiftAt<kSingle, kSlot>(wave, p, x, w, shift);
        if constexpr (kSlot == 1) {
            tables.ints[i] = ok ? SampleSourceAxis(WrapAdd(x, shift), w, p.overflowMode) : -1;
        } else {
            tables.ints[i] = shift;
            tables.flags[i] = ok;
        }
    }
}

template <bool kSingle, int kSlot>
void WaveRows(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const ProcessingParams& p = c.params;
    if (!WaveIsOn(p)) return CopyRows(c, out, first, last);
    const Wave wave = WaveOf(p);
    const SourceRows& s = c.source;
    const std::int32_t w = s.width, h = s.height, overflow = p.overflowMode;
    const RgbValue background = p.backgroundColor;

    if constexpr (kSlot == 1) {
        // The sampled column depends on the column alone.
        const std::int32_t* from = c.tables.ints.data();
        ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
            const RgbValue* row = s.Row(y);
            for (std::int32_t x = 0; x < w; ++x) to[x] = from[x] >= 0 ? row[from[x]] : background;
        });
    } else if constexpr (kSlot == 3) {
        // The shift depends on the column; the sampled row on both.
        const std::int32_t* shifts = c.tables.ints.data();
        const unsigned char* valid = c.tables.flags.data();
        ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
            for (std::int32_t x = 0; x < w; ++x) {
                const std::int32_t sy = valid[x] ? SampleSourceAxis(WrapAdd(y, shifts[x]), h, overflow) : -1;
                to[x] = sy >= 0 ? s.At(x, sy) : background;
            }
        });
    } else if constexpr (kSlot == 2) {
        // A whole row comes from one source row.
        ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
            std::int32_t shift = 0;
            const std::int32_t sy =
                ShiftAt<kSingle, kSlot>(wave, p, y, h, shift) ? SampleSourceAxis(WrapAdd(y, shift), h, overflow) : -1;
            const RgbValue* row = sy >= 0 ? s.Row(sy) : nullptr;
            for (std::int32_t x = 0; x < w; ++x) to[x] = row ? row[x] : background;
        });
    } else {
        // A whole row is shifted sideways by the same amount.
        ForEachRow(out, first, last, [&](std::int32_t y, RgbValue* to) {
            std::int32_t shift = 0;
            const bool ok = ShiftAt<kSingle, kSlot>(wave, p, y, h, shift);
            const RgbValue* row = s.Row(y);
            for (std::int32_t x = 0; x < w; ++x) {
                const std::int32_t sx = ok ? SampleSourceAxis(WrapAdd(x, shift), w, overflow) : -1;
                to[x] = sx >= 0 ? row[sx] : background;
            }
        });
    }
}

std::int64_t ExactAbs(std::int32_t v) { return v < 0 ? -static_cast<std::int64_t>(v) : v; }

// The distance r of an offset and the wave d there, shared by the round
// rings of slots 1 and 4.
struct RoundWave {
    double r = 0.0, d = 0.0;
};

template <bool kSingle>
RoundWave RoundWaveAt(const Wave& wave, double a, std::int32_t dx, std::int32_t dy) {
    const double r = Distance(dx, dy);
    return RoundWave{r, r == 0.0 ? 0.0 : wave.At<kSingle>(r, a)};
}

// Slot 1: on the ray from the centre, at distance r + d.
inline SamplePoint RadialRound(const RoundWave& w, Centre centre, std::int32_t x, std::int32_t y, std::int32_t dx,
                               std::int32_t dy) {
    if (w.r == 0.0) return SamplePoint{x, y};
    SamplePoint p;
    if (!AddTruncated(centre.x, ((w.r + w.d) * static_cast<double>(dx)) / w.r, p.x) ||
        !AddTruncated(centre.y, ((w.r + w.d) * static_cast<double>(dy)) / w.r, p.y))
        return InvalidPoint();
    return p;
}

// Slot 2: square rings; the dominant axis moves by the displacement, the
// other in proportion. Mode 22 truncates the displacement and divides in
// integers, mode 23 divides in reals and truncates after.
// The wave at |dx| depends on the column alone and the wave at |dy| on the
// row alone, so the caller works them out once per column and row and hands
// both in: waveX = wave.At(|dx|), waveY = wave.At(|dy|).
template <bool kSingle>
SamplePoint RadialSquare(double waveX, double waveY, std::int32_t x, std::int32_t y, std::int32_t dx,
                         std::int32_t dy) {
    if (dx == 0 && dy == 0) return SamplePoint{x, y};
    // Ties go to x. The dominant offset is never 0 here, so neither division
    // below can be by zero.
    const bool alongX = ExactAbs(dx) >= ExactAbs(dy);
    const std::int32_t lead = alongX ? dx : dy, other = alongX ? dy : dx;
    double d = alongX ? waveX : waveY;
    if (lead < 0) d = -d;
    std::int32_t moved = 0, across = 0;
    if constexpr (kSingle) {
        if (!AddTruncated(alongX ? x : y, d, moved) ||
            !AddTruncated(alongX ? y : x, (static_cast<double>(other) * d) / static_cast<double>(lead), across))
            return InvalidPoint();
    } else {
        std::int32_t td = 0, q = 0;
        if (!TruncToInt32(d, td) || !CheckedDiv(WrapMul(other, td), lead, q)) return InvalidPoint();
        moved = WrapAdd(alongX ? x : y, td);
        across = WrapAdd(alongX ? y : x, q);
    }
    return alongX ? SamplePoint{moved, across} : SamplePoint{across, moved};
}

// Slot 3: diamond rings (|dx| + |dy|); both coordinates move by their share
// of the truncated displacement, which depends on |dx| + |dy| alone.
struct DiamondWave {
    std::int32_t m = 0, d = 0;
    bool ok = true;  // false: the displacement has no 32-bit value
};

template <bool kSingle>
DiamondWave DiamondWaveAt(const Wave& wave, double a, std::int32_t dx, std::int32_t dy) {
    DiamondWave w;
    w.m = WrapAdd(WrapAbs(dx), WrapAbs(dy));
    if (dx != 0 || dy != 0) w.ok = TruncToInt32(wave.At<kSingle>(w.m, a), w.d);
    return w;
}

inline SamplePoint RadialDiamond(const DiamondWave& w, std::int32_t x, std::int32_t y, std::int32_t dx,
                                 std::int32_t dy) {
    if (dx == 0 && dy == 0) return SamplePoint{x, y};
    std::int32_t qx = 0, qy = 0;
    if (!w.ok || !CheckedDiv(WrapMul(dx, w.d), w.m, qx) || !CheckedDiv(WrapMul(dy, w.d), w.m, qy))
        return InvalidPoint();
    return SamplePoint{WrapAdd(x, qx), WrapAdd(y, qy)};
}

// Slot 4: around the circle by the arc length d, the angle d / r. The
// centre itself (r = 0) stays: no turn.
template <bool kSingle>
Turn AroundTurnAt(const Wave& wave, double a, std::int32_t dx, std::int32_t dy) {
    const double r = Distance(dx, dy);
    return r == 0.0 ? Turn{} : TurnBy(wave.At<kSingle>(r, a) / r);
}

// Ripple slot 2: the wave at |dx| of every column (reals).
template <bool kSingle>
void RippleColumns(const SlotContext& c, SlotTables& tables) {
    const ProcessingParams& p = c.params;
    if (!WaveIsOn(p)) return;
    const Wave wave = WaveOf(p);
    const double a = static_cast<double>(p.waveAmplitude);
    const Centre centre = CentreOf(c);
    tables.reals.resize(static_cast<std::size_t>(c.source.width));
    for (std::int32_t x = 0; x < c.source.width; ++x)
        tables.reals[static_cast<std::size_t>(x)] = wave.At<kSingle>(WrapAbs(WrapSub(x, centre.x)), a);
}

// The range of |v| for v = first - centre .. last - centre, exactly; false
// where an offset would wrap (then the ripple works per pixel instead).
bool MagnitudeRange(std::int64_t first, std::int64_t last, std::int64_t& low, std::int64_t& high) {
    if (first <= std::numeric_limits<std::int32_t>::min() || last > std::numeric_limits<std::int32_t>::max())
        return false;
    const std::int64_t a = first < 0 ? -first : first, b = last < 0 ? -last : last;
    high = std::max(a, b);
    low = first <= 0 && last >= 0 ? 0 : std::min(a, b);
    return true;
}

// Ripple slot 3: the diamond distance m = |dx| + |dy| takes few values (at
// most width + height), and the truncated wave depends on m alone: the wave
// of every m that occurs (ints, flags: whether it has a value), from origin
// on. Left empty where an offset or m would wrap.
template <bool kSingle>
void RippleDiamonds(const SlotContext& c, SlotTables& tables) {
    tables.ints.clear();
    tables.flags.clear();
    const ProcessingParams& p = c.params;
    if (!WaveIsOn(p)) return;
    const Centre centre = CentreOf(c);
    std::int64_t aLow = 0, aHigh = 0, bLow = 0, bHigh = 0;
    if (!MagnitudeRange(-std::int64_t{centre.x}, std::int64_t{c.source.width} - 1 - centre.x, aLow, aHigh) ||
        !MagnitudeRange(-std::int64_t{centre.y}, std::int64_t{c.source.height} - 1 - centre.y, bLow, bHigh) ||
        aHigh + bHigh > std::numeric_limits<std::int32_t>::max())
        return;
    const Wave wave = WaveOf(p);
    const double a = static_cast<double>(p.waveAmplitude);
    tables.origin = aLow + bLow;
    const std::size_t count = static_cast<std::size_t>(aHigh + bHigh - tables.origin + 1);
    tables.ints.resize(count);
    tables.flags.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto m = static_cast<std::int32_t>(tables.origin + static_cast<std::int64_t>(i));
        tables.flags[i] = TruncToInt32(wave.At<kSingle>(m, a), tables.ints[i]);
    }
}

// Modes 22 and 23. What depends on the offset's size alone is worked out
// once per mirrored pair of pixels (slots 1, 3 and 4) or once per column and
// row (slot 2).
template <bool kSingle, int kSlot>
void RippleRows(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const ProcessingParams& p = c.params;
    if (!WaveIsOn(p)) return CopyRows(c, out, first, last);
    const Wave wave = WaveOf(p);
    const double a = static_cast<double>(p.waveAmplitude);
    const Centre centre = CentreOf(c);
    const std::int32_t width = c.source.width;
    auto plane = [&](auto&& point) { SamplePlaneRows(c, out, first, last, centre, point); };

    if constexpr (kSlot == 1) {
        MirroredRows<RoundWave>(
            c, out, first, last, centre,
            [&](std::int32_t dx, std::int32_t dy) { return RoundWaveAt<kSingle>(wave, a, dx, dy); },
            [&](const RoundWave& w, std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy) {
                return RadialRound(w, centre, x, y, dx, dy);
            });
    } else if constexpr (kSlot == 2) {
        const double* waveOfColumn = c.tables.reals.data();  // RippleColumns
        std::int32_t waveRow = first - 1;
        double waveY = 0.0;
        plane([&](std::int32_t x, std::int32_t y) {
            const auto [dx, dy] = OffsetFrom(centre, x, y);
            if (y != waveRow) {  // rows arrive in order: once per row
                waveRow = y;
                waveY = wave.At<kSingle>(WrapAbs(dy), a);
            }
            return RadialSquare<kSingle>(waveOfColumn[x], waveY, x, y, dx, dy);
        });
    } else if constexpr (kSlot == 3) {
        const SlotTables& byM = c.tables;  // RippleDiamonds
        if (!byM.ints.empty()) {
            plane([&](std::int32_t x, std::int32_t y) {
                const auto [dx, dy] = OffsetFrom(centre, x, y);
                DiamondWave w;
                w.m = WrapAdd(WrapAbs(dx), WrapAbs(dy));
                const std::size_t i = static_cast<std::size_t>(w.m - byM.origin);
                w.d = byM.ints[i];
                w.ok = byM.flags[i] != 0;
                return RadialDiamond(w, x, y, dx, dy);
            });
            return;
        }
        RowMirror<DiamondWave> mirror(width, centre.x);
        plane([&](std::int32_t x, std::int32_t y) {
            const Offset offset = OffsetFrom(centre, x, y);  // no structured binding: lambdas below use it
            const std::int32_t dx = offset.dx, dy = offset.dy;
            const DiamondWave& w = mirror.At(x, [&] { return DiamondWaveAt<kSingle>(wave, a, dx, dy); });
            return RadialDiamond(w, x, y, dx, dy);
        });
    } else {
        MirroredRows<Turn>(
            c, out, first, last, centre,
            [&](std::int32_t dx, std::int32_t dy) { return AroundTurnAt<kSingle>(wave, a, dx, dy); },
            [&](const Turn& turn, std::int32_t, std::int32_t, std::int32_t dx, std::int32_t dy) {
                return Turned(centre, dx, dy, turn);
            });
    }
}

}  // namespace

void AddWaveEffects(EffectTable& table) {
    table[ModeWave].runners = {WaveRows<false, 1>, WaveRows<false, 2>, WaveRows<false, 3>, WaveRows<false, 4>};
    table[ModeWave].setups = {WaveColumns<false, 1>, nullptr, WaveColumns<false, 3>, nullptr};
    table[ModeSingleWave].runners = {WaveRows<true, 1>, WaveRows<true, 2>, WaveRows<true, 3>, WaveRows<true, 4>};
    table[ModeSingleWave].setups = {WaveColumns<true, 1>, nullptr, WaveColumns<true, 3>, nullptr};
    table[ModeRipple].runners = {RippleRows<false, 1>, RippleRows<false, 2>, RippleRows<false, 3>,
                                 RippleRows<false, 4>};
    table[ModeRipple].setups = {nullptr, RippleColumns<false>, RippleDiamonds<false>, nullptr};
    table[ModeSingleRipple].runners = {RippleRows<true, 1>, RippleRows<true, 2>, RippleRows<true, 3>,
                                       RippleRows<true, 4>};
    table[ModeSingleRipple].setups = {nullptr, RippleColumns<true>, RippleDiamonds<true>, nullptr};
}

}  // namespace prismview
