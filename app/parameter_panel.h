// The parameter panel's logic: the rows of the current mode (one for every
// parameter its record reads, with the controls kParameterTable gives it),
// what each slider spans, and what a change made there does. Keys, dialogs
// and the panel change the same state by the same rules; the dock that shows
// it (platform/parameter_panel.cpp) reads everything back from the state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/window.h"
#include "core/mode.h"
#include "core/parameter_table.h"

namespace prismview {

// What a control sets: a field of the parameters, or, with no field, the
// step of the keys that move such fields.
struct PanelValue {
    std::int32_t ProcessingParams::*member = nullptr;
    KeyStep step = KeyStep::One;
    friend bool operator==(const PanelValue&, const PanelValue&) = default;
};

enum class PanelControl {
    Slider,  // a slider with a number box
    Number,  // a number box alone: a key step
    Choice,  // a list of the parameter's words
    Check,   // a check box named by the parameter's word for "on"
    Colour,  // a swatch button that opens the colour chooser
};

struct PanelLine {
    PanelControl control;
    PanelValue value;     // none for the colour
    std::string caption;  // "分子", "x", "キーでの変化"; empty for a parameter's one field
};

struct PanelRow {
    const ParameterInfo* parameter;
    std::vector<PanelLine> lines;
    std::string_view note;  // how else it is set; may be empty
};

// The rows of a mode, in the table's order: exactly the parameters its
// record reads, a key step's box after the fields that step uses.
std::vector<PanelRow> PanelRows(const ModeSpec& mode);

// The value a control shows now.
std::int32_t PanelValueOf(const AppState& state, PanelValue value);
// The span of a field's slider: its range, or for a field without one the
// span its table row gives (the picture's size for the centre and the
// amplitude). The number box takes any value.
ParameterRange SliderRange(const AppState& state, PanelValue value);
// The colours along a slider's groove from lo to hi, `count` of them, as the
// status bar's swatch shows each value (the hue wheel, the level's grey);
// empty for a parameter without a swatch.
std::vector<RgbValue> GrooveColours(const ParameterInfo& parameter, ParameterRange range, std::int32_t count);

// Shows or hides the panel.
void ToggleParameterPanel(Window& window, AppState& state);

// A slider's drag: every step of it shows at once (the preview in a shrunk
// view), and the whole drag is one undo step.
void BeginPanelDrag(AppState& state);
void EndPanelDrag(Window& window, AppState& state);
// A control moved to `entry` (a slider, a choice, a check box): stored as
// the dialogs correct an entry, then the pictures are made again. Outside a
// drag it is an undo step (steps of one control less than a second apart,
// a wheel turned over a slider, make one).
void PanelValueChanged(Window& window, AppState& state, PanelValue value, std::int32_t entry);
// A number typed into a control's box: read as the dialogs read their
// fields, then as above, a step of its own.
void PanelTextEntered(Window& window, AppState& state, PanelValue value, std::string_view text);

}  // namespace prismview
