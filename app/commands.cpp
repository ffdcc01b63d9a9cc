#include "app/commands.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/background_save.h"
#include "app/batch_command.h"
#include "app/dialogs.h"
#include "app/marks.h"
#include "app/pass_runner.h"
#include "app/regenerate.h"
#include "app/startup.h"
#include "app/view.h"
#include "core/colour_chart.h"
#include "io/picture_file.h"
#include "app/menu.h"
#include "resources/strings.h"

namespace prismview {

void Tell(Window& window, std::string_view text, std::string_view caption, bool owned, std::string detail) {
    MessageBoxRequest request;
    request.text = std::string(text);
    request.caption = std::string(caption);
    request.owned = owned;
    request.detail = std::move(detail);
    window.ShowMessage(request);
}

namespace {

// Whether one loaded image is shown; tells the user why not. Save and copy
// tell the two causes apart.
bool ImageShownOrTell(Window& window, const AppState& state) {
    if (!state.shown.images.Loaded()) {
        Tell(window, kNoImageText, kRequestCaption);
        return false;
    }
    if (state.view.Gallery()) {
        Tell(window, kChooseImageText, kRequestCaption);
        return false;
    }
    return true;
}

}  // namespace

void WaitForImages(Window& window, AppState& state) {
    if (!state.passRunner || !state.passRunner->Busy()) return;
    window.WaitUntil([&state] { return !state.passRunner->Busy(); });
}

namespace {

const Bitmap* ShownImage(const AppState& state) {
    return state.shown.images.bitmaps[static_cast<std::size_t>(state.view.selectedImage)].get();
}

}  // namespace

bool FileExists(const std::string& fileName) {
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error)) return false;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool AskOverwrite(Window& window, const std::string& name, bool owned) {
    MessageBoxRequest question;
    question.text = name + std::string(kOverwriteQuestionSuffix);
    question.caption = std::string(kOverwriteCaption);
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::Question;
    question.defaultButton = MessageAnswer::No;
    question.owned = owned;
    return window.ShowMessage(question) == MessageAnswer::Yes;
}

namespace {

void RunParameterDialog(Window& window, AppState& state, DialogLogic& dialog) {
    const ProcessingParams before = state.params;
    if (window.RunDialog(dialog) != kDialogOk) return;
    FinishParameterChange(window, state, before);
}

}  // namespace

bool MayWriteFile(Window& window, const std::string& fileName) {
    // Refused before anything else: no question about a file that will not be written.
    if (SaveFormatFor(fileName) == SaveFormat::Unknown) {
        Tell(window, std::string(kUnknownExtensionText) + SavableExtensions(), kErrorCaption, /*owned=*/false);
        return false;
    }
    return !FileExists(fileName) || AskOverwrite(window, fileName, /*owned=*/false);
}

void TellSaveFailed(Window& window, WriteResult result) {
    // A write that stops part way is a failure the user must hear of; the
    // old file is still there.
    if (result == WriteResult::CannotCreate) Tell(window, kInvalidNameText, kErrorCaption, /*owned=*/false);
    Tell(window, kSaveFailedText, kFailureCaption);
}

void TellReadFailed(Window& window, const std::string& source, const std::string& reason) {
    Tell(window, kOpenFailedText, kFailureCaption, true, source + "\n" + reason);
}

void OpenFileCommand(Window& window, AppState& state, const std::string& fileName) {
    std::string reason;
    if (!OpenImageFile(window, state, fileName, &reason)) TellReadFailed(window, fileName, reason);
    window.RequestRepaint();
}

void OpenCommand(Window& window, AppState& state) {
    const std::optional<std::string> fileName = window.AskOpenFileName(state.dialogs.lastFolder);
    if (fileName) OpenFileCommand(window, state, *fileName);
}

std::string ProposedSaveName(const AppState& state) {
    std::string stem = std::filesystem::path(state.baseFileName).stem().string();
    if (stem.empty()) stem = "picture";
    const std::int32_t slot = state.view.Gallery() ? 0 : state.view.selectedImage;
    std::string_view extension = "bmp";
    for (const SavableFormat& format : SavableFormats())
        if (format.format == state.dialogs.saveType) extension = format.extensions[0];
    return stem + "_" + std::to_string(slot) + "." + std::string(extension);
}

