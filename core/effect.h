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

// Fills scratch.perPixel (already sized to the buffer) for rows first..last-1.
using PrepareRows = void (*)(const PixelBuffer& source, const ProcessingParams& params,
                             PassScratch& scratch, std::int32_t first, std::int32_t last);

// Per-pass values that several slots of one mode share; filled before the
// first slot by the mode's Prepare function, read-only afterwards.
struct PassScratch {
    std::vector<std::int32_t> perPixel;  // one value per buffer index
    // Which function filled perPixel: values of the index alone stay good
    // for later passes on pictures of the same or a smaller size.
    PrepareRows preparedBy = nullptr;
};

struct SlotContext {
    const PixelBuffer& source;
    const ProcessingParams& params;
    std::int32_t slot;  // 1..4
    const PassScratch& scratch;
};

// Fills rows first..last-1 of the work buffer for one slot.
using SlotRunner = void (*)(const SlotContext& context, PixelBuffer& work, std::int32_t first,
                            std::int32_t last);
struct ModeEffects {
    std::array<SlotRunner, 4> runners{};  // null: the slot keeps its pixels
    PrepareRows prepare = nullptr;
    bool prepareReadsIndexOnly = false;  // prepare's values depend on the index alone
};

using EffectTable = std::array<ModeEffects, kModeCount>;

// The row loop of a point effect: f(pixel, x, y) returns the output pixel.
// Rows are walked in memory order; f is inlined into the loop.
template <class F>
inline void ForEachPixel(const SlotContext& context, PixelBuffer& work, std::int32_t first,
                         std::int32_t last, F&& f) {
    const std::size_t width = static_cast<std::size_t>(context.source.width);
    for (std::int32_t y = first; y < last; ++y) {
        const RgbValue* from = context.source.pixels.data() + static_cast<std::size_t>(y) * width;
        RgbValue* to = work.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x)
            to[x] = f(SplitPixel(from[x]), static_cast<std::int32_t>(x), y);
    }
}

}  // namespace prismview
