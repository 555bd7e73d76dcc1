#include "gbk_text.h"

#include <climits>

namespace tarvenix {

namespace {

constexpr unsigned char fullWidthLead = 0xA3; // row of full-width ASCII forms
constexpr unsigned char ideographicSpaceLead = 0xA1;
constexpr unsigned char ideographicSpaceTrail = 0xA1;

bool isLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::size_t gbkCharLength(std::string_view text, std::size_t pos)
{
    if (isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size())
        return 2;
    return 1;
}

std::string removeSpaces(std::string_view gbkText)
{
    std::string out;
    out.reserve(gbkText.size());
    for (std::size_t i = 0; i < gbkText.size();) {
        const std::size_t len = gbkCharLength(gbkText, i);
        const bool ideographicSpace = len == 2
            && static_cast<unsigned char>(gbkText[i]) == ideographicSpaceLead
            && static_cast<unsigned char>(gbkText[i + 1]) == ideographicSpaceTrail;
        if (!(len == 1 && gbkText[i] == ' ') && !ideographicSpace)
            out.append(gbkText.substr(i, len));
        i += len;
    }
    return out;
}

std::string narrowFullWidth(std::string_view gbkText)
{
    std::string out;
    out.reserve(gbkText.size());
    for (std::size_t i = 0; i < gbkText.size();) {
        const std::size_t len = gbkCharLength(gbkText, i);
        if (len == 2) {
            const auto lead = static_cast<unsigned char>(gbkText[i]);
            const auto trail = static_cast<unsigned char>(gbkText[i + 1]);
            if (lead == fullWidthLead && ((trail >= 0xB0 && trail <= 0xB9) || trail == 0xAB || trail == 0xAD)) {
                out.push_back(static_cast<char>(trail - 0x80)); // 0xB0 -> '0', 0xAB -> '+', 0xAD -> '-'
                i += 2;
                continue;
            }
            if (lead == ideographicSpaceLead && trail == ideographicSpaceTrail) {
                out.push_back(' ');
                i += 2;
                continue;
            }
        }
        out.append(gbkText.substr(i, len));
        i += len;
    }
    return out;
}

int parseLeadingInt(std::string_view gbkText)
{
    const std::string text = narrowFullWidth(gbkText);
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // keep going to the end of the digits, saturated
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace tarvenix
