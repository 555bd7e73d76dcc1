#pragma once
// Splits the byte stream that the program sends into frames. Fixed frames
// (commands, table start/end/erase) are nine bytes from FD to CF and are
// complete when their ninth byte arrives. Row frames (FD CF, row code,
// key/state or phrase, 0..29 data bytes) carry no end byte: the program
// pauses after every frame, so a row frame ends when the line falls idle.
// The owner watches the line and calls lineIdle() after a quiet spell.

#include "link/hex_codec.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvenix::sim {

inline constexpr std::uint8_t frameStart = 0xFD;
inline constexpr std::uint8_t frameEnd = 0xCF; // also the row frame marker
inline constexpr std::size_t fixedFrameSize = 9;
inline constexpr std::size_t minRowFrameSize = 4;
inline constexpr std::size_t maxRowFrameSize = 4 + 29;

struct ReadFrame {
    enum class Kind { Fixed, Row, Malformed };
    Kind kind = Kind::Malformed;
    Bytes bytes;         // Malformed: at most keptBytes of them
    std::string problem; // Malformed only: why, in words
};

class FrameReader {
public:
    // Bytes kept of a run that is not a frame; longer runs are cut for the log.
    static constexpr std::size_t keptBytes = 64;

    std::vector<ReadFrame> feed(std::span<const std::uint8_t> bytes);
    // The line has been quiet: a row frame is complete, anything else that
    // is still open was cut short.
    std::vector<ReadFrame> lineIdle();
    // Bytes are waiting for more bytes or for the line to fall idle.
    bool pending() const { return !buffer_.empty(); }

private:
    void take(std::uint8_t byte, std::vector<ReadFrame>& out);
    void keep(std::uint8_t byte);
    void reportAndClear(std::string problem, std::vector<ReadFrame>& out);

    Bytes buffer_;            // a frame that began with FD, or a stray run
    std::size_t dropped_ = 0; // bytes of the run beyond keptBytes
};

// "FD 66 CF": the bytes as upper-case hex pairs with single spaces.
std::string spacedHex(std::span<const std::uint8_t> bytes);

} // namespace tarvenix::sim
