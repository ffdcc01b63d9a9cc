// The menu's check marks as the state has them.
#pragma once

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// Marks exactly the view, mode and arrangement items that match the state.
void UpdateMenuChecks(Window& window, const AppState& state);

}  // namespace prismview
