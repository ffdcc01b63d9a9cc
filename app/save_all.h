// Saving everything at once: すべて保存 writes the four derived images of
// the current mode (and the base, when asked) into one folder under the
// batch tool's names, and 一覧画像として保存 writes the gallery as one
// picture, tiles and captions as the window shows them. Both run beside the
// window as a save does.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/window.h"

namespace prismview {

// The files すべて保存 writes into `folder`: {stem}_{slot}.{ext} for the base
// (with `withBase`) and each derived image that is a picture (a blank "－"
// slot is none), in slot order.
struct NamedSlot {
    std::int32_t slot;
    std::string fileName;
};
std::vector<NamedSlot> SaveAllNames(const AppState& state, const std::string& folder, const std::string& stem,
                                    SaveFormat type, bool withBase);
void SaveAllCommand(Window& window, AppState& state);

// The gallery as one picture: the five tiles in the window's arrangement at
// the pictures' own size or at the shown scale, from the top left, with each
// tile's caption on a line below it.
ViewFit GallerySheetFit(const AppState& state, bool ownSize);
// Paints it; `pictures` are the five tiles' bitmaps at the fit's size (null:
// blank).
void PaintGallerySheet(Canvas& canvas, const AppState& state, const ViewFit& fit,
                       const std::array<const Bitmap*, kSlotCount>& pictures);
void SaveGalleryCommand(Window& window, AppState& state);

}  // namespace prismview
