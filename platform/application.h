// The program's run: the main window, the start image, the event loop.
#pragma once

#include "app/app_state.h"

namespace prismview {

#include <string>

// Needs the QApplication. Opens `startFile`, or start.bmp when it is empty.
// Returns the exit code of the event loop.
int StartApplication(AppState& state, const std::string& startFile = {});

// Whether a window can be opened at all: a Qt platform is chosen or a
// display is there.
bool HasDisplay();

}  // namespace prismview
