// The browser (全加工の一覧): every mode's four pictures at once, made from
// the base shrunk to thumbnail size with the lengths scaled as the preview
// scales them, so that its cost follows the window, not the picture. Its
// arrangement lives here, for painting and pointing alike, with the making
// of its thumbnails and its opening and closing.
#pragma once

#include <cstdint>
#include <span>

#include "app/app_state.h"
#include "app/geometry.h"
#include "app/view_state.h"
#include "app/window.h"
#include "core/mode.h"

namespace prismview {

// Screen pixels between two thumbnails (and between the caption and the
// first), between two rows, and between two groups of rows side by side.
inline constexpr std::int32_t kBrowserGap = 2;
inline constexpr std::int32_t kBrowserGroupGap = 12;

// The modes of the browser's rows, in the mode menu's order (colours, then
// distortions).
std::span<const ModeSpec* const> BrowserModes();

// Where the browser puts everything in the client area: the modes' rows
// top to bottom in groups that stand side by side, each row a caption and
// four thumbnails right of it. Of the arrangements (one group, two, ...)
// the one that shows the thumbnails largest, never above the picture's size.
class BrowserLayout {
public:
    BrowserLayout(const ViewState& view, Size picture);

    std::int32_t Groups() const { return groups_; }
    // The thumbnails' scale and size: the picture at that scale, at least a pixel.
    const Scale& ThumbnailScale() const { return scale_; }
    Size Thumbnail() const { return thumbnail_; }
    // Row `row`'s thumbnail of slot 1..4 (empty for any other), and its
    // caption's top left.
    Rect Thumb(std::int32_t row, std::int32_t slot) const;
    Point Caption(std::int32_t row) const;
    // The hovered thumbnail's frames, as the gallery's (black outside,
    // white inside), and the top left of its label.
    Rect InnerFrame(std::int32_t row, std::int32_t slot) const;
    // The thumbnail under a client point; none between and beside them.
    BrowserSpot At(Point point) const;

private:
    Point RowOrigin(std::int32_t row) const;

    std::int32_t groups_ = 1;
    std::int32_t rowsPerGroup_ = 1;
    Scale scale_{};
    Size thumbnail_{};
    std::int32_t captionWidth_ = 0;
    std::int32_t rowPitch_ = 0;    // from one row's top to the next's
    std::int32_t groupPitch_ = 0;  // from one group's left to the next's
    std::int32_t textTop_ = 0;     // of the caption, below the row's top
};

BrowserLayout BrowserLayoutOf(const AppState& state);

// Whether a slot of a mode's row stays blank ("－"): no picture is made
// for it, nothing is drawn and a click on it does nothing.
bool BlankSlot(const ModeSpec& mode, std::int32_t slot);

// Makes one mode's thumbnails from `smallBase` (made with generation
// `baseGeneration`) at `scale` of the full picture, unless they were made
// from it with the same effective parameters; true when a pass ran. The
// window's browser and the batch tool's overview both make them so.
bool MakeBrowserRow(BrowserRow& row, const Bitmap& smallBase, std::uint64_t baseGeneration, const ModeSpec& mode,
                    const ProcessingParams& params, const Scale& scale);

// While the browser is shown, brings its thumbnails up to the base picture,
// the parameters and the window's size: the small base is made once per
// base and thumbnail size, and only rows whose parameters (as they read and
// scale them) changed are redone. Called before a repaint, never by it.
void MakeBrowserPictures(AppState& state);

// Whether every row shows the current parameters on the current base at
// the current size (a repaint now shows the browser complete).
bool BrowserUpToDate(const AppState& state);

// Opens the browser, or closes it back to the view shown before (Tab, the
// menu item); with its mark and a repaint.
void ToggleBrowser(Window& window, AppState& state);
// Closes it, if open, leaving the view as it stands (no repaint).
void CloseBrowser(Window& window, AppState& state);

}  // namespace prismview
