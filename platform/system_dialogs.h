// What the desktop lends the window: the message box, the file dialogs, the
// colour chooser and the clipboard, in the program's own types.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>
#include <string>

#include "app/window.h"

namespace prismview {

// Gives the main window the focus back when a modal dialog or message box
// ends, as the owner of a modal dialog gets it; without a window manager
// (a bare X display) nothing else would, and the shortcuts would stay off.
class ReactivateAfter {
public:
    explicit ReactivateAfter(QWidget* window) : window_(window) {}
    ~ReactivateAfter() {
        if (window_ && window_->isVisible()) window_->activateWindow();
    }
    ReactivateAfter(const ReactivateAfter&) = delete;
    ReactivateAfter& operator=(const ReactivateAfter&) = delete;

private:
    QPointer<QWidget> window_;
};

// A modal message box, owned by `owner` unless the request says otherwise.
MessageAnswer ShowMessageBox(QWidget* owner, const MessageBoxRequest& request);

// Qt's own file dialog, in `folder` (the current one when empty): the
// chosen name, or nothing when cancelled.
std::optional<std::string> AskFileName(QWidget* owner, const std::string& folder, bool save);
// The save dialog: the question's folder, name and type; the chosen type
// (its filter) follows the user and adds its extension to a bare name.
std::optional<std::string> AskSaveFileName(QWidget* owner, SaveQuestion& question);
// The save dialog of a sweep's output: a WebP or picture file, or a folder's name.
// The quality of a JPEG or WebP file, with lossless for WebP.
bool AskWriteOptions(QWidget* owner, SaveFormat format, WriteOptions& options);
// すべて保存: the folder (a line and a chooser), the type and the base; the
// names it will write shown as they follow the choices.
bool AskSaveAll(QWidget* owner, SaveAllQuestion& question);
// 一覧画像として保存: own size (true) or the shown size (false).
std::optional<bool> AskGallerySize(QWidget* owner);
std::optional<std::string> AskSweepFileName(QWidget* owner, const std::string& folder, SweepFormat format);

// Qt's colour chooser; see Window::ChooseColour.
bool ChooseColour(QWidget* owner, RgbValue& colour, std::array<RgbValue, 16>& customColours);

// The clipboard's picture: a copy put, a copy taken (see Window).
void PutClipboardBitmap(const Bitmap& bitmap);
ClipboardBitmap TakeClipboardBitmap();

}  // namespace prismview