void SaveCommand(Window& window, AppState& state) {
    if (!ImageShownOrTell(window, state)) return;
    WaitForImages(window, state);
    SaveQuestion question{state.dialogs.lastFolder, ProposedSaveName(state), state.dialogs.saveType};
    const std::optional<std::string> fileName = window.AskSaveFileName(question);
    state.dialogs.saveType = question.type;
    if (!fileName) return;
    const SaveFormat format = SaveFormatFor(*fileName);
    // A name typed with its own extension chooses the type the next dialog starts in.
    if (format != SaveFormat::Unknown) state.dialogs.saveType = format;
    if ((format == SaveFormat::Jpeg || format == SaveFormat::Webp) && !window.AskWriteOptions(format, state.dialogs.writeOptions))
        return;
    // A derived image whose bitmap could not be created cannot be saved either.
    const Bitmap* shown = ShownImage(state);
    if (!shown || !MayWriteFile(window, *fileName)) {
        Tell(window, kSaveFailedText, kFailureCaption);
        return;
    }
    if (!state.saver) {
        const WriteResult result = WritePictureFile(*fileName, *shown, nullptr, state.dialogs.writeOptions);
        if (result == WriteResult::Written) NoteFileUsed(state, *fileName);
        else TellSaveFailed(window, result);
        return;
    }
    // Beside the window, from a copy: the picture shown now is the one saved.
    if (state.saver->Busy()) window.WaitUntil([&state] { return !state.saver->Busy(); });
    BitmapHandle copy = Bitmap::Create(shown->Width(), shown->Height());
    if (!copy || !copy->CopyFrom(*shown)) {
        Tell(window, kSaveFailedText, kFailureCaption);
        return;
    }
    state.saver->Start(*fileName, std::move(copy), state.dialogs.writeOptions,
                       [&window, &state, name = *fileName](WriteResult result, const std::string&) {
                           if (result == WriteResult::Written) NoteFileUsed(state, name);
                           else TellSaveFailed(window, result);
                           window.RequestRepaint();
                       });
    window.RequestRepaint();  // the status bar says what is being saved
}

void CopyCommand(Window& window, AppState& state) {
    if (!ImageShownOrTell(window, state)) return;
    WaitForImages(window, state);
    if (const Bitmap* shown = ShownImage(state)) window.PutClipboardBitmap(*shown);
}

void PasteCommand(Window& window, AppState& state) {
    // The pictures go only once a new one is in hand: a clipboard without a
    // bitmap must not cost the user the images.
    ClipboardBitmap pasted = window.TakeClipboardBitmap();
    if (!pasted.opened) Tell(window, kClipboardText, kClipboardCaption);
    UsePicture(window, state,
               {std::move(pasted.bitmap), std::string(kClipboardSource), std::move(pasted.reason), std::move(pasted.damage)});
}

void ColourChartCommand(Window& window, AppState& state) {
    BitmapHandle chart = MakeColourChart();
    const bool made = chart != nullptr;
    UsePicture(window, state, {std::move(chart), std::string(kChartName), std::string(kChartFailedReason), {}});
    // Named like a file, so the title and the proposed save names say what it is.
    if (made) SetBaseOrigin(window, state, std::string(kChartName), {}, {});
}

void UsePicture(Window& window, AppState& state, OfferedPicture picture) {
    if (picture.bitmap) {
        KeepBaseForUndo(state);
        const Size before{state.shown.images.width, state.shown.images.height};
        InstallBaseImage(state.shown.images, std::move(picture.bitmap));
        StartNewPicture(state, before, true);
        SetBaseOrigin(window, state, {}, {}, std::move(picture.damage));
        Regenerate(window, state);
    } else if (!picture.reason.empty()) {
        TellReadFailed(window, picture.source, picture.reason);
    }
    window.RequestRepaint();
}

void MakeCurrentImageBase(Window& window, AppState& state) {
    // A blank slot ("－") makes no picture: its bitmap holds nothing to keep.
    if (!state.shown.images.Loaded() || state.view.Gallery() ||
        state.shown.Label(state.view.selectedImage) == kBlankLabel) {
        Tell(window, kChooseImageText, kRequestCaption);
        return;
    }
    WaitForImages(window, state);
    const Bitmap* shown = ShownImage(state);
    // Slot 0 keeps its bitmap; only the pixels change. A missing derived
    // bitmap draws nothing, as an empty picture would.
    if (shown && state.view.selectedImage != 0) {
        // The old base is kept for undo as a copy: slot 0 keeps its bitmap.
        StopPassesOnBase(state);
        BitmapHandle old = Bitmap::Create(shown->Width(), shown->Height());
        if (old && old->CopyFrom(*state.shown.images.bitmaps[0]))
            state.history.BaseReplaced(
                {state.params, std::move(old), state.baseFileName, state.basePath, state.baseDamage, state.baseChain});
        state.shown.images.bitmaps[0]->CopyFrom(*shown);
        state.shown.images.scaled[0].reset();  // a copy of the old pixels
        state.shown.images.generation = NewImageGeneration();
        // No longer the file's own picture, but made from it by one more pass.
        Chain chain = state.baseChain;
        chain.push_back({state.params, state.view.selectedImage});
        SetBaseOrigin(window, state, {}, state.basePath, state.baseDamage, std::move(chain));
    }
    Regenerate(window, state);
    window.RequestRepaint();
}

