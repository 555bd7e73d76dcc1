#include "link/hex_codec.h"

#include <gtest/gtest.h>

namespace tarvenix {
namespace {

TEST(HexCodec, PairsAndBytes)
{
    struct Case { const char* text; int value; };
    for (auto c : {Case{"FD", 0xFD}, Case{"00", 0}, Case{"9A", 0x9A}, Case{"F", 0xF0}, Case{"", 0},
                   Case{"fd", 0}, Case{"G1", 1}, Case{" 1", 1}, Case{"\xB0\xA1", 0}}) // lower case, space, Chinese count 0
        EXPECT_EQ(hexPairToByte(c.text), c.value) << c.text;

    struct Hex { int value; const char* text; };
    for (auto c : {Hex{0, "00"}, Hex{9, "09"}, Hex{10, "0A"}, Hex{65, "41"}, Hex{255, "FF"}, Hex{256, ""}, Hex{-1, "0-1"}})
        EXPECT_EQ(byteToHex(c.value), c.text) << c.value;
}

TEST(HexCodec, FrameTextBecomesBytesTwoCharactersAtATime)
{
    EXPECT_EQ(frameTextToBytes("FD66666666AAAAAACF"), (Bytes{0xFD, 0x66, 0x66, 0x66, 0x66, 0xAA, 0xAA, 0xAA, 0xCF}));
    EXPECT_EQ(frameTextToBytes("F"), Bytes{0xF0});
    EXPECT_EQ(frameTextToBytes("fd"), Bytes{0x00});
    EXPECT_EQ(frameTextToBytes("FD CF"), (Bytes{0xFD, 0x0C, 0xF0})); // the space shifts the pairs
    EXPECT_TRUE(frameTextToBytes("").empty());
}

TEST(HexCodec, DataTextVerdicts)
{
    const std::string digits58(58, 'A');
    struct Case { std::string text; DataVerdict verdict; };
    for (const auto& c : {Case{"", DataVerdict::Legal}, Case{"ABC", DataVerdict::Legal}, Case{"abc", DataVerdict::NotHex},
                          Case{"12 34", DataVerdict::NotHex}, Case{digits58, DataVerdict::Legal},
                          Case{digits58 + "1", DataVerdict::TooLong},
                          Case{std::string(50, '1') + "xyz!!!!!!", DataVerdict::TooLong},
                          // 30 Chinese characters are 60 GBK bytes: too long before anything else
                          Case{[] { std::string s; for (int i = 0; i < 30; ++i) s += "\xB0\xA1"; return s; }(), DataVerdict::TooLong}})
        EXPECT_EQ(checkDataText(c.text), c.verdict) << c.text;
    EXPECT_EQ(verdictText(DataVerdict::Legal), "合法");
    EXPECT_EQ(verdictText(DataVerdict::NotHex), "非法");
    EXPECT_EQ(verdictText(DataVerdict::TooLong), "数据超长");
}

} // namespace
} // namespace tarvenix
