#pragma once
// What a frame read from the line asks of the panels. The fixed frames are
// recognised against the program's own command table and table frames, so
// the panels on this bus understand exactly what the program sends.

#include "commands/command_table.h"
#include "frame_reader.h"

#include <string>
#include <string_view>
#include <variant>

namespace tarvenix::sim {

enum class LearningTable { Key, Voice };
enum class TableAction { Start, End, Erase };

struct CommandFrame {
    PanelCommand command = PanelCommand::EnterConfig;
    // SetMode: the KeyMode 0..4; SetBaudRate: the rate (9600, 38400, 115200);
    // SetAddress, SetVibration, SetInterval: the value byte 00..FE; else 0.
    int value = 0;
};

struct TableFrame {
    LearningTable table = LearningTable::Key;
    TableAction action = TableAction::Start;
};

struct KeyRowData {
    int row = 0;   // 1..48, the row number on the wire
    int key = 0;   // 1..8
    int state = 0; // 0 off, 1 on
    Bytes data;
};

struct VoiceRowData {
    int row = 0;    // 1..48; on the wire 0x40 + row
    int phrase = 0; // 1..148
    Bytes data;
};

struct MalformedFrame {
    Bytes bytes;
    std::string problem;
};

using DecodedFrame = std::variant<CommandFrame, TableFrame, KeyRowData, VoiceRowData, MalformedFrame>;

DecodedFrame decodeFrame(const ReadFrame& frame);

// "custom A code" .. "Modbus" for 0..4, "unknown" otherwise.
std::string_view keyModeName(int mode);

} // namespace tarvenix::sim
