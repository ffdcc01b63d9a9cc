// Sweeps: one parameter stepped from a start to an end value, each step's
// pass (the window's own, so every frame is exact) shrunk to a frame of one
// tile or of the whole gallery, and the frames handed to a sink.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/geometry.h"
#include "core/bitmap.h"
#include "core/parameter_table.h"
#include "io/sweep_files.h"

namespace prismview {

// The parameter a sweep steps: its place in SweptFields() (core/parameter_table.h),
// which is also its place in the sweep dialog's list.
using SweepParameter = std::int32_t;
// The parameter of that name, or none.
std::optional<SweepParameter> FindSweepParameter(std::string_view name);
// Its field and the row the field belongs to.
const SweptField& SweptFieldOf(SweepParameter parameter);

inline constexpr std::int32_t kMaxSweepFrames = 1000;
inline constexpr std::int32_t kGallery = -1;        // SweepRequest::slot: all five tiles
inline constexpr std::int32_t kDefaultLongSide = 1024;
inline constexpr std::int32_t kGalleryGap = 4;      // white between the gallery's tiles

struct SweepRequest {
    SweepParameter parameter = 0;  // the table's first, the hue: all the way round
    std::int32_t from = kHueRange.lo;
    std::int32_t to = kHueRange.hi;
    std::int32_t frames = 60;      // 1..kMaxSweepFrames
    std::int32_t slot = kGallery;  // 0..4: that tile alone
    std::int32_t longSide = kDefaultLongSide;  // a frame's longer side at most; 0: the picture's size
    SweepFormat format = SweepFormat::Webp;
    bool lossless = true;
    std::int32_t quality = 90;
};

// The value of frame `index`: from + (to - from) * index / (frames - 1),
// rounded half away from zero (the start value alone for one frame).
std::int32_t SweepValue(const SweepRequest& request, std::int32_t index);

// A tile's size in the frames of a picture of that size, and the frame's.
Size SweepTileSize(const SweepRequest& request, Size picture);
Size SweepFrameSize(const SweepRequest& request, Size picture);

// Frame `index` from a copy of the base: the pass of `params` with the swept
// parameter at its value, the tile (or the gallery of all five, three by
// two) shrunk with the view's area average. Null when memory ran out.
BitmapHandle SweepFrame(const Bitmap& base, const ProcessingParams& params, const SweepRequest& request,
                        std::int32_t index);

enum class SweepResult { Written, Cancelled, Failed };

// Makes every frame and writes them to `path` in the request's format.
// `progress` hears the frames done after each one, and again between a
// frame's steps; it stops the sweep by answering false. A stopped or failed
// sweep leaves nothing behind.
SweepResult RunSweep(const Bitmap& base, const ProcessingParams& params, const SweepRequest& request,
                     const std::string& path, const std::function<bool(std::int32_t done)>& progress,
                     std::string& reason);

}  // namespace prismview
