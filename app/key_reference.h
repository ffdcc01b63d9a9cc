// The key reference: every key and mouse action of the main window with
// what it does, in the words of the help window. The program's keys come
// from one table, the same that names them here, so that the list cannot
// part from what the keys do; the window adds its menu shortcuts.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/window.h"
#include "core/parameter_table.h"

namespace prismview {

// A key the key handler acts on, its name on the keyboard and what it
// changes: the parameter field it steps (by the table's step for it, a flag
// turned over) or the view it chooses.
struct KeyBinding {
    Key key;
    std::string_view name;
    std::int32_t ProcessingParams::*field = nullptr;  // null: a view key
    bool up = false;             // the field stepped up, not down
    std::int32_t image = 0;      // a view key's image shown alone; -1: all five
    std::string_view does{};     // a view key's words
};
std::span<const KeyBinding> KeyBindings();

// The size of a key's step: one, or the step the dialogs set for it.
std::int64_t KeyStepOf(const KeySteps& steps, KeyStep step);

struct KeyReferenceLine {
    std::string keys;  // "←", "Ctrl+ホイール", ...
    std::string does;
};

// The keys of the table (with the current steps), then the view's own keys
// and the mouse.
std::vector<KeyReferenceLine> KeyReference(const AppState& state);

}  // namespace prismview
