#include "platform/key_map.h"

#include "app/input.h"

namespace prismview {

namespace {

// X11 and Wayland key codes of the main digit row ('1'..'9', '0'): Shift
// turns the key into a symbol, but the key stays a digit key.
constexpr std::uint32_t kScanCodeDigit1 = 10;
constexpr std::uint32_t kScanCodeDigit0 = 19;

constexpr std::uint32_t kNoAction = 0;

}  // namespace

std::optional<std::uint32_t> VirtualKeyFor(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode) {
    if (modifiers & Qt::AltModifier) return std::nullopt;
    if (qtKey == Qt::Key_Alt || qtKey == Qt::Key_AltGr || qtKey == Qt::Key_F10) return std::nullopt;
    if (modifiers & Qt::KeypadModifier) return kNoAction;
    switch (qtKey) {
        case Qt::Key_Left: return VkLeft;
        case Qt::Key_Up: return VkUp;
        case Qt::Key_Right: return VkRight;
        case Qt::Key_Down: return VkDown;
        default: break;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uint32_t>(qtKey);  // '0'..'9'
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint32_t>(qtKey);  // 'A'..'Z'
    if (nativeScanCode >= kScanCodeDigit1 && nativeScanCode <= kScanCodeDigit0)
        return nativeScanCode == kScanCodeDigit0 ? '0' : '1' + (nativeScanCode - kScanCodeDigit1);
    return kNoAction;
}

}  // namespace prismview
