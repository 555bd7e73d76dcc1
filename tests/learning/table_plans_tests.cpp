#include "learning/table_plans.h"
#include "support/recording_world.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tarvenix {
namespace {

using test::Question;
using test::RecordingWorld;

// GBK bytes used in data texts.
const std::string ideographicSpace = "\xA1\xA1";
const std::string zhong = "\xD6\xD0"; // a Chinese character: two bytes

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// The bar after rows 1..48, then the end of the write.
const std::vector<int> wholeWriteProgress = {
    2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22, 24, 27, 29, 31, 33, 35, 37, 39, 41, 43, 45, 47, 49, 52,
    54, 56, 58, 60, 62, 64, 66, 68, 70, 72, 74, 76, 79, 81, 83, 85, 87, 89, 91, 93, 95, 97, 99, 100, 0,
};

const char* const startKey = "FD66666666AAABA1CF";
const char* const endKey = "FD66666666AAABB1CF";
const char* const startVoice = "FD66666666AAABA2CF";
const char* const endVoice = "FD66666666AAABB2CF";

KeyLearningRow keyRow(int key, int state, std::string data)
{
    return KeyLearningRow{key, state, std::move(data)};
}

VoiceLearningRow voiceRow(int phrase, std::string data)
{
    return VoiceLearningRow{phrase, std::move(data)};
}

Plan planOf(const TableWritePlan& write)
{
    EXPECT_TRUE(write.problems.empty());
    return write.plan.value_or(Plan{});
}

// --- validation -------------------------------------------------------------

struct DataCase {
    const char* name;
    std::string data;
    DataVerdict verdict;
};

void PrintTo(const DataCase& c, std::ostream* os)
{
    *os << c.name;
}

class DataTextValidation : public ::testing::TestWithParam<DataCase> {};

// Each case sits in a disabled row of both tables: every row is checked.
TEST_P(DataTextValidation, SameVerdictInBothTablesWhetherEnabledOrNot)
{
    const DataCase& c = GetParam();
    KeyTable keys{};
    keys[6] = keyRow(0, 1, c.data);
    VoiceTable voices{};
    voices[6] = voiceRow(-1, c.data);

    const std::vector<RowProblem> expected = c.verdict == DataVerdict::Legal
        ? std::vector<RowProblem>{}
        : std::vector<RowProblem>{RowProblem{7, c.verdict, c.data}};
    EXPECT_EQ(validateKeyTable(keys), expected);
    EXPECT_EQ(validateVoiceTable(voices), expected);
    EXPECT_EQ(keyTableWritePlan(keys).plan.has_value(), expected.empty());
    EXPECT_EQ(voiceTableWritePlan(voices).plan.has_value(), expected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataTextValidation,
    ::testing::Values(
        DataCase{"empty", "", DataVerdict::Legal},
        DataCase{"spacesOnly", "   ", DataVerdict::Legal},
        DataCase{"spacedBytes", "12 34 AB", DataVerdict::Legal},
        DataCase{"ideographicSpace", "AB" + ideographicSpace + "CD", DataVerdict::Legal},
        DataCase{"oddDigits", "ABC", DataVerdict::Legal},
        DataCase{"lowerCase", "ab", DataVerdict::NotHex},
        DataCase{"lowerCaseDigit", "a1", DataVerdict::NotHex},
        DataCase{"notHex", "XYZ", DataVerdict::NotHex},
        DataCase{"tabIsNotASpace", "12\t34", DataVerdict::NotHex},
        DataCase{"digits58", std::string(58, '7'), DataVerdict::Legal},
        DataCase{"digits59", std::string(59, '7'), DataVerdict::TooLong},
        DataCase{"digits58AndTwoSpaces", "12 " + std::string(54, 'F') + " 34", DataVerdict::Legal},
        DataCase{"digits58AndIdeographicSpaces", repeat("AB" + ideographicSpace, 29), DataVerdict::Legal},
        DataCase{"lengthBeforeCharacters", std::string(59, 'G'), DataVerdict::TooLong},
        DataCase{"chinese29IsNotHex", repeat(zhong, 29), DataVerdict::NotHex},
        DataCase{"chinese30IsTooLong", repeat(zhong, 30), DataVerdict::TooLong}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableValidation, ReportsEveryBadRowInRowOrderWithTheTextAsTyped)
{
    KeyTable keys{};
    keys[4] = keyRow(1, 1, "GG 12");
    keys[8] = keyRow(2, 0, std::string(30, 'A') + " " + std::string(30, 'B'));
    keys[40] = keyRow(0, 1, "x");
    const std::vector<RowProblem> expected = {
        RowProblem{5, DataVerdict::NotHex, "GG 12"},
        RowProblem{9, DataVerdict::TooLong, std::string(30, 'A') + " " + std::string(30, 'B')},
        RowProblem{41, DataVerdict::NotHex, "x"},
    };
    EXPECT_EQ(validateKeyTable(keys), expected);

    const TableWritePlan write = keyTableWritePlan(keys);
    EXPECT_EQ(write.problems, expected);
    EXPECT_FALSE(write.plan.has_value());
}

TEST(TableValidation, MessagePrefixes)
{
    EXPECT_EQ(problemMessagePrefix(DataVerdict::NotHex), "请检查输入的数据是否为十六进制\r\n");
    EXPECT_EQ(problemMessagePrefix(DataVerdict::TooLong), "请检查数据长度\r\n");
    EXPECT_EQ(problemMessagePrefix(DataVerdict::Legal), "");
}

// --- row frames and the enabled rule ---------------------------------------

TEST(RowFrames, KeyRowFrames)
{
    EXPECT_EQ(keyRowFrame(3, keyRow(2, 1, "12 34 AB")), "FDCF03211234AB");
    EXPECT_EQ(keyRowFrame(48, keyRow(8, 0, "01")), "FDCF308001");
    EXPECT_EQ(keyRowFrame(12, keyRow(1, 1, " " + ideographicSpace + " ")), "FDCF0C11");
    EXPECT_EQ(keyRowFrame(1, keyRow(5, 0, "ABC")), "FDCF0150ABC");
}

TEST(RowFrames, VoiceRowFrames)
{
    EXPECT_EQ(voiceRowFrame(1, voiceRow(1, "12 34")), "FDCF41011234");
    EXPECT_EQ(voiceRowFrame(16, voiceRow(10, "A0")), "FDCF500AA0");
    EXPECT_EQ(voiceRowFrame(48, voiceRow(148, "01")), "FDCF709401");
    EXPECT_EQ(voiceRowFrame(3, voiceRow(5, "  ")), "FDCF4305");
}

TEST(RowFrames, EnabledRule)
{
    struct KeyCase {
        KeyLearningRow row;
        bool enabled;
    };
    for (const KeyCase& c : {
             KeyCase{keyRow(1, 1, "01"), true},
             KeyCase{keyRow(8, 0, "01"), true},
             KeyCase{keyRow(1, 1, " "), true}, // not empty as typed
             KeyCase{keyRow(1, 1, ""), false},
             KeyCase{keyRow(0, 1, "01"), false},
             KeyCase{keyRow(-1, 1, "01"), false}, // no selection: only from a file
             KeyCase{keyRow(1, -1, "01"), false},
         })
        EXPECT_EQ(isRowEnabled(c.row), c.enabled) << c.row.keyIndex << "/" << c.row.stateIndex << " '"
                                                  << c.row.dataText << "'";

    struct VoiceCase {
        VoiceLearningRow row;
        bool enabled;
    };
    for (const VoiceCase& c : {
             VoiceCase{voiceRow(1, "01"), true},
             VoiceCase{voiceRow(148, "01"), true},
             VoiceCase{voiceRow(5, "  "), true},
             VoiceCase{voiceRow(5, ""), false},
             VoiceCase{voiceRow(0, "01"), false},
             VoiceCase{voiceRow(-1, "01"), false},
         })
        EXPECT_EQ(isRowEnabled(c.row), c.enabled) << c.row.phraseIndex << " '" << c.row.dataText << "'";
}

// --- whole writes -----------------------------------------------------------

TEST(KeyTableWrite, SendsStartEnabledRowsInOrderAndEnd)
{
    KeyTable keys{};
    keys[2] = keyRow(2, 1, "12 34 AB");
    keys[4] = keyRow(1, 1, "   ");      // spaces only: a frame without data
    keys[6] = keyRow(0, 1, "FF");       // key disabled
    keys[9] = keyRow(-1, 1, "01");      // nothing selected
    keys[10] = keyRow(3, 0, "");        // no data
    keys[20] = keyRow(4, -1, "02");     // no state selected
    keys[47] = keyRow(8, 0, "01");

    RecordingWorld world;
    EXPECT_EQ(world.run(planOf(keyTableWritePlan(keys))), PlanOutcome::Completed);
    EXPECT_EQ(world.frames,
              (std::vector<std::string>{startKey, "FDCF03211234AB", "FDCF0511", "FDCF308001", endKey}));
    EXPECT_EQ(world.progress, wholeWriteProgress);
    EXPECT_EQ(world.questions, (std::vector<Question>{{"确认写入", "信息：", Buttons::OkCancel},
                                                      {"写入完成", "信息：", Buttons::OkCancel}}));

    // The order of things around the rows: 20 ms, start, 200 ms, question;
    // each row frame followed by the sender's pause and 200 ms, then the bar.
    const std::vector<std::string> head(world.log.begin(), world.log.begin() + 11);
    EXPECT_EQ(head, (std::vector<std::string>{"pause 20", std::string("write ") + startKey, "pause 18", "pause 200",
                                               "ask 确认写入", "progress 2", "progress 4",
                                               "write FDCF03211234AB", "pause 14", "pause 200", "progress 6"}));
    const std::vector<std::string> tail(world.log.end() - 11, world.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"write FDCF308001", "pause 10", "pause 200", "progress 99",
                                               "pause 100", std::string("write ") + endKey, "pause 18",
                                               "pause 200", "progress 100", "ask 写入完成", "progress 0"}));
}

TEST(VoiceTableWrite, SendsStartEnabledRowsInOrderAndEndWithoutTheLeadingPause)
{
    VoiceTable voices{};
    voices[0] = voiceRow(1, "12 34");
    voices[2] = voiceRow(5, "  ");
    voices[5] = voiceRow(0, "AA");   // "禁用"
    voices[8] = voiceRow(-1, "AA");  // nothing selected
    voices[15] = voiceRow(10, "A0");
    voices[47] = voiceRow(148, "01");

    RecordingWorld world;
    EXPECT_EQ(world.run(planOf(voiceTableWritePlan(voices))), PlanOutcome::Completed);
    EXPECT_EQ(world.frames, (std::vector<std::string>{startVoice, "FDCF41011234", "FDCF4305", "FDCF500AA0",
                                                      "FDCF709401", endVoice}));
    EXPECT_EQ(world.progress, wholeWriteProgress);
    EXPECT_EQ(world.log.front(), std::string("write ") + startVoice);
    EXPECT_EQ(world.questions, (std::vector<Question>{{"确认写入", "信息：", Buttons::OkCancel},
                                                      {"写入完成", "信息：", Buttons::OkCancel}}));
}

TEST(TableWrite, AnEmptyTableSendsOnlyStartAndEndAndRunsTheWholeBar)
{
    RecordingWorld keyWorld;
    EXPECT_EQ(keyWorld.run(planOf(keyTableWritePlan(KeyTable{}))), PlanOutcome::Completed);
    EXPECT_EQ(keyWorld.frames, (std::vector<std::string>{startKey, endKey}));
    EXPECT_EQ(keyWorld.pauses, (std::vector<int>{20, 18, 200, 100, 18, 200}));
    EXPECT_EQ(keyWorld.progress, wholeWriteProgress);

    RecordingWorld voiceWorld;
    VoiceTable voices{};
    for (VoiceLearningRow& row : voices)
        row = voiceRow(0, "12"); // a fresh configuration: every phrase "禁用"
    EXPECT_EQ(voiceWorld.run(planOf(voiceTableWritePlan(voices))), PlanOutcome::Completed);
    EXPECT_EQ(voiceWorld.frames, (std::vector<std::string>{startVoice, endVoice}));
    EXPECT_EQ(voiceWorld.pauses, (std::vector<int>{18, 200, 100, 18, 200}));
    EXPECT_EQ(voiceWorld.progress, wholeWriteProgress);
}

TEST(TableWrite, CancelAfterTheStartFrameSendsNothingMore)
{
    KeyTable keys{};
    keys[0] = keyRow(1, 1, "01");
    VoiceTable voices{};
    voices[0] = voiceRow(1, "01");
    struct Case {
        Plan plan;
        const char* start;
    };
    for (const Case& c : {Case{planOf(keyTableWritePlan(keys)), startKey},
                          Case{planOf(voiceTableWritePlan(voices)), startVoice}}) {
        RecordingWorld world;
        world.answers = {false};
        EXPECT_EQ(world.run(c.plan), PlanOutcome::Cancelled);
        EXPECT_EQ(world.frames, std::vector<std::string>{c.start});
        EXPECT_TRUE(world.progress.empty());
        EXPECT_EQ(world.questions.size(), 1u);
    }
}

// --- erases -----------------------------------------------------------------

TEST(TableErase, KeyAndVoiceSequences)
{
    RecordingWorld keyWorld;
    EXPECT_EQ(keyWorld.run(keyTableErasePlan()), PlanOutcome::Completed);
    EXPECT_EQ(keyWorld.log, (std::vector<std::string>{"ask 确认擦除", "pause 20", "progress 50",
                                                      "write FD66666666AABBF1CF", "pause 18", "progress 100",
                                                      "ask 完成擦除", "progress 0"}));
    EXPECT_EQ(keyWorld.questions, (std::vector<Question>{{"确认擦除", "确认擦除", Buttons::OkCancel},
                                                         {"完成擦除", "完成擦除", Buttons::Ok}}));

    RecordingWorld voiceWorld;
    EXPECT_EQ(voiceWorld.run(voiceTableErasePlan()), PlanOutcome::Completed);
    EXPECT_EQ(voiceWorld.log, (std::vector<std::string>{"ask 确认擦除", "progress 50", "write FD66666666AABBF2CF",
                                                        "pause 18", "progress 100", "ask 完成擦除", "progress 0"}));
    EXPECT_EQ(voiceWorld.questions, keyWorld.questions);
}

TEST(TableErase, CancelSendsNothing)
{
    for (const Plan& plan : {keyTableErasePlan(), voiceTableErasePlan()}) {
        RecordingWorld world;
        world.answers = {false};
        EXPECT_EQ(world.run(plan), PlanOutcome::Cancelled);
        EXPECT_EQ(world.log, std::vector<std::string>{"ask 确认擦除"});
    }
}

// --- failures of the line ---------------------------------------------------

TEST(TableFailures, ClosedPortSendsNothingAndSaysSo)
{
    KeyTable keys{};
    keys[0] = keyRow(1, 1, "01");
    VoiceTable voices{};
    voices[0] = voiceRow(1, "01");
    for (const Plan& plan : {planOf(keyTableWritePlan(keys)), planOf(voiceTableWritePlan(voices)),
                             keyTableErasePlan(), voiceTableErasePlan()}) {
        RecordingWorld world;
        world.open = false;
        EXPECT_EQ(world.run(plan), PlanOutcome::PortClosed);
        EXPECT_EQ(world.log, std::vector<std::string>{"ask 串口未打开，未发送任何数据"});
        EXPECT_EQ(world.questions[0], (Question{"串口未打开，未发送任何数据", "信息：", Buttons::Ok}));
    }
}

TEST(TableFailures, AFailedWriteStopsAtOnceAndResetsTheBar)
{
    KeyTable keys{};
    keys[0] = keyRow(1, 1, "01");
    keys[30] = keyRow(2, 1, "02");
    keys[40] = keyRow(3, 1, "03");
    VoiceTable voices{};
    voices[0] = voiceRow(1, "01");
    voices[30] = voiceRow(2, "02");
    for (const Plan& plan : {planOf(keyTableWritePlan(keys)), planOf(voiceTableWritePlan(voices))}) {
        RecordingWorld world;
        world.failingWrite = 3; // the second row frame
        EXPECT_EQ(world.run(plan), PlanOutcome::WriteFailed);
        EXPECT_EQ(world.frames.size(), 2u); // start and the first row
        ASSERT_FALSE(world.progress.empty());
        EXPECT_EQ(world.progress.back(), 0);
        EXPECT_EQ(world.progress.end()[-2], 62); // row 30 was the last one passed
        EXPECT_EQ(world.questions.back(), (Question{"串口写入失败，写入未完成", "信息：", Buttons::Ok}));
        EXPECT_EQ(world.log.back(), "ask 串口写入失败，写入未完成");
    }

    for (const Plan& plan : {keyTableErasePlan(), voiceTableErasePlan()}) {
        RecordingWorld world;
        world.failingWrite = 1;
        EXPECT_EQ(world.run(plan), PlanOutcome::WriteFailed);
        EXPECT_TRUE(world.frames.empty());
        EXPECT_EQ(world.progress, (std::vector<int>{50, 0}));
        EXPECT_EQ(world.questions.back(), (Question{"串口写入失败，擦除未完成", "信息：", Buttons::Ok}));
    }
}

} // namespace
} // namespace tarvenix
