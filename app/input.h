// The main window's input: view, arrangement and mode commands, keys, mouse
// and the menu's check marks. The state changes are plain functions; the
// On... handlers add the processing, the marks and the repaint requests.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// Virtual-key codes of the keys that act. Digits and letters use the codes of
// their characters ('0'..'9', 'A'..'Z').
enum VirtualKey : std::uint32_t {
    VkLeft = 0x25,
    VkUp = 0x26,
    VkRight = 0x27,
    VkDown = 0x28,
};

enum class KeyEffect {
    None,        // no action
    Parameter,   // a processing parameter changed: the images must be redone
    View,        // the shown image changed: the menu marks must follow
};

// Applies the key's change to the state and says what follows from it.
KeyEffect ApplyKey(AppState& state, std::uint32_t virtualKey);

// The gallery tile under client point (x, y), or -1. Always the gallery grid,
// whatever the view; with an empty size nothing is hit.
std::int32_t HitTestTile(const AppState& state, std::int32_t x, std::int32_t y);

// The effect centre for a right click at (x, y), if the click sets one: only
// in the modes that use a centre, and only inside the first tile.
struct CentreClick {
    bool acts = false;
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
};
CentreClick CentreForClick(const AppState& state, std::int32_t x, std::int32_t y);

void SetEffectMode(Window& window, AppState& state, std::int32_t mode);
void SelectImage(Window& window, AppState& state, std::int32_t index);
void SetColumns(Window& window, AppState& state, std::int32_t columns);
// Marks exactly the view, mode and arrangement items that match the state.
void UpdateMenuChecks(Window& window, const AppState& state);

// Every key press repaints, with or without an action.
void OnKeyDown(Window& window, AppState& state, std::uint32_t virtualKey);
// Mouse positions are client coordinates as unsigned 16-bit numbers.
void OnMouseMove(Window& window, AppState& state, std::uint16_t x, std::uint16_t y);
void OnLeftButtonDown(Window& window, AppState& state, std::uint16_t x, std::uint16_t y);
void OnRightButtonDown(Window& window, AppState& state, std::uint16_t x, std::uint16_t y);
// Runs a menu command; false when no menu item has that id.
bool OnCommand(Window& window, AppState& state, std::uint16_t commandId);

}  // namespace prismview
