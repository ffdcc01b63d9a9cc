// A Window that records every call in order, keeps the menu's marks as the
// real menu would (starting from the marks of the menu table), and answers
// the dialogs, message boxes and the clipboard from a script.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/canvas.h"
#include "app/dialogs.h"
#include "support/pixel_buffer.h"
#include "app/window.h"
#include "app/menu.h"

namespace prismview::test {

// The controls of a dialog that no one shows: texts and marks by id.
class FakeControls : public DialogControls {
public:
    std::string Text(int id) const override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(int id, std::string_view text) override { texts[id] = std::string(text); }
    bool Checked(int id) const override {
        const auto it = checks.find(id);
        return it != checks.end() && it->second;
    }
    void SetChecked(int id, bool checked) override { checks[id] = checked; }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
};

// What the user does in a dialog: edits fields and marks, then presses
// buttons in order until one ends the dialog.
struct DialogScript {
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::vector<int> presses;
};

class RecordingWindow : public Window {
public:
    RecordingWindow() {
        for (const MenuPopup& popup : MainMenu())
            for (const MenuItem& item : popup.items)
                if (item.id != Command::None) marks[item.id] = item.checkedAtStart;
    }
    void DrawStatusText(std::string_view text) override { calls.push_back("status " + std::string(text)); }
    void RequestRepaint() override { calls.emplace_back("repaint"); }
    void ShowProbePanel(bool shown) override { calls.push_back(shown ? "probe panel on" : "probe panel off"); }
    void ShowParameterPanel(bool shown) override { calls.push_back(shown ? "parameter panel on" : "parameter panel off"); }
    void ShowKeyReference() override { calls.emplace_back("key reference"); }
    void PutClipboardText(const std::string& text) override { calls.push_back("clipboard text " + text); }
    void SetMenuCheck(Command id, bool checked) override {
        calls.push_back("check " + std::to_string(static_cast<int>(id)) + (checked ? " on" : " off"));
        marks[id] = checked;
    }
    void Destroy() override { calls.emplace_back("destroy"); }
    void PostQuit(int code) override { calls.push_back("quit " + std::to_string(code)); }

