// Modes 20 to 23: waves along a straight line (20 endless, 21 a single bump)
// and ripples around the centre point (22 endless, 23 a single bump). Each
// output pixel shows the source pixel at a displaced sample point.
#include "effects/distortion_schedules.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

// An endless sine wave, or one raised-cosine bump.
enum class Shape { Sine, Bump };

// The wave of the frequency and phase fractions. Each expression keeps the
// order of its operations: the truncations of the pictures depend on it.
struct Wave {
    double twoPi = 0.0;
    double den = 1.0;    // waveFreqDen
    double phase = 0.0;  // wavePhase / wavePhaseDen
    std::int32_t num = 0;

    // A zero denominator switches the displacement off; the wave is then
    // never asked for.
    static bool IsOn(const ProcessingParams& p) { return p.waveFreqDen != 0 && p.wavePhaseDen != 0; }
    static Wave Of(const ProcessingParams& p) {
        if (!IsOn(p)) return Wave{};
        return Wave{2.0 * std::acos(-1.0), static_cast<double>(p.waveFreqDen),
                    static_cast<double>(p.wavePhase) / static_cast<double>(p.wavePhaseDen), p.waveFreqNum};
    }

    // For an integer position the product with the frequency is an integer
    // product; for a real distance it is a real one.
    double AngleAt(std::int32_t q) const { return twoPi * (static_cast<double>(WrapMul(q, num)) / den + phase); }
    double AngleAt(double rho) const { return twoPi * ((static_cast<double>(num) * rho) / den + phase); }
    double OffsetAt(std::int32_t q) const { return static_cast<double>(WrapMul(q, num)) / den - phase; }
    double OffsetAt(double rho) const { return (static_cast<double>(num) * rho) / den - phase; }

    // One bump of height 2a, a cycle wide, centred on offset 0.
    double Bump(double o, double a) const { return std::fabs(o) <= 0.5 ? (std::cos(twoPi * o) + 1.0) * a : 0.0; }

    // The displacement at a position, of amplitude a.
    template <Shape kShape, class Position>
    double At(Position q, double a) const {
        if constexpr (kShape == Shape::Bump) return Bump(OffsetAt(q), a);
        else return std::sin(AngleAt(q)) * a;
    }
};

enum class Axis { X, Y };

// Modes 20 and 21: the wave runs along x or y (its position t the column or
// the row, counted from the far end with startFromEnd) and moves the x or y
// of the sample point by T(wave(t)). Where it moves along the axis it runs
// on, counting from the far end also turns the displacement round (an
// integer product, which wraps for the most negative amplitude).
template <Shape kShape, Axis kRunsAlong, Axis kMoving>
struct StraightWave {
    static constexpr bool kRunsAlongX = kRunsAlong == Axis::X, kMovesX = kMoving == Axis::X;

    explicit StraightWave(const PassInput& input)
        : wave(Wave::Of(input.params)),
          on(Wave::IsOn(input.params)),
          fromEnd(input.params.startFromEnd != 0),
          extent(kRunsAlongX ? input.source.width : input.source.height),
          amplitude(static_cast<double>(kRunsAlong == kMoving ? WrapMul(input.params.waveAmplitude, fromEnd ? -1 : 1)
                                                              : input.params.waveAmplitude)) {}

    bool Moves() const { return on; }
    bool ShiftAt(std::int32_t position, std::int32_t& shift) const {
        const std::int32_t t = fromEnd ? extent - 1 - position : position;
        return TruncToInt32(wave.At<kShape>(t, amplitude), shift);
    }

    Wave wave;
    bool on, fromEnd;
    std::int32_t extent;
    double amplitude;
};

// What the four ripples share: the wave, its amplitude and the centre.
struct Ripple {
    explicit Ripple(const PassInput& input)
        : wave(Wave::Of(input.params)),
          on(Wave::IsOn(input.params)),
          a(static_cast<double>(input.params.waveAmplitude)),
          centre(CentreOf(input)) {}
    bool Moves() const { return on; }

    Wave wave;
    bool on;
    double a;
    Centre centre;
};

// Slot 1, round rings: on the ray from the centre, at distance r + d, where
// d is the wave at the distance r.
template <Shape kShape>
struct RadialRound : Ripple {
    using Ripple::Ripple;
    Stretch ValueAt(std::int32_t dx, std::int32_t dy) const {
        const double r = Distance(dx, dy);
        return Stretch{r, r == 0.0 ? 0.0 : wave.At<kShape>(r, a)};
    }
    void Row(const Stretch* valueOfColumn, const SampledRow& row, RgbValue* to) const {
        SampleStretched(row, valueOfColumn, to);
    }
};

