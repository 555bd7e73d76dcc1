#pragma once
// What the command line accepts for the values the window picks from its
// combo boxes, and for a raw frame. Every value is checked against the very
// item lists the window shows, so the two can never disagree.

#include "commands/command_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvenix::cli {

// The item index that a command-line value selects in the combo box, or
// nothing when the value names no item:
//   Mode      the index 0..4, the window's item text ("固定A码") or an ASCII
//             name: custom-a, custom-ab, fixed-a, fixed-ab, modbus (any case);
//   BaudRate  one of the item texts 9600, 38400, 115200;
//   Address, Vibration, Interval
//             one or two hexadecimal digits, either case, with an optional
//             0x in front: "1E", "1e", "0x1E"; "A" means "0A". FF is not an
//             item. Decimal is not accepted: "10" is the item "10", that is 16.
std::optional<int> comboIndexArgument(CommandCombo combo, std::string_view value);

// What the help text says a combo box accepts.
std::string comboArgumentHint(CommandCombo combo);

// A raw frame as typed: hexadecimal digits in either case, spaces between
// them allowed. Gives the frame text in upper case without spaces; nothing
// for an empty text, a character that is no hex digit or an odd number of
// digits (half a byte is almost certainly a typing mistake).
std::optional<std::string> frameTextArgument(std::string_view value);

} // namespace tarvenix::cli
