#pragma once
// What the fuzz targets of the configuration file share: what reading gives
// back for a text that was written, worked out independently of the reader,
// and the lines of a document.

#include "config/profile_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvenix::fuzz {

inline bool isLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

inline bool isTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// What reading gives back for a value that was written: the write ends at a
// zero byte, the read trims blanks, removes one pair of enclosing quotes and
// keeps what fits the buffer without splitting a double-byte character.
inline std::string readBack(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    std::size_t cut = 0;
    while (cut < text.size()) {
        const std::size_t len = cut + 1 < text.size() && isLead(static_cast<unsigned char>(text[cut]))
                && isTrail(static_cast<unsigned char>(text[cut + 1]))
            ? 2
            : 1;
        if (cut + len > profileReadLimit)
            break;
        cut += len;
    }
    return std::string(text.substr(0, cut));
}

// Line texts without their ends (CR LF, LF or CR).
inline std::vector<std::string_view> linesOf(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, stop - start));
        start = stop + (bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

} // namespace tarvenix::fuzz
