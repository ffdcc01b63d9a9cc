#include "app/save_all.h"

#include <filesystem>

#include "app/background_save.h"
#include "app/commands.h"
#include "app/paint.h"
#include "app/startup.h"
#include "app/view.h"
#include "core/downscale.h"
#include "resources/strings.h"

namespace prismview {

namespace {

std::string_view ExtensionOf(SaveFormat type) {
    for (const SavableFormat& format : SavableFormats())
        if (format.format == type) return format.extensions[0];
    return "bmp";
}

std::string StemOf(const AppState& state) {
    std::string stem = std::filesystem::path(state.baseFileName).stem().string();
    return stem.empty() ? "picture" : stem;
}

// Copies of the bitmaps to write (the window's own go on changing), or
// nothing without memory.
std::optional<std::vector<BackgroundSave::Picture>> Copies(const AppState& state, const std::vector<NamedSlot>& names) {
    std::vector<BackgroundSave::Picture> copies;
    for (const NamedSlot& named : names) {
        const Bitmap* shown = state.shown.images.bitmaps[static_cast<std::size_t>(named.slot)].get();
        if (!shown) return std::nullopt;
        BitmapHandle copy = Bitmap::Create(shown->Width(), shown->Height());
        if (!copy || !copy->CopyFrom(*shown)) return std::nullopt;
        copies.push_back({named.fileName, std::move(copy)});
    }
    return copies;
}

// Writes the pictures as one set, beside the window when it can.
void WriteSet(Window& window, AppState& state, std::vector<BackgroundSave::Picture> pictures) {
    auto finished = [&window, &state](const std::string& failed, const std::string& reason) {
        if (failed.empty()) return;
        Tell(window, kSaveFailedText, kFailureCaption, true, failed + "\n" + reason);
        window.RequestRepaint();
    };
    if (!state.saver) {
        std::vector<PictureToWrite> written;
        for (const BackgroundSave::Picture& picture : pictures) written.push_back({picture.fileName, picture.bitmap.get()});
        std::string reason;
        const std::size_t count = WritePictureSet(written, &reason, state.dialogs.writeOptions);
        finished(count < written.size() ? written[count].fileName : std::string(), reason);
        return;
    }
    if (state.saver->Busy()) window.WaitUntil([&state] { return !state.saver->Busy(); });
    state.saver->StartSet(std::move(pictures), state.dialogs.writeOptions, [&window, finished](const std::string& failed, const std::string& reason) {
        finished(failed, reason);
        window.RequestRepaint();
    });
    window.RequestRepaint();  // the status bar says what is being saved
}

bool AskQuality(Window& window, AppState& state, SaveFormat type) {
    return (type != SaveFormat::Jpeg && type != SaveFormat::Webp) || window.AskWriteOptions(type, state.dialogs.writeOptions);
}

}  // namespace

std::vector<NamedSlot> SaveAllNames(const AppState& state, const std::string& folder, const std::string& stem,
                                    SaveFormat type, bool withBase) {
    std::vector<NamedSlot> names;
    const std::filesystem::path place(folder);
    for (std::int32_t slot = withBase ? 0 : 1; slot < kSlotCount; ++slot) {
        if (slot > 0 && state.shown.Label(slot) == kBlankLabel) continue;
        const std::string name = stem + "_" + std::to_string(slot) + "." + std::string(ExtensionOf(type));
        names.push_back({slot, (place / name).string()});
    }
    return names;
}

void SaveAllCommand(Window& window, AppState& state) {
    if (!state.shown.images.Loaded()) {
        Tell(window, kNoImageText, kRequestCaption);
        return;
    }
    WaitForImages(window, state);
    const SaveFormat lastType = state.dialogs.saveType == SaveFormat::Unknown ? SaveFormat::Png : state.dialogs.saveType;
    SaveAllQuestion question{state.dialogs.lastFolder, StemOf(state), lastType, state.dialogs.saveAllWithBase, {}};
    for (const NamedSlot& named : SaveAllNames(state, {}, {}, lastType, false)) question.slots.push_back(named.slot);
    if (!window.AskSaveAll(question) || question.type == SaveFormat::Unknown) return;
    state.dialogs.saveType = question.type;
    state.dialogs.saveAllWithBase = question.withBase;
    if (!AskQuality(window, state, question.type)) return;
    const std::vector<NamedSlot> names = SaveAllNames(state, question.folder, question.stem, question.type, question.withBase);
    // One question for all the files there already.
    std::string existing;
    for (const NamedSlot& named : names)
        if (FileExists(named.fileName)) existing += (existing.empty() ? "" : "\n") + named.fileName;
    if (!existing.empty() && !AskOverwrite(window, existing, /*owned=*/true)) return;
    std::optional<std::vector<BackgroundSave::Picture>> copies = Copies(state, names);
    if (!copies) {
        Tell(window, kSaveFailedText, kFailureCaption);
        return;
    }
    NoteFileUsed(state, names.front().fileName);
    WriteSet(window, state, std::move(*copies));
}

ViewFit GallerySheetFit(const AppState& state, bool ownSize) {
    const ViewFit shown = FitOf(state);
    ViewState view = state.view;
    view.selectedImage = -1;  // the gallery, whatever the window shows
    view.captions = true;
    ViewFit fit;
    fit.columns = shown.columns > 0 ? shown.columns : 3;
    fit.scale = ownSize ? Scale{} : shown.scale;
    const Size picture{state.shown.images.width, state.shown.images.height};
    fit.shown = ScaledSize(picture, fit.scale);
    fit.captionHeight = view.textHeight;
    fit.content = ContentSize(view, fit.columns, picture, fit.scale, {});
    fit.viewport = fit.content;
    return fit;
}

void PaintGallerySheet(Canvas& canvas, const AppState& state, const ViewFit& fit,
                       const std::array<const Bitmap*, kSlotCount>& pictures) {
    const Layout layout(fit);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const Rect tile = layout.Tile(slot);
        const Bitmap* picture = pictures[static_cast<std::size_t>(slot)];
        if (picture && !(slot > 0 && state.shown.Label(slot) == kBlankLabel)) {
            if (fit.scale.Enlarges()) canvas.DrawImageEnlarged(tile, *picture);
            else DrawBitmap(canvas, picture, {tile.left, tile.top}, layout.Shown());
        }
        const Rect line = layout.TileCaption(slot);
        canvas.ClipTo(line);  // a long caption ends at its tile's edge
        canvas.DrawText({line.left, line.top}, state.shown.Label(slot));
        canvas.Unclip();
    }
}

