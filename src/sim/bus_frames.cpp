#include "bus_frames.h"

#include "learning/learning_rows.h"
#include "learning/table_plans.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarvenix::sim {

namespace {

// One fixed frame the panels know, as bytes. A value frame is known by its
// head (all but the value byte and the end byte).
struct KnownFrame {
    Bytes bytes;
    DecodedFrame meaning;
    bool valueFrame = false;
};

std::vector<KnownFrame> makeKnownFrames()
{
    std::vector<KnownFrame> known;
    for (const CommandDefinition& definition : commandTable()) {
        switch (definition.source) {
        case FrameSource::Fixed:
            known.push_back({frameTextToBytes(definition.frame), CommandFrame{definition.command, 0}});
            break;
        case FrameSource::ByIndex:
            for (std::size_t i = 0; i < definition.framesByIndex.size(); ++i) {
                int value = static_cast<int>(i);
                if (definition.command == PanelCommand::SetBaudRate)
                    value = std::stoi(comboText(CommandCombo::BaudRate, value));
                known.push_back({frameTextToBytes(definition.framesByIndex[i]),
                                 CommandFrame{definition.command, value}});
            }
            break;
        case FrameSource::HeadAndText:
            known.push_back({frameTextToBytes(definition.frame), CommandFrame{definition.command, 0}, true});
            break;
        }
    }
    const auto addTable = [&known](LearningTable table, const TableFrameTexts& texts) {
        known.push_back({frameTextToBytes(texts.start), TableFrame{table, TableAction::Start}});
        known.push_back({frameTextToBytes(texts.end), TableFrame{table, TableAction::End}});
        known.push_back({frameTextToBytes(texts.erase), TableFrame{table, TableAction::Erase}});
    };
    addTable(LearningTable::Key, keyTableFrameTexts());
    addTable(LearningTable::Voice, voiceTableFrameTexts());
    return known;
}

const std::vector<KnownFrame>& knownFrames()
{
    static const std::vector<KnownFrame> known = makeKnownFrames();
    return known;
}

DecodedFrame decodeFixed(const Bytes& bytes)
{
    for (const KnownFrame& known : knownFrames()) {
        if (!known.valueFrame) {
            if (bytes == known.bytes)
                return known.meaning;
            continue;
        }
        if (!std::equal(known.bytes.begin(), known.bytes.end(), bytes.begin()))
            continue;
        const int value = bytes[known.bytes.size()];
        if (value == 0xFF) // the program offers 00..FE only
            return MalformedFrame{bytes, "value FF is outside 00..FE"};
        CommandFrame command = std::get<CommandFrame>(known.meaning);
        command.value = value;
        return command;
    }
    return MalformedFrame{bytes, "not a frame the panels know"};
}

DecodedFrame decodeRow(const Bytes& bytes)
{
    const int code = bytes[2];
    const int choice = bytes[3];
    Bytes data(bytes.begin() + 4, bytes.end());
    if (code >= 0x01 && code <= learningRowCount) {
        // The program writes the key and the state as one decimal digit each.
        const int key = choice >> 4;
        const int state = choice & 0x0F;
        if (key < 1 || key > 8 || state > 1)
            return MalformedFrame{bytes, "key/state byte " + byteToHex(choice) + " is not key 1..8 with state 0 or 1"};
        return KeyRowData{code, key, state, std::move(data)};
    }
    if (code >= 0x41 && code <= 0x40 + learningRowCount) {
        if (choice < 1 || choice >= phraseChoiceCount)
            return MalformedFrame{bytes, "phrase " + std::to_string(choice) + " is outside 1..148"};
        return VoiceRowData{code - 0x40, choice, std::move(data)};
    }
    return MalformedFrame{bytes, "row code " + byteToHex(code) + " is neither a key row (01..30) nor a voice row (41..70)"};
}

} // namespace

DecodedFrame decodeFrame(const ReadFrame& frame)
{
    switch (frame.kind) {
    case ReadFrame::Kind::Fixed:
        return decodeFixed(frame.bytes);
    case ReadFrame::Kind::Row:
        return decodeRow(frame.bytes);
    case ReadFrame::Kind::Malformed:
        break;
    }
    return MalformedFrame{frame.bytes, frame.problem};
}

std::string_view keyModeName(int mode)
{
    static constexpr std::array<std::string_view, 5> names = {
        "custom A code", "custom AB code", "fixed A code", "fixed AB code", "Modbus",
    };
    if (mode < 0 || mode >= static_cast<int>(names.size()))
        return "unknown";
    return names[static_cast<std::size_t>(mode)];
}

} // namespace tarvenix::sim