    MessageAnswer ShowMessage(const MessageBoxRequest& request) override {
        calls.push_back("message " + request.caption + ": " + request.text);
        messages.push_back(request);
        if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::No;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> AskOpenFileName(const std::string& folder) override {
        calls.emplace_back("ask open");
        askedIn = folder;
        return openName;
    }
    std::optional<std::string> AskSaveFileName(SaveQuestion& question) override {
        calls.emplace_back("ask save");
        askedIn = question.folder;
        proposedName = question.proposedName;
        if (chosenSaveType) question.type = *chosenSaveType;
        return saveName;
    }
    bool AskSaveAll(SaveAllQuestion& question) override {
        calls.emplace_back("ask save all");
        askedIn = question.folder;
        if (!saveAll) return false;
        question.folder = saveAll->folder;
        question.type = saveAll->type;
        question.withBase = saveAll->withBase;
        return true;
    }
    std::optional<bool> AskGallerySize() override {
        calls.emplace_back("ask gallery size");
        return galleryOwnSize;
    }
    // Draws the pictures (their pixels copied, clipped to the picture) and
    // notes the texts; frames, fills and clips are not needed by the sheets.
    BitmapHandle PaintPicture(Size size, const std::function<void(Canvas&)>& paint) override {
        BitmapHandle picture = Bitmap::Create(size.width, size.height);
        if (!picture) return nullptr;
        for (std::int32_t y = 0; y < size.height; ++y)
            std::fill_n(picture->Scanline(y), size.width, 0xFFFFFFFFu);
        struct Copying : Canvas {
            Bitmap& to;
            std::vector<std::string>& texts;
            Copying(Bitmap& t, std::vector<std::string>& x) : to(t), texts(x) {}
            void DrawText(Point, std::string_view text) override { texts.emplace_back(text); }
            void DrawImage(Point at, const Bitmap& from, Size part) override {
                for (std::int32_t y = 0; y < part.height; ++y)
                    for (std::int32_t x = 0; x < part.width; ++x)
                        if (at.x + x >= 0 && at.x + x < to.Width() && at.y + y >= 0 && at.y + y < to.Height())
                            to.Scanline(at.y + y)[at.x + x] = from.Scanline(y)[x];
            }
            void DrawImageEnlarged(const Rect&, const Bitmap&) override {}
            void FrameRect(const Rect&, RgbValue) override {}
            void FillRect(const Rect&, RgbValue) override {}
            void ClipTo(const Rect&) override {}
            void Unclip() override {}
        } canvas(*picture, paintedTexts);
        paint(canvas);
        return picture;
    }
    bool ChooseColour(RgbValue& colour, std::array<RgbValue, 16>& customColours) override {
        calls.emplace_back("choose colour");
        offeredColour = colour;
        offeredCustomColours = customColours;
        if (chooseCustomColours) customColours = *chooseCustomColours;
        if (!chosenColour) return false;
        colour = *chosenColour;
        return true;
    }
    int RunDialog(DialogLogic& logic) override {
        calls.push_back("dialog " + std::to_string(logic.TemplateId()));
        FakeControls controls;
        logic.Init(controls);
        shownControls = controls;
        for (const auto& [id, text] : dialogScript.texts) controls.SetText(id, text);
        for (const auto& [id, on] : dialogScript.checks) controls.SetChecked(id, on);
        for (int id : dialogScript.presses)
            if (const int result = logic.Command(id, controls)) return result;
        return 0;
    }
    std::optional<std::string> AskSweepFileName(const std::string& folder, SweepFormat) override {
        calls.emplace_back("ask sweep");
        askedIn = folder;
        return sweepName;
    }
    void BeginProgress(std::string_view text, std::int32_t total) override {
        calls.push_back("progress " + std::string(text) + " " + std::to_string(total));
    }
    bool StepProgress(std::int32_t done) override { return cancelAtStep == 0 || done < cancelAtStep; }
    void EndProgress() override { calls.emplace_back("progress end"); }
    void PutClipboardBitmap(const Bitmap& bitmap) override {
        calls.emplace_back("clipboard put");
        clipboard = ReadPixels(bitmap);
    }
    void WaitUntil(const std::function<bool()>& done) override {
        calls.emplace_back("wait");
        // The window's thread while it waits: what the pass's thread posts runs here.
        while (!done()) {
            if (drain) drain();
            std::this_thread::yield();
        }
    }
    std::function<void()> drain;  // runs what was posted to the window's thread
    std::optional<std::string> sweepName;  // what the sweep's save dialog gives
    std::int32_t cancelAtStep = 0;         // the progress step whose Cancel is pressed; 0: none
    ClipboardBitmap TakeClipboardBitmap() override {
        calls.emplace_back("clipboard take");
        ClipboardBitmap result;
        result.opened = clipboardOpens;
        result.reason = clipboardReason;
        if (clipboardOpens && clipboard) {
            result.bitmap = Bitmap::Create(clipboard->width, clipboard->height);
            WritePixels(*result.bitmap, *clipboard);
        }
        return result;
    }

    // The commands that carry a mark right now, in ascending order of id.
    std::vector<Command> Marked() const {
        std::vector<Command> ids;
        for (const auto& [id, on] : marks)
            if (on) ids.push_back(id);
        return ids;
    }
    std::size_t Count(std::string_view prefix) const {
        std::size_t n = 0;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0) ++n;
        return n;
    }

    std::vector<std::string> calls;
    std::map<Command, bool> marks;

    // Script and record of the user's side.
    std::vector<MessageBoxRequest> messages;
    std::deque<MessageAnswer> answers;  // for Yes/No boxes; none left answers No
    std::optional<std::string> openName;
    std::optional<std::string> saveName;
    std::string proposedName;                 // what the last save dialog proposed
    std::optional<SaveFormat> chosenSaveType;  // the type the save dialog answers with
    std::optional<SaveAllQuestion> saveAll;    // how すべて保存's dialog answers; none: cancelled
    std::optional<bool> galleryOwnSize;        // 一覧画像として保存's size; none: cancelled
    std::vector<std::string> paintedTexts;     // the texts PaintPicture's pictures got
    std::optional<std::string> askedIn;  // the folder the last file dialog started in
    std::optional<RgbValue> chosenColour;  // none: the chooser is cancelled
    std::optional<std::array<RgbValue, 16>> chooseCustomColours;
    RgbValue offeredColour = 0;
    std::array<RgbValue, 16> offeredCustomColours{};
    DialogScript dialogScript;
    FakeControls shownControls;  // the dialog's controls as Init left them
    std::optional<PixelBuffer> clipboard;
    bool clipboardOpens = true;
    std::string clipboardReason;  // why the picture data it holds cannot be read
};

}  // namespace prismview::test
