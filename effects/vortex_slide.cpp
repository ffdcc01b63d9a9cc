// Mode 24 turns the picture about the centre point (three twists and a zoom),
// mode 25 shears and stretches it linearly. The frequency fraction f is an
// angle in radians for the vortex and a slope for the slide.

#include "effects/effect_table.h"
#include "effects/sampling.h"

namespace prismview {

namespace {

double Frequency(const ProcessingParams& p) {
    return static_cast<double>(p.waveFreqNum) / static_cast<double>(p.waveFreqDen);
}

// Slots 1 to 3 turn the offset by an angle k, slot 4 scales it by 1 + k.
// Slot 1: k = f; slot 2: k = f * amplitude / r (twists most near the
// centre); slot 3: k = f * r / amplitude (twists most far out).
template <int kSlot>
void VortexRows(const SlotContext& c, PixelBuffer& work, std::int32_t first, std::int32_t last) {
    const ProcessingParams& p = c.params;
    // k stays 0 everywhere: every pixel in place.
    if (p.waveFreqDen == 0 || (kSlot == 3 && p.waveAmplitude == 0)) return CopyRows(c, work, first, last);
    const double f = Frequency(p);
    const double a = static_cast<double>(p.waveAmplitude);
    const Centre centre = CentreOf(c);
    // Slots 1 and 4 leave k at 0 at the centre itself, where the offset is 0
    // and turning or scaling it by f moves nothing either; so f serves for
    // every pixel and its cosine and sine are taken once.
    if constexpr (kSlot == 1) {
        const Turn turn = TurnBy(f);
        SamplePlaneRows(c, work, first, last, centre.x, centre.y, [&](std::int32_t x, std::int32_t y) {
            const auto [dx, dy] = OffsetFrom(centre, x, y);
            return Turned(centre, dx, dy, turn);
        });
    } else if constexpr (kSlot == 4) {
        const double scale = 1.0 + f;
        SamplePlaneRows(c, work, first, last, centre.x, centre.y, [&](std::int32_t x, std::int32_t y) {
            const auto [dx, dy] = OffsetFrom(centre, x, y);
            SamplePoint s;
            if (!AddTruncated(centre.x, scale * static_cast<double>(dx), s.x) ||
                !AddTruncated(centre.y, scale * static_cast<double>(dy), s.y))
                return InvalidPoint();
            return s;
        });
    } else {
        // The angle depends on the distance alone: once per mirrored pair.
        RowMirror<Turn> mirror(c.source.width, centre.x);
        SamplePlaneRows(c, work, first, last, centre.x, centre.y, [&](std::int32_t x, std::int32_t y) {
            const Offset offset = OffsetFrom(centre, x, y);  // no structured binding: lambdas below use it
            const std::int32_t dx = offset.dx, dy = offset.dy;
            return Turned(centre, dx, dy, mirror.At(x, [&] {
                const double r = Distance(dx, dy);
                double k = 0.0;
                if constexpr (kSlot == 2) {
                    if (r != 0.0) k = (f * a) / r;
                } else {
                    k = (f * r) / a;
                }
                return TurnBy(k);
            }));
        });
    }
}

// One coordinate moves by T(offset * s): slot 1 columns slide vertically,
// slot 2 stretches across the centre column, slot 3 rows slide sideways,
// slot 4 stretches across the centre row.
template <int kSlot>
void SlideRows(const SlotContext& c, PixelBuffer& work, std::int32_t first, std::int32_t last) {
    const ProcessingParams& p = c.params;
    // s = 0: every pixel in place.
    if (p.waveFreqDen == 0) return CopyRows(c, work, first, last);
    const double s = Frequency(p);
    const Centre centre = CentreOf(c);
    SamplePlaneRows(c, work, first, last, centre.x, centre.y, [&](std::int32_t x, std::int32_t y) {
        const std::int32_t offset = kSlot <= 2 ? WrapSub(x, centre.x) : WrapSub(y, centre.y);
        const bool movesX = kSlot == 2 || kSlot == 3;
        SamplePoint point{x, y};
        if (!AddTruncated(movesX ? x : y, static_cast<double>(offset) * s, movesX ? point.x : point.y))
            return InvalidPoint();
        return point;
    });
}

}  // namespace

void AddVortexSlideEffects(EffectTable& table) {
    table[ModeVortex].runners = {VortexRows<1>, VortexRows<2>, VortexRows<3>, VortexRows<4>};
    table[ModeSlide].runners = {SlideRows<1>, SlideRows<2>, SlideRows<3>, SlideRows<4>};
}

}  // namespace prismview
