#include "app/marks.h"

#include "app/menu.h"

namespace prismview {

void UpdateMenuChecks(Window& window, const AppState& state) {
    // Menu order is the marking order: view items, then modes, then arrangements.
    for (const MenuPopup& popup : MainMenu()) {
        for (const MenuItem& item : popup.items) {
            switch (item.action) {
                case MenuAction::SelectImage:
                    window.SetMenuCheck(item.id, state.view.selectedImage == item.value);
                    break;
                case MenuAction::SetEffectMode:
                    window.SetMenuCheck(item.id, state.params.effectMode == item.value);
                    break;
                case MenuAction::SetColumns:
                    window.SetMenuCheck(item.id, state.view.autoColumns ? item.value == 0
                                                                        : state.view.columns == item.value);
                    break;
                case MenuAction::ActualSize:  // its own mark, apart from these
                case MenuAction::StatusBar:
                case MenuAction::ProbePanel:
                case MenuAction::SplitView:
                case MenuAction::Captions:
                case MenuAction::ParameterPanel:
                case MenuAction::Browser:
                case MenuAction::Zoom:
                case MenuAction::Separator:
                case MenuAction::Other:
                    break;
            }
        }
    }
}

}  // namespace prismview
