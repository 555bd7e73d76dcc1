#include "cli_values.h"

#include <array>
#include <cctype>
#include <cstddef>

namespace tarvenix::cli {

namespace {

// In KeyMode order, for scripts that would rather not type Chinese.
constexpr std::array<std::string_view, 5> asciiModeNames = {
    "custom-a", "custom-ab", "fixed-a", "fixed-ab", "modbus",
};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

char upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::optional<int> indexOfItem(CommandCombo combo, std::string_view text)
{
    const auto& items = comboItems(combo);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> modeIndex(std::string_view value)
{
    if (value.size() == 1 && value[0] >= '0' && value[0] <= '4')
        return value[0] - '0';
    for (std::size_t i = 0; i < asciiModeNames.size(); ++i) {
        if (equalsIgnoringCase(value, asciiModeNames[i]))
            return static_cast<int>(i);
    }
    return indexOfItem(CommandCombo::Mode, value);
}

std::optional<int> hexItemIndex(CommandCombo combo, std::string_view value)
{
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        value.remove_prefix(2);
    if (value.empty() || value.size() > 2 || !isHexDigit(value[0]) || (value.size() == 2 && !isHexDigit(value[1])))
        return std::nullopt;
    std::string item = value.size() == 1 ? std::string("0") : std::string();
    for (char c : value)
        item += upper(c);
    return indexOfItem(combo, item);
}

} // namespace

std::optional<int> comboIndexArgument(CommandCombo combo, std::string_view value)
{
    switch (combo) {
    case CommandCombo::None:
        return std::nullopt;
    case CommandCombo::Mode:
        return modeIndex(value);
    case CommandCombo::BaudRate:
        return indexOfItem(combo, value);
    case CommandCombo::Address:
    case CommandCombo::Vibration:
    case CommandCombo::Interval:
        return hexItemIndex(combo, value);
    }
    return std::nullopt;
}

std::string comboArgumentHint(CommandCombo combo)
{
    const auto& items = comboItems(combo);
    switch (combo) {
    case CommandCombo::None:
        return {};
    case CommandCombo::Mode: {
        std::string hint = "0..4 or a mode name:";
        for (std::size_t i = 0; i < items.size(); ++i)
            hint += "\n  " + std::to_string(i) + "  " + std::string(asciiModeNames[i]) + "  " + items[i];
        return hint;
    }
    case CommandCombo::BaudRate: {
        std::string hint;
        for (const auto& item : items)
            hint += (hint.empty() ? "" : ", ") + item;
        return "one of " + hint;
    }
    case CommandCombo::Address:
    case CommandCombo::Vibration:
    case CommandCombo::Interval:
        return "two hexadecimal digits " + items.front() + ".." + items.back();
    }
    return {};
}

std::optional<std::string> frameTextArgument(std::string_view value)
{
    std::string frame;
    for (char c : value) {
        if (c == ' ')
            continue;
        if (!isHexDigit(c))
            return std::nullopt;
        frame += upper(c);
    }
    if (frame.empty() || frame.size() % 2 != 0)
        return std::nullopt;
    return frame;
}

} // namespace tarvenix::cli
