#include "port_name.h"

#include "gbk_text.h"

#include <algorithm>
#include <cctype>

namespace tarvenix {

PortTarget resolvePort(std::string_view portText, PortPlatform platform)
{
    std::string_view text = portText;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '/')
        return {0, std::string(text), std::string(text)};

    if (text.size() >= 3) {
        const bool com = std::tolower(static_cast<unsigned char>(text[0])) == 'c'
            && std::tolower(static_cast<unsigned char>(text[1])) == 'o'
            && std::tolower(static_cast<unsigned char>(text[2])) == 'm';
        if (com)
            text.remove_prefix(3);
    }
    const int number = std::max(1, parseLeadingInt(text));
    PortTarget target;
    target.number = number;
    target.shownName = std::to_string(number);
    target.devicePath = platform == PortPlatform::Windows ? "COM" + std::to_string(number)
                                                          : "/dev/ttyUSB" + std::to_string(number - 1);
    return target;
}

int parseBaudRate(std::string_view baudText)
{
    return std::max(0, parseLeadingInt(baudText));
}

} // namespace tarvenix