void AboutCommand(Window& window) {
    AboutDialog about;
    window.RunDialog(about);
}

void HueLevelCommand(Window& window, AppState& state) {
    HueLevelDialog dialog(state.params, state.steps);
    RunParameterDialog(window, state, dialog);
}

void WaveCommand(Window& window, AppState& state) {
    WaveDialog dialog(state.params, state.steps);
    RunParameterDialog(window, state, dialog);
}

void BackgroundColourCommand(Window& window, AppState& state) {
    RgbValue colour = state.params.backgroundColor;
    if (!window.ChooseColour(colour, state.dialogs.customColors)) return;
    const ProcessingParams before = state.params;
    state.params.backgroundColor = colour;
    FinishParameterChange(window, state, before);
}

void UndoCommand(Window& window, AppState& state, bool undo) {
    state.history.Settle(state.params);  // a drag going on: what it changed so far is the newest step
    HistoryStep step;
    if (!state.history.Take(undo, step)) return;
    HistoryStep current{state.params, nullptr, state.baseFileName, state.basePath, state.baseDamage, state.baseChain};
    if (step.base) {
        StopPassesOnBase(state);
        current.base = std::move(state.shown.images.bitmaps[0]);
        const Size before{state.shown.images.width, state.shown.images.height};
        InstallBaseImage(state.shown.images, std::move(step.base));
        StartNewPicture(state, before, false);
        SetBaseOrigin(window, state, step.baseFileName, step.basePath, step.baseDamage, std::move(step.baseChain));
    }
    state.params = step.params;
    state.history.Keep(undo, std::move(current));
    Regenerate(window, state);
    UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

// The sweep dialog, the output's name, then every frame with a progress
// dialog that can stop it (nothing is then left on disk).
void SweepCommand(Window& window, AppState& state) {
    if (!state.shown.images.Loaded()) {
        Tell(window, kNoImageText, kRequestCaption);
        return;
    }
    WaitForImages(window, state);
    const Size picture{state.shown.images.width, state.shown.images.height};
    SweepRequest request;
    if (state.dialogs.sweep) {
        request = *state.dialogs.sweep;
    } else {
        request.slot = state.view.Gallery() ? kGallery : state.view.selectedImage;
    }
    SweepDialog dialog(request, state.params, picture);
    if (window.RunDialog(dialog) != kDialogOk) return;
    state.dialogs.sweep = request;
    const std::optional<std::string> path = window.AskSweepFileName(state.dialogs.lastFolder, request.format);
    if (!path) return;
    std::error_code error;
    const bool taken = request.format == SweepFormat::PngFrames
                           ? !std::filesystem::is_empty(*path, error) && !error
                           : std::filesystem::exists(*path, error);
    if (taken && !AskOverwrite(window, *path, /*owned=*/true)) return;
    if (!state.shown.images.Loaded()) return;
    const Bitmap& base = *state.shown.images.bitmaps[0];
    window.BeginProgress(kSweepProgressText, request.frames);
    std::string reason;
    const SweepResult result = RunSweep(
        base, state.params, request, *path, [&window](std::int32_t done) { return window.StepProgress(done); }, reason);
    window.EndProgress();
    if (result == SweepResult::Failed) Tell(window, kSweepFailedText, kFailureCaption, true, *path + "\n" + reason);
    if (result == SweepResult::Written) NoteFileUsed(state, *path);
}

void ResetParametersCommand(Window& window, AppState& state) {
    const ProcessingParams before = state.params;
    state.params = ProcessingParams{};
    FinishParameterChange(window, state, before, -1, /*marks=*/true);
}

bool RunDialogCommand(Window& window, AppState& state, Command command) {
    switch (command) {
        case Command::Open: OpenCommand(window, state); return true;
        case Command::Save: SaveCommand(window, state); return true;
        case Command::Copy: CopyCommand(window, state); return true;
        case Command::Paste: PasteCommand(window, state); return true;
        case Command::ColourChart: ColourChartCommand(window, state); return true;
        case Command::MakeBase: MakeCurrentImageBase(window, state); return true;
        case Command::About: AboutCommand(window); return true;
        case Command::KeyReference: window.ShowKeyReference(); return true;
        case Command::CopyCommand: CopyBatchCommand(window, state); return true;
        case Command::Sweep: SweepCommand(window, state); return true;
        case Command::Undo: UndoCommand(window, state, true); return true;
        case Command::Redo: UndoCommand(window, state, false); return true;
        case Command::ResetParameters: ResetParametersCommand(window, state); return true;
        case Command::HueLevelDialog: HueLevelCommand(window, state); return true;
        case Command::WaveDialog: WaveCommand(window, state); return true;
        case Command::BackgroundColour: BackgroundColourCommand(window, state); return true;
        default: return false;
    }
}

}  // namespace prismview
