#include "command_table.h"

#include "link/hex_codec.h"

#include <array>
#include <cstddef>

namespace tarvenix {

namespace {

// By the index of modeCombo, that is by KeyMode. The seventh byte tells the
// custom modes (66) from the fixed ones and Modbus (88), the eighth the code
// kind: AA for A code, AB for AB code, BB for Modbus.
constexpr std::array<std::string_view, 5> modeFrames = {
    "FD666666666666AACF",
    "FD666666666666ABCF",
    "FD666666666688AACF",
    "FD666666666688ABCF",
    "FD666666666688BBCF",
};

// By the index of baudRateCombo: the rate's decimal digits, two per byte,
// padded with zeros on the right (9600 is 96 00 00).
constexpr std::array<std::string_view, 3> baudRateFrames = {
    "FD66666666960000CF",
    "FD66666666384000CF",
    "FD66666666115200CF",
};

constexpr std::array<CommandDefinition, 7> commands = {{
    {PanelCommand::EnterConfig, "enterConfigState",
     "总线上_所有_面板将进入配置状态；",
     0, CommandCombo::None, FrameSource::Fixed, "FD66666666AAAAAACF", {}},
    {PanelCommand::ReadInfo, "readPanelInfo",
     "多块面板时，请确保总线上只有一块面板处于配置状态；\r\n只有一块面板时请确保面板处于配置状态；",
     50, CommandCombo::None, FrameSource::Fixed, "FD66666666DDDDDDCF", {}},
    {PanelCommand::SetMode, "setKeyMode",
     "即将对总线上_所有_面板进行按键模式设置；",
     50, CommandCombo::Mode, FrameSource::ByIndex, {}, modeFrames},
    {PanelCommand::SetAddress, "setPanelAddress",
     "即将对总线上_所有_面板进行写地址操作；",
     0, CommandCombo::Address, FrameSource::HeadAndText, "FD66666688DDFF", {}},
    {PanelCommand::SetBaudRate, "setBusBaudRate",
     "即将对总线上_所有_进入配置状态的面板进行波特率设置；",
     50, CommandCombo::BaudRate, FrameSource::ByIndex, {}, baudRateFrames},
    {PanelCommand::SetVibration, "setVibrationLength",
     "即将对总线上_所有_进入配置状态的面板进行震动时长修改；",
     0, CommandCombo::Vibration, FrameSource::HeadAndText, "FD66666688DDEE", {}},
    {PanelCommand::SetInterval, "setDataInterval",
     "即将对总线上_所有_进入配置状态的面板进行多数据间隔时长修改；",
     0, CommandCombo::Interval, FrameSource::HeadAndText, "FD66666688DDCC", {}},
}};

// "00" .. "FE": the byte value equals the item index; the panels reserve FF.
std::vector<std::string> makeHexByteItems()
{
    std::vector<std::string> items;
    items.reserve(255);
    for (int value = 0; value < 255; ++value)
        items.push_back(byteToHex(value));
    return items;
}

} // namespace

std::span<const CommandDefinition> commandTable()
{
    return commands;
}

const CommandDefinition& commandDefinition(PanelCommand command)
{
    for (const CommandDefinition& definition : commands) {
        if (definition.command == command)
            return definition;
    }
    return commands.front(); // unreachable: every PanelCommand has its row
}

const CommandDefinition* findCommand(std::string_view operation)
{
    for (const CommandDefinition& definition : commands) {
        if (definition.operation == operation)
            return &definition;
    }
    return nullptr;
}

const std::vector<std::string>& comboItems(CommandCombo combo)
{
    static const std::vector<std::string> none;
    static const std::vector<std::string> modes = {
        "自定义A码", "自定义AB码", "固定A码", "固定AB码", "Modbus模式",
    };
    static const std::vector<std::string> baudRates = {"9600", "38400", "115200"};
    static const std::vector<std::string> hexBytes = makeHexByteItems();
    switch (combo) {
    case CommandCombo::None:
        return none;
    case CommandCombo::Mode:
        return modes;
    case CommandCombo::BaudRate:
        return baudRates;
    case CommandCombo::Address:
    case CommandCombo::Vibration:
    case CommandCombo::Interval:
        return hexBytes;
    }
    return none;
}

int comboStartIndex(CommandCombo combo)
{
    switch (combo) {
    case CommandCombo::None:
        return -1;
    case CommandCombo::Mode:
    case CommandCombo::Address:
    case CommandCombo::BaudRate:
        return 0;
    case CommandCombo::Vibration:
        return 70; // "46": 70 ms
    case CommandCombo::Interval:
        return 30; // "1E": 30 ms
    }
    return -1;
}

std::string comboText(CommandCombo combo, int selectedIndex)
{
    const std::vector<std::string>& items = comboItems(combo);
    if (selectedIndex < 0 || static_cast<std::size_t>(selectedIndex) >= items.size())
        return {};
    return items[static_cast<std::size_t>(selectedIndex)];
}

Plan commandPlan(PanelCommand command, int selectedIndex, std::string_view displayedText)
{
    const CommandDefinition& definition = commandDefinition(command);
    Plan plan;
    plan.steps.push_back(ConfirmStep{std::string(definition.confirmText), infoCaption});
    if (definition.pauseMs > 0)
        plan.steps.push_back(PauseStep{definition.pauseMs});
    switch (definition.source) {
    case FrameSource::Fixed:
        plan.steps.push_back(SendStep{std::string(definition.frame)});
        break;
    case FrameSource::ByIndex:
        if (selectedIndex >= 0 && static_cast<std::size_t>(selectedIndex) < definition.framesByIndex.size())
            plan.steps.push_back(
                SendStep{std::string(definition.framesByIndex[static_cast<std::size_t>(selectedIndex)])});
        break;
    case FrameSource::HeadAndText:
        plan.steps.push_back(SendStep{std::string(definition.frame) + std::string(displayedText) + "CF"});
        break;
    }
    return plan;
}

} // namespace tarvenix
