#include "app/menu.h"

#include <array>
#include <vector>

#include "effects/mode_table.h"

namespace prismview {

namespace {

using A = MenuAction;

constexpr MenuItem kFileItems[] = {
    {Command::Open, "ＢＭＰを開く(&O)", A::Other, 0, false},
    {Command::Save, "ＢＭＰを保存(&S)", A::Other, 0, false},
    {Command::SaveAll, "すべて保存(&A)...", A::Other, 0, false},
    {Command::SaveGallery, "一覧画像として保存(&G)...", A::Other, 0, false},
    {Command::Sweep, "変化を書き出し(&W)...", A::Other, 0, false},
    {Command::Copy, "コピー Ctrl+C", A::Other, 0, false},
    {Command::Paste, "貼り付け Ctrl+V", A::Other, 0, false},
    {Command::ColourChart, "色見本を開く(&K)", A::Other, 0, false},
    {Command::MakeBase, "現在の画像をベース画像にする(&B)", A::Other, 0, false},
    {Command::CopyCommand, kCopyCommandPlaceholderCaption, A::Other, 0, false},
    {Command::Undo, "元に戻す Ctrl+Z", A::Other, 0, false},
    {Command::Redo, "やり直し Ctrl+Shift+Z", A::Other, 0, false},
    {Command::ResetParameters, "初期値に戻す(&I)", A::Other, 0, false},
    {Command::Exit, "終了(&X)", A::Other, 0, false},
};

constexpr MenuItem kViewItems[] = {
    {Command::ShowImage0, "反転無し(&A)", A::SelectImage, 0, false},
    {Command::ShowImage1, "色相反転(&S)", A::SelectImage, 1, false},
    {Command::ShowImage2, "明度反転(&D)", A::SelectImage, 2, false},
    {Command::ShowImage3, "通常反転(&F)", A::SelectImage, 3, false},
    {Command::ShowImage4, "予備(&G)", A::SelectImage, 4, false},
    {Command::ShowAll, "全て表示(&H)", A::SelectImage, -1, true},
    {Command::Browser, kBrowserCaption, A::Browser, 0, false},
    {Command::None, "", A::Separator, 0, false},
    {Command::ActualSize, "等倍表示(&Z)", A::ActualSize, 0, false},
    {Command::ZoomIn, "拡大 Ctrl++", A::Zoom, 1, false},
    {Command::ZoomOut, "縮小 Ctrl+-", A::Zoom, -1, false},
    {Command::FitToWindow, "全体表示 Ctrl+0", A::Zoom, 0, false},
    {Command::SplitView, "比較(&C)", A::SplitView, 0, false},
    {Command::None, "", A::Separator, 0, false},
    {Command::StatusBar, "ステータスバー(&T)", A::StatusBar, 0, true},
    {Command::Captions, "画像名を常に表示(&N)", A::Captions, 0, false},
    {Command::ProbePanel, "プローブ一覧(&P)", A::ProbePanel, 0, false},
    {Command::ParameterPanel, "パラメータ(&R)", A::ParameterPanel, 0, false},
};

// The ids of the mode menu's items.
struct ModeItemId {
    EffectMode mode;
    std::uint16_t id;
};
constexpr ModeItemId kModeItemIds[] = {
    {ModeInvert, 32778},
    {ModeRgbComponents, 32779},
    {ModeYcmComponents, 32780},
    {ModeMonochrome, 32781},
    {ModeDotsMono, 32803},
    {ModeDotsColor, 32811},
    {ModeHueLineInvert, 32782},
    {ModeHueRotate, 32783},
    {ModeBrighten, 32787},
    {ModeDarken, 32791},
    {ModeSaturation, 32792},
    {ModeSaturation2, 32794},
    {ModeBackgroundMix, 32804},
    {ModeEdges, 32805},
    {ModeEdges2, 32813},
    {ModeLevelToHue, 32814},
    {ModeColorReduce, 32815},
    {ModeTintMono2, 32816},
    {ModeTintMono3, 32817},
    {ModeWave, 32795},
    {ModeSingleWave, 32802},
    {ModeRipple, 32799},
    {ModeSingleRipple, 32801},
    {ModeVortex, 32796},
    {ModeSlide, 32806},
};

// The mode menu: the modes of each section with the dialogs that set what
// they read after them.
std::vector<MenuItem> ModeItems() {
    const std::int32_t startMode = ProcessingParams{}.effectMode;
    std::vector<MenuItem> items;
    auto addModes = [&](MenuSection section) {
        for (const ModeSpec* mode : AllModes())
            if (mode->section == section)
                items.push_back({ModeCommand(mode->mode), mode->menuCaption, A::SetEffectMode, mode->mode,
                                 mode->mode == startMode});
    };
    addModes(MenuSection::Colours);
    items.push_back({Command::None, "", A::Separator, 0, false});
    items.push_back({Command::HueLevelDialog, "色相・明度指定...", A::Other, 0, false});
    items.push_back({Command::BackgroundColour, "背景色...", A::Other, 0, false});
    items.push_back({Command::None, "", A::Separator, 0, false});
    addModes(MenuSection::Distortions);
    items.push_back({Command::None, "", A::Separator, 0, false});
    items.push_back({Command::WaveDialog, "波の設定...", A::Other, 0, false});
    return items;
}

constexpr MenuItem kArrangementItems[] = {
    {Command::Columns1, "一列(&1)", A::SetColumns, 1, false},
    {Command::Columns2, "二列(&2)", A::SetColumns, 2, true},
    {Command::Columns3, "三列(&3)", A::SetColumns, 3, false},
    {Command::Columns5, "横一列(&Y)", A::SetColumns, 5, false},
    {Command::ColumnsAuto, "自動(&0)", A::SetColumns, 0, false},
};

constexpr MenuItem kHelpItems[] = {
    {Command::KeyReference, "キーとマウスの操作(&K) F1", A::Other, 0, false},
    {Command::About, "情報(&A) ...", A::Other, 0, false},
};

}  // namespace

std::span<const MenuPopup> MainMenu() {
    static const std::vector<MenuItem> modeItems = ModeItems();
    static const std::array<MenuPopup, 5> popups = {{
        {"ﾌｧｲﾙ(&F)", kFileItems},
        {"表示画像(&V)", kViewItems},
        {"表示処理(&A)", modeItems},
        {"並べ方(&N)", kArrangementItems},
        {"ﾍﾙﾌﾟ(&H)", kHelpItems},
    }};
    return popups;
}

const MenuItem* FindMenuItem(Command id) {
    if (id == Command::None) return nullptr;
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items)
            if (item.id == id) return &item;
    return nullptr;
}

Command ModeCommand(std::int32_t mode) {
    for (const ModeItemId& item : kModeItemIds)
        if (item.mode == mode) return static_cast<Command>(item.id);
    return Command::None;
}

}  // namespace prismview
