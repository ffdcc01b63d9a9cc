// The probe: a picture point read on all five images at once. The pointer
// over any tile names one point of the picture, the same on every tile; up
// to four more can be pinned. Points count from the picture's top left.
#pragma once

#include <array>
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

// One probe as the probe panel lists it: its number (0 for the pointer's,
// 1 to 4 for the pinned ones, as drawn beside their marks), its point, and
// the colour of each of the five images there (none for a blank tile or a
// missing image).
struct ProbeRow {
    std::int32_t number = 0;
    Point point;
    std::array<std::optional<RgbValue>, kSlotCount> colours{};
};

// The pointer's probe first (when there is one), then the pinned ones.
std::vector<ProbeRow> ProbeRows(const AppState& state);

// The table as CSV, a header line first: one line per probe and shown
// image, the probe's number ("pointer" for the pointer's), the point, the
// image's slot, its values and its caption.
std::string ProbeTableCsv(const AppState& state);

// The status bar's probe line: the pointer's point and its values on the
// tile under it (the single image in the single view); empty without one.
std::string PointerProbeLine(const AppState& state);

// Middle click (or Shift with the left button) at a client point: pins a
// probe there, or takes away a pinned one within three screen pixels of it.
// A fifth is refused with a word in the status bar. The first pin opens the
// probe panel. Repaints when anything changed.
void TogglePin(Window& window, AppState& state, Point client);
// Takes away the pinned probe of that number (1 to 4), or every one.
void RemovePin(Window& window, AppState& state, std::int32_t number);
void ClearPins(Window& window, AppState& state);
// Shows or hides the probe panel.
void ToggleProbePanel(Window& window, AppState& state);

// The probe and the hovered tile worked out again from where the pointer is,
// after the view changed under it (a scroll, a zoom, a refit, another mode,
// a new pass); nothing changes while the pointer is off the client area.
void FollowPointer(AppState& state);

// Whether a slot's tile shows a picture of its own: the base and every
// derived image but the blank ones whose label is "－". Probes mark and
// list only those.
bool ShowsPicture(const AppState& state, std::int32_t slot);

}  // namespace prismview
