#include "app/startup.h"

#include <filesystem>
#include <system_error>

#include "app/batch_command.h"
#include "app/pass_runner.h"
#include "app/regenerate.h"
#include "app/view.h"
#include "io/picture_file.h"
#include "resources/strings.h"

namespace prismview {

void NoteFileUsed(AppState& state, const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
    if (!error) state.dialogs.lastFolder = absolute.parent_path().string();
}

void StopPassesOnBase(AppState& state) {
    if (state.passRunner) state.passRunner->Cancel();
}

void KeepBaseForUndo(AppState& state) {
    StopPassesOnBase(state);
    ImageSet& images = state.shown.images;
    if (!images.Loaded()) return;
    state.history.BaseReplaced(
        {state.params, std::move(images.bitmaps[0]), state.baseFileName, state.basePath, state.baseDamage, state.baseChain});
}

void SetBaseOrigin(Window& window, AppState& state, std::string fileName, std::string path, std::string damage,
                   Chain chain) {
    state.baseFileName = std::move(fileName);
    state.basePath = std::move(path);
    state.baseDamage = std::move(damage);
    state.baseChain = std::move(chain);
    window.SetMenuCaption(Command::CopyCommand, CopyCommandCaption(state));
}

bool OpenImageFile(Window& window, AppState& state, const std::string& fileName, std::string* reason) {
    window.DrawStatusText(kLoadingText);
    // The old pictures go only once the new one has been read: a file that
    // cannot be read must not cost the user the images (one made the base
    // image exists nowhere else).
    ReadResult result = ReadPictureFile(fileName);
    BitmapHandle picture = std::move(result.bitmap);
    const bool read = picture != nullptr;
    if (!read && reason) *reason = result.reason;
    if (read) {
        KeepBaseForUndo(state);
        const Size before{state.shown.images.width, state.shown.images.height};
        InstallBaseImage(state.shown.images, std::move(picture));
        StartNewPicture(state, before, true);
        NoteFileUsed(state, fileName);
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
        SetBaseOrigin(window, state, std::filesystem::path(fileName).filename().string(),
                      error ? fileName : absolute.lexically_normal().string(), std::move(result.damage));
    }
    Regenerate(window, state);
    return read;
}

void OpenStartImage(Window& window, AppState& state) {
    OpenImageFile(window, state, std::string(kStartImageFile));
}

void OnDestroy(Window& window, AppState& state) {
    if (state.passRunner) state.passRunner->Cancel();  // it lets go of everything first
    ReleaseImages(state.shown.images);
    window.PostQuit(0);
}

}  // namespace prismview
