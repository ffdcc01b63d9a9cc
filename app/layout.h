// Where everything the window paints lies in the client area: the tiles of
// the gallery, the single image with its caption, the hovered tile's frame
// and label, the hue and level swatches. Painting draws these rectangles and
// pointing finds the tile under a point with the same arithmetic, so the two
// cannot disagree.
#pragma once

#include <cstdint>

#include "app/geometry.h"
#include "app/view_state.h"

namespace prismview {

// The swatches stand in one column right of the shown image: the hue pair
// from the top to 32, the level block from 48 to 80, each with its text to
// the right of its top edge.
inline constexpr std::int32_t kSwatchWidth = 32;
inline constexpr std::int32_t kHueSwatchBottom = 32;
inline constexpr std::int32_t kLevelSwatchTop = 48;
inline constexpr std::int32_t kLevelSwatchBottom = 80;

struct Swatches {
    bool hue = false;
    bool level = false;
    bool Any() const { return hue || level; }
};
// Which swatches stand beside the shown image: only modes that draw from the
// hue or the level, and never beside the base image or in the gallery.
Swatches SwatchesFor(std::int32_t effectMode, std::int32_t selectedImage);

// The gallery's grid for a number of columns: tiles side by side (1 to 5)
// and rows of them.
std::int64_t TilesAcross(std::int32_t columns);
std::int64_t TilesDown(std::int32_t columns);

// The picture's size at that scale.
Size ScaledSize(Size picture, const Scale& scale);

// What the view paints at that scale in that many columns: the grid of
// tiles in the gallery, the image with its caption and swatches in the
// single view.
Size ContentSize(const ViewState& view, std::int32_t columns, Size picture, const Scale& scale, Swatches swatches);

class Layout {
public:
    // For the fit's shown size, scroll offset and arrangement.
    explicit Layout(const ViewFit& fit);

    // Each picture as shown: the picture at the view's scale.
    Size Shown() const { return shown_; }
    // Tile i (0..4) of the gallery; the single image stands where tile 0 does.
    // Empty without an arrangement (0 columns).
    Rect Tile(std::int32_t slot) const;
    // The gallery tile under a client point, or -1: the gallery grid,
    // whatever the view.
    std::int32_t TileAt(Point point) const;
    // The hovered tile's two frames (black outside, white inside) and the
    // top left of its label.
    Rect InnerFrame(std::int32_t slot) const;
    Point TileLabel(std::int32_t slot) const;
    // The caption's top left, below the single image.
    Point Caption() const;
    // The line below a gallery tile that holds its caption when captions
    // stay; empty when they do not.
    Rect TileCaption(std::int32_t slot) const;

    // The swatches right of the single image; each text's top left is the
    // right edge of its swatch at the swatch's top.
    Rect HueSwatch() const;          // the chosen hue, the upper half
    Rect HueComplementSwatch() const;  // its complement, the lower half
    Rect LevelSwatch() const;
    Point HueText() const;
    Point LevelText() const;

private:
    Rect SwatchRect(std::int32_t top, std::int32_t bottom) const;

    Size shown_;
    std::int32_t captionHeight_;
    std::int32_t columns_;
    std::int64_t left_, top_;  // the content's top left: minus the scroll offset
};

}  // namespace prismview
