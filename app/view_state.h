// What the window shows and how: the gallery or one image, the arrangement,
// the scale and the scroll offset. Plain data; app/view.h works it out.
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
    // A word for the status bar about the last thing refused (a fifth pin);
    // empty when there is none.
    std::string notice{};

    // Given by the window.
    Size client;                       // the whole client area; empty until the window knows it
    std::int32_t scrollBarExtent = 0;  // the thickness of a scroll bar
    std::int32_t textHeight = 0;       // one line of text, as the caption below a single image
    std::int32_t swatchTextWidth = 0;  // the wider of the two swatch texts

    // Worked out by FitView from the above and the pictures.
    Scale scale{};
    Size content{};   // all that the view paints, at that scale
    Size viewport{};  // the client area less the scroll bars
    bool horizontalBar = false;
    bool verticalBar = false;
    std::int32_t scrollX = 0;  // the content point at the client area's top left
    std::int32_t scrollY = 0;

    bool Gallery() const { return selectedImage < 0 || selectedImage >= kSlotCount; }
    // Whether the view keeps a scale of its own and scrolls, instead of fitting.
    bool Scrolls() const { return actualSize || zoom.has_value(); }
};

}  // namespace prismview
