#include "frame_reader.h"

#include <algorithm>
#include <utility>

namespace tarvenix::sim {

std::vector<ReadFrame> FrameReader::feed(std::span<const std::uint8_t> bytes)
{
    std::vector<ReadFrame> out;
    for (std::uint8_t byte : bytes)
        take(byte, out);
    return out;
}

std::vector<ReadFrame> FrameReader::lineIdle()
{
    std::vector<ReadFrame> out;
    if (buffer_.empty())
        return out;
    const std::size_t total = buffer_.size() + dropped_;
    if (buffer_[0] != frameStart) {
        reportAndClear("no frame start FD", out);
    } else if (total >= 2 && buffer_[1] == frameEnd) {
        if (total < minRowFrameSize)
            reportAndClear("row frame cut short: fewer than 4 bytes", out);
        else if (total > maxRowFrameSize)
            reportAndClear("row frame of " + std::to_string(total) + " bytes: more than 29 data bytes", out);
        else {
            out.push_back(ReadFrame{ReadFrame::Kind::Row, std::move(buffer_), {}});
            buffer_.clear();
        }
    } else {
        reportAndClear("frame cut short after " + std::to_string(total) + " of 9 bytes", out);
    }
    return out;
}

void FrameReader::take(std::uint8_t byte, std::vector<ReadFrame>& out)
{
    if (buffer_.empty()) {
        keep(byte);
        return;
    }
    if (buffer_[0] != frameStart) {
        // A stray run ends where a frame begins.
        if (byte == frameStart) {
            reportAndClear("no frame start FD", out);
        }
        keep(byte);
        return;
    }
    if (buffer_.size() == 1 || buffer_[1] == frameEnd) {
        keep(byte); // the second byte decides the kind; a row runs to the gap
        return;
    }
    buffer_.push_back(byte);
    if (buffer_.size() < fixedFrameSize)
        return;
    if (byte == frameEnd) {
        out.push_back(ReadFrame{ReadFrame::Kind::Fixed, std::move(buffer_), {}});
        buffer_.clear();
        return;
    }
    // Nine bytes and no end byte: what precedes the next FD is lost, and the
    // reading starts again from that FD, which may begin a good frame.
    const auto next = std::find(buffer_.begin() + 1, buffer_.end(), frameStart);
    Bytes rest(next, buffer_.end());
    buffer_.erase(next, buffer_.end());
    reportAndClear("no end byte CF as the 9th byte", out);
    for (std::uint8_t again : rest)
        take(again, out);
}

void FrameReader::keep(std::uint8_t byte)
{
    if (buffer_.size() < keptBytes)
        buffer_.push_back(byte);
    else
        ++dropped_;
}

void FrameReader::reportAndClear(std::string problem, std::vector<ReadFrame>& out)
{
    if (dropped_ > 0)
        problem += ", " + std::to_string(buffer_.size() + dropped_) + " bytes in all";
    out.push_back(ReadFrame{ReadFrame::Kind::Malformed, std::move(buffer_), std::move(problem)});
    buffer_.clear();
    dropped_ = 0;
}

std::string spacedHex(std::span<const std::uint8_t> bytes)
{
    std::string text = bytesToSpacedHex(bytes.data(), bytes.size());
    if (!text.empty())
        text.pop_back(); // the monitor's form ends every byte with a space
    return text;
}

} // namespace tarvenix::sim
