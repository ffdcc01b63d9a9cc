// The dialogs as data: every control with its id, kind, text and
// rectangle in dialog units. One builder turns a template into widgets.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace prismview {

enum class ControlKind {
    Icon,          // the program's icon
    Static,        // a text; `noPrefix`: "&" is shown as it is
    GroupBox,
    PushButton,
    DefaultPushButton,
    TextField,     // single line, bordered, scrolls horizontally
    RadioButton,   // automatic radio button; consecutive ones form one group
    CheckBox,      // automatic check box
};

struct DialogControl {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, width, height;  // dialog units
    bool noPrefix = false;
    bool multiLine = false;
};

struct DialogTemplate {
    int id;
    std::string_view title;
    std::string_view fontFamily;
    int pointSize;
    int x, y, width, height;  // dialog units, relative to the owner's client area
    std::vector<DialogControl> controls;
};

// Control ids shared by the logic and the templates.
namespace ids {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Unaddressed = 65535;
// Hue and level dialog
inline constexpr int Hue = 1000;
inline constexpr int HueStep = 1001;
inline constexpr int Level = 1005;
inline constexpr int LevelStep = 1006;
inline constexpr int HueRed = 1020;  // 1020..1025: red, yellow, green, cyan, blue, magenta
inline constexpr int HueMagenta = 1025;
// Wave dialog
inline constexpr int WaveFreqNum = 1002;
inline constexpr int WaveFreqDen = 1003;
inline constexpr int WaveAmplitude = 1004;
inline constexpr int WavePhase = 1005;
inline constexpr int WavePhaseDen = 1011;
inline constexpr int OverflowBackgroundRadio = 1007;
inline constexpr int OverflowWrapRadio = 1008;
inline constexpr int OverflowEdgeRadio = 1009;
inline constexpr int CenterX = 1006;
inline constexpr int CenterY = 1010;
inline constexpr int CenterStep = 1016;
inline constexpr int StartFromEnd = 1018;
// Sweep dialog: the parameters in their SweepParameter order, the slots 0..4
inline constexpr int SweepParameterFirst = 1100;
inline constexpr int SweepFrom = 1110;
inline constexpr int SweepTo = 1111;
inline constexpr int SweepFrames = 1112;
inline constexpr int SweepGallery = 1120;
inline constexpr int SweepSlotFirst = 1121;
inline constexpr int SweepFullSize = 1130;
inline constexpr int SweepLongSide = 1131;
inline constexpr int SweepLongSideValue = 1132;
inline constexpr int SweepWebp = 1140;
inline constexpr int SweepPngFrames = 1141;
inline constexpr int SweepSheet = 1142;
inline constexpr int SweepLossless = 1150;
inline constexpr int SweepQuality = 1151;
}  // namespace ids

inline constexpr int kAboutDialogId = 103;
inline constexpr int kHueLevelDialogId = 129;
inline constexpr int kWaveDialogId = 130;
inline constexpr int kSweepDialogId = 131;

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& HueLevelDialogTemplate();
const DialogTemplate& WaveDialogTemplate();
const DialogTemplate& SweepDialogTemplate();
// The template with that id, or null.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace prismview
