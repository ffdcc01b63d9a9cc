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

namespace prismview {

// A key the key handler acts on, its name on the keyboard and what it
// changes: the parameter it steps (with the step of the state's KeySteps)
// or the view it chooses.
struct KeyBinding {
    Key key;
    std::string_view name;
    std::string_view does;
};
std::span<const KeyBinding> KeyBindings();

struct KeyReferenceLine {
    std::string keys;  // "←", "Ctrl+ホイール", ...
    std::string does;
};

// The keys of the table (with the current steps), then the view's own keys
// and the mouse.
std::vector<KeyReferenceLine> KeyReference(const AppState& state);

}  // namespace prismview
