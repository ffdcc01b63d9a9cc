// Mode 24 turns the picture about the centre point (three twists and a zoom),
// mode 25 shears and stretches it linearly. The frequency fraction f is an
// angle in radians for the vortex and a slope for the slide.
#include "effects/distortion_schedules.h"
#include "effects/mode_table.h"

namespace prismview {

namespace {

// f, and the centre; a zero denominator leaves every pixel in place.
struct AboutCentre {
    explicit AboutCentre(const PassInput& input)
        : on(input.params.waveFreqDen != 0),
          f(on ? static_cast<double>(input.params.waveFreqNum) / static_cast<double>(input.params.waveFreqDen) : 0.0),
          a(static_cast<double>(input.params.waveAmplitude)),
          centre(CentreOf(input)) {}
    bool Moves() const { return on; }

    bool on;
    double f, a;
    Centre centre;
};

// Vortex slot 1: the whole picture turned by f. (At the centre itself the
// turn would be 0, but the offset there is 0 too, so f serves every pixel.)
struct TurnAll : AboutCentre {
    explicit TurnAll(const PassInput& input) : AboutCentre(input), turn(TurnBy(f)) {}
    void Row(const SampledRow& row, RgbValue* to) const { SampleTurned(row, &turn, false, to); }
    Turn turn;
};

// Vortex slots 2 and 3: turned by k = f * amplitude / r (twists most near
// the centre) or k = f * r / amplitude (twists most far out).
enum class Twist { Inner, Outer };
template <Twist kTwist>
struct TwistByDistance : AboutCentre {
    explicit TwistByDistance(const PassInput& input) : AboutCentre(input) {
        if (kTwist == Twist::Outer && a == 0.0) on = false;  // k stays 0 everywhere
    }
    Turn ValueAt(std::int32_t dx, std::int32_t dy) const {
        const double r = Distance(dx, dy);
        if constexpr (kTwist == Twist::Inner) return TurnBy(r != 0.0 ? (f * a) / r : 0.0);
        else return TurnBy((f * r) / a);
    }
    void Row(const Turn* valueOfColumn, const SampledRow& row, RgbValue* to) const {
        SampleTurned(row, valueOfColumn, true, to);
    }
};

// Vortex slot 4: the offset scaled by 1 + f, a zoom about the centre:
// centre + T(scale * dx), centre + T(scale * dy). That is the turn with
// cosine 1 + f and sine 0: scale * dx - 0 * dy is scale * dx but for the sign
// of a zero, and both zeros truncate to 0 (every factor is finite, so 0 * dy
// is a zero); 0 * dx + scale * dy is scale * dy alike.
struct Zoom : AboutCentre {
    explicit Zoom(const PassInput& input) : AboutCentre(input), scale{1.0 + f, 0.0} {}
    void Row(const SampledRow& row, RgbValue* to) const { SampleTurned(row, &scale, false, to); }
    Turn scale;
};

// Mode 25: one coordinate moves by T(offset * f), the offset from the centre
// column (kFrom X) or row: slot 1 columns slide vertically, slot 2 stretches
// across the centre column, slot 3 rows slide sideways, slot 4 stretches
// across the centre row. The shift depends on one line alone (a column or a
// row), so it also serves the schedule that works it out once per line.
enum class Axis { X, Y };
template <Axis kFrom, Axis kMoving>
struct Slide : AboutCentre {
    using AboutCentre::AboutCentre;
    static constexpr bool kRunsAlongX = kFrom == Axis::X, kMovesX = kMoving == Axis::X;
    bool ShiftAt(std::int32_t position, std::int32_t& shift) const {
        const std::int32_t offset = WrapSub(position, kRunsAlongX ? centre.x : centre.y);
        return TruncToInt32(static_cast<double>(offset) * f, shift);
    }
    // The sample points one at a time, for the plane sampler.
    void Row(const SampledRow& row, RgbValue* to) const {
        static thread_local std::vector<SamplePoint> points;
        points.resize(static_cast<std::size_t>(row.last));
        for (std::int32_t x = row.first; x < row.last; ++x) {
            SamplePoint& point = points[static_cast<std::size_t>(x)];
            std::int32_t shift = 0;
            point = {x, row.y, ShiftAt(kRunsAlongX ? x : row.y, shift)};
            (kMovesX ? point.x : point.y) = WrapAdd(kMovesX ? x : row.y, shift);
        }
        SamplePoints(row, points.data(), to);
    }
};

// A sample point off the picture is moved toward the centre by the edge
// treatment, which moves its other coordinate too: only that treatment needs
// the plane sampler; the others sample along the moved axis, a line at a time.
template <Axis kFrom, Axis kMoving>
std::unique_ptr<SlotKernel> SlideKernel(const PassInput& input) {
    if (input.params.overflowMode == OverflowEdge) return Kernel<EachSamplePoint, Slide<kFrom, kMoving>>(input);
    return Kernel<OncePerLine, Slide<kFrom, kMoving>>(input);
}

constexpr unsigned kGeometry = ReadsFrequency | ReadsOverflow | ReadsCentre | ReadsBackground;

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeVortex,
        .menuCaption = "渦",
        .section = MenuSection::Distortions,
        .name = "vortex",
        .reads = kGeometry | ReadsAmplitude,
        .slots = {Kernel<EachSamplePoint, TurnAll>,
                   Kernel<MirrorSymmetry, TwistByDistance<Twist::Inner>>,
                   Kernel<MirrorSymmetry, TwistByDistance<Twist::Outer>>,
                   Kernel<EachSamplePoint, Zoom>},
        .lengths = LengthAmplitude | LengthCentre,
    },
    {
        .mode = ModeSlide,
        .menuCaption = "スライド",
        .section = MenuSection::Distortions,
        .name = "slide",
        .reads = kGeometry,
        .slots = {SlotKernelMaker{SlideKernel<Axis::X, Axis::Y>},
                   SlotKernelMaker{SlideKernel<Axis::X, Axis::X>},
                   SlotKernelMaker{SlideKernel<Axis::Y, Axis::X>},
                   SlotKernelMaker{SlideKernel<Axis::Y, Axis::Y>}},
        .lengths = LengthCentre,
    },
};

}  // namespace

std::span<const ModeSpec> VortexSlideModes() { return kModes; }

}  // namespace prismview
