#pragma once
// Frame texts and data texts: the panels are addressed with frames written as
// hexadecimal digits (two per byte, high nibble first, no separators).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenix {

using Bytes = std::vector<std::uint8_t>;

// The byte that two characters spell. Only "0".."9" and "A".."F" have digit
// values; any other character, or a missing one, counts as 0.
int hexPairToByte(std::string_view pair);

// Two upper-case hex digits for 0..255, "" for 256 and above.
std::string byteToHex(int value);

// A frame text as bytes, two characters at a time; an odd last character
// becomes the high nibble of a last byte.
Bytes frameTextToBytes(std::string_view frameText);

// What the panels expect in one custom data item: at most 58 hex digits.
enum class DataVerdict { Legal, NotHex, TooLong };

// Checks a data text given in GBK bytes (a Chinese character counts two).
// The length test comes before the character test.
DataVerdict checkDataText(std::string_view gbkText);

// The verdict as the window has always called it: "合法", "非法", "数据超长".
std::string_view verdictText(DataVerdict verdict);

constexpr std::size_t maxDataDigits = 58;

// "01 77 88 " for the monitor: two upper-case digits and one space per byte.
std::string bytesToSpacedHex(const std::uint8_t* data, std::size_t size);

} // namespace tarvenix