// Slot 2, square rings: the dominant axis (ties go to x) moves by the wave at
// its offset's size, negated for a negative offset, the other in proportion.
// The endless ripple truncates the displacement and divides in integers, the
// single one divides in reals and truncates after.
template <Shape kShape>
struct RadialSquare : Ripple {
    using Ripple::Ripple;
    double WaveAt(std::int32_t magnitude) const { return wave.At<kShape>(magnitude, a); }
    void Row(const double* waveOfColumn, double waveY, const SampledRow& row, RgbValue* to) const {
        SampleSquare(row, waveOfColumn, waveY, kShape == Shape::Bump, to);
    }
};

// Slot 3, diamond rings (m = |dx| + |dy|): both coordinates move by their
// share of the truncated wave at m.
template <Shape kShape>
struct RadialDiamond : Ripple {
    using Ripple::Ripple;
    DiamondShift ValueAt(std::int32_t m) const {
        DiamondShift v;
        v.ok = TruncToInt32(wave.At<kShape>(m, a), v.d);
        return v;
    }
    void Row(const DiamondShift* valueOfColumn, const SampledRow& row, RgbValue* to) const {
        SampleDiamond(row, valueOfColumn, to);
    }
};

// Slot 4: around the circle by the arc length d, the wave at the distance r:
// a turn by d / r. The centre itself (r = 0) stays.
template <Shape kShape>
struct AroundRound : Ripple {
    using Ripple::Ripple;
    Turn ValueAt(std::int32_t dx, std::int32_t dy) const {
        const double r = Distance(dx, dy);
        return r == 0.0 ? Turn{} : TurnBy(wave.At<kShape>(r, a) / r);
    }
    void Row(const Turn* valueOfColumn, const SampledRow& row, RgbValue* to) const {
        SampleTurned(row, valueOfColumn, true, to);
    }
};

constexpr unsigned kStraightReads =
    ReadsFrequency | ReadsAmplitude | ReadsPhase | ReadsOverflow | ReadsStartFromEnd | ReadsBackground;
constexpr unsigned kRippleReads = ReadsFrequency | ReadsAmplitude | ReadsPhase | ReadsOverflow | ReadsCentre | ReadsBackground;

template <Shape kShape>
constexpr std::array<SlotKernelMaker, 4> kStraightSlots = {
    Kernel<OncePerLine, StraightWave<kShape, Axis::X, Axis::X>>,  // squeezed and stretched along x
    Kernel<OncePerLine, StraightWave<kShape, Axis::Y, Axis::Y>>,  // along y
    Kernel<OncePerLine, StraightWave<kShape, Axis::X, Axis::Y>>,  // bent across x
    Kernel<OncePerLine, StraightWave<kShape, Axis::Y, Axis::X>>,  // across y
};

template <Shape kShape>
constexpr std::array<SlotKernelMaker, 4> kRippleSlots = {
    Kernel<MirrorSymmetry, RadialRound<kShape>>,
    Kernel<ColumnAndRowMemo, RadialSquare<kShape>>,
    Kernel<TableOverDiamond, RadialDiamond<kShape>>,
    Kernel<MirrorSymmetry, AroundRound<kShape>>,
};

// The amplitude moves pixels and the frequency counts cycles per pixel.
constexpr unsigned kWaveLengths = LengthAmplitude | LengthWavelength;

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeWave,
        .menuCaption = "波",
        .section = MenuSection::Distortions,
        .name = "wave",
        .reads = kStraightReads,
        .slots = kStraightSlots<Shape::Sine>,
        .lengths = kWaveLengths,
    },
    {
        .mode = ModeSingleWave,
        .menuCaption = "単波",
        .section = MenuSection::Distortions,
        .name = "single-wave",
        .reads = kStraightReads,
        .slots = kStraightSlots<Shape::Bump>,
        .lengths = kWaveLengths,
    },
    {
        .mode = ModeRipple,
        .menuCaption = "波紋",
        .section = MenuSection::Distortions,
        .name = "ripple",
        .reads = kRippleReads,
        .slots = kRippleSlots<Shape::Sine>,
        .lengths = kWaveLengths | LengthCentre,
    },
    {
        .mode = ModeSingleRipple,
        .menuCaption = "単波紋",
        .section = MenuSection::Distortions,
        .name = "single-ripple",
        .reads = kRippleReads,
        .slots = kRippleSlots<Shape::Bump>,
        .lengths = kWaveLengths | LengthCentre,
    },
};

}  // namespace

std::span<const ModeSpec> WaveModes() { return kModes; }

}  // namespace prismview
