#pragma once
// Small operations on texts held as GBK bytes. They walk the text character
// by character, so that the trail byte of a double-byte character is never
// taken for an ASCII character of its own.

#include <string>
#include <string_view>

namespace tarvenix {

// Length in bytes of the GBK character that starts at text[pos]: 2 for a lead
// byte 0x81..0xFE followed by any byte, otherwise 1.
std::size_t gbkCharLength(std::string_view text, std::size_t pos);

// Removes every ASCII space and every ideographic (full-width) space.
std::string removeSpaces(std::string_view gbkText);

// Replaces full-width digits, signs and spaces by their ASCII forms and
// keeps every other character as it is.
std::string narrowFullWidth(std::string_view gbkText);

// The integer a text begins with, the way installers have always typed it:
// full-width forms count as ASCII, leading white space is skipped, an optional
// sign and the digits up to the first other character make the number, and a
// text that does not begin so gives 0. Saturates at the limits of int.
int parseLeadingInt(std::string_view gbkText);

} // namespace tarvenix
