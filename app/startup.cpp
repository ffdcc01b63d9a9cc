#include "app/startup.h"

#include "app/regenerate.h"
#include "io/bmp_file.h"
#include "resources/strings.h"

namespace prismview {

bool OpenImageFile(Window& window, AppState& state, const std::string& fileName) {
    window.DrawStatusText(kLoadingText);
    // The old pictures go only once the new one has been read: a file that
    // cannot be read must not cost the user the images (one made the base
    // image exists nowhere else).
    BitmapHandle picture = ReadBmpFile(fileName);
    const bool read = picture != nullptr;
    if (read) InstallBaseImage(state.images, std::move(picture));
    Regenerate(window, state);
    return read;
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
