#include "hex_codec.h"

namespace tarvenix {

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

constexpr char upperDigits[] = "0123456789ABCDEF";

} // namespace

int hexPairToByte(std::string_view pair)
{
    const int high = pair.size() > 0 ? digitValue(pair[0]) : 0;
    const int low = pair.size() > 1 ? digitValue(pair[1]) : 0;
    return 16 * high + low;
}

std::string byteToHex(int value)
{
    if (value < 0) {
        std::string text = "0"; // "0-1": never asked for by the program's own callers
        text += std::to_string(value);
        return text;
    }
    if (value > 255)
        return {};
    return {upperDigits[value >> 4], upperDigits[value & 0xF]};
}

Bytes frameTextToBytes(std::string_view frameText)
{
    Bytes bytes;
    bytes.reserve((frameText.size() + 1) / 2);
    for (std::size_t i = 0; i < frameText.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(hexPairToByte(frameText.substr(i, 2))));
    return bytes;
}

DataVerdict checkDataText(std::string_view gbkText)
{
    if (gbkText.empty())
        return DataVerdict::Legal;
    if (gbkText.size() > maxDataDigits)
        return DataVerdict::TooLong;
    for (char c : gbkText) {
        if (!isHexDigit(c))
            return DataVerdict::NotHex;
    }
    return DataVerdict::Legal;
}

std::string_view verdictText(DataVerdict verdict)
{
    switch (verdict) {
    case DataVerdict::Legal:
        return "合法";
    case DataVerdict::NotHex:
        return "非法";
    case DataVerdict::TooLong:
        return "数据超长";
    }
    return {};
}

std::string bytesToSpacedHex(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    text.resize(size * 3);
    char* out = text.data();
    for (std::size_t i = 0; i < size; ++i) {
        *out++ = upperDigits[data[i] >> 4];
        *out++ = upperDigits[data[i] & 0xF];
        *out++ = ' ';
    }
    return text;
}

} // namespace tarvenix
