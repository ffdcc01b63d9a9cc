#include "app/input.h"

#include <algorithm>

#include "app/commands.h"
#include "app/menu.h"
#include "app/regenerate.h"
#include "app/view.h"
#include "core/colour.h"
#include "core/int_math.h"  // the wave and centre fields have no bounds: they wrap
#include "effects/mode_table.h"

namespace prismview {

namespace {

KeyEffect Show(AppState& state, std::int32_t index) {
    state.selectedImage = index;
    return KeyEffect::View;
}

}  // namespace

KeyEffect ApplyKey(AppState& state, std::uint32_t virtualKey) {
    const auto hue = static_cast<std::uint32_t>(state.hue);
    switch (virtualKey) {
        case VkLeft:
            state.hue = static_cast<std::int32_t>((hue + HueSteps - state.hueStep) % HueSteps);
            return KeyEffect::Parameter;
        case VkRight:
            state.hue = static_cast<std::int32_t>((hue + state.hueStep) % HueSteps);
            return KeyEffect::Parameter;
        case VkUp:
            state.level = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{state.level} + state.levelStep, kLevelRange.hi));
            return KeyEffect::Parameter;
        case VkDown:
            state.level = static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{state.level} - state.levelStep, kLevelRange.lo));
            return KeyEffect::Parameter;
        case '1': state.waveFreqNum = WrapSub(state.waveFreqNum, 1); return KeyEffect::Parameter;
        case '2': state.waveFreqNum = WrapAdd(state.waveFreqNum, 1); return KeyEffect::Parameter;
        case '3': state.waveFreqDen = WrapSub(state.waveFreqDen, 1); return KeyEffect::Parameter;
        case '4': state.waveFreqDen = WrapAdd(state.waveFreqDen, 1); return KeyEffect::Parameter;
        case '5': state.waveAmplitude = WrapSub(state.waveAmplitude, 1); return KeyEffect::Parameter;
        case '6': state.waveAmplitude = WrapAdd(state.waveAmplitude, 1); return KeyEffect::Parameter;
        case '7': state.wavePhase = WrapSub(state.wavePhase, 1); return KeyEffect::Parameter;
        case '8': state.wavePhase = WrapAdd(state.wavePhase, 1); return KeyEffect::Parameter;
        case '9': state.wavePhaseDen = WrapSub(state.wavePhaseDen, 1); return KeyEffect::Parameter;
        case '0': state.wavePhaseDen = WrapAdd(state.wavePhaseDen, 1); return KeyEffect::Parameter;
        case 'Q': state.centerX = WrapSub(state.centerX, state.centerStep); return KeyEffect::Parameter;
        case 'W': state.centerX = WrapAdd(state.centerX, state.centerStep); return KeyEffect::Parameter;
        case 'E': state.centerY = WrapSub(state.centerY, state.centerStep); return KeyEffect::Parameter;
        case 'R': state.centerY = WrapAdd(state.centerY, state.centerStep); return KeyEffect::Parameter;
        case 'O': state.startFromEnd = state.startFromEnd == 0 ? 1 : 0; return KeyEffect::Parameter;
        case 'A': return Show(state, 0);
        case 'S': return Show(state, 1);
        case 'D': return Show(state, 2);
        case 'F': return Show(state, 3);
        case 'G': return Show(state, 4);
        case 'H': return Show(state, -1);
        default: return KeyEffect::None;
    }
}

std::int32_t HitTestTile(const AppState& state, std::int32_t x, std::int32_t y) {
    const Size shown = ShownSize(state);
    const std::int64_t w = shown.width;
    const std::int64_t h = shown.height;
    const std::int64_t cx = std::int64_t{x} + state.view.scrollX;
    const std::int64_t cy = std::int64_t{y} + state.view.scrollY;
    if (state.columns <= 0) return -1;
    for (std::int32_t i = 0; i < kSlotCount; ++i) {
        const std::int64_t column = i % state.columns;
        const std::int64_t row = i / state.columns;
        if (column * w <= cx && cx < (column + 1) * w && row * h <= cy && cy < (row + 1) * h) return i;
    }
    return -1;
}

