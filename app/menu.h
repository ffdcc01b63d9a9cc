// The main window's menu bar: five pop-ups, their items in order with command
// ids, captions (with & mnemonics) and the marks they carry at start.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace prismview {

// The menu's commands; the values are the items' ids. The mode items' ids
// have no names here (ModeCommand gives them).
enum class Command : std::uint16_t {
    None = 0,  // a separator
    About = 104,
    Exit = 105,
    Open = 32771,
    Save = 32772,
    ShowImage0 = 32773,
    ShowImage1 = 32774,
    ShowImage2 = 32775,
    ShowImage3 = 32776,
    ShowAll = 32777,
    HueLevelDialog = 32784,
    MakeBase = 32788,
    Columns2 = 32789,
    Columns3 = 32790,
    Columns1 = 32793,
    WaveDialog = 32797,
    BackgroundColour = 32798,
    Copy = 32808,
    Paste = 32809,
    ShowImage4 = 32810,
    Columns5 = 32812,
    ActualSize = 32820,
    StatusBar = 32821,
    ZoomIn = 32822,
    ZoomOut = 32823,
    FitToWindow = 32824,
    ColumnsAuto = 32825,
    CopyCommand = 32826,
    Undo = 32827,
    Redo = 32828,
    ResetParameters = 32829,
    Sweep = 32830,
    ProbePanel = 32831,
    KeyReference = 32832,
    Browser = 32833,
    ParameterPanel = 32834,
    SplitView = 32835,
    Captions = 32836,
    ColourChart = 32837,
    SaveAll = 32839,
    SaveGallery = 32840,
};

inline constexpr std::string_view kBrowserCaption = "全加工の一覧(&L) Tab";

// The captions of the item that copies the command behind the window: with
// the base image's file, or with a placeholder for a base that is no file's.
inline constexpr std::string_view kCopyCommandCaption = "処理のコマンドをコピー(&M)";
inline constexpr std::string_view kCopyCommandPlaceholderCaption = "処理のコマンドをコピー（ファイル名は仮）(&M)";

// What choosing an item does. The three value kinds carry their value and get
// a check mark while the state holds that value.
enum class MenuAction {
    Separator,
    SelectImage,    // value: -1..4
    SetEffectMode,  // value: the mode
    SetColumns,     // value: 1, 2, 3 or 5; 0 for the arrangement that follows the window
    ActualSize,     // 1:1 on or off; its mark is set where it changes, apart from the others
    Zoom,           // value: steps in (1) or out (-1); 0 back to the fitted view
    StatusBar,      // shown or hidden; its own mark, like 1:1
    ProbePanel,     // the probe panel shown or hidden; its own mark too
    SplitView,      // the split with the base on or off; its own mark
    Captions,       // every tile's caption always shown or not; its own mark
    ParameterPanel, // the parameter panel shown or hidden; likewise
    Browser,        // the browser of every mode shown or closed; its own mark too
    Other,          // open, save, clipboard, dialogs, exit, about
};

struct MenuItem {
    Command id;  // None for a separator
    std::string_view caption;
    MenuAction action;
    std::int32_t value;
    bool checkedAtStart;
};

struct MenuPopup {
    std::string_view caption;
    std::span<const MenuItem> items;
};

// The main window's menu bar, in menu order; the mode menu lists every
// mode's record, colours first, then the distortions.
std::span<const MenuPopup> MainMenu();

// The item of a command id, or null when no item has it.
const MenuItem* FindMenuItem(Command id);

// The command of a mode's item in the mode menu; Command::None for a number
// that no mode has.
Command ModeCommand(std::int32_t mode);

}  // namespace prismview
