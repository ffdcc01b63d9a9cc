// The program's run: the main window, the start image, the event loop.
#pragma once

#include "app/app_state.h"

namespace prismview {

// Needs the QApplication. Returns the exit code of the event loop.
int StartApplication(AppState& state);

// Whether a window can be opened at all: a Qt platform is chosen or a
// display is there.
bool HasDisplay();

}  // namespace prismview
