#include "app/key_reference.h"

namespace prismview {

namespace {

// In the order of the keyboard's rows; "%s" stands for the key's step.
constexpr KeyBinding kKeyBindings[] = {
    {Key::Left, "←", "色相を %s 戻す"},
    {Key::Right, "→", "色相を %s 進める"},
    {Key::Up, "↑", "明度を %s 上げる"},
    {Key::Down, "↓", "明度を %s 下げる"},
    {Key::Digit1, "1", "周波数の分子を 1 減らす"},
    {Key::Digit2, "2", "周波数の分子を 1 増やす"},
    {Key::Digit3, "3", "周波数の分母を 1 減らす"},
    {Key::Digit4, "4", "周波数の分母を 1 増やす"},
    {Key::Digit5, "5", "振幅を 1 減らす"},
    {Key::Digit6, "6", "振幅を 1 増やす"},
    {Key::Digit7, "7", "位相の分子を 1 減らす"},
    {Key::Digit8, "8", "位相の分子を 1 増やす"},
    {Key::Digit9, "9", "位相の分母を 1 減らす"},
    {Key::Digit0, "0", "位相の分母を 1 増やす"},
    {Key::Q, "Q", "中心を %s 左へ"},
    {Key::W, "W", "中心を %s 右へ"},
    {Key::E, "E", "中心を %s 下へ"},
    {Key::R, "R", "中心を %s 上へ"},
    {Key::O, "O", "ずらしの向き（先頭から・終端から）を切り替える"},
    {Key::A, "A", "ベース画像だけを表示"},
    {Key::S, "S", "加工画像１だけを表示"},
    {Key::D, "D", "加工画像２だけを表示"},
    {Key::F, "F", "加工画像３だけを表示"},
    {Key::G, "G", "加工画像４だけを表示"},
    {Key::H, "H", "全ての画像を並べて表示"},
};

// The view's own keys and the mouse, as the client area handles them.
constexpr std::pair<std::string_view, std::string_view> kViewActions[] = {
    {"PageUp / PageDown", "拡大・等倍表示で上下に１画面スクロール（Shift: 左右）"},
    {"Home / End", "拡大・等倍表示で先頭・末尾へスクロール（Shift: 左右）"},
    {"ホイール", "上下にスクロール（Shift: 左右）"},
    {"Ctrl+ホイール", "ポインタの位置を中心に拡大・縮小"},
    {"Space+左ドラッグ", "拡大・等倍表示で画像をつかんで動かす"},
    {"左クリック", "その画像だけを表示／全て表示に戻す"},
    {"右クリック", "中心を使う処理で、クリックした点を中心にする"},
    {"中クリック / Shift+左クリック", "その点にプローブをピン留め（マークの上でもう一度押すと外す、４つまで）"},
    {"ポインタ", "その点の色を全ての画像で読む（ステータスバーとプローブ一覧）"},
};

std::string StepText(const KeySteps& steps, Key key) {
    switch (key) {
        case Key::Left:
        case Key::Right: return std::to_string(steps.hueStep);
        case Key::Up:
        case Key::Down: return std::to_string(steps.levelStep);
        default: return std::to_string(steps.centerStep);
    }
}

}  // namespace

std::span<const KeyBinding> KeyBindings() { return kKeyBindings; }

std::vector<KeyReferenceLine> KeyReference(const AppState& state) {
    std::vector<KeyReferenceLine> lines;
    for (const KeyBinding& binding : kKeyBindings) {
        std::string does(binding.does);
        if (const std::size_t at = does.find("%s"); at != std::string::npos)
            does.replace(at, 2, StepText(state.steps, binding.key));
        lines.push_back({std::string(binding.name), std::move(does)});
    }
    for (const auto& [keys, does] : kViewActions) lines.push_back({std::string(keys), std::string(does)});
    return lines;
}

}  // namespace prismview
