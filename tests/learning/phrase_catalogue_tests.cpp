#include "learning/phrase_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace tarvenix {
namespace {

TEST(VoicePhraseCatalogue, HoldsEveryChoiceOnceInItsFixedPlace)
{
    const VoicePhraseCatalogue& catalogue = voicePhraseCatalogue();
    ASSERT_EQ(catalogue.size(), 149u);

    struct Spot {
        int index;
        std::string_view text;
    };
    for (const Spot& s : {Spot{0, "禁用"}, Spot{1, "打开灯光"}, Spot{2, "关闭灯光"}, Spot{3, "开灯"},
                          Spot{4, "关灯"}, Spot{5, "打开吊灯"}, Spot{76, "关闭台灯"}, Spot{77, "降下幕布"},
                          Spot{78, "升起幕布"}, Spot{83, "打开窗帘"}, Spot{112, "停止窗户"}, Spot{113, "开门"},
                          Spot{114, "关门"}, Spot{115, "回家模式"}, Spot{148, "观影模式"}}) {
        EXPECT_EQ(voicePhrase(s.index), s.text) << s.index;
        EXPECT_EQ(voicePhraseIndex(s.text), s.index) << s.index;
    }

    std::set<std::string_view> distinct;
    for (std::string_view text : catalogue) {
        EXPECT_FALSE(text.empty());
        distinct.insert(text);
    }
    EXPECT_EQ(distinct.size(), catalogue.size());
}

// The groups of the list: a phrase out of place would tell a panel the wrong
// thing, so check the pattern every group follows.
TEST(VoicePhraseCatalogue, GroupsFollowTheirPattern)
{
    const auto startsWith = [](std::string_view text, std::string_view head) {
        return text.substr(0, head.size()) == head;
    };
    const std::string_view on = "打开", off = "关闭", stop = "停止";
    for (int i = 5; i <= 76; i += 2) {
        const std::string_view a = voicePhrase(i), b = voicePhrase(i + 1);
        EXPECT_TRUE(startsWith(a, on) && startsWith(b, off)) << i;
        EXPECT_EQ(a.substr(on.size()), b.substr(off.size())) << i;
    }
    for (int i = 83; i <= 112; i += 3) {
        const std::string_view a = voicePhrase(i), b = voicePhrase(i + 1), c = voicePhrase(i + 2);
        EXPECT_TRUE(startsWith(a, on) && startsWith(b, off) && startsWith(c, stop)) << i;
        EXPECT_EQ(a.substr(on.size()), b.substr(off.size())) << i;
        EXPECT_EQ(a.substr(on.size()), c.substr(stop.size())) << i;
    }
    const std::string_view mode = "模式";
    for (int i = 0; i < 149; ++i) {
        const std::string_view text = voicePhrase(i);
        const bool endsInMode = text.size() > mode.size() && text.substr(text.size() - mode.size()) == mode;
        EXPECT_EQ(endsInMode, i >= 115) << i;
    }
}

TEST(VoicePhraseCatalogue, OutsideTheListThereIsNothing)
{
    EXPECT_EQ(voicePhrase(-1), "");
    EXPECT_EQ(voicePhrase(149), "");
    EXPECT_EQ(voicePhraseIndex("打开"), -1);
    EXPECT_EQ(voicePhraseIndex(""), -1);
}

} // namespace
} // namespace tarvenix
