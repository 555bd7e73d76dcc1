#include "sim/panel_bus.h"

#include "commands/command_table.h"
#include "learning/table_plans.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvenix::sim {
namespace {

// --- the program's own frames ------------------------------------------------

std::vector<std::string> framesOf(const Plan& plan)
{
    std::vector<std::string> frames;
    for (const PlanStep& step : plan.steps) {
        if (const auto* send = std::get_if<SendStep>(&step))
            frames.push_back(send->frame);
    }
    return frames;
}

// The frame the window sends for a command with that combo box index.
std::string commandFrame(PanelCommand command, int index = -1)
{
    const CommandDefinition& definition = commandDefinition(command);
    return framesOf(commandPlan(command, index, comboText(definition.combo, index))).at(0);
}

// Frames as the program sends them: each followed by its pause, so the line
// falls idle after every frame.
Reaction send(PanelBus& bus, const std::vector<std::string>& frames)
{
    Reaction all;
    for (const std::string& frame : frames) {
        for (Reaction reaction : {bus.receive(frameTextToBytes(frame)), bus.lineIdle()}) {
            all.log.insert(all.log.end(), reaction.log.begin(), reaction.log.end());
            all.transmissions.insert(all.transmissions.end(), reaction.transmissions.begin(),
                                     reaction.transmissions.end());
        }
    }
    return all;
}

Reaction send(PanelBus& bus, std::string_view frame)
{
    return send(bus, std::vector<std::string>{std::string(frame)});
}

std::string text(std::string_view frame)
{
    return std::string(frame);
}

std::string enterConfig()
{
    return commandFrame(PanelCommand::EnterConfig);
}

std::vector<std::string> transmitted(const Reaction& reaction)
{
    std::vector<std::string> out;
    for (const Transmission& t : reaction.transmissions)
        out.push_back(std::to_string(t.afterMs) + " ms: " + spacedHex(t.bytes));
    return out;
}

using Lines = std::vector<std::string>;

// --- the command frames -------------------------------------------------------

struct CommandCase {
    const char* name;
    PanelCommand command;
    int index;
    std::string log;
    std::function<void(Panel&)> change;
    Lines replies;
};

void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandFrames : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandFrames, ChangeThePanelInConfigurationState)
{
    const CommandCase& c = GetParam();
    PanelBus bus;
    send(bus, enterConfig());
    Panel expected = bus.panels().at(0);
    c.change(expected);

    const Reaction reaction = send(bus, commandFrame(c.command, c.index));
    EXPECT_EQ(reaction.log, Lines{c.log});
    EXPECT_EQ(transmitted(reaction), c.replies);
    EXPECT_EQ(bus.panels().at(0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bus, CommandFrames,
    ::testing::Values(
        CommandCase{"EnterConfig", PanelCommand::EnterConfig, -1, "enter configuration (panels 01)",
                    [](Panel&) {}, {}},
        CommandCase{"ReadInfo", PanelCommand::ReadInfo, -1, "read information (panels 01)", [](Panel&) {},
                    {"0 ms: 01 77 88 00"}},
        CommandCase{"SetModeFixedA", PanelCommand::SetMode, 2, "set key mode 2, fixed A code (panels 01)",
                    [](Panel& p) { p.mode = 2; }, {}},
        CommandCase{"SetModeModbus", PanelCommand::SetMode, 4, "set key mode 4, Modbus (panels 01)",
                    [](Panel& p) { p.mode = 4; }, {}},
        CommandCase{"SetAddress", PanelCommand::SetAddress, 5, "set address 05 (panels 01)",
                    [](Panel& p) { p.address = 5; }, {}},
        CommandCase{"SetLastAddress", PanelCommand::SetAddress, 0xFE, "set address FE (panels 01)",
                    [](Panel& p) { p.address = 0xFE; }, {}},
        CommandCase{"SetBaudRate38400", PanelCommand::SetBaudRate, 1, "set bus baud rate 38400 (panels 01)",
                    [](Panel& p) { p.baudRate = 38400; }, {}},
        CommandCase{"SetBaudRate115200", PanelCommand::SetBaudRate, 2, "set bus baud rate 115200 (panels 01)",
                    [](Panel& p) { p.baudRate = 115200; }, {}},
        CommandCase{"SetVibration", PanelCommand::SetVibration, 0x10, "set vibration length 10 = 16 ms (panels 01)",
                    [](Panel& p) { p.vibrationMs = 0x10; }, {}},
        CommandCase{"SetInterval", PanelCommand::SetInterval, 0x05, "set multi-data interval 05 = 5 ms (panels 01)",
                    [](Panel& p) { p.intervalMs = 5; }, {}}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(PanelBus, PanelsOutsideConfigurationStateIgnoreCommandsAndDoNotAnswer)
{
    PanelBus bus;
    const Panel before = bus.panels().at(0);
    const Reaction reaction = send(bus, {commandFrame(PanelCommand::ReadInfo),
                                         commandFrame(PanelCommand::SetAddress, 5),
                                         commandFrame(PanelCommand::SetMode, 3)});
    EXPECT_EQ(reaction.log, (Lines{"read information (no panel in configuration state), no answer",
                                   "set address 05 (no panel in configuration state)",
                                   "set key mode 3, fixed AB code (no panel in configuration state)"}));
    EXPECT_TRUE(reaction.transmissions.empty());
    EXPECT_EQ(bus.panels().at(0), before);
}

TEST(PanelBus, TwoPanelsInConfigurationStateAnswerAtOnceAndCollide)
{
    PanelBus bus(BusOptions{.panelCount = 2, .firstAddress = 0x01, .mode = 2});
    const Reaction reaction = send(bus, {enterConfig(), commandFrame(PanelCommand::ReadInfo)});
    EXPECT_EQ(reaction.log, (Lines{"enter configuration (panels 01, 02)",
                                   "read information (panels 01, 02), the answers collide"}));
    EXPECT_EQ(transmitted(reaction), (Lines{"0 ms: 01 77 88 02", "0 ms: 02 77 88 02"}));
}

TEST(PanelBus, SetAddressReachesOnlyThePanelsInConfigurationState)
{
    PanelBus bus(BusOptions{.panelCount = 2});
    send(bus, enterConfig());
    bus.press(1, 1); // panel 02 leaves the configuration state
    const Reaction reaction = send(bus, {commandFrame(PanelCommand::SetAddress, 0x05), commandFrame(PanelCommand::ReadInfo)});
    EXPECT_EQ(reaction.log.at(0), "set address 05 (panels 01)");
    EXPECT_EQ(transmitted(reaction), Lines{"0 ms: 05 77 88 00"});
    EXPECT_EQ(bus.panels().at(0).address, 0x05);
    EXPECT_EQ(bus.panels().at(1).address, 0x02);
    EXPECT_EQ(bus.panelIndex(0x05), 0u);
    EXPECT_FALSE(bus.panelIndex(0x01).has_value());
}

// --- malformed and unknown frames -----------------------------------------------

struct BadFrameCase {
    const char* name;
    std::string frame;
    std::string log;
};

void PrintTo(const BadFrameCase& c, std::ostream* os)
{
    *os << c.name;
}

class BadFrames : public ::testing::TestWithParam<BadFrameCase> {};

TEST_P(BadFrames, AreLoggedWithTheirBytesAndChangeNothing)
{
    PanelBus bus;
    send(bus, {enterConfig(), text(keyTableFrameTexts().start), text(voiceTableFrameTexts().start)});
    const std::string before = bus.dump();
    const Reaction reaction = send(bus, GetParam().frame);
    EXPECT_EQ(reaction.log, Lines{GetParam().log});
    EXPECT_TRUE(reaction.transmissions.empty());
    EXPECT_EQ(bus.dump(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Bus, BadFrames,
    ::testing::Values(
        BadFrameCase{"UnknownFixedFrame", "FD66666666123456CF",
                     "malformed frame: FD 66 66 66 66 12 34 56 CF (not a frame the panels know)"},
        BadFrameCase{"AddressFF", "FD66666688DDFFFFCF",
                     "malformed frame: FD 66 66 66 88 DD FF FF CF (value FF is outside 00..FE)"},
        BadFrameCase{"KeyNine", "FDCF039112",
                     "malformed frame: FD CF 03 91 12 (key/state byte 91 is not key 1..8 with state 0 or 1)"},
        BadFrameCase{"StateTwo", "FDCF032212",
                     "malformed frame: FD CF 03 22 12 (key/state byte 22 is not key 1..8 with state 0 or 1)"},
        BadFrameCase{"RowCodeBetweenTheTables", "FDCF311112",
                     "malformed frame: FD CF 31 11 12 (row code 31 is neither a key row (01..30) nor a voice row (41..70))"},
        BadFrameCase{"PhraseZero", "FDCF410012", "malformed frame: FD CF 41 00 12 (phrase 0 is outside 1..148)"},
        BadFrameCase{"Phrase149", "FDCF419512", "malformed frame: FD CF 41 95 12 (phrase 149 is outside 1..148)"},
        BadFrameCase{"TooShort", "FD6666", "malformed frame: FD 66 66 (frame cut short after 3 of 9 bytes)"}),
    [](const ::testing::TestParamInfo<BadFrameCase>& info) { return info.param.name; });

// --- the learning tables ---------------------------------------------------------

KeyTable keyRows(std::initializer_list<std::pair<int, KeyLearningRow>> rows)
{
    KeyTable table{};
    for (const auto& [n, row] : rows)
        table[static_cast<std::size_t>(n - 1)] = row;
    return table;
}

std::vector<std::string> keyWriteFrames(const KeyTable& table)
{
    return framesOf(keyTableWritePlan(table).plan.value());
}

const KeyTable learnedKeys = keyRows({
    {3, {2, 1, "12 34 AB"}},
    {5, {2, 0, "01"}},
    {7, {2, 1, "CD"}},
    {9, {4, 1, "   "}}, // spaces only: a row without data
});

TEST(PanelBus, KeyTableWriteIsStoredAtItsEndFrame)
{
    PanelBus bus;
    send(bus, enterConfig());
    const Reaction reaction = send(bus, keyWriteFrames(learnedKeys));
    EXPECT_EQ(reaction.log, (Lines{
                                "key table start",
                                "key row 3: key 2 on, data 12 34 AB",
                                "key row 5: key 2 off, data 01",
                                "key row 7: key 2 on, data CD",
                                "key row 9: key 4 on, data (none)",
                                "key table end: 4 rows stored (panels 01)",
                            }));
    const Panel& panel = bus.panels().at(0);
    EXPECT_EQ(panel.keyRows[2], (LearnedKeyRow{2, 1, {0x12, 0x34, 0xAB}}));
    EXPECT_EQ(panel.keyRows[8], (LearnedKeyRow{4, 1, {}}));
    EXPECT_FALSE(panel.keyRows[0].has_value());
    EXPECT_NE(bus.dump().find("    key row 5: key 2 off, data 01\n"), std::string::npos) << bus.dump();
}

TEST(PanelBus, VoiceTableWriteIsStoredAndPhrasesAreNamed)
{
    VoiceTable table{};
    table[0] = {1, "12 34"};
    table[47] = {148, "01"};
    PanelBus bus;
    send(bus, enterConfig());
    const Reaction reaction = send(bus, framesOf(voiceTableWritePlan(table).plan.value()));
    EXPECT_EQ(reaction.log, (Lines{
                                "voice table start",
                                "voice row 1: phrase 1 打开灯光, data 12 34",
                                "voice row 48: phrase 148 观影模式, data 01",
                                "voice table end: 2 rows stored (panels 01)",
                            }));
    EXPECT_EQ(bus.panels().at(0).voiceRows[47], (LearnedVoiceRow{148, {0x01}}));
}

TEST(PanelBus, ANewWriteReplacesTheTableAndACancelledOneLeavesIt)
{
    PanelBus bus;
    send(bus, enterConfig());
    send(bus, keyWriteFrames(learnedKeys));
    const LearnedKeyTable first = bus.panels().at(0).keyRows;

    // Cancelled at the confirmation: only the start frame went out.
    send(bus, keyTableFrameTexts().start);
    EXPECT_EQ(bus.panels().at(0).keyRows, first);

    send(bus, keyWriteFrames(keyRows({{1, {8, 0, "FF"}}})));
    LearnedKeyTable replaced{};
    replaced[0] = LearnedKeyRow{8, 0, {0xFF}};
    EXPECT_EQ(bus.panels().at(0).keyRows, replaced);
}

TEST(PanelBus, RowsOutsideAWriteAndStrayEndFramesAreIgnored)
{
    PanelBus bus;
    send(bus, enterConfig());
    const Reaction reaction = send(bus, {"FDCF03211234", text(keyTableFrameTexts().end), text(voiceTableFrameTexts().start),
                                         "FDCF0321AB", text(keyTableFrameTexts().end), text(voiceTableFrameTexts().end)});
    EXPECT_EQ(reaction.log, (Lines{
                                "key row 3: key 2 on, data 12 34 ignored: no key table write in progress",
                                "key table end ignored: no key table write in progress",
                                "voice table start",
                                "key row 3: key 2 on, data AB ignored: no key table write in progress",
                                "key table end ignored: no key table write in progress",
                                "voice table end: 0 rows stored (panels 01)",
                            }));
    EXPECT_EQ(bus.panels().at(0).keyRows, LearnedKeyTable{});
}

TEST(PanelBus, WriteReachesOnlyPanelsInConfigurationStateAtTheEnd)
{
    PanelBus bus(BusOptions{.panelCount = 2});
    send(bus, enterConfig());
    bus.press(1, 8);
    bus.press(1, 8);
    const Reaction reaction = send(bus, keyWriteFrames(learnedKeys));
    EXPECT_EQ(reaction.log.back(), "key table end: 4 rows stored (panels 01)");
    EXPECT_TRUE(bus.panels().at(0).keyRows[2].has_value());
    EXPECT_EQ(bus.panels().at(1).keyRows, LearnedKeyTable{});

    bus.press(0, 8);
    EXPECT_EQ(send(bus, keyWriteFrames(learnedKeys)).log.back(),
              "key table end: 4 rows dropped (no panel in configuration state)");
}

TEST(PanelBus, EraseClearsOneTableOfThePanelsInConfigurationState)
{
    VoiceTable voice{};
    voice[0] = {1, "12"};
    PanelBus bus(BusOptions{.panelCount = 2});
    send(bus, enterConfig());
    send(bus, keyWriteFrames(learnedKeys));
    send(bus, framesOf(voiceTableWritePlan(voice).plan.value()));
    bus.press(1, 8); // panel 02 keeps its tables
    bus.press(1, 8);

    const Reaction reaction = send(bus, framesOf(keyTableErasePlan()));
    EXPECT_EQ(reaction.log, Lines{"erase key table (panels 01)"});
    EXPECT_EQ(bus.panels().at(0).keyRows, LearnedKeyTable{});
    EXPECT_TRUE(bus.panels().at(0).voiceRows[0].has_value());
    EXPECT_TRUE(bus.panels().at(1).keyRows[2].has_value());

    EXPECT_EQ(send(bus, framesOf(voiceTableErasePlan())).log, Lines{"erase voice table (panels 01)"});
    EXPECT_EQ(bus.panels().at(0).voiceRows, LearnedVoiceTable{});
}

// --- stimuli ----------------------------------------------------------------------

TEST(PanelBus, PressTogglesTheIndicatorAndSendsTheDataLearnedForTheNewState)
{
    PanelBus bus;
    send(bus, enterConfig());
    send(bus, keyWriteFrames(learnedKeys));
    ASSERT_TRUE(bus.panels().at(0).configuring);

    Reaction on = bus.press(0, 2);
    EXPECT_EQ(on.log, Lines{"panel 01: key 2 pressed, leaves the configuration state, indicator on, 2 data items"});
    EXPECT_EQ(transmitted(on), (Lines{"0 ms: 12 34 AB", "30 ms: CD"})) << "in row order, the interval apart";
    EXPECT_FALSE(bus.panels().at(0).configuring);
    EXPECT_TRUE(bus.panels().at(0).indicators[1]);

    Reaction off = bus.press(0, 2);
    EXPECT_EQ(off.log, Lines{"panel 01: key 2 pressed, indicator off, 1 data item"});
    EXPECT_EQ(transmitted(off), Lines{"0 ms: 01"});

    EXPECT_EQ(transmitted(bus.press(0, 4)), Lines{}) << "a row without data sends nothing";
    EXPECT_EQ(transmitted(bus.press(0, 1)), Lines{});
    EXPECT_NE(bus.dump().find("indicators: 1 on, 2 off, 3 off, 4 on,"), std::string::npos) << bus.dump();
}

TEST(PanelBus, PressUsesTheIntervalSetOnTheBus)
{
    PanelBus bus;
    send(bus, {enterConfig(), commandFrame(PanelCommand::SetInterval, 0x64)});
    send(bus, keyWriteFrames(learnedKeys));
    EXPECT_EQ(transmitted(bus.press(0, 2)), (Lines{"0 ms: 12 34 AB", "100 ms: CD"}));
}

TEST(PanelBus, SaySendsTheDataLearnedForThePhrase)
{
    VoiceTable voice{};
    voice[2] = {5, "01 02"};
    voice[3] = {6, "09"};
    voice[9] = {5, "03"};
    PanelBus bus;
    send(bus, enterConfig());
    send(bus, framesOf(voiceTableWritePlan(voice).plan.value()));
    const Reaction reaction = bus.say(0, 5);
    EXPECT_EQ(transmitted(reaction), (Lines{"0 ms: 01 02", "30 ms: 03"}));
    EXPECT_EQ(reaction.log.size(), 1u);
    EXPECT_TRUE(bus.panels().at(0).configuring) << "only a key ends the configuration state";
}

TEST(PanelBus, StimuliOutsideTheRangesAreRefused)
{
    PanelBus bus;
    const std::string before = bus.dump();
    for (const Reaction& reaction : {bus.press(0, 0), bus.press(0, 9), bus.press(1, 1), bus.say(0, 0),
                                     bus.say(0, 149), bus.say(3, 1)}) {
        EXPECT_FALSE(reaction.error.empty());
        EXPECT_TRUE(reaction.log.empty());
        EXPECT_TRUE(reaction.transmissions.empty());
    }
    EXPECT_EQ(bus.dump(), before);
}

TEST(PanelBus, StartsFromItsOptionsAndRefusesImpossibleOnes)
{
    PanelBus bus(BusOptions{.panelCount = 3, .firstAddress = 0x10, .mode = 4});
    ASSERT_EQ(bus.panels().size(), 3u);
    EXPECT_EQ(bus.panels()[2].address, 0x12);
    EXPECT_EQ(bus.panels()[2].mode, 4);
    EXPECT_EQ(bus.panels()[2].vibrationMs, 0x46);
    EXPECT_EQ(bus.panels()[2].intervalMs, 0x1E);
    EXPECT_FALSE(bus.panels()[2].configuring);
    EXPECT_EQ(bus.dump().substr(0, bus.dump().find('\n')),
              "panel 10: mode 4 (Modbus), bus baud rate 9600, vibration 46 (70 ms), interval 1E (30 ms), "
              "not in configuration state");

    EXPECT_THROW(PanelBus(BusOptions{.panelCount = 0}), std::invalid_argument);
    EXPECT_THROW(PanelBus(BusOptions{.panelCount = 2, .firstAddress = 0xFE}), std::invalid_argument);
    EXPECT_THROW(PanelBus(BusOptions{.mode = 5}), std::invalid_argument);
}

} // namespace
} // namespace tarvenix::sim
