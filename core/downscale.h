// Smaller copies of a picture for the screen: each pixel of the copy is the
// average of the block of source pixels it stands for, so a fine pattern
// turns into its mean colour instead of shimmering.
#pragma once

#include <cstdint>

#include "core/bitmap.h"
#include "core/parallel.h"

namespace prismview {

// A width x height copy of the source, no larger than it in either direction.
// Column c of the copy averages source columns c*W/width up to (c+1)*W/width
// (exclusive, truncating), rows likewise, rounded to nearest. Null when the
// size is not positive, larger than the source, or cannot be had.
BitmapHandle Downscale(const Bitmap& source, std::int32_t width, std::int32_t height,
                       int threads = DefaultThreadCount());

// Rows first..last-1 of such a copy (top-down, clamped to the copy) into
// `copy`, whose size is the copy's; false when it is larger than the source.
bool DownscaleRows(const Bitmap& source, Bitmap& copy, std::int32_t first, std::int32_t last);

// Where block i of n begins in a run of `size` pixels: copy row r averages
// source rows CopyBlockStart(r, height, sourceHeight) up to that of r + 1.
std::int32_t CopyBlockStart(std::int32_t i, std::int32_t n, std::int32_t size);

}  // namespace prismview
