// What the window shows and how: the gallery or one image, the arrangement,
// the scale and the scroll offset. Plain data; what follows from it and the
// pictures (the scale of a fitted view, the scroll bars) is a ViewFit,
// worked out by app/view.h wherever it is needed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/geometry.h"
#include "core/image_set.h"

namespace prismview {

// Pictures are shown at num / den of their size; never above 1.
struct Scale {
    std::int64_t num = 1;
    std::int64_t den = 1;
    bool Shrinks() const { return num < den; }
    bool Enlarges() const { return num > den; }
    friend bool operator==(const Scale& a, const Scale& b) { return a.num * b.den == b.num * a.den; }
};

// A thumbnail of the browser: the row of its mode (in the mode menu's order)
// and its slot, 1..4; row -1 for none.
struct BrowserSpot {
    std::int32_t row = -1;
    std::int32_t slot = 0;
    bool Valid() const { return row >= 0; }
    friend bool operator==(const BrowserSpot&, const BrowserSpot&) = default;
};

struct ViewState {
    // Chosen by the user.
    std::int32_t selectedImage = -1;  // -1: all five as tiles; 0..4: that image alone
    std::int32_t hoverImage = -1;     // the tile under the mouse pointer, -1 for none
    std::int32_t columns = 2;         // tiles per row: 1, 2, 3 or 5 (with autoColumns, the count that shows them largest)
    bool autoColumns = false;         // the arrangement follows the window
    bool actualSize = false;          // 等倍表示: never shrunk, scrolls instead
    std::optional<Scale> zoom{};      // a zoom step chosen by the user; none: fit (or 1:1)
    bool statusBar = true;            // the status bar is shown
    // The probe: the picture point under the pointer (none off the
    // pictures), and the pinned ones, oldest first.
    std::optional<Point> probe{};
    std::vector<Point> pinned{};
    // Where the pointer is over the client area (none off it): the probe and
    // the hovered tile follow it through every change of the view.
    std::optional<Point> pointer{};
    bool probePanel = false;  // the panel listing the probes is shown
    bool parameterPanel = false;  // the panel with the mode's sliders is shown
    // The compare key is held: every derived tile shows the base picture.
    bool comparing = false;
    // 画像名を常に表示: each tile's caption stands on a line of its own below
    // the tile, so that no label covers a picture.
    bool captions = false;
    // 比較: the single view of a derived image shows the base left of a
    // vertical line and the derived image right of it. The line stands at a
    // picture column (none: the middle) and the left button drags it.
    bool split = false;
    std::optional<std::int32_t> splitColumn{};
    bool splitDragging = false;
    // The browser (全加工の一覧): every mode's four pictures at once, in
    // place of the view above, which comes back when it closes.
    bool browser = false;
    BrowserSpot browserHover{};  // the thumbnail under the pointer
    // A word for the status bar about the last thing refused (a fifth pin);
    // empty when there is none.
    std::string notice{};

    // Given by the window.
    Size client;                       // the whole client area; empty until the window knows it
    std::int32_t scrollBarExtent = 0;  // the thickness of a scroll bar
    std::int32_t textHeight = 0;       // one line of text, as the caption below a single image
    std::int32_t swatchTextWidth = 0;  // the wider of the two swatch texts
    std::int32_t captionWidth = 0;     // the widest mode caption, as the browser writes them

    // The content point at the client area's top left, as last scrolled to.
    // The view shows it within the limits of its fit (FitOf), and
    // KeepScrollInLimits stores that, so a limit that shrank forgets what
    // lay beyond it.
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;

    bool Gallery() const { return selectedImage < 0 || selectedImage >= kSlotCount; }
    // Whether the view keeps a scale of its own and scrolls, instead of fitting.
    bool Scrolls() const { return actualSize || zoom.has_value(); }
};

// How the view stands, worked out from a ViewState and the pictures.
struct ViewFit {
    std::int32_t columns = 0;  // the arrangement shown: the chosen one, or the one that shows the tiles largest
    Scale scale{};
    Size shown{};     // each picture at that scale
    std::int32_t captionHeight = 0;  // the line below each gallery tile for its caption; 0 without one
    Size content{};   // all that the view paints, at that scale
    Size viewport{};  // the client area less the scroll bars
    bool horizontalBar = false;
    bool verticalBar = false;
    Size maxScroll{};          // none unless the view scrolls
    std::int32_t scrollX = 0;  // the view's scroll offset within those limits
    std::int32_t scrollY = 0;
    // At scale 1 and above, the picture rows (from the top) that the shown
    // derived pictures have inside the viewport: rowsTop..rowsBottom - 1.
    std::int32_t rowsTop = 0;
    std::int32_t rowsBottom = 0;
};

}  // namespace prismview
