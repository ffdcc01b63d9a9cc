// The one road from changed parameters or a new base image to new pictures:
// the progress text, then a request to the pass beside the window.
#pragma once

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// Shows the progress text and asks the runner for the pictures of the
// current base image, mode and parameters. The shown pictures stay those of
// the last completed pass until the runner delivers the new ones; a shrunk
// view shows the request's preview meanwhile, and a new base image's shrunk
// copy is made now. It never repaints; the caller does.
void Regenerate(Window& window, AppState& state);

}  // namespace prismview
