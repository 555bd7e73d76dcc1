// Any bytes as GBK text, and as UTF-8 text from the window.
//
// - Decoding gives well-formed UTF-8 with one character for each GBK
//   character of the input (nothing dropped), and that text encodes without
//   loss.
// - Bytes whose every character is a real one (no '?' stands for a broken
//   one) encode back to exactly the input.
// - A UTF-8 text that is said to be encodable decodes back to itself after
//   encoding; a malformed one is never said to be encodable.

#include "link/gbk_bytes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tarvenix;

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "gbk codec: %s\n", what);
        std::abort();
    }
}

// Characters in well-formed UTF-8 (no overlong forms, no surrogate halves,
// nothing above U+10FFFF), or -1 for a malformed text.
long utf8Characters(std::string_view text)
{
    long count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t n = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (b < 0x80) {
            n = 1;
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            n = 2;
            c = b & 0x1F;
            least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            n = 3;
            c = b & 0x0F;
            least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            n = 4;
            c = b & 0x07;
            least = 0x10000;
        } else {
            return -1;
        }
        if (i + n > text.size())
            return -1;
        for (std::size_t k = 1; k < n; ++k) {
            const auto f = static_cast<unsigned char>(text[i + k]);
            if ((f & 0xC0) != 0x80)
                return -1;
            c = c << 6 | (f & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return -1;
        i += n;
    }
    return count;
}

// GBK characters: a lead byte takes the byte after it, unless that is a
// zero byte or missing.
struct GbkCount {
    long characters = 0;
    long questionMarks = 0; // '?' characters of their own
};

GbkCount gbkCharacters(std::string_view bytes)
{
    GbkCount count;
    for (std::size_t i = 0; i < bytes.size(); ++count.characters) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size() && bytes[i + 1] != '\0') {
            i += 2;
        } else {
            count.questionMarks += b == '?' ? 1 : 0;
            ++i;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string text = utf8FromGbk(input);
    const GbkCount count = gbkCharacters(input);
    check(utf8Characters(text) == count.characters, "decoding dropped, added or broke characters");
    check(isUtf8GbkEncodable(text), "a decoded text cannot be encoded");
    const std::string encoded = gbkFromUtf8(text);
    check(utf8FromGbk(encoded) == text, "a decoded text does not survive encoding");
    if (std::count(text.begin(), text.end(), '?') == count.questionMarks)
        check(encoded == input, "bytes of real characters do not encode back to themselves");

    const bool encodable = isUtf8GbkEncodable(input);
    if (utf8Characters(input) < 0)
        check(!encodable, "a malformed UTF-8 text is said to be encodable");
    if (encodable)
        check(utf8FromGbk(gbkFromUtf8(input)) == input, "an encodable text does not survive encoding");
    return 0;
}
