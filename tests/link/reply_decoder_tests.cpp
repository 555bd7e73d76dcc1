#include "link/reply_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvenix {
namespace {

std::string feedAll(ReplyDecoder& d, std::vector<std::uint8_t> bytes)
{
    return d.feed(bytes.data(), bytes.size()).text;
}

TEST(ReplyDecoder, ShowsEveryByteAsTwoDigitsAndASpace)
{
    ReplyDecoder d;
    const std::vector<std::uint8_t> bytes{0, 10, 255};
    const auto fed = d.feed(bytes.data(), bytes.size());
    EXPECT_EQ(fed.text, "00 0A FF ");
    EXPECT_TRUE(fed.windowOpened);
    EXPECT_FALSE(d.feed(bytes.data(), 1).windowOpened) << "later chunks stay in the open window";
    EXPECT_EQ(d.endWindow().text, "\n");
    EXPECT_FALSE(d.windowOpen());
}

TEST(ReplyDecoder, DecodesTheInformationReply)
{
    struct Case { std::uint8_t mode; const char* message; std::optional<int> selected; };
    for (auto c : {Case{0, "面板按键模式为：自定义A码", 0}, Case{2, "面板按键模式为：固定A码", 2},
                   Case{4, "面板按键模式为：Modbus模式", 4}, Case{5, "", std::nullopt}, Case{0x10, "", std::nullopt}}) {
        ReplyDecoder d;
        feedAll(d, {0x01, 0x77});
        feedAll(d, {0x88, c.mode}); // the reply may come in several chunks
        const auto end = d.endWindow();
        EXPECT_EQ(end.text, std::string("\n面板地址为：01\n") + c.message + "\n");
        EXPECT_EQ(end.mode, c.selected);
    }
}

TEST(ReplyDecoder, OnlyExactlyFourBytesWith7788AreAReply)
{
    for (std::vector<std::uint8_t> window : {std::vector<std::uint8_t>{0x01, 0x77, 0x88, 0x02, 0x02, 0x77, 0x88, 0x02},
                                             std::vector<std::uint8_t>{0x01, 0x77, 0x88},
                                             std::vector<std::uint8_t>{0x01, 0x78, 0x88, 0x02}}) {
        ReplyDecoder d;
        feedAll(d, window);
        const auto end = d.endWindow();
        EXPECT_EQ(end.text, "\n");
        EXPECT_FALSE(end.mode);
    }
}

TEST(ReplyDecoder, EndWithoutAnOpenWindowDoesNothing)
{
    ReplyDecoder d;
    EXPECT_EQ(d.endWindow().text, "");
}

} // namespace
} // namespace tarvenix
