// Qt key presses as the keys the program acts on.
#pragma once

#include <Qt>
#include <cstdint>
#include <optional>

#include "app/window.h"

namespace prismview {

// The program's key for a key press, or nothing when the press is a system
// key (held with Alt, Alt itself, F10), which the window leaves to the menu
// bar. Keys the program does not act on give Key::Other: they still count as
// a key press. Shift and Ctrl are not examined; the digit row stays digits
// under Shift, and the keypad's keys never act.
std::optional<Key> KeyFor(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode);

}  // namespace prismview
