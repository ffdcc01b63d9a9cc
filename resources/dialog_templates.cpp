#include "resources/dialog_templates.h"

#include "prismview_version.h"

namespace prismview {

namespace {
using K = ControlKind;
constexpr int U = ids::Unaddressed;
}  // namespace

const DialogTemplate& AboutDialogTemplate() {
    // The key lines use full-width spaces (U+3000).
    static const DialogTemplate t{
        kAboutDialogId, "情報", "System", 8, 22, 17, 230, 99,
        {
            {2, K::Icon, "", 14, 9, 20, 20},
            {U, K::Static, "プリズムビュー Ver " PRISMVIEW_VERSION, 49, 10, 111, 8, true},
            {U, K::Static, "色の変換を眺めて遊ぶ画像玩具", 49, 20, 138, 8},
            {ids::Ok, K::DefaultPushButton, "OK", 195, 6, 30, 11},
            {U, K::Static, "Ａ・Ｓ・Ｄ・Ｆ・Ｇ　で　表示画像を変更", 22, 36, 153, 8},
            {U, K::Static, "Ｈ　で　全ての画像を並べて表示", 22, 46, 121, 8},
            {U, K::Static, "←・→　で　色相の指定を変更", 22, 56, 113, 8},
            {U, K::Static, "↑・↓　で　明度などの指定を変更", 22, 66, 129, 8},
            {U, K::Static, "マウスの左クリック　で　表示画像選択／全て表示", 22, 84, 185, 8},
        }};
    return t;
}

const DialogTemplate& HueLevelDialogTemplate() {
    static const DialogTemplate t{
        kHueLevelDialogId, "色相・明度指定", "ＭＳ Ｐゴシック", 9, 0, 0, 206, 163,
        {
            {ids::Ok, K::DefaultPushButton, "OK", 149, 25, 50, 14},
            {ids::Cancel, K::PushButton, "ｷｬﾝｾﾙ", 149, 42, 50, 14},
            {U, K::Static, "「ＲＧＢ」「色相線反転」「色相回転」の最後の画像等に使います。", 15, 10, 184, 8},
            {U, K::Static, "色相（0～255×6-1(=1529)）", 11, 23, 81, 8},
            {ids::Hue, K::TextField, "", 11, 35, 40, 14},
            {1020, K::PushButton, "Ｒ", 59, 35, 10, 14},
            {1021, K::PushButton, "Ｙ", 71, 35, 10, 14},
            {1022, K::PushButton, "Ｇ", 83, 35, 10, 14},
            {1023, K::PushButton, "Ｃ", 95, 35, 10, 14},
            {1024, K::PushButton, "Ｂ", 107, 35, 10, 14},
            {1025, K::PushButton, "Ｍ", 119, 35, 10, 14},
            {U, K::Static, "←・→を押した時の色相の変化(1～255)", 11, 54, 115, 8},
            {ids::HueStep, K::TextField, "", 11, 65, 40, 14},
            {U, K::Static, "明度（0～255×2(=510)）（彩度、混合率にも使用）", 11, 97, 142, 8},
            {ids::Level, K::TextField, "", 11, 108, 40, 14},
            {U, K::Static, "↑・↓を押した時の明度の変化", 11, 130, 90, 8},
            {ids::LevelStep, K::TextField, "", 11, 141, 40, 14},
        }};
    return t;
}

const DialogTemplate& WaveDialogTemplate() {
    static const DialogTemplate t{
        kWaveDialogId, "波の設定", "ＭＳ Ｐゴシック", 9, 0, 0, 235, 236,
        {
            {ids::Ok, K::DefaultPushButton, "OK", 178, 24, 50, 14},
            {ids::Cancel, K::PushButton, "ｷｬﾝｾﾙ", 178, 41, 50, 14},
            {U, K::Static, "波や渦のモードで使います。", 11, 10, 83, 8},
            {U, K::Static, "周波数（1/32なら、32ビットで一周）", 11, 21, 101, 8},
            {ids::WaveFreqNum, K::TextField, "", 11, 33, 40, 14},
            {U, K::Static, "／", 54, 37, 8, 8},
            {ids::WaveFreqDen, K::TextField, "", 65, 33, 40, 14},
            {U, K::Static, "振幅（ビット単位）", 11, 55, 51, 8},
            {ids::WaveAmplitude, K::TextField, "", 11, 66, 40, 14},
            {U, K::Static, "初期位相・角度", 11, 87, 46, 8},
            {ids::WavePhase, K::TextField, "", 11, 98, 40, 14},
            {U, K::Static, "／", 54, 102, 8, 8},
            {ids::WavePhaseDen, K::TextField, "", 65, 98, 40, 14},
            {U, K::GroupBox, "はみ出し部の処置", 133, 64, 70, 60},
            {ids::OverflowBackgroundRadio, K::RadioButton, "背景色", 145, 79, 37, 10},
            {ids::OverflowWrapRadio, K::RadioButton, "ループ", 145, 93, 36, 10},
            {ids::OverflowEdgeRadio, K::RadioButton, "隅の色", 145, 107, 37, 10},
            {U, K::Static, "周波数・振幅・位相は、システムキーの１～０を使っても変更できます。", 8, 135, 203, 8},
            {U, K::Static, "渦については、半径＝振幅で、周波数分の角度（ラジアン）だけねじれる感じです。", 7, 148, 207,
             16, false, true},
            {U, K::Static, "中心からの位置（Ｑ・Ｗ・Ｅ・Ｒ、右クリック）", 14, 170, 121, 8},
            {U, K::Static, "ｘ", 15, 185, 8, 8},
            {ids::CenterX, K::TextField, "", 23, 182, 40, 14},
            {U, K::Static, "ｙ", 72, 185, 8, 8},
            {ids::CenterY, K::TextField, "", 80, 182, 40, 14},
            {U, K::Static, "キーによる変化", 126, 185, 46, 8},
            {ids::CenterStep, K::TextField, "", 175, 182, 40, 14},
            {ids::StartFromEnd, K::CheckBox, "波：終端から開始（Ｏ）", 15, 208, 79, 10},
        }};
    return t;
}

const DialogTemplate& SweepDialogTemplate() {
    static const DialogTemplate t{
        kSweepDialogId, "変化の書き出し", "ＭＳ Ｐゴシック", 9, 0, 0, 262, 222,
        {
            {ids::Ok, K::DefaultPushButton, "OK", 140, 200, 50, 14},
            {ids::Cancel, K::PushButton, "ｷｬﾝｾﾙ", 200, 200, 50, 14},
            {U, K::Static, "変える値", 11, 8, 60, 8},
            {ids::SweepParameterFirst + 0, K::RadioButton, "色相", 11, 20, 65, 10},
            {ids::SweepParameterFirst + 1, K::RadioButton, "明度", 11, 32, 65, 10},
            {ids::SweepParameterFirst + 2, K::RadioButton, "周波数（分子）", 11, 44, 65, 10},
            {ids::SweepParameterFirst + 3, K::RadioButton, "周波数（分母）", 11, 56, 65, 10},
            {ids::SweepParameterFirst + 4, K::RadioButton, "振幅", 11, 68, 65, 10},
            {ids::SweepParameterFirst + 5, K::RadioButton, "位相（分子）", 80, 20, 65, 10},
            {ids::SweepParameterFirst + 6, K::RadioButton, "位相（分母）", 80, 32, 65, 10},
            {ids::SweepParameterFirst + 7, K::RadioButton, "中心ｘ", 80, 44, 65, 10},
            {ids::SweepParameterFirst + 8, K::RadioButton, "中心ｙ", 80, 56, 65, 10},
            {U, K::Static, "始め", 11, 86, 40, 8},
            {ids::SweepFrom, K::TextField, "", 11, 96, 40, 14},
            {U, K::Static, "終わり", 60, 86, 40, 8},
            {ids::SweepTo, K::TextField, "", 60, 96, 40, 14},
            {U, K::Static, "コマ数（1～1000）", 109, 86, 60, 8},
            {ids::SweepFrames, K::TextField, "", 109, 96, 40, 14},
            {U, K::GroupBox, "画像", 170, 8, 80, 84},
            {ids::SweepGallery, K::RadioButton, "全画像", 180, 20, 60, 10},
            {ids::SweepSlotFirst + 0, K::RadioButton, "画像０（ベース）", 180, 32, 65, 10},
            {ids::SweepSlotFirst + 1, K::RadioButton, "画像１", 180, 44, 60, 10},
            {ids::SweepSlotFirst + 2, K::RadioButton, "画像２", 180, 56, 60, 10},
            {ids::SweepSlotFirst + 3, K::RadioButton, "画像３", 180, 68, 60, 10},
            {ids::SweepSlotFirst + 4, K::RadioButton, "画像４", 180, 80, 60, 10},
            {U, K::GroupBox, "１コマの大きさ", 11, 118, 118, 50},
            {ids::SweepFullSize, K::RadioButton, "元の大きさ", 21, 131, 60, 10},
            {ids::SweepLongSide, K::RadioButton, "長辺", 21, 149, 30, 10},
            {ids::SweepLongSideValue, K::TextField, "", 55, 147, 40, 14},
            {U, K::Static, "ピクセル", 99, 150, 28, 8},
            {U, K::GroupBox, "形式", 138, 118, 112, 50},
            {ids::SweepWebp, K::RadioButton, "アニメーションWebP", 148, 129, 95, 10},
            {ids::SweepPngFrames, K::RadioButton, "連番PNG（フォルダ）", 148, 141, 95, 10},
            {ids::SweepSheet, K::RadioButton, "一覧画像（値つき）", 148, 153, 95, 10},
            {ids::SweepLossless, K::CheckBox, "WebPを可逆圧縮", 11, 178, 80, 10},
            {U, K::Static, "非可逆の画質（0～100）", 100, 179, 80, 8},
            {ids::SweepQuality, K::TextField, "", 185, 176, 30, 14},
        }};
    return t;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t :
         {&AboutDialogTemplate(), &HueLevelDialogTemplate(), &WaveDialogTemplate(), &SweepDialogTemplate()})
        if (t->id == id) return t;
    return nullptr;
}

}  // namespace prismview
