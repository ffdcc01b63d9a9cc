// What an effect sees of a pass, and the table through which the pass finds
// the effect of a mode and slot.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/params.h"
#include "core/pixels.h"

namespace prismview {

struct PassScratch;

// Fills scratch.perPixel (already sized to the picture) for rows first..last-1.
using PrepareRows = void (*)(const SourceRows& source, const ProcessingParams& params, PassScratch& scratch,
                             std::int32_t first, std::int32_t last);

// Per-pass values that several slots of one mode share, one per pixel index;
// filled by the mode's Prepare function for each range of rows just before
// the slots run on it.
struct PassScratch {
    std::vector<std::int32_t> perPixel;  // one value per buffer index
    // Which function filled perPixel: values of the index alone stay good
    // for later passes on pictures of the same or a smaller size.
    PrepareRows preparedBy = nullptr;
};

// Values one slot works out once per pass before any row (a table over the
// lightness, a wave per column), read-only while the rows run.
struct SlotTables {
    std::vector<std::int32_t> ints;
    std::vector<double> reals;
    std::vector<RgbValue> colours;
    std::vector<unsigned char> flags;
    std::vector<std::uint64_t> wide;
    std::int64_t origin = 0;  // where a table indexed by a value starts
};

struct SlotContext {
    SourceRows source;  // the base image, read in place
    const ProcessingParams& params;
    std::int32_t slot;  // 1..4
    const PassScratch& scratch;
    const SlotTables& tables;
};

// Fills `tables` for one slot of one pass, before any row.
using SlotSetup = void (*)(const SlotContext& context, SlotTables& tables);
// Fills rows first..last-1 of `out` (the slot's image, in place) for one slot.
using SlotRunner = void (*)(const SlotContext& context, const TargetRows& out, std::int32_t first,
                            std::int32_t last);
struct ModeEffects {
    std::array<SlotRunner, 4> runners{};  // null: the slot keeps its pixels
    PrepareRows prepare = nullptr;
    bool prepareReadsIndexOnly = false;  // prepare's values depend on the index alone
    std::array<SlotSetup, 4> setups{};   // null: the slot needs no tables
};

using EffectTable = std::array<ModeEffects, kModeCount>;

// The row loop of every effect: row(y, to) fills output row y (to points at
// its first pixel) with colours; the loop makes them opaque for the screen.
// kOpaqueAlready: row writes opaque pixels itself, in its own loop.
template <bool kOpaqueAlready = false, class RowFn>
inline void ForEachRow(const TargetRows& out, std::int32_t first, std::int32_t last, RowFn&& row) {
    const std::int32_t width = out.width;  // a local: the pixels written might alias out.width
    for (std::int32_t y = first; y < last; ++y) {
        RgbValue* to = out.Row(y);
        row(y, to);
        if constexpr (!kOpaqueAlready)
            for (std::int32_t x = 0; x < width; ++x) to[x] |= kOpaque;
    }
}

// A point effect: f(pixel, x, y) returns the output colour of the source
// pixel at (x, y). f is inlined into the loop.
template <class F>
inline void ForEachPixel(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last,
                         F&& f) {
    const std::int32_t width = out.width;
    ForEachRow<true>(out, first, last, [&](std::int32_t y, RgbValue* to) {
        const RgbValue* from = c.source.Row(y);
        for (std::int32_t x = 0; x < width; ++x) to[x] = f(SplitPixel(from[x]), x, y) | kOpaque;
    });
}

}  // namespace prismview
