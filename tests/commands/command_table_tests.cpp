#include "commands/command_table.h"
#include "support/recording_world.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace tarvenix {
namespace {

using test::Question;
using test::RecordingWorld;

// Run a command's plan after OK and return the log of what happened.
std::vector<std::string> runAfterOk(PanelCommand command, int index, const std::string& text)
{
    RecordingWorld world;
    EXPECT_EQ(world.run(commandPlan(command, index, text)), PlanOutcome::Completed);
    return world.log;
}

struct CommandCase {
    const char* name;
    PanelCommand command;
    int index;
    std::string text;
    const char* confirm;
    int pauseMs;       // 0: sent at once after OK
    const char* frame; // nullptr: nothing is sent
};

const char* const modeConfirm = "即将对总线上_所有_面板进行按键模式设置；";
const char* const baudConfirm = "即将对总线上_所有_进入配置状态的面板进行波特率设置；";
const char* const addressConfirm = "即将对总线上_所有_面板进行写地址操作；";
const char* const vibrationConfirm = "即将对总线上_所有_进入配置状态的面板进行震动时长修改；";
const char* const intervalConfirm = "即将对总线上_所有_进入配置状态的面板进行多数据间隔时长修改；";

void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandFrames : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandFrames, ConfirmThenPauseThenExactFrame)
{
    const CommandCase& c = GetParam();
    std::vector<std::string> expected = {std::string("ask ") + c.confirm};
    if (c.pauseMs > 0)
        expected.push_back("pause " + std::to_string(c.pauseMs));
    if (c.frame) {
        expected.push_back(std::string("write ") + c.frame);
        expected.push_back("pause 18"); // the sender's one millisecond per character
    }
    EXPECT_EQ(runAfterOk(c.command, c.index, c.text), expected);
}

std::string addressText(int index)
{
    return comboText(CommandCombo::Address, index);
}

