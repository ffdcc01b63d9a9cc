// How the window shows the pictures: shrunk to fit the client area, or at
// their own size (等倍表示) with scroll bars when they are larger. Positions
// are screen pixels, the physical pixels of the screen, so that at scale 1
// one picture pixel covers one screen pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/app_state.h"
#include "app/layout.h"
#include "app/window.h"
#include "core/bitmap.h"

namespace prismview {

// The swatches beside the single image, for the mode of the shown pictures.
Swatches ShownSwatches(const AppState& state);

// How the view stands now: the arrangement, the scale (fitted to the client
// area unless the view scrolls), the content, the scroll bars and the
// scroll offset within their limits. Worked out anew wherever it is needed.
ViewFit FitOf(const AppState& state);

// Where the view paints everything and which tile a point hits.
Layout LayoutOf(const AppState& state);

// The size each picture is shown at: the image size at the view's scale.
Size ShownSize(const AppState& state);

// What the current view paints at that scale; nothing without an image.
Size ContentSize(const AppState& state, const Scale& scale);

// Stores the scroll offset the view shows, within the limits of its fit:
// whatever asks for a repaint may have moved a limit, and a limit that
// shrinks forgets what lay beyond it.
void KeepScrollInLimits(AppState& state);

// Whether the view shows that slot through a shrunk copy: the single view
// shows the base beside a derived picture too while it compares or splits.
inline bool WantsScaledCopy(const ViewState& view, const ViewFit& fit, std::int32_t slot) {
    return fit.scale.Shrinks() &&
           (view.Gallery() || view.selectedImage == slot || (slot == 0 && (view.split || view.comparing)));
}
// Makes the shrunk copies the view shows and lacks (or has of another size)
// and lets go of those it does not show; the paint calls it first. The pass
// makes its own pictures' copies, so after a pass or a key press there is
// nothing left to make.
void MakeShownCopies(AppState& state);

// The bitmap to draw for a slot (the base's for a derived slot while the
// compare key is held): the picture itself at scale 1, else the
// preview of a pass on its way or the shrunk copy (null while there is
// none of the shown size).
const Bitmap* ShownBitmap(const AppState& state, std::int32_t slot);

// Scrolls so that content point (x, y) is at the top left, as far as the
// scroll limits let it; repaints when that moved anything.
void ScrollTo(Window& window, AppState& state, std::int64_t x, std::int64_t y);

// The mouse wheel in screen pixels, positive when turned away from the user
// (up) or to the left. With Shift a vertical turn scrolls sideways.
void OnWheel(Window& window, AppState& state, std::int32_t deltaX, std::int32_t deltaY, bool shift);

// PageUp, PageDown, Home and End in a view that scrolls: a page up or
// down, to the top or the bottom; with `sideways` (Shift) left and right.
enum class ScrollMove { PageBack, PageForward, Start, End };
void ScrollByKey(Window& window, AppState& state, ScrollMove move, bool sideways);

// The menu item 等倍表示: switches 1:1 on or off, with its check mark.
void ToggleActualSize(Window& window, AppState& state);

// The zoom steps, from a sixteenth to 32 times; above 1 a picture pixel
// shows as a square of screen pixels.
std::span<const Scale> ZoomSteps();
// Zooms `steps` steps in (positive) or out from the scale shown now; the
// content point under `about` (a client point; the client area's middle
// when none) stays where it is.
void Zoom(Window& window, AppState& state, std::int32_t steps, std::optional<Point> about = std::nullopt);
// A new picture in place of the base, `before` the old one's size: it starts
// fitted at the top left (the zoom steps start again; 1:1 chosen with
// 等倍表示 stays chosen). Pinned probes stay only on a picture of the same
// size (made the base, an undo), where their points still mean the same.
void StartNewPicture(AppState& state, Size before, bool opened);
// Back to the fitted view (no zoom step, not 1:1).
void FitToWindow(Window& window, AppState& state);
// Shows or hides the status bar, with its check mark.
void ToggleStatusBar(Window& window, AppState& state);

// The menu item 画像名を常に表示: every tile's caption on a line below it,
// or (off) only the hovered tile's label over it.
void ToggleCaptions(Window& window, AppState& state);

// The menu item 比較, and its line: where it stands in the client area (its
// screen column) while the single view shows a derived picture split with
// the base; none otherwise.
void ToggleSplitView(Window& window, AppState& state);
std::optional<std::int32_t> SplitLineX(const AppState& state);
// Whether a client point grabs the line: within a few screen pixels of it,
// beside the picture.
bool GrabsSplitLine(const AppState& state, Point point);
// Puts the line under the client column, within the picture.
void DragSplitLine(Window& window, AppState& state, std::int32_t x);

}  // namespace prismview
