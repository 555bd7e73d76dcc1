#include "table_plans.h"

#include "link/gbk_text.h"

#include <array>
#include <cstddef>
#include <utility>

namespace tarvenix {

namespace {

// What tells one table from the other on the bus.
template <typename Row>
struct TableDescription {
    std::string_view startFrame;
    std::string_view endFrame;
    std::string_view eraseFrame;
    // The key table waits this long before its start frame and before its
    // erase frame; the voice table sends them at once.
    int leadPauseMs;
    std::string (*rowFrame)(int row, const Row& data);
};

const TableDescription<KeyLearningRow> keyTable = {
    "FD66666666AAABA1CF", "FD66666666AAABB1CF", "FD66666666AABBF1CF", 20, keyRowFrame,
};

const TableDescription<VoiceLearningRow> voiceTable = {
    "FD66666666AAABA2CF", "FD66666666AAABB2CF", "FD66666666AABBF2CF", 0, voiceRowFrame,
};

constexpr int rowPauseMs = 200;
constexpr int startPauseMs = 200;
constexpr int beforeEndPauseMs = 100;
constexpr int endPauseMs = 200;

// The bar moves 2.08 per row, cut toward zero: 48 rows end on 99, and the
// final 100 comes with the end frame.
int progressAfterRow(int row)
{
    return static_cast<int>(row * 2.08);
}

template <typename Row>
std::vector<RowProblem> validateRows(const std::array<Row, learningRowCount>& rows)
{
    std::vector<RowProblem> problems;
    for (int n = 1; n <= learningRowCount; ++n) {
        const std::string& typed = rows[static_cast<std::size_t>(n - 1)].dataText;
        const DataVerdict verdict = checkDataText(removeSpaces(typed));
        if (verdict != DataVerdict::Legal)
            problems.push_back(RowProblem{n, verdict, typed});
    }
    return problems;
}

template <typename Row>
TableWritePlan writePlan(const TableDescription<Row>& table, const std::array<Row, learningRowCount>& rows)
{
    TableWritePlan result;
    result.problems = validateRows(rows);
    if (!result.problems.empty())
        return result;

    Plan plan;
    auto& steps = plan.steps;
    if (table.leadPauseMs > 0)
        steps.push_back(PauseStep{table.leadPauseMs});
    steps.push_back(SendStep{std::string(table.startFrame)});
    steps.push_back(PauseStep{startPauseMs});
    steps.push_back(ConfirmStep{"确认写入", infoCaption});
    for (int n = 1; n <= learningRowCount; ++n) {
        const Row& row = rows[static_cast<std::size_t>(n - 1)];
        if (isRowEnabled(row)) {
            steps.push_back(SendStep{table.rowFrame(n, row)});
            steps.push_back(PauseStep{rowPauseMs});
        }
        steps.push_back(ProgressStep{progressAfterRow(n)});
    }
    steps.push_back(PauseStep{beforeEndPauseMs});
    steps.push_back(SendStep{std::string(table.endFrame)});
    steps.push_back(PauseStep{endPauseMs});
    steps.push_back(ProgressStep{100});
    steps.push_back(NotifyStep{"写入完成", infoCaption, Buttons::OkCancel});
    steps.push_back(ProgressStep{0});
    plan.portClosedText = tablePortClosedText;
    plan.writeFailedText = tableWriteFailedText;
    result.plan = std::move(plan);
    return result;
}

template <typename Row>
Plan erasePlan(const TableDescription<Row>& table)
{
    const std::string confirmText = "确认擦除";
    const std::string doneText = "完成擦除";
    Plan plan;
    auto& steps = plan.steps;
    steps.push_back(ConfirmStep{confirmText, confirmText});
    if (table.leadPauseMs > 0)
        steps.push_back(PauseStep{table.leadPauseMs});
    steps.push_back(ProgressStep{50});
    steps.push_back(SendStep{std::string(table.eraseFrame)});
    steps.push_back(ProgressStep{100});
    steps.push_back(NotifyStep{doneText, doneText, Buttons::Ok});
    steps.push_back(ProgressStep{0});
    plan.portClosedText = tablePortClosedText;
    plan.writeFailedText = tableEraseFailedText;
    return plan;
}

} // namespace

std::vector<RowProblem> validateKeyTable(const KeyTable& rows)
{
    return validateRows(rows);
}

std::vector<RowProblem> validateVoiceTable(const VoiceTable& rows)
{
    return validateRows(rows);
}

std::string_view problemMessagePrefix(DataVerdict verdict)
{
    switch (verdict) {
    case DataVerdict::Legal:
        return {};
    case DataVerdict::NotHex:
        return "请检查输入的数据是否为十六进制\r\n";
    case DataVerdict::TooLong:
        return "请检查数据长度\r\n";
    }
    return {};
}

bool isRowEnabled(const KeyLearningRow& row)
{
    return !row.dataText.empty()
        && row.keyIndex >= 1 && row.keyIndex < keyChoiceCount
        && row.stateIndex >= 0 && row.stateIndex < stateChoiceCount;
}

bool isRowEnabled(const VoiceLearningRow& row)
{
    return !row.dataText.empty() && row.phraseIndex >= 1 && row.phraseIndex < phraseChoiceCount;
}

std::string keyRowFrame(int row, const KeyLearningRow& data)
{
    return "FDCF" + byteToHex(row) + std::to_string(data.keyIndex) + std::to_string(data.stateIndex)
        + removeSpaces(data.dataText);
}

std::string voiceRowFrame(int row, const VoiceLearningRow& data)
{
    return "FDCF" + byteToHex(0x40 + row) + byteToHex(data.phraseIndex) + removeSpaces(data.dataText);
}

TableWritePlan keyTableWritePlan(const KeyTable& rows)
{
    return writePlan(keyTable, rows);
}

TableWritePlan voiceTableWritePlan(const VoiceTable& rows)
{
    return writePlan(voiceTable, rows);
}

Plan keyTableErasePlan()
{
    return erasePlan(keyTable);
}

Plan voiceTableErasePlan()
{
    return erasePlan(voiceTable);
}

TableFrameTexts keyTableFrameTexts()
{
    return {keyTable.startFrame, keyTable.endFrame, keyTable.eraseFrame};
}

TableFrameTexts voiceTableFrameTexts()
{
    return {voiceTable.startFrame, voiceTable.endFrame, voiceTable.eraseFrame};
}

} // namespace tarvenix
