#include "platform/key_map.h"

#include <gtest/gtest.h>


namespace prismview {
namespace {

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::uint32_t scanCode;
    std::optional<Key> expected;
};

TEST(KeyFor, QtKeysAsTheProgramsKeys) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const KeyCase cases[] = {
        {"left", Qt::Key_Left, none, 113, Key::Left},
        {"up", Qt::Key_Up, none, 111, Key::Up},
        {"right", Qt::Key_Right, none, 114, Key::Right},
        {"down", Qt::Key_Down, none, 116, Key::Down},
        {"digit 0", Qt::Key_0, none, 19, Key::Digit0},
        {"digit 9", Qt::Key_9, none, 18, Key::Digit9},
        {"letter A", Qt::Key_A, none, 38, Key::A},
        {"letter Z has no action", Qt::Key_Z, none, 52, Key::Other},
        {"letter H", Qt::Key_H, none, 43, Key::H},
        {"Shift+A acts as A", Qt::Key_A, Qt::ShiftModifier, 38, Key::A},
        {"Ctrl+Q acts as Q", Qt::Key_Q, Qt::ControlModifier, 24, Key::Q},
        {"Shift+1 is still the digit key", Qt::Key_Exclam, Qt::ShiftModifier, 10, Key::Digit1},
        {"Shift+0 is still the digit key", Qt::Key_ParenRight, Qt::ShiftModifier, 19, Key::Digit0},
        {"a symbol elsewhere has no action", Qt::Key_Exclam, Qt::ShiftModifier, 0, Key::Other},
        {"keypad 1 never acts", Qt::Key_1, Qt::KeypadModifier, 87, Key::Other},
        {"keypad arrow never acts", Qt::Key_Left, Qt::KeypadModifier, 83, Key::Other},
        {"shift alone is a key without action", Qt::Key_Shift, none, 50, Key::Other},
        {"space", Qt::Key_Space, none, 65, Key::Other},
        {"Alt+1 is a system key", Qt::Key_1, Qt::AltModifier, 10, std::nullopt},
        {"Alt+Right is a system key", Qt::Key_Right, Qt::AltModifier, 114, std::nullopt},
        {"Alt alone", Qt::Key_Alt, Qt::AltModifier, 64, std::nullopt},
        {"F10 opens the menu", Qt::Key_F10, none, 76, std::nullopt},
        {"Tab", Qt::Key_Tab, none, 23, Key::Tab},
        {"Shift+Tab is Tab", Qt::Key_Backtab, Qt::ShiftModifier, 23, Key::Tab},
        {"Escape", Qt::Key_Escape, none, 9, Key::Escape},
    };
    for (const KeyCase& c : cases) EXPECT_EQ(KeyFor(c.key, c.modifiers, c.scanCode), c.expected) << c.name;
}

}  // namespace
}  // namespace prismview
