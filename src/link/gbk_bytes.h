#pragma once
// GBK bytes to and from UTF-8, exactly as Windows code page 936 maps them,
// without Qt. The configuration file and every byte count in the core are
// GBK; this is the one codec that turns them into text and back.
//
// Which character a byte or a byte pair is comes from the system: on Windows
// from its own code page 936 conversion, elsewhere from iconv's "CP936",
// completed with the private-use characters Windows gives to the places
// iconv leaves empty. How a text is cut into characters, and what a broken
// one becomes, is decided here, so that both systems give the same bytes.
//
// Decoding (utf8FromGbk):
// - 0x00..0x7F are ASCII; 0x80 is the euro sign and 0xFF is U+F8F5, as
//   Windows reads them;
// - a lead byte 0x81..0xFE takes the next byte with it as one character;
// - a pair that is no character, and a lead byte at the very end of the text
//   or before a NUL byte, comes out as one '?', as Windows' own conversion
//   gives it. Nothing is dropped: a cut text shows where it was cut.
// Texts are decoded whole; there is no state between calls.
//
// Encoding (gbkFromUtf8):
// - every character that code page 936 has becomes its bytes;
// - any other character, and every malformed UTF-8 sequence, becomes one '?'.
//   Windows' best-fit substitutions (such as U+0100 written as the bytes of
//   U+0101) are not made: a text either survives or is reported unencodable.

#include <string>
#include <string_view>

namespace tarvenix {

std::string utf8FromGbk(std::string_view gbk);
std::string gbkFromUtf8(std::string_view utf8);

// Whether the UTF-8 text is well formed and every character of it has GBK
// bytes, so that gbkFromUtf8() loses nothing.
bool isUtf8GbkEncodable(std::string_view utf8);

} // namespace tarvenix
