// The status bar's content: a notice when the base picture came in damaged,
// what the mode is, the values it reads (and only those), the picture's size
// and the view's scale, and how far a running pass has come; below it the
// probe's lines. Text and swatch colours here;
// the window draws them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"

namespace prismview {

struct StatusItem {
    std::string text;
    std::optional<RgbValue> swatch;  // a small square of this colour before the text
};

// `progress`: the share of the running pass done, 0..100, or none when no
// pass runs.
std::vector<StatusItem> StatusItems(const AppState& state, std::optional<int> progress);

}  // namespace prismview
