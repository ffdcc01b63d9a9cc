#include "platform/key_map.h"

namespace prismview {

namespace {

// X11 and Wayland key codes of the main digit row ('1'..'9', '0'): Shift
// turns the key into a symbol, but the key stays a digit key.
constexpr std::uint32_t kScanCodeDigit1 = 10;
constexpr std::uint32_t kScanCodeDigit0 = 19;

constexpr Key kDigits[] = {Key::Digit0, Key::Digit1, Key::Digit2, Key::Digit3, Key::Digit4,
                           Key::Digit5, Key::Digit6, Key::Digit7, Key::Digit8, Key::Digit9};

}  // namespace

std::optional<Key> KeyFor(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode) {
    if (modifiers & Qt::AltModifier) return std::nullopt;
    if (qtKey == Qt::Key_Alt || qtKey == Qt::Key_AltGr || qtKey == Qt::Key_F10) return std::nullopt;
    if (modifiers & Qt::KeypadModifier) return Key::Other;
    switch (qtKey) {
        case Qt::Key_Left: return Key::Left;
        case Qt::Key_Up: return Key::Up;
        case Qt::Key_Right: return Key::Right;
        case Qt::Key_Down: return Key::Down;
        case Qt::Key_Q: return Key::Q;
        case Qt::Key_W: return Key::W;
        case Qt::Key_E: return Key::E;
        case Qt::Key_R: return Key::R;
        case Qt::Key_O: return Key::O;
        case Qt::Key_A: return Key::A;
        case Qt::Key_S: return Key::S;
        case Qt::Key_D: return Key::D;
        case Qt::Key_F: return Key::F;
        case Qt::Key_G: return Key::G;
        case Qt::Key_H: return Key::H;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:  // Shift+Tab
            return Key::Tab;
        case Qt::Key_Escape: return Key::Escape;
        default: break;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kDigits[qtKey - Qt::Key_0];
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return Key::Other;
    if (nativeScanCode >= kScanCodeDigit1 && nativeScanCode <= kScanCodeDigit0)
        return nativeScanCode == kScanCodeDigit0 ? Key::Digit0 : kDigits[1 + (nativeScanCode - kScanCodeDigit1)];
    return Key::Other;
}

}  // namespace prismview
