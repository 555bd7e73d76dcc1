// The window's side of the GBK codec: QString in and out of the same
// conversion the core uses.
#include "link/gbk_codec.h"
#include "support/qt_printers.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

TEST(GbkCodec, WindowTextsInAndOut)
{
    struct Case { QString text; std::string_view gbk; bool encodable; };
    for (const auto& c : {
             Case{QStringLiteral("串口配置"), "\xB4\xAE\xBF\xDA\xC5\xE4\xD6\xC3", true},
             Case{QStringLiteral("€\uF8F5"), "\x80\xFF", true},
             Case{QStringLiteral("a가"), "a?", false},
             Case{QStringLiteral("😀"), "?", false},
             Case{QString(QChar(0xD800)), "?", false}, // a lone surrogate half
         }) {
        EXPECT_EQ(toGbk(c.text), c.gbk) << c.text.toStdString();
        EXPECT_EQ(isGbkEncodable(c.text), c.encodable) << c.text.toStdString();
        if (c.encodable) {
            EXPECT_EQ(fromGbk(c.gbk), c.text);
        }
    }
    EXPECT_EQ(fromGbk("AB\xB0"), QStringLiteral("AB?")); // a cut character does not vanish
}

// Qt's own "GBK" (ICU's table for code page 936, where Qt has ICU) is a
// second, independent reading of the same table.
TEST(GbkCodec, AgreesWithQtsOwnGbkOnEveryDoubleByteCode)
{
    QStringDecoder probe("GBK");
    if (!probe.isValid())
        GTEST_SKIP() << "this Qt has no GBK converter of its own";
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            QStringDecoder qt("GBK", QStringConverter::Flag::Stateless);
            const QString expected = qt.decode(QByteArrayView(pair, 2));
            ASSERT_EQ(fromGbk(std::string_view(pair, 2)), expected) << std::hex << (lead << 8 | trail);
        }
    }
}

} // namespace
} // namespace tarvenix
