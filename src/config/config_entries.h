#pragma once
// The 242 values of the configuration file: where each one lives in the file
// and which control of the window holds it. Saving and loading both walk the
// table in this order, and the order decides where new keys land in a file.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvenix {

// Section names as the file holds them (GBK).
inline constexpr std::string_view serialSection = "\xB4\xAE\xBF\xDA\xC5\xE4\xD6\xC3"; // 串口配置
inline constexpr std::string_view keyLearningSection =
    "\xD1\xA7\xCF\xB0\xC7\xF8\xC5\xE4\xD6\xC3"; // 学习区配置
inline constexpr std::string_view voiceLearningSection =
    "\xD3\xEF\xD2\xF4\xD1\xA7\xCF\xB0\xC7\xF8\xC5\xE4\xD6\xC3"; // 语音学习区配置

// The control that holds a value; a learning-row control also needs the
// row number of its ConfigEntry.
enum class ConfigControl {
    portEdit,
    baudEdit,
    keyRowDataEdit,
    keyRowKeyCombo,
    keyRowStateCombo,
    voiceRowPhraseCombo,
    voiceRowDataEdit,
};

// A text entry stores an edit box's text as it stands; an index entry stores
// a combo box's selected position as signed decimal, -1 for no selection.
enum class ConfigValueKind { text, index };

struct ConfigEntry {
    std::string_view section; // GBK
    std::string key;          // GBK
    ConfigControl control;
    int row; // 1..48 for a learning-row control, 0 for portEdit and baudEdit
    ConfigValueKind kind;
};

constexpr std::size_t configEntryCount = 242;

// The entries in file order: port, baud, the 48 key data, key boxes and key
// state boxes ("数据07", two digits), then the 48 voice phrase boxes and
// voice data ("语音内容框7", no leading zero).
const std::array<ConfigEntry, configEntryCount>& configEntries();

// Items of the combo box behind an index entry's control; 0 for a text
// entry's edit box.
int choiceCount(ConfigControl control);

} // namespace tarvenix
