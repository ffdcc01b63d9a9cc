#include "app/input.h"

#include <algorithm>

#include "app/browser.h"
#include "app/commands.h"
#include "app/key_reference.h"
#include "app/marks.h"
#include "app/menu.h"
#include "app/parameter_panel.h"
#include "app/probe.h"
#include "app/regenerate.h"
#include "app/save_all.h"
#include "app/startup.h"
#include "app/view.h"
#include "core/parameter_table.h"
#include "effects/mode_table.h"

namespace prismview {

KeyEffect ApplyKey(AppState& state, Key key) {
    for (const KeyBinding& binding : KeyBindings()) {
        if (binding.key != key) continue;
        if (!binding.field) {
            state.view.selectedImage = binding.image;
            return KeyEffect::View;
        }
        const ParameterInfo& parameter = ParameterOf(binding.field);
        std::int32_t& value = state.params.*binding.field;
        if (parameter.kind == ParameterKind::Flag) value = value == 0 ? 1 : 0;
        else value = Stepped(parameter, value, KeyStepOf(state.steps, FieldOf(binding.field).step), binding.up);
        return KeyEffect::Parameter;
    }
    return KeyEffect::None;
}

CentreClick CentreForClick(const AppState& state, Point point) {
    const ModeSpec* mode = FindMode(state.params.effectMode);
    if (!mode || !mode->UsesCentre()) return {};
    const Layout layout = LayoutOf(state);
    const Rect first = layout.Tile(0);
    if (!first.Contains(point)) return {};
    const Size shown = layout.Shown();
    const std::int64_t cx = std::int64_t{point.x} - first.left;
    const std::int64_t cy = std::int64_t{point.y} - first.top;
    const std::int32_t w = state.shown.images.width;
    const std::int32_t h = state.shown.images.height;
    // The picture point in the middle of the block of pixels that this screen
    // pixel shows (the blocks of the shrunk copy); itself at scale 1.
    auto picture = [](std::int64_t screen, std::int64_t size, std::int64_t shownSize) {
        return static_cast<std::int32_t>((screen * size / shownSize + (screen + 1) * size / shownSize) / 2);
    };
    const std::int32_t px = picture(cx, w, shown.width);
    const std::int32_t py = picture(cy, h, shown.height);
    return {true, px - w / 2, (h - 1 - py) - h / 2};
}

void SetComparing(Window& window, AppState& state, bool held) {
    if (state.view.comparing == held) return;
    state.view.comparing = held;
    window.RequestRepaint();
}

void SetEffectMode(Window& window, AppState& state, std::int32_t mode) {
    const ProcessingParams before = state.params;
    state.params.effectMode = mode;
    FinishParameterChange(window, state, before, -1, /*marks=*/true);
}

void SelectImage(Window& window, AppState& state, std::int32_t index) {
    CloseBrowser(window, state);  // choosing a view shows it
    state.view.selectedImage = index;
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

void SetColumns(Window& window, AppState& state, std::int32_t columns) {
    state.view.autoColumns = columns == 0;
    if (columns != 0) state.view.columns = columns;
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

void OnKeyDown(Window& window, AppState& state, Key key) {
    if (key == Key::Tab || (key == Key::Escape && state.view.browser)) {
        ToggleBrowser(window, state);
        return;
    }
    const ProcessingParams before = state.params;
    switch (ApplyKey(state, key)) {
        case KeyEffect::Parameter: FinishParameterChange(window, state, before, static_cast<int>(key)); return;
        case KeyEffect::View:
            CloseBrowser(window, state);  // a view key shows its view
            UpdateMenuChecks(window, state);
            break;
        case KeyEffect::None: break;
    }
    window.RequestRepaint();
}

void OnMouseMove(Window& window, AppState& state, Point point) {
    state.view.pointer = point;
    if (state.view.browser) {
        const BrowserSpot hit = BrowserLayoutOf(state).At(point);
        if (hit == state.view.browserHover) return;
        state.view.browserHover = hit;
        window.RequestRepaint();
        return;
    }
    if (state.view.splitDragging) DragSplitLine(window, state, point.x);
    const std::int32_t hit = LayoutOf(state).TileAt(point);
    const std::optional<Point> probe = PicturePointAt(state, point);
    if (hit == state.view.hoverImage && probe == state.view.probe) return;
    state.view.hoverImage = hit;
    state.view.probe = probe;
    window.RequestRepaint();
}

void OnMouseLeave(Window& window, AppState& state) {
    state.view.pointer.reset();
    if (!state.view.probe) return;
    state.view.probe.reset();
    window.RequestRepaint();
}

void OnPinButtonDown(Window& window, AppState& state, Point point) {
    if (!state.view.browser) TogglePin(window, state, point);  // the thumbnails have no picture points
}

void OnLeftButtonDown(Window& window, AppState& state, Point point) {
    if (state.view.browser) {
        // A thumbnail: its mode (the one step undo takes back) and its
        // slot alone (a change of the view), in place of the browser.
        const BrowserSpot hit = BrowserLayoutOf(state).At(point);
        if (!hit.Valid() || !state.shown.images.Loaded()) return;
        const ModeSpec& mode = *BrowserModes()[static_cast<std::size_t>(hit.row)];
        if (BlankSlot(mode, hit.slot)) return;
        CloseBrowser(window, state);
        state.view.selectedImage = hit.slot;
        SetEffectMode(window, state, mode.mode);  // marks the view's item too
        return;
    }
    // A click leaves the view menu's marks alone: they keep showing the view
    // chosen last by key or menu.
    ViewState& view = state.view;
    if (GrabsSplitLine(state, point)) {
        view.splitDragging = true;
        return;
    }
    view.selectedImage = view.selectedImage == -1 ? LayoutOf(state).TileAt(point) : -1;
    window.RequestRepaint();
}

void OnLeftButtonUp(AppState& state) { state.view.splitDragging = false; }

void OnRightButtonDown(Window& window, AppState& state, Point point) {
    if (state.view.browser) return;
    const CentreClick click = CentreForClick(state, point);
    if (!click.acts) return;
    const ProcessingParams before = state.params;
    state.params.centerX = click.centerX;
    state.params.centerY = click.centerY;
    FinishParameterChange(window, state, before);
}

bool OnCommand(Window& window, AppState& state, Command command) {
    const MenuItem* item = FindMenuItem(command);
    if (!item) return false;
    switch (item->action) {
        case MenuAction::SelectImage: SelectImage(window, state, item->value); break;
        case MenuAction::SetEffectMode: SetEffectMode(window, state, item->value); break;
        case MenuAction::SetColumns: SetColumns(window, state, item->value); break;
        case MenuAction::ActualSize: ToggleActualSize(window, state); break;
        case MenuAction::Zoom:
            if (item->value == 0) FitToWindow(window, state);
            else Zoom(window, state, item->value);
            break;
        case MenuAction::StatusBar: ToggleStatusBar(window, state); break;
        case MenuAction::ProbePanel: ToggleProbePanel(window, state); break;
        case MenuAction::SplitView: ToggleSplitView(window, state); break;
        case MenuAction::Captions: ToggleCaptions(window, state); break;
        case MenuAction::ParameterPanel: ToggleParameterPanel(window, state); break;
        case MenuAction::Browser: ToggleBrowser(window, state); break;
        case MenuAction::Separator: break;
        case MenuAction::Other:
            if (command == Command::Exit) {
                StopPassesOnBase(state);  // a pass reads the base in place
                ReleaseImages(state.shown.images);
                window.Destroy();
            } else if (command == Command::SaveAll) {
                SaveAllCommand(window, state);
            } else if (command == Command::SaveGallery) {
                SaveGalleryCommand(window, state);
            } else {
                RunDialogCommand(window, state, command);
            }
            break;
    }
    return true;
}

}  // namespace prismview
