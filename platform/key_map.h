// Qt key presses as the virtual-key codes the input logic acts on.
#pragma once

#include <Qt>
#include <cstdint>
#include <optional>

namespace prismview {

// The virtual-key code of a key press, or nothing when the press is a system
// key (held with Alt, Alt itself, F10), which the window leaves to the menu
// bar. Keys without a code of interest give 0: they have no action but still
// count as a key press. Shift and Ctrl are not examined, and the keypad keys
// have codes of their own that never act.
std::optional<std::uint32_t> VirtualKeyFor(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode);

}  // namespace prismview
