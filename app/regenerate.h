// The one road from changed parameters or a new base image to new pictures:
// the progress text, then a request to the pass beside the window.
#pragma once

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// Shows the progress text and hands the runner a job for the pictures of
// the current base image, mode and parameters, with what the view asks of
// it (the shrunk copies it shows, the rows it shows first). The shown
// pictures stay those of the last completed pass until the runner delivers
// the new ones; a shrunk view shows the job's preview meanwhile. It never
// repaints; the caller does.
void Regenerate(Window& window, AppState& state);

// How a change of the parameters ends, whatever made it: the parameters
// went from `before` to the state's (by `key`, -1 for none: keys of one kind
// in a row make one step), as one undoable step; the pictures are made
// again; the menu's marks follow when `marks` says so; then a repaint.
void FinishParameterChange(Window& window, AppState& state, const ProcessingParams& before, int key = -1,
                           bool marks = false);

}  // namespace prismview