void SaveGalleryCommand(Window& window, AppState& state) {
    if (!state.shown.images.Loaded()) {
        Tell(window, kNoImageText, kRequestCaption);
        return;
    }
    WaitForImages(window, state);
    const std::optional<bool> ownSize = window.AskGallerySize();
    if (!ownSize) return;
    const std::string proposed = StemOf(state) + "_gallery." + std::string(ExtensionOf(
                                     state.dialogs.saveType == SaveFormat::Unknown ? SaveFormat::Png : state.dialogs.saveType));
    SaveQuestion question{state.dialogs.lastFolder, proposed, state.dialogs.saveType};
    const std::optional<std::string> fileName = window.AskSaveFileName(question);
    state.dialogs.saveType = question.type;
    if (!fileName) return;
    const SaveFormat format = SaveFormatFor(*fileName);
    if (format != SaveFormat::Unknown) state.dialogs.saveType = format;
    if (!MayWriteFile(window, *fileName) || !AskQuality(window, state, format)) return;
    const ViewFit fit = GallerySheetFit(state, *ownSize);
    // The pictures at the sheet's scale: shrunk copies made here (the
    // window's own are of its size), the pictures themselves otherwise.
    std::array<BitmapHandle, kSlotCount> shrunk;
    std::array<const Bitmap*, kSlotCount> pictures{};
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const Bitmap* bitmap = state.shown.images.bitmaps[static_cast<std::size_t>(slot)].get();
        if (bitmap && fit.scale.Shrinks()) {
            shrunk[static_cast<std::size_t>(slot)] = Downscale(*bitmap, std::max(1, fit.shown.width), std::max(1, fit.shown.height));
            bitmap = shrunk[static_cast<std::size_t>(slot)].get();
        }
        pictures[static_cast<std::size_t>(slot)] = bitmap;
    }
    BitmapHandle sheet = window.PaintPicture(fit.content, [&](Canvas& canvas) { PaintGallerySheet(canvas, state, fit, pictures); });
    if (!sheet) {
        Tell(window, kSaveFailedText, kFailureCaption);
        return;
    }
    NoteFileUsed(state, *fileName);
    std::vector<BackgroundSave::Picture> one;
    one.push_back({*fileName, std::move(sheet)});
    WriteSet(window, state, std::move(one));
}

}  // namespace prismview