CentreClick CentreForClick(const AppState& state, std::int32_t x, std::int32_t y) {
    const ModeSpec* mode = FindMode(state.effectMode);
    const bool usesCentre = mode && mode->UsesCentre();
    const Size shown = ShownSize(state);
    const std::int64_t cx = std::int64_t{x} + state.view.scrollX;
    const std::int64_t cy = std::int64_t{y} + state.view.scrollY;
    if (!usesCentre || cx < 0 || cy < 0 || cx >= shown.width || cy >= shown.height) return {};
    const std::int32_t w = state.images.width;
    const std::int32_t h = state.images.height;
    // The picture point in the middle of the block of pixels that this screen
    // pixel shows (the blocks of the shrunk copy); itself at scale 1.
    auto picture = [](std::int64_t screen, std::int64_t size, std::int64_t shownSize) {
        return static_cast<std::int32_t>((screen * size / shownSize + (screen + 1) * size / shownSize) / 2);
    };
    const std::int32_t px = picture(cx, w, shown.width);
    const std::int32_t py = picture(cy, h, shown.height);
    return {true, px - w / 2, (h - 1 - py) - h / 2};
}

void SetEffectMode(Window& window, AppState& state, std::int32_t mode) {
    state.effectMode = mode;
    Regenerate(window, state);
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

void SelectImage(Window& window, AppState& state, std::int32_t index) {
    state.selectedImage = index;
    RefreshView(state, false);
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

void SetColumns(Window& window, AppState& state, std::int32_t columns) {
    state.columns = columns;
    RefreshView(state, false);
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

void UpdateMenuChecks(Window& window, const AppState& state) {
    // Menu order is the marking order: view items, then modes, then arrangements.
    for (const MenuPopup& popup : MainMenu()) {
        for (const MenuItem& item : popup.items) {
            switch (item.action) {
                case MenuAction::SelectImage:
                    window.SetMenuCheck(item.id, state.selectedImage == item.value);
                    break;
                case MenuAction::SetEffectMode:
                    window.SetMenuCheck(item.id, state.effectMode == item.value);
                    break;
                case MenuAction::SetColumns:
                    window.SetMenuCheck(item.id, state.columns == item.value);
                    break;
                case MenuAction::ActualSize:  // its own mark, apart from these
                case MenuAction::Separator:
                case MenuAction::Other:
                    break;
            }
        }
    }
}

void OnKeyDown(Window& window, AppState& state, std::uint32_t virtualKey) {
    switch (ApplyKey(state, virtualKey)) {
        case KeyEffect::Parameter: Regenerate(window, state); break;
        case KeyEffect::View:
            RefreshView(state, false);
            UpdateMenuChecks(window, state);
            break;
        case KeyEffect::None: break;
    }
    window.RequestRepaint();
}

void OnMouseMove(Window& window, AppState& state, std::uint16_t x, std::uint16_t y) {
    const std::int32_t hit = HitTestTile(state, x, y);
    if (hit == state.hoverImage) return;
    state.hoverImage = hit;
    window.RequestRepaint();
}

void OnLeftButtonDown(Window& window, AppState& state, std::uint16_t x, std::uint16_t y) {
    // A click leaves the view menu's marks alone: they keep showing the view
    // chosen last by key or menu.
    state.selectedImage = state.selectedImage == -1 ? HitTestTile(state, x, y) : -1;
    RefreshView(state, false);
    window.RequestRepaint();
}

void OnRightButtonDown(Window& window, AppState& state, std::uint16_t x, std::uint16_t y) {
    const CentreClick click = CentreForClick(state, x, y);
    if (!click.acts) return;
    state.centerX = click.centerX;
    state.centerY = click.centerY;
    Regenerate(window, state);
    window.RequestRepaint();
}

bool OnCommand(Window& window, AppState& state, std::uint16_t commandId) {
    const MenuItem* item = FindMenuItem(commandId);
    if (!item) return false;
    switch (item->action) {
        case MenuAction::SelectImage: SelectImage(window, state, item->value); break;
        case MenuAction::SetEffectMode: SetEffectMode(window, state, item->value); break;
        case MenuAction::SetColumns: SetColumns(window, state, item->value); break;
        case MenuAction::ActualSize: ToggleActualSize(window, state); break;
        case MenuAction::Separator: break;
        case MenuAction::Other:
            if (commandId == CmdExit) {
                ReleaseImages(state.images);
                window.Destroy();
            } else {
                RunFileCommand(window, state, commandId);
            }
            break;
    }
    return true;
}

}  // namespace prismview
