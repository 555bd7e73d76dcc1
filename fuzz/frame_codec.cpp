// Any bytes as a frame text, a data text and a typed number.
//
// - A frame of n characters is ceil(n/2) bytes; a character that is no
//   upper-case hex digit counts as 0; the bytes shown as spaced hex spell the
//   digits again (an odd text gains a low 0 nibble), pair by pair.
// - The data text verdict follows from the length and the characters alone.
// - Removing spaces twice removes nothing more, and on ASCII text it removes
//   exactly the spaces.
// - The leading number agrees with the C library's strtoll on ASCII text
//   (clamped to int), reads full-width forms as ASCII ones, and reads back
//   any int written out in full-width digits.

#include "link/gbk_text.h"
#include "link/hex_codec.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace tarvenix;

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "frame codec: %s\n", what);
        std::abort();
    }
}

bool isUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void checkFrame(std::string_view text)
{
    const Bytes bytes = frameTextToBytes(text);
    check(bytes.size() == (text.size() + 1) / 2, "frame byte count is not half the characters, rounded up");

    std::string digits(text);
    std::replace_if(digits.begin(), digits.end(), [](char c) { return !isUpperHexDigit(c); }, '0');
    check(frameTextToBytes(digits) == bytes, "a character that is no hex digit did not count as 0");
    if (digits.size() % 2 != 0)
        digits.push_back('0');

    const std::string spaced = bytesToSpacedHex(bytes.data(), bytes.size());
    check(spaced.size() == 3 * bytes.size(), "spaced hex is not three characters a byte");
    check(removeSpaces(spaced) == digits, "spaced hex does not spell the frame's digits");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        check(hexPairToByte(text.substr(2 * i, 2)) == bytes[i], "a pair reads differently alone");
        check(byteToHex(bytes[i]) == std::string_view(digits).substr(2 * i, 2), "byteToHex disagrees");
    }
}

void checkDataVerdict(std::string_view text)
{
    DataVerdict expected = DataVerdict::Legal;
    if (text.size() > maxDataDigits)
        expected = DataVerdict::TooLong;
    else if (!std::all_of(text.begin(), text.end(), isUpperHexDigit))
        expected = DataVerdict::NotHex;
    check(checkDataText(text) == expected, "data verdict does not follow from length and characters");
}

void checkByteToHex(int value)
{
    const std::string hex = byteToHex(value);
    if (value > 255)
        check(hex.empty(), "byteToHex above 255 is not empty");
    else if (value < 0)
        check(hex == "0" + std::to_string(value), "byteToHex of a negative value changed");
    else
        check(hex.size() == 2 && hexPairToByte(hex) == value, "byteToHex does not read back");
}

void checkRemoveSpaces(std::string_view text)
{
    const std::string once = removeSpaces(text);
    check(once.size() <= text.size(), "removing spaces made the text longer");
    check(removeSpaces(once) == once, "removing spaces twice removed more");
    if (isAscii(text)) {
        std::string expected(text);
        std::erase(expected, ' ');
        check(once == expected, "removing spaces from ASCII text is not erasing ' '");
    }
}

// An int as the full-width characters an input method types: "－１２".
std::string fullWidth(int value)
{
    std::string out = "\xA1\xA1"; // an ideographic space first
    for (char c : std::to_string(value)) {
        out.push_back('\xA3');
        out.push_back(c == '-' ? '\xAD' : static_cast<char>(c + 0x80));
    }
    return out;
}

void checkLeadingInt(std::string_view text, int number)
{
    const int parsed = parseLeadingInt(text);
    const std::string narrow = narrowFullWidth(text);
    check(narrowFullWidth(narrow) == narrow, "narrowing full-width forms twice changed more");
    check(parseLeadingInt(narrow) == parsed, "full-width forms read differently from ASCII ones");
    if (isAscii(text)) {
        const std::string terminated(text); // strtoll stops at a zero byte, as the parser does
        const long long reference = std::strtoll(terminated.c_str(), nullptr, 10);
        check(parsed == static_cast<int>(std::clamp<long long>(reference, INT_MIN, INT_MAX)),
              "leading number differs from strtoll");
    }
    check(parseLeadingInt(fullWidth(number)) == number, "a number in full-width digits does not read back");
    if (narrow.empty() || narrow.front() < '0' || narrow.front() > '9')
        check(parseLeadingInt(std::to_string(number) + std::string(text)) == number,
              "text after a number changed the number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int number = 0;
    if (size > 0)
        std::memcpy(&number, data, std::min(size, sizeof number));

    checkFrame(text);
    checkDataVerdict(text);
    checkByteToHex(number);
    checkRemoveSpaces(text);
    checkLeadingInt(text, number);
    return 0;
}
