// The main window's menu bar: five pop-ups, their items in order with command
// ids, captions (with & mnemonics) and the marks they carry at start.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace prismview {

// Command ids of the menu items.
enum CommandId : std::uint16_t {
    CmdAbout = 104,
    CmdExit = 105,
    CmdOpen = 32771,
    CmdSave = 32772,
    CmdShowImage0 = 32773,
    CmdShowImage1 = 32774,
    CmdShowImage2 = 32775,
    CmdShowImage3 = 32776,
    CmdShowAll = 32777,
    CmdHueLevelDialog = 32784,
    CmdMakeBase = 32788,
    CmdColumns2 = 32789,
    CmdColumns3 = 32790,
    CmdColumns1 = 32793,
    CmdWaveDialog = 32797,
    CmdBackgroundColour = 32798,
    CmdCopy = 32808,
    CmdPaste = 32809,
    CmdShowImage4 = 32810,
    CmdColumns5 = 32812,
    CmdActualSize = 32820,
};

// What choosing an item does. The three value kinds carry their value and get
// a check mark while the state holds that value.
enum class MenuAction {
    Separator,
    SelectImage,    // value: -1..4
    SetEffectMode,  // value: the mode
    SetColumns,     // value: 1, 2, 3 or 5
    ActualSize,     // 1:1 on or off; its mark is set where it changes, apart from the others
    Other,          // open, save, clipboard, dialogs, exit, about
};

struct MenuItem {
    std::uint16_t id;  // 0 for a separator
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
const MenuItem* FindMenuItem(std::uint16_t id);

}  // namespace prismview
