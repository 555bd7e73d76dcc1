#include "sim/frame_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvenix::sim {
namespace {

// What the reader made of a frame: "fixed FD ..", "row FD ..", or
// "malformed FD .. (why)".
std::string describe(const ReadFrame& frame)
{
    switch (frame.kind) {
    case ReadFrame::Kind::Fixed:
        return "fixed " + spacedHex(frame.bytes);
    case ReadFrame::Kind::Row:
        return "row " + spacedHex(frame.bytes);
    case ReadFrame::Kind::Malformed:
        break;
    }
    return "malformed " + spacedHex(frame.bytes) + " (" + frame.problem + ")";
}

// A line as a script: hex pairs are bytes fed one at a time (the reader must
// not care how the bytes are chunked), "|" is an idle gap.
std::vector<std::string> readLine(const std::string& script)
{
    FrameReader reader;
    std::vector<std::string> seen;
    const auto collect = [&seen](const std::vector<ReadFrame>& frames) {
        for (const ReadFrame& frame : frames)
            seen.push_back(describe(frame));
    };
    std::istringstream in(script);
    for (std::string token; in >> token;) {
        if (token == "|") {
            collect(reader.lineIdle());
        } else {
            const std::uint8_t byte = static_cast<std::uint8_t>(std::stoul(token, nullptr, 16));
            collect(reader.feed(std::span<const std::uint8_t>(&byte, 1)));
        }
    }
    EXPECT_FALSE(reader.pending()) << "every script ends on a gap";
    return seen;
}

std::string repeated(const std::string& pair, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += pair + " ";
    return text;
}

struct ReaderCase {
    const char* name;
    std::string script;
    std::vector<std::string> expected;
};

void PrintTo(const ReaderCase& c, std::ostream* os)
{
    *os << c.name;
}

class FrameReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(FrameReaderCases, SplitsTheLineIntoFrames)
{
    EXPECT_EQ(readLine(GetParam().script), GetParam().expected);
}

const std::string enterConfig = "FD 66 66 66 66 AA AA AA CF";

INSTANTIATE_TEST_SUITE_P(
    Line, FrameReaderCases,
    ::testing::Values(
        ReaderCase{"FixedFrameIsCompleteAtItsEndByte", enterConfig + " |", {"fixed " + enterConfig}},
        ReaderCase{"FixedFramesBackToBack", enterConfig + " FD 66 66 66 66 DD DD DD CF |",
                   {"fixed " + enterConfig, "fixed FD 66 66 66 66 DD DD DD CF"}},
        ReaderCase{"FixedFrameMayCarryFdAsItsValue", "FD 66 66 66 88 DD FF FD CF |",
                   {"fixed FD 66 66 66 88 DD FF FD CF"}},
        ReaderCase{"RowFrameEndsAtTheGap", "FD CF 03 21 12 34 AB | " + enterConfig + " |",
                   {"row FD CF 03 21 12 34 AB", "fixed " + enterConfig}},
        ReaderCase{"RowFrameWithoutData", "FD CF 43 05 |", {"row FD CF 43 05"}},
        ReaderCase{"RowFrameDataMayHoldFdAndCf", "FD CF 01 11 FD CF CF FD |", {"row FD CF 01 11 FD CF CF FD"}},
        ReaderCase{"RowFrameOf29DataBytes", "FD CF 30 80 " + repeated("AB", 29) + "|",
                   {"row FD CF 30 80 " + repeated("AB", 28) + "AB"}},
        ReaderCase{"RowFrameOf30DataBytes", "FD CF 30 80 " + repeated("AB", 30) + "|",
                   {"malformed FD CF 30 80 " + repeated("AB", 29)
                    + "AB (row frame of 34 bytes: more than 29 data bytes)"}},
        ReaderCase{"RowFrameCutShort", "FD CF 03 |", {"malformed FD CF 03 (row frame cut short: fewer than 4 bytes)"}},
        ReaderCase{"FixedFrameCutShort", "FD 66 66 | " + enterConfig + " |",
                   {"malformed FD 66 66 (frame cut short after 3 of 9 bytes)", "fixed " + enterConfig}},
        ReaderCase{"LoneFrameStart", "FD |", {"malformed FD (frame cut short after 1 of 9 bytes)"}},
        ReaderCase{"SpaceInAFrameTextShiftsThePairs", "FD 0C F0 |",
                   {"malformed FD 0C F0 (frame cut short after 3 of 9 bytes)"}},
        ReaderCase{"StrayBytesBeforeAFrame", "12 34 " + enterConfig + " |",
                   {"malformed 12 34 (no frame start FD)", "fixed " + enterConfig}},
        ReaderCase{"StrayBytesUpToTheGap", "00 11 |", {"malformed 00 11 (no frame start FD)"}},
        ReaderCase{"ResynchronisesOnTheNextFd", "FD 66 66 " + enterConfig + " |",
                   {"malformed FD 66 66 (no end byte CF as the 9th byte)", "fixed " + enterConfig}},
        ReaderCase{"NineBytesWithoutEndByteOrFd", "FD 66 66 66 66 AA AA AA 00 11 |",
                   {"malformed FD 66 66 66 66 AA AA AA 00 (no end byte CF as the 9th byte)",
                    "malformed 11 (no frame start FD)"}},
        ReaderCase{"IdleLineWithNothingPending", "| |", {}}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

TEST(FrameReader, LongStrayRunIsCutForTheLogAndCounted)
{
    const std::vector<std::string> seen = readLine(repeated("00", 100) + "|");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "malformed " + repeated("00", 63) + "00 (no frame start FD, 100 bytes in all)");
}

TEST(FrameReader, ChunksMakeNoDifference)
{
    FrameReader reader;
    const Bytes line = frameTextToBytes("FD66666666AAAAAACFFD66666666DDDD");
    std::vector<ReadFrame> frames = reader.feed(line);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].kind, ReadFrame::Kind::Fixed);
    EXPECT_TRUE(reader.pending());
    frames = reader.feed(frameTextToBytes("DDCF"));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(spacedHex(frames[0].bytes), "FD 66 66 66 66 DD DD DD CF");
    EXPECT_FALSE(reader.pending());
}

} // namespace
} // namespace tarvenix::sim
