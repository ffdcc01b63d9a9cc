// The commands that talk to the user or the system through the window: open,
// save, copy, paste, make base, the parameter dialogs, the colour chooser and
// the about box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/window.h"
#include "core/bitmap.h"

namespace prismview {

// A message box with an OK button; `owned` by the main window or a window of
// its own, `detail` under the text.
void Tell(Window& window, std::string_view text, std::string_view caption, bool owned = true, std::string detail = {});
// Save, copy and make-base act on the images of the current parameters: a
// pass on its way is waited for.
void WaitForImages(Window& window, AppState& state);
// A file counts as existing when it can be opened for reading; a folder of
// that name cannot be, and then fails at creation instead.
bool FileExists(const std::string& fileName);
// "NAME ... 上書きしますか？" with No as the default; true for Yes.
bool AskOverwrite(Window& window, const std::string& name, bool owned);

// Whether a picture may be written under the name (BMP without an
// extension): refused with a message for an extension no writer knows;
// asks first when the file exists.
bool MayWriteFile(Window& window, const std::string& fileName);
// Tells that a save failed: a name that could not be created first, then
// the save's failure.
void TellSaveFailed(Window& window, WriteResult result);

void OpenCommand(Window& window, AppState& state);
// Opens a named file as the open command does after its dialog (a dropped
// file, the file named at start): a failure is told, the images stay.
void OpenFileCommand(Window& window, AppState& state, const std::string& fileName);
// "ＢＭＰ読み出し失敗しました。" / "鰓阿", with where the picture came from
// (the file's name) and why it could not be read below.
void TellReadFailed(Window& window, const std::string& source, const std::string& reason);
// A picture from elsewhere (the clipboard, dropped data): the bitmap, or why
// data offered as a picture could not be read (empty when there was none);
// `source` names it for the message. `damage`: why the bitmap is only
// partly the data's (see ReadResult).
struct OfferedPicture {
    BitmapHandle bitmap;
    std::string source;
    std::string reason;
    std::string damage;
};
// Makes the picture the base image and redoes the processing; without one
// nothing changes, and a failed read is told. Repaints.
void UsePicture(Window& window, AppState& state, OfferedPicture picture);
void SaveCommand(Window& window, AppState& state);
// The name the save dialog proposes: the base file's name, the shown slot
// and the extension of the type chosen last ("photo_4.png"; "picture_0.bmp"
// for a pasted base in the gallery).
std::string ProposedSaveName(const AppState& state);
void CopyCommand(Window& window, AppState& state);
void PasteCommand(Window& window, AppState& state);
// Puts the built-in colour chart in the base slot, as a paste puts a picture.
void ColourChartCommand(Window& window, AppState& state);
void MakeCurrentImageBase(Window& window, AppState& state);
void AboutCommand(Window& window);
void HueLevelCommand(Window& window, AppState& state);
void WaveCommand(Window& window, AppState& state);
void BackgroundColourCommand(Window& window, AppState& state);

// Undo and redo of the last step (see History), and the item 初期値に戻す:
// every parameter back to its start value, as one step.
void UndoCommand(Window& window, AppState& state, bool undo);
void ResetParametersCommand(Window& window, AppState& state);

// Runs one of the commands above; false for any other command.
bool RunDialogCommand(Window& window, AppState& state, Command command);

}  // namespace prismview
