// Start-up and shutdown as the logic sees them: the start image, and the
// release of the images when the window goes.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// Shows the loading text, replaces the image set by the file's picture and
// redoes the processing. A file that cannot be read leaves the set as it was;
// the result says whether the file was read. Reports nothing.
// A file read this way becomes the window title's file and its folder the
// file dialogs' starting point.
// `reason`, when given, receives why a file could not be read.
bool OpenImageFile(Window& window, AppState& state, const std::string& fileName, std::string* reason = nullptr);

// Keeps the base image about to be replaced (and its file) as an undo step.
void KeepBaseForUndo(AppState& state);
// Where the base picture came from: its file's name and absolute path (both
// empty for a picture that is no file's) and why it came in damaged (empty
// for a complete one). The copy-command item follows at once, the title at
// the next repaint.
void SetBaseOrigin(Window& window, AppState& state, std::string fileName, std::string path, std::string damage,
                   Chain chain = {});
// Before the base image is replaced or its pixels change: the pass reads it
// in place, so any pass is stopped first (the next request makes it again).
void StopPassesOnBase(AppState& state);

// Remembers the folder of a file opened or saved, where the file dialogs start next.
void NoteFileUsed(AppState& state, const std::string& fileName);

// After the window exists and before it is shown: tries "start.bmp" in the
// current folder. A missing or unreadable file is not reported.
void OpenStartImage(Window& window, AppState& state);

// The window is being destroyed: releases what is still held and ends the
// event loop with exit code 0.
void OnDestroy(Window& window, AppState& state);

}  // namespace prismview
