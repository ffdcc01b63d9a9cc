// Everything the program knows, in its parts: the parameters of the next
// pass, the pictures on the screen and what made them, the view, and what
// the dialogs remember. One instance lives for the whole run; every run
// starts from these defaults and nothing is kept between runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/history.h"
#include "app/sweep.h"
#include "app/view_state.h"
#include "core/image_set.h"
#include "core/params.h"
#include "core/process.h"
#include "core/pixels.h"
#include "io/picture_file.h"

namespace prismview {

class BackgroundSave;
class PassRunner;

// How far one key press moves the hue, the level and the centre.
struct KeySteps {
    std::uint32_t hueStep = 5;
    std::int32_t levelStep = 5;
    std::int32_t centerStep = 2;
};

// One mode's row of the browser: its four thumbnails (slot 0 holds none: the
// pass reads the browser's small base; a blank slot, labelled "－", none
// either) and what made them. A row is redone only when the small base or
// the parameters it reads, as scaled for the thumbnails, changed.
struct BrowserRow {
    ImageSet thumbnails;
    std::uint64_t baseGeneration = 0;  // of the small base they were made from
    std::optional<ProcessingParams> madeWith;  // the scaled parameters; none until a pass completed
    std::uint64_t passes = 0;  // how many passes have made this row's thumbnails
    PassMemory memory;
};

// The browser's pictures: the base shrunk once to the thumbnails' size, and
// one row per mode, in the mode menu's order. Kept while the browser is
// closed, so that opening it again costs only the rows that changed.
struct BrowserPictures {
    BitmapHandle base;
    std::uint64_t baseGeneration = 0;  // the generation of the base image it was shrunk from
    std::uint64_t generation = 0;      // changes whenever the small base is made anew
    std::vector<BrowserRow> rows;
};

// The pictures on the screen: the base image, the derived images of the last
// completed pass (with the view's shrunk copies), and the parameters of that
// pass, which the labels and swatches follow; none before the first. While a
// newer pass runs, the shrunk view may show a preview of it instead.
struct ShownPictures {
    ImageSet images;
    std::optional<ProcessingParams> madeWith;
    // Tiles of the newest request made at the shown size from the shown
    // base (slot 0: that small base); shown while `previewing`.
    ImageSet preview;
    bool previewing = false;
    PassMemory previewMemory;
    BrowserPictures browser;

    // The caption of a slot: the base image's, or the label of the mode
    // that made the derived image; empty before any pass.
    std::string_view Label(std::int32_t slot) const;
};

// What the dialogs keep from one opening to the next during a run.
struct DialogMemory {
    std::array<RgbValue, 16> customColors{};  // the colour chooser's custom colours
    std::string lastFolder;  // of the last file opened or saved: where the file dialogs start
    SaveFormat saveType = SaveFormat::Bmp;  // the type chosen in the save dialog last
    WriteOptions writeOptions;  // the JPEG and WebP quality chosen last
    bool saveAllWithBase = false;  // すべて保存: the base went with the four last time
    std::optional<SweepRequest> sweep;  // the last sweep asked for: what the sweep dialog shows next
};

struct AppState {
    ProcessingParams params;  // what the next pass makes
    KeySteps steps;
    ShownPictures shown;
    ViewState view;
    DialogMemory dialogs;
    std::string baseFileName;  // the file the base image came from; empty for a pasted or made one
    std::string basePath;      // that file's absolute path; empty likewise
    // Why the base picture came in damaged (a file cut short: the decoder made
    // part of it up), in the decoder's words; empty for a complete picture.
    // The status bar says so for as long as it is the base.
    std::string baseDamage;
    // The passes 現在の画像をベース画像にする applied to the file's picture to
    // make the base, in order; empty for the file's own picture.
    Chain baseChain;
    History history;  // what undo and redo take back
    PassRunner* passRunner = nullptr;  // the pass beside the window; every command that changes pictures needs one
    BackgroundSave* saver = nullptr;   // saving beside the window; without one a save is written at once
};

// "プリズムビュー", followed by " - " and the file's name while the base
// image is a file's picture.
std::string WindowTitle(const AppState& state);

}  // namespace prismview
