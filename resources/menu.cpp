#include "resources/menu.h"

#include <array>

namespace prismview {

namespace {

using A = MenuAction;

constexpr MenuItem kFileItems[] = {
    {CmdOpen, "ＢＭＰを開く(&O)", A::Other, 0, false},
    {CmdSave, "ＢＭＰを保存(&S)", A::Other, 0, false},
    {CmdCopy, "コピー Ctrl+C", A::Other, 0, false},
    {CmdPaste, "貼り付け Ctrl+V", A::Other, 0, false},
    {CmdMakeBase, "現在の画像をベース画像にする(&B)", A::Other, 0, false},
    {CmdExit, "終了(&X)", A::Other, 0, false},
};

constexpr MenuItem kViewItems[] = {
    {CmdShowImage0, "反転無し(&A)", A::SelectImage, 0, false},
    {CmdShowImage1, "色相反転(&S)", A::SelectImage, 1, false},
    {CmdShowImage2, "明度反転(&D)", A::SelectImage, 2, false},
    {CmdShowImage3, "通常反転(&F)", A::SelectImage, 3, false},
    {CmdShowImage4, "予備(&G)", A::SelectImage, 4, false},
    {CmdShowAll, "全て表示(&H)", A::SelectImage, -1, true},
    {0, "", A::Separator, 0, false},
    {CmdActualSize, "等倍表示(&Z)", A::ActualSize, 0, false},
};

constexpr MenuItem kModeItems[] = {
    {32778, "反転", A::SetEffectMode, 0, true},
    {32779, "ＲＧＢ（ＯＲ）", A::SetEffectMode, 1, false},
    {32780, "ＹＣＭ（ＡＮＤ）", A::SetEffectMode, 2, false},
    {32781, "白黒", A::SetEffectMode, 3, false},
    {32803, "点々（白黒）", A::SetEffectMode, 4, false},
    {32811, "点々（カラー）", A::SetEffectMode, 5, false},
    {32782, "色相線反転", A::SetEffectMode, 6, false},
    {32783, "色相回転", A::SetEffectMode, 7, false},
    {32787, "明度（明るくする）", A::SetEffectMode, 8, false},
    {32791, "明度（暗くする）", A::SetEffectMode, 9, false},
    {32792, "彩度", A::SetEffectMode, 10, false},
    {32794, "彩度２", A::SetEffectMode, 11, false},
    {32804, "背景色と混合", A::SetEffectMode, 12, false},
    {32805, "境界の抽出", A::SetEffectMode, 13, false},
    {32813, "境界の抽出２", A::SetEffectMode, 14, false},
    {32814, "明度⇒色相", A::SetEffectMode, 15, false},
    {32815, "減色", A::SetEffectMode, 16, false},
    {32816, "色白黒（二段）", A::SetEffectMode, 17, false},
    {32817, "色白黒（三段）", A::SetEffectMode, 18, false},
    {0, "", A::Separator, 0, false},
    {CmdHueLevelDialog, "色相・明度指定...", A::Other, 0, false},
    {CmdBackgroundColour, "背景色...", A::Other, 0, false},
    {0, "", A::Separator, 0, false},
    {32795, "波", A::SetEffectMode, 20, false},
    {32802, "単波", A::SetEffectMode, 21, false},
    {32799, "波紋", A::SetEffectMode, 22, false},
    {32801, "単波紋", A::SetEffectMode, 23, false},
    {32796, "渦", A::SetEffectMode, 24, false},
    {32806, "スライド", A::SetEffectMode, 25, false},
    {0, "", A::Separator, 0, false},
    {CmdWaveDialog, "波の設定...", A::Other, 0, false},
};

constexpr MenuItem kArrangementItems[] = {
    {CmdColumns1, "一列(&1)", A::SetColumns, 1, false},
    {CmdColumns2, "二列(&2)", A::SetColumns, 2, true},
    {CmdColumns3, "三列(&3)", A::SetColumns, 3, false},
    {CmdColumns5, "横一列(&Y)", A::SetColumns, 5, false},
};

constexpr MenuItem kHelpItems[] = {
    {CmdAbout, "情報(&A) ...", A::Other, 0, false},
};

constexpr std::array<MenuPopup, 5> kPopups = {{
    {"ﾌｧｲﾙ(&F)", kFileItems},
    {"表示画像(&V)", kViewItems},
    {"表示処理(&A)", kModeItems},
    {"並べ方(&N)", kArrangementItems},
    {"ﾍﾙﾌﾟ(&H)", kHelpItems},
}};

}  // namespace

const std::span<const MenuPopup> MainMenu = kPopups;

const MenuItem* FindMenuItem(std::uint16_t id) {
    if (id == 0) return nullptr;
    for (const MenuPopup& popup : MainMenu)
        for (const MenuItem& item : popup.items)
            if (item.id == id) return &item;
    return nullptr;
}

}  // namespace prismview
