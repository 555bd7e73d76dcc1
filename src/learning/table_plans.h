#pragma once
// Validating, writing and erasing the key and the voice learning table. Both
// tables go to the panels the same way (start frame, confirmation, one frame
// per enabled row, end frame, progress, final notice); they differ only in
// their frames and in a 20 ms pause the key table has. The plans are built
// from the snapshot that was validated, so a row that was not checked can
// never go out, whatever happens to the window while the plan runs.

#include "learning/learning_rows.h"
#include "link/hex_codec.h"
#include "link/plan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenix {

// A row whose data text the panels would not accept.
struct RowProblem {
    int row = 0;                           // 1..48
    DataVerdict verdict = DataVerdict::Legal; // NotHex or TooLong
    std::string dataText;                  // as typed, spaces kept (GBK)
    bool operator==(const RowProblem&) const = default;
};

// Every bad row in row order, whether the row is enabled or not. Spaces
// (ASCII and ideographic) are removed before the check. Empty: all good.
std::vector<RowProblem> validateKeyTable(const KeyTable& rows);
std::vector<RowProblem> validateVoiceTable(const VoiceTable& rows);

// The start of the message for a problem (UTF-8); the data text as typed
// follows it directly. "" for Legal.
std::string_view problemMessagePrefix(DataVerdict verdict);

// A row goes out when its data text as typed is not empty and a key (1..8)
// and a state (0..1), or a phrase (1..148), are selected. A box without a
// selection (-1, only a hand-edited file gives that) keeps the row back.
bool isRowEnabled(const KeyLearningRow& row);
bool isRowEnabled(const VoiceLearningRow& row);

// KeyRowFrame of row 1..48: "FDCF", the row number as two hex digits, the
// key index and the state index as one decimal digit each, the data text
// without spaces. Meant for enabled rows.
std::string keyRowFrame(int row, const KeyLearningRow& data);

// VoiceRowFrame of row 1..48: "FDCF", the row code 0x40 + row and the phrase
// index as two hex digits each, the data text without spaces. Meant for
// enabled rows.
std::string voiceRowFrame(int row, const VoiceLearningRow& data);

// Either the problems of the table (and no plan) or the plan that writes it
// (and no problems).
struct TableWritePlan {
    std::vector<RowProblem> problems;
    std::optional<Plan> plan;
};

TableWritePlan keyTableWritePlan(const KeyTable& rows);
TableWritePlan voiceTableWritePlan(const VoiceTable& rows);

Plan keyTableErasePlan();
Plan voiceTableErasePlan();

// The three fixed frames of a table as frame texts, for code that has to
// recognise them on the line rather than send them.
struct TableFrameTexts {
    std::string_view start;
    std::string_view end;
    std::string_view erase;
};

TableFrameTexts keyTableFrameTexts();
TableFrameTexts voiceTableFrameTexts();

// Shown instead of the sequence when the port is closed, and when a frame
// of a write or an erase cannot be written.
inline constexpr std::string_view tablePortClosedText = "串口未打开，未发送任何数据";
inline constexpr std::string_view tableWriteFailedText = "串口写入失败，写入未完成";
inline constexpr std::string_view tableEraseFailedText = "串口写入失败，擦除未完成";

} // namespace tarvenix
