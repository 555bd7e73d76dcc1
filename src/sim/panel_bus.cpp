#include "panel_bus.h"

#include "learning/phrase_catalogue.h"

#include <stdexcept>
#include <utility>

namespace tarvenix::sim {

namespace {

std::string dataText(const Bytes& data)
{
    return data.empty() ? std::string("(none)") : spacedHex(data);
}

std::string keyRowText(int row, const LearnedKeyRow& learned)
{
    return "key row " + std::to_string(row) + ": key " + std::to_string(learned.key)
        + (learned.state ? " on" : " off") + ", data " + dataText(learned.data);
}

std::string voiceRowText(int row, const LearnedVoiceRow& learned)
{
    return "voice row " + std::to_string(row) + ": phrase " + std::to_string(learned.phrase) + " "
        + std::string(voicePhrase(learned.phrase)) + ", data " + dataText(learned.data);
}

std::string_view tableName(LearningTable table)
{
    return table == LearningTable::Key ? "key table" : "voice table";
}

template <typename Table>
int learnedCount(const Table& table)
{
    int count = 0;
    for (const auto& row : table)
        count += row.has_value() ? 1 : 0;
    return count;
}

void checkOptions(const BusOptions& options)
{
    if (options.panelCount < 1)
        throw std::invalid_argument("a bus needs at least one panel");
    if (options.firstAddress < 0 || options.firstAddress + options.panelCount - 1 > 0xFE)
        throw std::invalid_argument("panel addresses must stay within 00..FE");
    if (options.mode < 0 || options.mode > 4)
        throw std::invalid_argument("the key code mode is 0..4");
    if (options.baudRate != 9600 && options.baudRate != 38400 && options.baudRate != 115200)
        throw std::invalid_argument("the bus baud rate is 9600, 38400 or 115200");
    if (options.vibrationMs < 0 || options.vibrationMs > 0xFE || options.intervalMs < 0 || options.intervalMs > 0xFE)
        throw std::invalid_argument("vibration and interval are 00..FE");
}

} // namespace

PanelBus::PanelBus(const BusOptions& options)
{
    checkOptions(options);
    for (int i = 0; i < options.panelCount; ++i) {
        Panel panel;
        panel.address = options.firstAddress + i;
        panel.mode = options.mode;
        panel.baudRate = options.baudRate;
        panel.vibrationMs = options.vibrationMs;
        panel.intervalMs = options.intervalMs;
        panels_.push_back(panel);
    }
}

Reaction PanelBus::receive(std::span<const std::uint8_t> bytes)
{
    Reaction reaction;
    for (const ReadFrame& frame : reader_.feed(bytes))
        apply(frame, reaction);
    return reaction;
}

Reaction PanelBus::lineIdle()
{
    Reaction reaction;
    for (const ReadFrame& frame : reader_.lineIdle())
        apply(frame, reaction);
    return reaction;
}

void PanelBus::apply(const ReadFrame& frame, Reaction& reaction)
{
    std::visit([&](const auto& decoded) { apply(decoded, reaction); }, decodeFrame(frame));
}

void PanelBus::apply(const CommandFrame& command, Reaction& reaction)
{
    if (command.command == PanelCommand::EnterConfig) {
        std::vector<std::size_t> all;
        for (std::size_t i = 0; i < panels_.size(); ++i) {
            panels_[i].configuring = true;
            all.push_back(i);
        }
        reaction.log.push_back("enter configuration (" + panelList(all) + ")");
        return;
    }

    const std::vector<std::size_t> listening = configuringPanels();
    const std::string who = "(" + panelList(listening) + ")";

    if (command.command == PanelCommand::ReadInfo) {
        // Every panel in the configuration state answers at once; with more
        // than one, the answers run into each other on the line.
        for (std::size_t i : listening) {
            const Panel& panel = panels_[i];
            reaction.transmissions.push_back(Transmission{
                0,
                {static_cast<std::uint8_t>(panel.address), 0x77, 0x88, static_cast<std::uint8_t>(panel.mode)},
                "panel " + byteToHex(panel.address) + ", information reply"});
        }
        std::string line = "read information " + who;
        if (listening.empty())
            line += ", no answer";
        else if (listening.size() > 1)
            line += ", the answers collide";
        reaction.log.push_back(line);
        return;
    }

    std::string line;
    for (std::size_t i : listening) {
        Panel& panel = panels_[i];
        switch (command.command) {
        case PanelCommand::SetMode:
            panel.mode = command.value;
            break;
        case PanelCommand::SetAddress:
            panel.address = command.value;
            break;
        case PanelCommand::SetBaudRate:
            // The rate the panels will use on the bus; this bus keeps talking
            // to the program at whatever rate its port was opened with.
            panel.baudRate = command.value;
            break;
        case PanelCommand::SetVibration:
            panel.vibrationMs = command.value;
            break;
        case PanelCommand::SetInterval:
            panel.intervalMs = command.value;
            break;
        case PanelCommand::EnterConfig:
        case PanelCommand::ReadInfo:
            break;
        }
    }
    switch (command.command) {
    case PanelCommand::SetMode:
        line = "set key mode " + std::to_string(command.value) + ", " + std::string(keyModeName(command.value));
        break;
    case PanelCommand::SetAddress:
        line = "set address " + byteToHex(command.value);
        break;
    case PanelCommand::SetBaudRate:
        line = "set bus baud rate " + std::to_string(command.value);
        break;
    case PanelCommand::SetVibration:
        line = "set vibration length " + byteToHex(command.value) + " = " + std::to_string(command.value) + " ms";
        break;
    case PanelCommand::SetInterval:
        line = "set multi-data interval " + byteToHex(command.value) + " = " + std::to_string(command.value) + " ms";
        break;
    case PanelCommand::EnterConfig:
    case PanelCommand::ReadInfo:
        break;
    }
    reaction.log.push_back(line + " " + who);
}

// A table write replaces the table: the installer fills in every row and
// writes the whole table in one go, so a row that is no longer in the window
// must not stay behind in the panels. The rows are held back until the end
// frame and replace the table only then, so a write cancelled after its start
// frame (or cut off by a lost port) leaves the panels' table as it was. The
// panels in the configuration state when the end frame arrives take the rows.
void PanelBus::apply(const TableFrame& table, Reaction& reaction)
{
    const std::string name(tableName(table.table));
    switch (table.action) {
    case TableAction::Start: {
        std::string line = name + " start";
        if (openTable_)
            line += " (the unfinished " + std::string(tableName(*openTable_)) + " write is dropped)";
        openTable_ = table.table;
        stagedKeyRows_ = {};
        stagedVoiceRows_ = {};
        reaction.log.push_back(line);
        return;
    }
    case TableAction::End: {
        if (openTable_ != table.table) {
            reaction.log.push_back(name + " end ignored: no " + name + " write in progress");
            return;
        }
        const std::vector<std::size_t> listening = configuringPanels();
        const int rows = table.table == LearningTable::Key ? learnedCount(stagedKeyRows_) : learnedCount(stagedVoiceRows_);
        for (std::size_t i : listening) {
            if (table.table == LearningTable::Key)
                panels_[i].keyRows = stagedKeyRows_;
            else
                panels_[i].voiceRows = stagedVoiceRows_;
        }
        openTable_.reset();
        reaction.log.push_back(name + " end: " + std::to_string(rows) + (rows == 1 ? " row" : " rows")
                               + (listening.empty() ? " dropped (" : " stored (") + panelList(listening) + ")");
        return;
    }
    case TableAction::Erase: {
        const std::vector<std::size_t> listening = configuringPanels();
        for (std::size_t i : listening) {
            if (table.table == LearningTable::Key)
                panels_[i].keyRows = {};
            else
                panels_[i].voiceRows = {};
        }
        reaction.log.push_back("erase " + name + " (" + panelList(listening) + ")");
        return;
    }
    }
}

void PanelBus::apply(const KeyRowData& row, Reaction& reaction)
{
    const LearnedKeyRow learned{row.key, row.state, row.data};
    if (openTable_ != LearningTable::Key) {
        reaction.log.push_back(keyRowText(row.row, learned) + " ignored: no key table write in progress");
        return;
    }
    stagedKeyRows_[static_cast<std::size_t>(row.row - 1)] = learned;
    reaction.log.push_back(keyRowText(row.row, learned));
}

void PanelBus::apply(const VoiceRowData& row, Reaction& reaction)
{
    const LearnedVoiceRow learned{row.phrase, row.data};
    if (openTable_ != LearningTable::Voice) {
        reaction.log.push_back(voiceRowText(row.row, learned) + " ignored: no voice table write in progress");
        return;
    }
    stagedVoiceRows_[static_cast<std::size_t>(row.row - 1)] = learned;
    reaction.log.push_back(voiceRowText(row.row, learned));
}

void PanelBus::apply(const MalformedFrame& malformed, Reaction& reaction)
{
    reaction.log.push_back("malformed frame: " + spacedHex(malformed.bytes) + " (" + malformed.problem + ")");
}

Reaction PanelBus::press(std::size_t index, int key)
{
    Reaction reaction;
    if (index >= panels_.size()) {
        reaction.error = "there is no panel " + std::to_string(index + 1) + " on this bus";
        return reaction;
    }
    if (key < 1 || key > panelKeyCount) {
        reaction.error = "a panel has keys 1..8, not " + std::to_string(key);
        return reaction;
    }
    Panel& panel = panels_[index];
    const std::string name = "panel " + byteToHex(panel.address);
    std::string line = name + ": key " + std::to_string(key) + " pressed";
    if (panel.configuring)
        line += ", leaves the configuration state";
    panel.configuring = false;
    bool& indicator = panel.indicators[static_cast<std::size_t>(key - 1)];
    indicator = !indicator;
    const int state = indicator ? 1 : 0;
    line += ", indicator " + std::string(indicator ? "on" : "off");

    for (std::size_t r = 0; r < panel.keyRows.size(); ++r) {
        const auto& row = panel.keyRows[r];
        if (!row || row->key != key || row->state != state || row->data.empty())
            continue;
        const int after = reaction.transmissions.empty() ? 0 : panel.intervalMs;
        reaction.transmissions.push_back(
            Transmission{after, row->data, name + ", key " + std::to_string(key) + " row " + std::to_string(r + 1)});
    }
    const std::size_t items = reaction.transmissions.size();
    line += ", " + std::to_string(items) + (items == 1 ? " data item" : " data items");
    reaction.log.push_back(line);
    return reaction;
}

// A spoken phrase does not touch the configuration state: only a key on the
// panel itself ends it.
Reaction PanelBus::say(std::size_t index, int phrase)
{
    Reaction reaction;
    if (index >= panels_.size()) {
        reaction.error = "there is no panel " + std::to_string(index + 1) + " on this bus";
        return reaction;
    }
    if (phrase < 1 || phrase >= phraseChoiceCount) {
        reaction.error = "phrases are 1..148, not " + std::to_string(phrase);
        return reaction;
    }
    const Panel& panel = panels_[index];
    const std::string name = "panel " + byteToHex(panel.address);
    for (std::size_t r = 0; r < panel.voiceRows.size(); ++r) {
        const auto& row = panel.voiceRows[r];
        if (!row || row->phrase != phrase || row->data.empty())
            continue;
        const int after = reaction.transmissions.empty() ? 0 : panel.intervalMs;
        reaction.transmissions.push_back(Transmission{
            after, row->data, name + ", phrase " + std::to_string(phrase) + " row " + std::to_string(r + 1)});
    }
    const std::size_t items = reaction.transmissions.size();
    reaction.log.push_back(name + ": hears phrase " + std::to_string(phrase) + " " + std::string(voicePhrase(phrase))
                           + ", " + std::to_string(items) + (items == 1 ? " data item" : " data items"));
    return reaction;
}

std::optional<std::size_t> PanelBus::panelIndex(int address) const
{
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        if (panels_[i].address == address)
            return i;
    }
    return std::nullopt;
}

