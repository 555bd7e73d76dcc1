#pragma once
// One row of each learning table as a plain value, read from the window (or
// a configuration file) at the moment it is needed. Texts are GBK bytes.

#include <array>
#include <string>

namespace tarvenix {

constexpr int learningRowCount = 48;
constexpr int keyChoiceCount = 9;   // "禁用", "按键1" .. "按键8"
constexpr int stateChoiceCount = 2; // "关", "开"
constexpr int phraseChoiceCount = 149;

struct KeyLearningRow {
    int keyIndex = 0;   // 0 disabled, 1..8 key 1..8, -1 nothing selected
    int stateIndex = 1; // 0 off, 1 on, -1 nothing selected
    std::string dataText; // as typed, spaces included
    bool operator==(const KeyLearningRow&) const = default;
};

struct VoiceLearningRow {
    int phraseIndex = -1; // catalogue index 0..148, -1 nothing selected
    std::string dataText;
    bool operator==(const VoiceLearningRow&) const = default;
};

using KeyTable = std::array<KeyLearningRow, learningRowCount>;
using VoiceTable = std::array<VoiceLearningRow, learningRowCount>;

} // namespace tarvenix
