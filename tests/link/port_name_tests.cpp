#include "link/port_name.h"

#include <gtest/gtest.h>

namespace tarvenix {
namespace {

TEST(PortName, NumbersNamesAndPaths)
{
    struct Case { const char* text; int number; const char* windows; const char* linux; };
    for (auto c : {Case{"3", 3, "COM3", "/dev/ttyUSB2"}, Case{"", 1, "COM1", "/dev/ttyUSB0"},
                   Case{"COM3", 3, "COM3", "/dev/ttyUSB2"}, Case{"com12", 12, "COM12", "/dev/ttyUSB11"},
                   Case{" 3", 3, "COM3", "/dev/ttyUSB2"}, Case{"\xA3\xB3", 3, "COM3", "/dev/ttyUSB2"},
                   Case{"0", 1, "COM1", "/dev/ttyUSB0"}, Case{"-4", 1, "COM1", "/dev/ttyUSB0"},
                   Case{"abc", 1, "COM1", "/dev/ttyUSB0"}}) {
        const auto w = resolvePort(c.text, PortPlatform::Windows);
        const auto l = resolvePort(c.text, PortPlatform::Linux);
        EXPECT_EQ(w.number, c.number) << c.text;
        EXPECT_EQ(w.devicePath, c.windows) << c.text;
        EXPECT_EQ(l.devicePath, c.linux) << c.text;
        EXPECT_EQ(l.shownName, std::to_string(c.number));
    }
    const auto path = resolvePort("/dev/pts/7", PortPlatform::Linux);
    EXPECT_EQ(path.devicePath, "/dev/pts/7");
    EXPECT_EQ(path.shownName, "/dev/pts/7");
}

TEST(PortName, BaudRate)
{
    EXPECT_EQ(parseBaudRate("9600abc"), 9600);
    EXPECT_EQ(parseBaudRate("-5"), 0);
    EXPECT_EQ(parseBaudRate(""), 0);
}

} // namespace
} // namespace tarvenix
