// Vector kernels of the point effects that cost most per pixel. Each runs
// over a run of pixels and gives every pixel exactly what its scalar formula
// gives (with the top byte opaque); it is compiled for every vector target
// Highway supports and runs on the best one the processor has.
#pragma once

#include <cstdint>

#include "core/pixels.h"
#include "core/shifts.h"

namespace prismview {

// Modes 8 and 9: ShiftLightness of every pixel by the level (additive) or by
// the level scaled by the pixel's distance to white or black out of 255
// (simultaneous), keeping the channel ratios or blending straight.
struct LightnessRun {
    std::int32_t level = 0;  // 0..510
    bool darken = false;
    bool simultaneous = false;
    bool straight = false;  // blend 1
};
void ShiftLightnessRun(const RgbValue* from, RgbValue* to, std::int32_t count, const LightnessRun& run);

// Modes 1, 2, 6 and 7: RotateHue of every pixel by `angle` (any 32-bit
// value), turned or mirrored. With `colours` (256 entries), each pixel's
// result is colours[red of the rotated pixel] instead.
struct HueRun {
    std::int32_t angle = 0;
    bool mirror = false;
    const RgbValue* colours = nullptr;
};
void RotateHueRun(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run);

// Modes 10 and 11: ApplySaturation of every pixel with the plan of its (max,
// min) pair, packed into one word each (PackSaturationPlan) and numbered
// max * (max + 1) / 2 + min: one look-up a pixel.
void ApplySaturationRun(const RgbValue* from, RgbValue* to, std::int32_t count, const std::uint32_t* plans);
// A plan as one word: its fixed result (opaque, so the top bit is set), or lo
// | hi << 8. False for a range outside 0..255, which one word cannot hold.
inline bool PackSaturationPlan(const SaturationPlan& plan, std::uint32_t& word) {
    if (plan.fixed != 0) {
        word = plan.fixed;
        return true;
    }
    if (plan.lo < 0 || plan.lo > 255 || plan.hi < 0 || plan.hi > 255) return false;
    word = static_cast<std::uint32_t>(plan.lo) | static_cast<std::uint32_t>(plan.hi) << 8;
    return true;
}

// Mode 5: the coloured dots of every pixel; noise holds the pixels' raw dot
// noise (DotNoiseRaw of their index).
struct ColourDotsRun {
    bool sixColours = false;  // the sector's corner colours, else the pure colour
    bool whiteBlack = false;  // white or black outside min..max, else the grey
};
void ColourDotsRow(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count,
                   const ColourDotsRun& run);

// Columns first..last-1 of one output row whose sample points are the
// offsets from the centre turned (pairs of cos and sin, as Turned does it) or
// stretched (pairs of r and d: ((r + d) * offset) / r, the pixel itself where
// r = 0, as the round ripple does it), under the background treatment: to[x]
// is the source pixel there, as SamplePlane finds it, or the background.
// pairs holds one pair for every column (perColumn) or one for all. False,
// with nothing written, for a picture too large for 32-bit pixel indices.
struct OffsetRow {
    SourceRows source;
    std::int32_t cx = 0, cy = 0, y = 0;
    std::int32_t first = 0, last = 0;
    const double* pairs = nullptr;
    bool perColumn = false;
    bool stretch = false;
    RgbValue background = 0;  // opaque
};
bool SampleOffsetRow(const OffsetRow& row, RgbValue* to);

// Columns first..last-1 of one output row of the diamond ripple, under the
// background treatment: each offset moves by its share of the displacement
// at m = |dx| + |dy|, (dx * d) / m and (dy * d) / m (32-bit products that
// wrap, truncating quotients; the centre stays). displacement[k] and
// valid[k] (0: no 32-bit displacement) are those of m = origin + k and cover
// every m of the row. False, with nothing written, as for SampleOffsetRow.
struct DiamondRow {
    SourceRows source;
    std::int32_t cx = 0, cy = 0, y = 0;
    std::int32_t first = 0, last = 0;
    const std::int32_t* displacement = nullptr;
    const std::int32_t* valid = nullptr;
    std::int64_t origin = 0;
    RgbValue background = 0;  // opaque
};
bool SampleDiamondRow(const DiamondRow& row, RgbValue* to);

// Columns first..last-1 of one output row of the square ripple, under the
// background treatment: the dominant offset (ties to x) moves by the wave at
// its size (waveOfColumn[x] or waveY), negated for a negative offset, the
// other in proportion; bump: in reals, truncated after; else truncated first
// and divided in 32-bit integers (products wrap). False as for SampleOffsetRow.
struct SquareRow {
    SourceRows source;
    std::int32_t cx = 0, cy = 0, y = 0;
    std::int32_t first = 0, last = 0;
    const double* waveOfColumn = nullptr;
    double waveY = 0.0;
    bool bump = false;
    RgbValue background = 0;  // opaque
};
bool SampleSquareRow(const SquareRow& row, RgbValue* to);

}  // namespace prismview
