#pragma once
// Panels on one bus, as the program meets them: every panel hears every
// frame, acts on it when its state allows, and answers on the shared line.
// Pure logic without a clock: the owner feeds bytes, reports idle gaps,
// and sends the transmissions of each Reaction at the times they name.

#include "bus_frames.h"
#include "frame_reader.h"
#include "panel.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvenix::sim {

// Bytes that panels put on the line.
struct Transmission {
    // Milliseconds after the previous transmission of the same Reaction; for
    // the first one, after the moment of the Reaction.
    int afterMs = 0;
    Bytes bytes;
    std::string label; // who sends what, for the log: "panel 01, key 2 row 3"
};

struct Reaction {
    std::vector<std::string> log; // one decoded line per frame or event
    std::vector<Transmission> transmissions;
    std::string error; // a stimulus the bus could not act on; nothing changed
};

class PanelBus {
public:
    // Throws std::invalid_argument for options no bus can have (no panels,
    // an address beyond FE, a mode outside 0..4, ...).
    explicit PanelBus(const BusOptions& options = {});

    // Bytes from the program, in the order they arrived.
    Reaction receive(std::span<const std::uint8_t> bytes);
    // The line has been quiet long enough to end a row frame.
    Reaction lineIdle();
    // Something waits for lineIdle() to finish it.
    bool framePending() const { return reader_.pending(); }

    // Someone presses key 1..8 of the panel with the given index: the panel
    // leaves its configuration state, toggles the key's indicator and sends
    // the data of every row learned for that key and the new indicator state,
    // in row order, the panel's interval apart (the first at once).
    Reaction press(std::size_t panel, int key);
    // Someone says phrase 1..148 to the panel: it sends the data of every row
    // learned for that phrase, the same way.
    Reaction say(std::size_t panel, int phrase);

    // The first panel with that address, if any.
    std::optional<std::size_t> panelIndex(int address) const;
    const std::vector<Panel>& panels() const { return panels_; }

    // Every panel's settings, indicators and learned rows, several lines.
    std::string dump() const;

private:
    void apply(const ReadFrame& frame, Reaction& reaction);
    void apply(const CommandFrame& command, Reaction& reaction);
    void apply(const TableFrame& table, Reaction& reaction);
    void apply(const KeyRowData& row, Reaction& reaction);
    void apply(const VoiceRowData& row, Reaction& reaction);
    void apply(const MalformedFrame& malformed, Reaction& reaction);
    std::vector<std::size_t> configuringPanels() const;
    std::string panelList(const std::vector<std::size_t>& indices) const;

    std::vector<Panel> panels_;
    FrameReader reader_;
    // A table write in progress: the rows since its start frame. They reach
    // the panels only with the end frame.
    std::optional<LearningTable> openTable_;
    LearnedKeyTable stagedKeyRows_;
    LearnedVoiceTable stagedVoiceRows_;
};

} // namespace tarvenix::sim