INSTANTIATE_TEST_SUITE_P(
    AllCommands, CommandFrames,
    ::testing::Values(
        CommandCase{"enterConfig", PanelCommand::EnterConfig, -1, "", "总线上_所有_面板将进入配置状态；", 0,
                    "FD66666666AAAAAACF"},
        CommandCase{"readInfo", PanelCommand::ReadInfo, -1, "",
                    "多块面板时，请确保总线上只有一块面板处于配置状态；\r\n只有一块面板时请确保面板处于配置状态；", 50,
                    "FD66666666DDDDDDCF"},
        CommandCase{"modeCustomA", PanelCommand::SetMode, static_cast<int>(KeyMode::CustomA), "自定义A码",
                    modeConfirm, 50, "FD666666666666AACF"},
        CommandCase{"modeCustomAB", PanelCommand::SetMode, static_cast<int>(KeyMode::CustomAB), "自定义AB码",
                    modeConfirm, 50, "FD666666666666ABCF"},
        CommandCase{"modeFixedA", PanelCommand::SetMode, static_cast<int>(KeyMode::FixedA), "固定A码",
                    modeConfirm, 50, "FD666666666688AACF"},
        CommandCase{"modeFixedAB", PanelCommand::SetMode, static_cast<int>(KeyMode::FixedAB), "固定AB码",
                    modeConfirm, 50, "FD666666666688ABCF"},
        CommandCase{"modeModbus", PanelCommand::SetMode, static_cast<int>(KeyMode::Modbus), "Modbus模式",
                    modeConfirm, 50, "FD666666666688BBCF"},
        CommandCase{"modeNone", PanelCommand::SetMode, -1, "", modeConfirm, 50, nullptr},
        CommandCase{"modePastEnd", PanelCommand::SetMode, 5, "", modeConfirm, 50, nullptr},
        CommandCase{"baud9600", PanelCommand::SetBaudRate, 0, "9600", baudConfirm, 50, "FD66666666960000CF"},
        CommandCase{"baud38400", PanelCommand::SetBaudRate, 1, "38400", baudConfirm, 50, "FD66666666384000CF"},
        CommandCase{"baud115200", PanelCommand::SetBaudRate, 2, "115200", baudConfirm, 50, "FD66666666115200CF"},
        CommandCase{"baudNone", PanelCommand::SetBaudRate, -1, "", baudConfirm, 50, nullptr},
        CommandCase{"baudPastEnd", PanelCommand::SetBaudRate, 3, "", baudConfirm, 50, nullptr},
        CommandCase{"addressFirst", PanelCommand::SetAddress, 0, addressText(0), addressConfirm, 0,
                    "FD66666688DDFF00CF"},
        CommandCase{"addressLast", PanelCommand::SetAddress, 254, addressText(254), addressConfirm, 0,
                    "FD66666688DDFFFECF"},
        CommandCase{"vibrationAtStart", PanelCommand::SetVibration, 70, "46", vibrationConfirm, 0,
                    "FD66666688DDEE46CF"},
        CommandCase{"intervalAtStart", PanelCommand::SetInterval, 30, "1E", intervalConfirm, 0,
                    "FD66666688DDCC1ECF"},
        CommandCase{"intervalLast", PanelCommand::SetInterval, 254, "FE", intervalConfirm, 0,
                    "FD66666688DDCCFECF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandPlan, EveryConfirmationHasOkCancelAndTheInformationCaption)
{
    for (const CommandDefinition& definition : commandTable()) {
        RecordingWorld world;
        const int start = comboStartIndex(definition.combo);
        world.run(commandPlan(definition.command, start, comboText(definition.combo, start)));
        ASSERT_EQ(world.questions.size(), 1u) << definition.operation;
        EXPECT_EQ(world.questions[0],
                  (Question{std::string(definition.confirmText), "信息：", Buttons::OkCancel}))
            << definition.operation;
    }
}

TEST(CommandPlan, CancelSendsNothingAndDoesNotPause)
{
    for (const CommandDefinition& definition : commandTable()) {
        RecordingWorld world;
        world.answers = {false};
        const int start = comboStartIndex(definition.combo);
        EXPECT_EQ(world.run(commandPlan(definition.command, start, comboText(definition.combo, start))),
                  PlanOutcome::Cancelled)
            << definition.operation;
        EXPECT_TRUE(world.frames.empty()) << definition.operation;
        EXPECT_TRUE(world.pauses.empty()) << definition.operation;
    }
}

TEST(CommandPlan, ClosedPortDropsTheFrameWithoutAWord)
{
    RecordingWorld world;
    world.open = false;
    EXPECT_EQ(world.run(commandPlan(PanelCommand::ReadInfo, -1, "")), PlanOutcome::Completed);
    // The confirmation and the 50 ms still happen; no frame, no sender pause,
    // no message after the confirmation.
    const std::string confirm(commandDefinition(PanelCommand::ReadInfo).confirmText);
    EXPECT_EQ(world.log, (std::vector<std::string>{"ask " + confirm, "pause 50"}));
}

TEST(CommandPlan, AValueCommandWithoutSelectionSendsTheHeadAndEndByte)
{
    // The box shows no text; the panels get the 8-byte frame, as always.
    EXPECT_EQ(runAfterOk(PanelCommand::SetAddress, -1, "").at(1), "write FD66666688DDFFCF");
}

TEST(CommandTable, NamesAndLookup)
{
    const std::vector<std::string> expected = {"enterConfigState", "readPanelInfo", "setKeyMode", "setPanelAddress",
                                               "setBusBaudRate", "setVibrationLength", "setDataInterval"};
    std::vector<std::string> names;
    for (const CommandDefinition& definition : commandTable()) {
        names.emplace_back(definition.operation);
        EXPECT_EQ(&commandDefinition(definition.command), &definition);
        EXPECT_EQ(findCommand(definition.operation), &definition);
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(findCommand("set-mode"), nullptr);
    EXPECT_EQ(findCommand(""), nullptr);
}

TEST(CommandCombos, ItemsAndStartSelections)
{
    EXPECT_EQ(comboItems(CommandCombo::Mode),
              (std::vector<std::string>{"自定义A码", "自定义AB码", "固定A码", "固定AB码", "Modbus模式"}));
    EXPECT_EQ(comboItems(CommandCombo::BaudRate), (std::vector<std::string>{"9600", "38400", "115200"}));
    EXPECT_TRUE(comboItems(CommandCombo::None).empty());

    struct Start {
        CommandCombo combo;
        std::string text;
    };
    for (const Start& s : {Start{CommandCombo::Mode, "自定义A码"}, Start{CommandCombo::Address, "00"},
                           Start{CommandCombo::BaudRate, "9600"}, Start{CommandCombo::Vibration, "46"},
                           Start{CommandCombo::Interval, "1E"}})
        EXPECT_EQ(comboText(s.combo, comboStartIndex(s.combo)), s.text) << static_cast<int>(s.combo);
    EXPECT_EQ(comboStartIndex(CommandCombo::None), -1);
}

TEST(CommandCombos, HexItemsSpellTheirOwnIndexUpToFE)
{
    for (CommandCombo combo : {CommandCombo::Address, CommandCombo::Vibration, CommandCombo::Interval}) {
        const std::vector<std::string>& items = comboItems(combo);
        ASSERT_EQ(items.size(), 255u);
        EXPECT_EQ(items.front(), "00");
        EXPECT_EQ(items.back(), "FE");
        std::set<std::string> distinct;
        for (std::size_t i = 0; i < items.size(); ++i) {
            ASSERT_EQ(items[i].size(), 2u);
            EXPECT_EQ(hexPairToByte(items[i]), static_cast<int>(i));
            EXPECT_EQ(items[i], comboText(combo, static_cast<int>(i)));
            distinct.insert(items[i]);
        }
        EXPECT_EQ(distinct.size(), 255u);
        EXPECT_EQ(comboText(combo, 255), "");
        EXPECT_EQ(comboText(combo, -1), "");
    }
}

TEST(CommandTable, EveryFrameIsNineBytesFromFDToCF)
{
    for (const CommandDefinition& definition : commandTable()) {
        const std::vector<std::string>& items = comboItems(definition.combo);
        const int count = items.empty() ? 1 : static_cast<int>(items.size());
        for (int i = 0; i < count; ++i) {
            RecordingWorld world;
            world.run(commandPlan(definition.command, i, comboText(definition.combo, i)));
            ASSERT_EQ(world.frames.size(), 1u) << definition.operation << " " << i;
            const std::string& frame = world.frames[0];
            EXPECT_EQ(frame.size(), 18u) << definition.operation << " " << i;
            EXPECT_EQ(frame.substr(0, 2), "FD") << definition.operation << " " << i;
            EXPECT_EQ(frame.substr(16), "CF") << definition.operation << " " << i;
        }
    }
}

} // namespace
} // namespace tarvenix
