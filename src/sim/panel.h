#pragma once
// One wall switch panel as the virtual bus keeps it: its settings, whether it
// is in its configuration state, its two learning tables and the indicators
// of its eight keys.

#include "learning/learning_rows.h"
#include "link/hex_codec.h"

#include <array>
#include <optional>

namespace tarvenix::sim {

inline constexpr int panelKeyCount = 8;

struct LearnedKeyRow {
    int key = 0;   // 1..8
    int state = 0; // the indicator state the data belongs to: 0 off, 1 on
    Bytes data;
    bool operator==(const LearnedKeyRow&) const = default;
};

struct LearnedVoiceRow {
    int phrase = 0; // 1..148, the catalogue index
    Bytes data;
    bool operator==(const LearnedVoiceRow&) const = default;
};

using LearnedKeyTable = std::array<std::optional<LearnedKeyRow>, learningRowCount>;
using LearnedVoiceTable = std::array<std::optional<LearnedVoiceRow>, learningRowCount>;

struct Panel {
    int address = 0x01;    // 00..FE
    int mode = 0;          // KeyMode 0..4
    int baudRate = 9600;   // 9600, 38400 or 115200
    int vibrationMs = 0x46;
    int intervalMs = 0x1E; // between the data items of one key press
    bool configuring = false;
    LearnedKeyTable keyRows;     // by row number 1..48 at index 0..47
    LearnedVoiceTable voiceRows;
    std::array<bool, panelKeyCount> indicators{}; // key 1..8 at index 0..7, true on
    bool operator==(const Panel&) const = default;
};

// How the bus starts: panelCount panels at firstAddress, firstAddress + 1, ...
// all with the same settings.
struct BusOptions {
    int panelCount = 1;
    int firstAddress = 0x01;
    int mode = 0;
    int baudRate = 9600;
    int vibrationMs = 0x46;
    int intervalMs = 0x1E;
};

} // namespace tarvenix::sim
