#include "app/key_reference.h"

#include "core/parameter_table.h"

namespace prismview {

namespace {

using P = ProcessingParams;

// In the order of the keyboard's rows. A parameter key's words come from the
// parameter table.
constexpr KeyBinding kKeyBindings[] = {
    {Key::Left, "←", &P::hue, false},
    {Key::Right, "→", &P::hue, true},
    {Key::Up, "↑", &P::level, true},
    {Key::Down, "↓", &P::level, false},
    {Key::Digit1, "1", &P::waveFreqNum, false},
    {Key::Digit2, "2", &P::waveFreqNum, true},
    {Key::Digit3, "3", &P::waveFreqDen, false},
    {Key::Digit4, "4", &P::waveFreqDen, true},
    {Key::Digit5, "5", &P::waveAmplitude, false},
    {Key::Digit6, "6", &P::waveAmplitude, true},
    {Key::Digit7, "7", &P::wavePhase, false},
    {Key::Digit8, "8", &P::wavePhase, true},
    {Key::Digit9, "9", &P::wavePhaseDen, false},
    {Key::Digit0, "0", &P::wavePhaseDen, true},
    {Key::Q, "Q", &P::centerX, false},
    {Key::W, "W", &P::centerX, true},
    {Key::E, "E", &P::centerY, false},
    {Key::R, "R", &P::centerY, true},
    {Key::O, "O", &P::startFromEnd},
    {Key::A, "A", nullptr, false, 0, "ベース画像だけを表示"},
    {Key::S, "S", nullptr, false, 1, "加工画像１だけを表示"},
    {Key::D, "D", nullptr, false, 2, "加工画像２だけを表示"},
    {Key::F, "F", nullptr, false, 3, "加工画像３だけを表示"},
    {Key::G, "G", nullptr, false, 4, "加工画像４だけを表示"},
    {Key::H, "H", nullptr, false, -1, "全ての画像を並べて表示"},
};

// The view's own keys and the mouse, as the client area handles them; "%s"
// stands for the name of the parameter a right click sets.
constexpr std::pair<std::string_view, std::string_view> kViewActions[] = {
    {"Tab", "全加工の一覧（全ての処理の四つの画像）を表示／元の表示に戻る"},
    {"Esc", "全加工の一覧から元の表示に戻る"},
    {"PageUp / PageDown", "拡大・等倍表示で上下に１画面スクロール（Shift: 左右）"},
    {"Home / End", "拡大・等倍表示で先頭・末尾へスクロール（Shift: 左右）"},
    {"ホイール", "上下にスクロール（Shift: 左右）"},
    {"Ctrl+ホイール", "ポインタの位置を中心に拡大・縮小"},
    {"Space+左ドラッグ", "拡大・等倍表示で画像をつかんで動かす"},
    {"\\（押している間）", "加工画像の代わりにベース画像を表示（比べる）"},
    {"左クリック", "その画像だけを表示／全て表示に戻す（全加工の一覧では、その処理のその画像を表示）"},
    {"比較の線を左ドラッグ", "比較表示で、線の左にベース画像、右に加工画像を表示する境目を動かす"},
    {"右クリック", "%sを使う処理で、クリックした点を%sにする"},  // %s: what the click sets
    {"中クリック / Shift+左クリック", "その点にプローブをピン留め（マークの上でもう一度押すと外す、４つまで）"},
    {"ポインタ", "その点の色を全ての画像で読む（ステータスバーとプローブ一覧）"},
};

void FillIn(std::string& text, std::string_view value) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
}

// What a parameter key does, in the words of the parameter's row.
std::string ParameterKeyText(const KeyBinding& binding, const KeySteps& steps) {
    const ParameterInfo& parameter = ParameterOf(binding.field);
    const std::string label(parameter.label);
    if (parameter.kind == ParameterKind::Flag)
        return label + "（" + std::string(parameter.words[0]) + "・" + std::string(parameter.words[1]) + "）を切り替える";
    const ParameterField& field = FieldOf(binding.field);
    return label + std::string(field.part) + "を " + std::to_string(KeyStepOf(steps, field.step)) + " " +
           std::string(binding.up ? field.up : field.down);
}

}  // namespace

std::int64_t KeyStepOf(const KeySteps& steps, KeyStep step) {
    switch (step) {
        case KeyStep::One: return 1;
        case KeyStep::Hue: return steps.hueStep;
        case KeyStep::Level: return steps.levelStep;
        case KeyStep::Centre: return steps.centerStep;
    }
    return 1;
}

std::span<const KeyBinding> KeyBindings() { return kKeyBindings; }

std::vector<KeyReferenceLine> KeyReference(const AppState& state) {
    std::vector<KeyReferenceLine> lines;
    for (const KeyBinding& binding : kKeyBindings)
        lines.push_back({std::string(binding.name), binding.field ? ParameterKeyText(binding, state.steps) : std::string(binding.does)});
    const std::string_view centre = ParameterOf(&ProcessingParams::centerX).label;
    for (const auto& [keys, does] : kViewActions) {
        std::string text(does);
        FillIn(text, centre);
        lines.push_back({std::string(keys), std::move(text)});
    }
    return lines;
}

}  // namespace prismview
