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

}  // namespace prismview
