// How the window shows the pictures: shrunk to fit the client area, or at
// their own size (等倍表示) with scroll bars when they are larger. Positions
// are screen pixels, the physical pixels of the screen, so that at scale 1
// one picture pixel covers one screen pixel.
#pragma once

#include <cstdint>

#include "app/window.h"
#include "core/bitmap.h"

namespace prismview {

struct AppState;

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Pictures are shown at num / den of their size; never above 1.
struct Scale {
    std::int64_t num = 1;
    std::int64_t den = 1;
    bool Shrinks() const { return num < den; }
};

struct ViewState {
    // Given by the window.
    bool actualSize = false;           // 等倍表示: never shrunk, scrolls instead
    Size client;                       // the whole client area; empty until the window knows it
    std::int32_t scrollBarExtent = 0;  // the thickness of a scroll bar
    std::int32_t textHeight = 0;       // one line of text, as the caption below a single image
    std::int32_t swatchTextWidth = 0;  // the wider of the two swatch texts

    // Worked out by FitView from the above and the rest of the state.
    Scale scale{};
    Size content{};   // all that the view paints, at that scale
    Size viewport{};  // the client area less the scroll bars
    bool horizontalBar = false;
    bool verticalBar = false;
    std::int32_t scrollX = 0;  // the content point at the client area's top left
    std::int32_t scrollY = 0;
};

// The size each picture is shown at: the image size at the view's scale.
Size ShownSize(const AppState& state);

// The largest scale, at most 1, at which the current view fits the client
// area: the grid of tiles in the gallery, the image with its caption and
// swatches in the single view. Always 1 at 1:1, without an image, and while
// the client area is unknown.
Scale FitScale(const AppState& state);

// What the current view paints at that scale: the grid of tiles, or the
// image with its caption and swatches.
Size ContentSize(const AppState& state, const Scale& scale);

// Works out the scale, the content, the scroll bars and the scroll limits
// from what the window gave; keeps the scroll offset within them.
void FitView(AppState& state);

// FitView, then makes the shrunk copies of the pictures the view shows: anew
// when the pictures changed (after each pass), else only those missing or of
// another size. The one place copies are made; a paint never makes any.
void RefreshView(AppState& state, bool picturesChanged);
// Whether the view shows that slot through a shrunk copy.
bool WantsScaledCopy(const AppState& state, std::int32_t slot);

// The bitmap to draw for a slot: the picture itself at scale 1, else its
// shrunk copy (null while there is none of the shown size).
const Bitmap* ShownBitmap(const AppState& state, std::int32_t slot);

// Scrolls so that content point (x, y) is at the top left, as far as the
// scroll limits let it; repaints when that moved anything.
void ScrollTo(Window& window, AppState& state, std::int64_t x, std::int64_t y);

// The mouse wheel in screen pixels, positive when turned away from the user
// (up) or to the left. With Shift a vertical turn scrolls sideways.
void OnWheel(Window& window, AppState& state, std::int32_t deltaX, std::int32_t deltaY, bool shift);

// The menu item 等倍表示: switches 1:1 on or off, with its check mark.
void ToggleActualSize(Window& window, AppState& state);

}  // namespace prismview
