// The main window as the program's logic sees it. The Qt main window
// implements it; tests implement it with a recorder.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/geometry.h"
#include "app/menu.h"
#include "core/bitmap.h"
#include "core/pixels.h"
#include "io/picture_file.h"
#include "io/sweep_files.h"

namespace prismview {

// The keys the program acts on; every other key press is Other (no action,
// but it still repaints).
enum class Key {
    Other,
    Left, Up, Right, Down,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    Q, W, E, R, O,
    A, S, D, F, G, H,
    Tab, Escape,  // the browser of every mode: open or close; close
};

class DialogLogic;
class Canvas;

// What the save dialog starts with: the folder, a proposed name (with the
// extension of `type`) and the type chosen in its list; the dialog leaves
// the type the user chose last in `type`.
struct SaveQuestion {
    std::string folder;
    std::string proposedName;
    SaveFormat type = SaveFormat::Bmp;
};

// What すべて保存 asks: the folder the files go into (it starts in the one
// given), the type (as in the save dialog) and whether the base image goes
// with the four; `stem` and `slots` (the derived images that are pictures)
// only show the names. The dialog leaves the answers.
struct SaveAllQuestion {
    std::string folder;
    std::string stem;
    SaveFormat type = SaveFormat::Png;
    bool withBase = false;
    std::vector<std::int32_t> slots;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question };
enum class MessageAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    bool owned = true;  // owned by the main window; otherwise a window of its own
    std::string detail;  // shown under the text in smaller type (what failed and why); may be empty
};

// What the clipboard gave: nothing when it holds no bitmap; `opened` false
// when it could not be reached at all; `reason` why picture data it held
// could not be read (empty when it held none); `damage` why the bitmap is
// only partly the data's (empty for a complete picture).
struct ClipboardBitmap {
    bool opened = true;
    BitmapHandle bitmap;
    std::string reason;
    std::string damage;
};

class Window {
public:
    virtual ~Window() = default;
    // Draws a status text at the top-left corner of the client area at once,
    // without erasing anything first.
    virtual void DrawStatusText(std::string_view text) = 0;
    // Asks for a repaint of the whole client area, background erased first.
    // The paint follows once the current event is handled.
    virtual void RequestRepaint() = 0;
    // Sets or clears the check mark of the command's menu item.
    virtual void SetMenuCheck(Command command, bool checked) = 0;
    // Destroys the main window; OnDestroy runs as part of it.
    virtual void Destroy() = 0;
    // Ends the event loop with that exit code once the current event is handled.
    virtual void PostQuit(int exitCode) = 0;

    // A modal message box; returns the button the user chose (closing a
    // Yes/No box without choosing counts as No).
    virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    // The file dialogs: the chosen name, or nothing when cancelled. They start
    // in `folder` (the current one when empty), listing the picture files.
    // The save dialog proposes the question's name, adds the extension of
    // the chosen type to a name without one, and never asks about
    // overwriting by itself.
    virtual std::optional<std::string> AskOpenFileName(const std::string& folder) = 0;
    virtual std::optional<std::string> AskSaveFileName(SaveQuestion& question) = 0;
    // The question of すべて保存; false when cancelled.
    virtual bool AskSaveAll(SaveAllQuestion&) { return false; }
    // 一覧画像として保存: the pictures at their own size (true) or as shown
    // (false); nothing when cancelled.
    virtual std::optional<bool> AskGallerySize() { return std::nullopt; }
    // A new picture of that size, white, painted by `paint` through a canvas
    // with the window's font; null without memory.
    virtual BitmapHandle PaintPicture(Size, const std::function<void(Canvas&)>&) { return nullptr; }
    // The quality of a JPEG or WebP file (and, for WebP, lossless), the
    // last choice preselected; false when cancelled.
    virtual bool AskWriteOptions(SaveFormat, WriteOptions&) { return true; }
    // The colour chooser with `colour` preselected and the sixteen custom
    // colours; true and the chosen colour in `colour` on OK. The custom
    // colours come back as the user left them, also on cancel.
    virtual bool ChooseColour(RgbValue& colour, std::array<RgbValue, 16>& customColours) = 0;
    // Builds the dialog of the logic's template and runs it modally; returns
    // the result the logic ended it with.
    virtual int RunDialog(DialogLogic& logic) = 0;
    // The pointer over the client area shows that a pass is running.
    virtual void SetBusy(bool) {}
    // Shows or hides the status bar below the client area.
    virtual void ShowStatusBar(bool) {}
    // Shows or hides the probe panel; it lists what ProbeRows gives and
    // follows every repaint.
    virtual void ShowProbePanel(bool) {}
    // Shows or hides the parameter panel; it shows the controls PanelRows
    // gives for the current mode and follows every repaint.
    virtual void ShowParameterPanel(bool) {}
    // Opens (or raises) the window listing every key and mouse action.
    virtual void ShowKeyReference() {}
    // Keeps the window painting and handling everything but the user's
    // input until `done` says true (a command waiting for a running pass).
    virtual void WaitUntil(const std::function<bool()>& done) = 0;
    // Puts a copy of the bitmap on the clipboard; failures are silent.
    virtual void PutClipboardBitmap(const Bitmap& bitmap) = 0;
    // Puts the text on the clipboard; failures are silent.
    virtual void PutClipboardText(const std::string&) {}
    // Changes the caption of the command's menu item.
    virtual void SetMenuCaption(Command, std::string_view) {}
    // The save dialog of a sweep: a .webp or a sheet's file name, or the name
    // of the folder for numbered frames; nothing when cancelled.
    virtual std::optional<std::string> AskSweepFileName(const std::string&, SweepFormat) { return std::nullopt; }
    // A modal progress dialog of `total` steps with a cancel button.
    // StepProgress shows the steps done, keeps the window painting and
    // answers false once the user has cancelled.
    virtual void BeginProgress(std::string_view, std::int32_t) {}
    virtual bool StepProgress(std::int32_t) { return true; }
    virtual void EndProgress() {}
    // A copy of the clipboard's bitmap, owned by the caller.
    virtual ClipboardBitmap TakeClipboardBitmap() = 0;
};

}  // namespace prismview
