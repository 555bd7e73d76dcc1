#include "link/gbk_text.h"

#include <gtest/gtest.h>

namespace tarvenix {
namespace {

TEST(GbkText, RemoveSpacesKeepsTrailBytesThatLookLikeSpaces)
{
    EXPECT_EQ(removeSpaces("AB CD\xA1\xA1" "EF"), "ABCDEF"); // ASCII and ideographic space
    // 0xA1A1 only as one character: here 0xB0 0xA1 is one character and the
    // following 0xA1 0x41 another, so nothing is a space.
    EXPECT_EQ(removeSpaces("\xB0\xA1\xA1\x41"), "\xB0\xA1\xA1\x41");
    EXPECT_EQ(removeSpaces("\x81\x20"), "\x81\x20"); // a trail byte 0x20 is not a space
}

TEST(GbkText, LeadingIntegerAsInstallersTypeIt)
{
    struct Case { const char* text; int value; };
    for (auto c : {Case{"3", 3}, Case{" 3", 3}, Case{"\xA3\xB3", 3} /* full-width 3 */, Case{"\xA1\xA1\xA3\xAD\xA3\xB7", -7},
                   Case{"+3", 3}, Case{"2x", 2}, Case{"abc", 0}, Case{"", 0}, Case{"-1", -1}, Case{"9600abc", 9600},
                   Case{"COM3", 0}, Case{"99999999999", 2147483647}, Case{"-99999999999", -2147483647 - 1},
                   Case{"- 3", 0}})
        EXPECT_EQ(parseLeadingInt(c.text), c.value) << c.text;
}

} // namespace
} // namespace tarvenix
