#include "platform/key_map.h"

#include <gtest/gtest.h>

#include "app/input.h"

namespace prismview {
namespace {

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::uint32_t scanCode;
    std::optional<std::uint32_t> expected;
};

TEST(VirtualKeyFor, QtKeysAsVirtualKeyCodes) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const KeyCase cases[] = {
        {"left", Qt::Key_Left, none, 113, VkLeft},
        {"up", Qt::Key_Up, none, 111, VkUp},
        {"right", Qt::Key_Right, none, 114, VkRight},
        {"down", Qt::Key_Down, none, 116, VkDown},
        {"digit 0", Qt::Key_0, none, 19, '0'},
        {"digit 9", Qt::Key_9, none, 18, '9'},
        {"letter A", Qt::Key_A, none, 38, 'A'},
        {"letter Z", Qt::Key_Z, none, 52, 'Z'},
        {"Shift+A acts as A", Qt::Key_A, Qt::ShiftModifier, 38, 'A'},
        {"Ctrl+Q acts as Q", Qt::Key_Q, Qt::ControlModifier, 24, 'Q'},
        {"Shift+1 is still the digit key", Qt::Key_Exclam, Qt::ShiftModifier, 10, '1'},
        {"Shift+0 is still the digit key", Qt::Key_ParenRight, Qt::ShiftModifier, 19, '0'},
        {"a symbol elsewhere has no action", Qt::Key_Exclam, Qt::ShiftModifier, 0, 0u},
        {"keypad 1 never acts", Qt::Key_1, Qt::KeypadModifier, 87, 0u},
        {"keypad arrow never acts", Qt::Key_Left, Qt::KeypadModifier, 83, 0u},
        {"shift alone is a key without action", Qt::Key_Shift, none, 50, 0u},
        {"space", Qt::Key_Space, none, 65, 0u},
        {"Alt+1 is a system key", Qt::Key_1, Qt::AltModifier, 10, std::nullopt},
        {"Alt+Right is a system key", Qt::Key_Right, Qt::AltModifier, 114, std::nullopt},
        {"Alt alone", Qt::Key_Alt, Qt::AltModifier, 64, std::nullopt},
        {"F10 opens the menu", Qt::Key_F10, none, 76, std::nullopt},
    };
    for (const KeyCase& c : cases) EXPECT_EQ(VirtualKeyFor(c.key, c.modifiers, c.scanCode), c.expected) << c.name;
}

}  // namespace
}  // namespace prismview
