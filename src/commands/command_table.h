#pragma once
// The seven panel commands as one table. Each command is a confirmation, an
// optional short pause and one 9-byte frame; the frame is fixed, picked from
// a list by a combo box's selected index, or a fixed head, the combo box's
// displayed text and the end byte. One function turns a row of the table and
// the combo box's state into a Plan.

#include "link/plan.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenix {

// The panels' key code mode: the item index of modeCombo and the mode code
// of a panel's information reply.
enum class KeyMode { CustomA, CustomAB, FixedA, FixedAB, Modbus };

enum class PanelCommand { EnterConfig, ReadInfo, SetMode, SetAddress, SetBaudRate, SetVibration, SetInterval };

// The combo box a command reads; None for the two fixed commands.
enum class CommandCombo { None, Mode, Address, BaudRate, Vibration, Interval };

enum class FrameSource {
    Fixed,       // frame is the whole frame text
    ByIndex,     // framesByIndex[selected index]; any other index sends nothing
    HeadAndText, // frame is the head; the displayed text and "CF" follow
};

struct CommandDefinition {
    PanelCommand command;
    std::string_view operation; // "enterConfigState", "setKeyMode", ...
    std::string_view confirmText; // UTF-8, shown with infoCaption
    int pauseMs;                // after OK, before the frame; 0 for none
    CommandCombo combo;
    FrameSource source;
    std::string_view frame;     // Fixed: the frame; HeadAndText: the head
    std::span<const std::string_view> framesByIndex; // ByIndex only
};

// The whole command set, in the order of the buttons.
std::span<const CommandDefinition> commandTable();

const CommandDefinition& commandDefinition(PanelCommand command);

// The definition whose operation name is the given one, nullptr for none.
const CommandDefinition* findCommand(std::string_view operation);

// Items of a command combo box, in order (UTF-8). None has no items.
const std::vector<std::string>& comboItems(CommandCombo combo);

// The item selected when the window opens: mode 0, address 0, baud rate 0,
// vibration 70 ("46"), interval 30 ("1E"); -1 for None.
int comboStartIndex(CommandCombo combo);

// What the combo box displays for a selected index: the item's text, or ""
// when the index selects nothing.
std::string comboText(CommandCombo combo, int selectedIndex);

// Confirm (infoCaption), the pause if the command has one, then the frame.
// A ByIndex command whose index is not a listed one gets no SendStep.
// The failure texts stay empty: a command frame that cannot be written is
// dropped without a word.
Plan commandPlan(PanelCommand command, int selectedIndex, std::string_view displayedText);

} // namespace tarvenix
