#include "config_entries.h"

#include "learning/learning_rows.h"

#include <string>

namespace tarvenix {

namespace {

// Key names (GBK) before their row number.
constexpr std::string_view portKey = "\xB6\xCB\xBF\xDA\xBA\xC5";                       // 端口号
constexpr std::string_view baudKey = "\xB2\xA8\xCC\xD8\xC2\xCA";                       // 波特率
constexpr std::string_view keyDataKey = "\xCA\xFD\xBE\xDD";                            // 数据
constexpr std::string_view keyBoxKey = "\xB0\xB4\xBC\xFC\xBF\xF2";                     // 按键框
constexpr std::string_view keyStateKey = "\xB0\xB4\xBC\xFC\xD7\xB4\xCC\xAC\xBF\xF2";   // 按键状态框
constexpr std::string_view voicePhraseKey = "\xD3\xEF\xD2\xF4\xC4\xDA\xC8\xDD\xBF\xF2"; // 语音内容框
constexpr std::string_view voiceDataKey = "\xD3\xEF\xD2\xF4\xCA\xFD\xBE\xDD\xBF\xF2";   // 语音数据框

// The key table numbers its rows with two digits, the voice table without a
// leading zero; files written by every earlier version depend on both.
std::string keyRowName(std::string_view prefix, int row)
{
    std::string name(prefix);
    if (row < 10)
        name.push_back('0');
    name.append(std::to_string(row));
    return name;
}

std::string voiceRowName(std::string_view prefix, int row)
{
    return std::string(prefix).append(std::to_string(row));
}

std::array<ConfigEntry, configEntryCount> buildEntries()
{
    std::array<ConfigEntry, configEntryCount> entries;
    std::size_t n = 0;
    auto add = [&](std::string_view section, std::string key, ConfigControl control, int row,
                   ConfigValueKind kind) {
        entries[n++] = ConfigEntry{section, std::move(key), control, row, kind};
    };
    using enum ConfigControl;
    using enum ConfigValueKind;

    add(serialSection, std::string(portKey), portEdit, 0, text);
    add(serialSection, std::string(baudKey), baudEdit, 0, text);
    for (int row = 1; row <= learningRowCount; ++row)
        add(keyLearningSection, keyRowName(keyDataKey, row), keyRowDataEdit, row, text);
    for (int row = 1; row <= learningRowCount; ++row)
        add(keyLearningSection, keyRowName(keyBoxKey, row), keyRowKeyCombo, row, index);
    for (int row = 1; row <= learningRowCount; ++row)
        add(keyLearningSection, keyRowName(keyStateKey, row), keyRowStateCombo, row, index);
    for (int row = 1; row <= learningRowCount; ++row)
        add(voiceLearningSection, voiceRowName(voicePhraseKey, row), voiceRowPhraseCombo, row, index);
    for (int row = 1; row <= learningRowCount; ++row)
        add(voiceLearningSection, voiceRowName(voiceDataKey, row), voiceRowDataEdit, row, text);
    return entries;
}

} // namespace

const std::array<ConfigEntry, configEntryCount>& configEntries()
{
    static const std::array<ConfigEntry, configEntryCount> entries = buildEntries();
    return entries;
}

int choiceCount(ConfigControl control)
{
    switch (control) {
    case ConfigControl::keyRowKeyCombo:
        return keyChoiceCount;
    case ConfigControl::keyRowStateCombo:
        return stateChoiceCount;
    case ConfigControl::voiceRowPhraseCombo:
        return phraseChoiceCount;
    case ConfigControl::portEdit:
    case ConfigControl::baudEdit:
    case ConfigControl::keyRowDataEdit:
    case ConfigControl::voiceRowDataEdit:
        break;
    }
    return 0;
}

} // namespace tarvenix
