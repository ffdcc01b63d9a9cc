// The probe: a picture point read on all five images at once. The pointer
// over any tile names one point of the picture, the same on every tile; up
// to four more can be pinned. Points count from the picture's top left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/geometry.h"
#include "app/window.h"

namespace prismview {

inline constexpr std::size_t kMaxPinnedProbes = 4;

// The picture point under a client point, on whichever tile it lies (the
// single image in the single view), or none off the pictures.
std::optional<Point> PicturePointAt(const AppState& state, Point client);
// Where a picture point shows on a tile (0..4; the single view's image
// stands where tile 0 does): the middle of the screen pixels that show it.
Point ScreenPointOf(const AppState& state, std::int32_t slot, Point picture);

// The colour of one image at a picture point: the full-size image's pixel,
// never a shrunk copy's; none when the image or the point is not there.
std::optional<RgbValue> ColourAt(const ImageSet& images, std::int32_t slot, Point picture);

// One line per probe, the pointer's first, then the pinned ones: the point
// and, for the base image and the four derived images, their values.
std::vector<std::string> ProbeLines(const AppState& state);

// Middle click (or Shift with the left button) at a client point: pins a
// probe there, or takes away a pinned one within three screen pixels of it.
// The oldest goes when a fifth is pinned. Repaints when anything changed.
void TogglePin(Window& window, AppState& state, Point client);

// The probe and the hovered tile worked out again from where the pointer is,
// after the view changed under it (a scroll, a zoom, a refit, another mode,
// a new pass); nothing changes while the pointer is off the client area.
void FollowPointer(AppState& state);

// Whether a slot's tile shows a picture of its own: the base and every
// derived image but the blank ones whose label is "－". Probes mark and
// list only those.
bool ShowsPicture(const AppState& state, std::int32_t slot);

}  // namespace prismview
