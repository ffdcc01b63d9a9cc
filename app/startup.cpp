#include "app/startup.h"

#include "app/regenerate.h"
#include "io/bmp_file.h"
#include "resources/strings.h"

namespace prismview {

void OpenImageFile(Window& window, AppState& state, const std::string& fileName) {
    window.DrawStatusText(kLoadingText);
    LoadBaseImage(state.images, fileName);
    Regenerate(window, state);
}

void LoadWindowStrings(AppState& state) {
    state.windowTitle = kWindowTitle;
    state.windowClassName = kWindowClassName;
}

void OpenStartImage(Window& window, AppState& state) {
    OpenImageFile(window, state, std::string(kStartImageFile));
}

void OnDestroy(Window& window, AppState& state) {
    ReleaseImages(state.images);
    window.PostQuit(0);
}

}  // namespace prismview
