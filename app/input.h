// The main window's input: view, arrangement and mode commands, keys, mouse
// and the menu's check marks. The state changes are plain functions; the
// On... handlers add the processing, the marks and the repaint requests.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/marks.h"  // UpdateMenuChecks, for the input's callers too
#include "app/window.h"

namespace prismview {

enum class KeyEffect {
    None,        // no action
    Parameter,   // a processing parameter changed: the images must be redone
    View,        // the shown image changed: the menu marks must follow
};

// Applies the key's change to the state and says what follows from it.
KeyEffect ApplyKey(AppState& state, Key key);

// The effect centre for a right click at a client point, if the click sets
// one: only in the modes that use a centre, and only inside the first tile.
struct CentreClick {
    bool acts = false;
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
};
CentreClick CentreForClick(const AppState& state, Point point);

void SetEffectMode(Window& window, AppState& state, std::int32_t mode);
void SelectImage(Window& window, AppState& state, std::int32_t index);
void SetColumns(Window& window, AppState& state, std::int32_t columns);
// Every key press repaints, with or without an action.
void OnKeyDown(Window& window, AppState& state, Key key);
// The compare key pressed (held) or released: while it is held, every
// derived tile shows the base picture with the same scale and scroll.
void SetComparing(Window& window, AppState& state, bool held);
// Mouse positions are client points in screen pixels.
void OnMouseMove(Window& window, AppState& state, Point point);
// A left click picks a tile or goes back to the gallery; on the split
// line of 比較 it starts dragging the line instead, until the button is up.
void OnLeftButtonDown(Window& window, AppState& state, Point point);
void OnLeftButtonUp(AppState& state);
void OnRightButtonDown(Window& window, AppState& state, Point point);
// The middle button, or Shift with the left: pins a probe or takes one away.
void OnPinButtonDown(Window& window, AppState& state, Point point);
// The pointer left the client area: no probe under it any more.
void OnMouseLeave(Window& window, AppState& state);
// Runs a menu command; false when no menu item has it.
bool OnCommand(Window& window, AppState& state, Command command);

}  // namespace prismview