std::string PanelBus::dump() const
{
    std::string out;
    for (const Panel& panel : panels_) {
        out += "panel " + byteToHex(panel.address) + ": mode " + std::to_string(panel.mode) + " ("
            + std::string(keyModeName(panel.mode)) + "), bus baud rate " + std::to_string(panel.baudRate)
            + ", vibration " + byteToHex(panel.vibrationMs) + " (" + std::to_string(panel.vibrationMs)
            + " ms), interval " + byteToHex(panel.intervalMs) + " (" + std::to_string(panel.intervalMs)
            + " ms), " + (panel.configuring ? "in" : "not in") + " configuration state\n";
        out += "  indicators:";
        for (int key = 1; key <= panelKeyCount; ++key) {
            out += ' ';
            out += std::to_string(key);
            out += panel.indicators[static_cast<std::size_t>(key - 1)] ? " on" : " off";
            if (key < panelKeyCount)
                out += ',';
        }
        out += "\n";
        out += "  key table: " + std::to_string(learnedCount(panel.keyRows)) + " rows\n";
        for (std::size_t r = 0; r < panel.keyRows.size(); ++r) {
            if (panel.keyRows[r])
                out += "    " + keyRowText(static_cast<int>(r + 1), *panel.keyRows[r]) + "\n";
        }
        out += "  voice table: " + std::to_string(learnedCount(panel.voiceRows)) + " rows\n";
        for (std::size_t r = 0; r < panel.voiceRows.size(); ++r) {
            if (panel.voiceRows[r])
                out += "    " + voiceRowText(static_cast<int>(r + 1), *panel.voiceRows[r]) + "\n";
        }
    }
    if (openTable_)
        out += std::string(tableName(*openTable_)) + " write in progress\n";
    return out;
}

std::vector<std::size_t> PanelBus::configuringPanels() const
{
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        if (panels_[i].configuring)
            indices.push_back(i);
    }
    return indices;
}

// "panels 01, 02" by their addresses at the moment of the frame.
std::string PanelBus::panelList(const std::vector<std::size_t>& indices) const
{
    if (indices.empty())
        return "no panel in configuration state";
    std::string text = "panels ";
    for (std::size_t n = 0; n < indices.size(); ++n)
        text += (n ? ", " : "") + byteToHex(panels_[indices[n]].address);
    return text;
}

} // namespace tarvenix::sim
