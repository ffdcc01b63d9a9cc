// Everything the program knows: images, labels, view state, mode and
// parameters. One instance lives for the whole run; every run starts from
// these defaults and nothing is kept between runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/view.h"
#include "core/image_set.h"
#include "core/params.h"
#include "core/process.h"
#include "resources/strings.h"

namespace prismview {

class PassRunner;

// The processing fields (effectMode, hue, level, backgroundColor, the wave
// fields, overflowMode, centerX, centerY, startFromEnd) come from ProcessingParams.
struct AppState : ProcessingParams {
    std::int32_t selectedImage = -1;  // -1: all five as tiles; 0..4: that image alone
    std::int32_t hoverImage = -1;     // the tile under the mouse pointer, -1 for none
    std::int32_t columns = 2;         // tiles per row: 1, 2, 3 or 5
    ViewState view;                   // scale, 1:1 and scrolling of what is shown
    std::uint32_t hueStep = 5;
    std::int32_t levelStep = 5;
    std::int32_t centerStep = 2;
    Labels labels{std::string(kBaseImageLabel), "", "", "", ""};
    ImageSet images;
    PassMemory passMemory;  // buffers the processing pass reuses; no state of its own
    PassRunner* passRunner = nullptr;  // the pass beside the window; null: passes run at once
    std::array<std::uint32_t, 16> customColors{};  // 0x00BBGGRR, as the colour chooser keeps them
    std::string baseFileName;  // the file the base image came from; empty for a pasted or made one
    std::string lastFolder;    // of the last file opened or saved: where the file dialogs start
    std::string windowTitle = "プリズムビュー";
    std::string windowClassName = "PRISMVIEW";
};

// "プリズムビュー", followed by " - " and the file's name while the base
// image is a file's picture.
inline std::string WindowTitle(const AppState& state) {
    return state.baseFileName.empty() ? state.windowTitle : state.windowTitle + " - " + state.baseFileName;
}

}  // namespace prismview
