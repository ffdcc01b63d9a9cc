// prismview-batch --overview: every mode's four pictures on one sheet, as the
// window's browser shows them (from the base shrunk to thumbnail size, with
// the lengths scaled), each with its slot's label under it and the mode's
// caption under the four. Needs a QGuiApplication, for the fonts.
#pragma once

#include <cstdint>
#include <string>

#include "core/bitmap.h"
#include "core/params.h"

namespace prismview {

inline constexpr std::int32_t kOverviewDefaultSize = 160;
inline constexpr std::int32_t kOverviewMinSize = 16;
inline constexpr std::int32_t kOverviewMaxSize = 512;
// Modes side by side on the sheet, in the mode menu's order row by row.
inline constexpr std::int32_t kOverviewModesAcross = 5;

// The sheet of `base` with the thumbnails `longSide` pixels on their longer
// side at most (never enlarged); null when memory for it is lacking.
BitmapHandle MakeOverview(const Bitmap& base, const ProcessingParams& params, std::int32_t longSide);

}  // namespace prismview
