#include "cli/cli_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarvenix::cli {
namespace {

struct ComboCase {
    CommandCombo combo;
    std::string value;
    std::optional<int> index;
};

TEST(CliValues, CommandLineValuesSelectTheWindowsItems)
{
    const ComboCase cases[] = {
        {CommandCombo::Mode, "0", 0},
        {CommandCombo::Mode, "4", 4},
        {CommandCombo::Mode, "5", std::nullopt},
        {CommandCombo::Mode, "固定A码", 2},
        {CommandCombo::Mode, "Modbus模式", 4},
        {CommandCombo::Mode, "FIXED-AB", 3},
        {CommandCombo::Mode, "custom-a", 0},
        {CommandCombo::Mode, "固定", std::nullopt},
        {CommandCombo::BaudRate, "38400", 1},
        {CommandCombo::BaudRate, "115200", 2},
        {CommandCombo::BaudRate, "19200", std::nullopt},
        {CommandCombo::BaudRate, "9600abc", std::nullopt},
        {CommandCombo::Address, "00", 0},
        {CommandCombo::Address, "fe", 254},
        {CommandCombo::Address, "FF", std::nullopt},
        {CommandCombo::Address, "A", 10},
        {CommandCombo::Address, "0x1e", 30},
        {CommandCombo::Address, "10", 16},
        {CommandCombo::Address, "100", std::nullopt},
        {CommandCombo::Address, "G1", std::nullopt},
        {CommandCombo::Address, "", std::nullopt},
        {CommandCombo::Vibration, "46", 70},
        {CommandCombo::Interval, "1E", 30},
        {CommandCombo::Interval, "0x", std::nullopt},
    };
    for (const ComboCase& c : cases)
        EXPECT_EQ(comboIndexArgument(c.combo, c.value), c.index) << c.value;
}

TEST(CliValues, RawFramesMustBeWholeBytesOfHex)
{
    EXPECT_EQ(frameTextArgument("FD66666666AAAAAACF"), "FD66666666AAAAAACF");
    EXPECT_EQ(frameTextArgument("fd cf 01"), "FDCF01");
    EXPECT_EQ(frameTextArgument("FDC"), std::nullopt);
    EXPECT_EQ(frameTextArgument("FDXY"), std::nullopt);
    EXPECT_EQ(frameTextArgument("   "), std::nullopt);
    EXPECT_EQ(frameTextArgument(""), std::nullopt);
}

} // namespace
} // namespace tarvenix::cli
