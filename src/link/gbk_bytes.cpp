#include "gbk_bytes.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tarvenix {

namespace {

constexpr unsigned firstLead = 0x81;
constexpr unsigned lastLead = 0xFE;
constexpr unsigned firstTrail = 0x40;
constexpr unsigned lastTrail = 0xFE;
// Trail 0x7F keeps its slot (always empty), which keeps the index a plain
// multiplication.
constexpr std::size_t trailSlots = lastTrail - firstTrail + 1;
constexpr std::size_t pairSlots = (lastLead - firstLead + 1) * trailSlots;

constexpr char replacement = '?';

bool isLead(unsigned byte)
{
    return byte >= firstLead && byte <= lastLead;
}

bool isTrail(unsigned byte)
{
    return byte >= firstTrail && byte <= lastTrail && byte != 0x7F;
}

std::size_t pairSlot(unsigned lead, unsigned trail)
{
    return (lead - firstLead) * trailSlots + (trail - firstTrail);
}

// Code page 936 has only characters of the basic plane, and no surrogate
// halves; anything else the system might answer is treated as no character.
char16_t basicPlaneCharacter(std::uint32_t codePoint)
{
    if (codePoint == 0 || codePoint > 0xFFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return static_cast<char16_t>(codePoint);
}

#ifdef _WIN32

// The system's own code page 936, asked one complete character at a time.
// Without MB_ERR_INVALID_CHARS: with it, Windows refuses the byte 0xFF, which
// it otherwise reads as U+F8F5 (and writes back from it). What it has no
// character for it answers with its default character '?'.
class SystemCodePage {
public:
    char16_t character(std::string_view bytes)
    {
        wchar_t out[2] = {};
        const int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), out, 2);
        return n == 1 && out[0] != L'?' ? basicPlaneCharacter(out[0]) : 0;
    }
};

#else

// glibc's "CP936" is its "GBK" under another name. It maps every character
// Windows maps to a real character, the euro sign at 0x80 included, and
// leaves empty the places to which Windows gives private-use characters and
// the single byte 0xFF. Those are set below from Windows' own numbering,
// over whatever a later iconv might put there: Windows is the reference.
class SystemCodePage {
public:
    SystemCodePage()
        : cd_(iconv_open("UTF-32LE", "CP936"))
    {
        if (cd_ == invalid())
            throw std::runtime_error("iconv cannot convert from CP936; the GBK texts cannot be read");
    }
    ~SystemCodePage() { iconv_close(cd_); }
    SystemCodePage(const SystemCodePage&) = delete;
    SystemCodePage& operator=(const SystemCodePage&) = delete;

    char16_t character(std::string_view bytes)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {};
        std::memcpy(in, bytes.data(), bytes.size() < sizeof in ? bytes.size() : sizeof in);
        char* inPos = in;
        std::size_t inLeft = bytes.size();
        unsigned char out[8] = {};
        char* outPos = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0
            || sizeof out - outLeft != 4)
            return 0;
        return basicPlaneCharacter(static_cast<std::uint32_t>(out[0]) | static_cast<std::uint32_t>(out[1]) << 8
                                   | static_cast<std::uint32_t>(out[2]) << 16
                                   | static_cast<std::uint32_t>(out[3]) << 24);
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

// The places of code page 936 that Windows fills with private-use
// characters: numbered from U+E000 on, block after block in this order, each
// block row by row (trail 0x7F skipped). The user-defined areas come first,
// then the gaps in the symbol rows, 0xD7 and 0xFE.
struct PrivateUseBlock {
    unsigned char leadFirst, leadLast, trailFirst, trailLast;
};

constexpr PrivateUseBlock privateUseBlocks[] = {
    {0xAA, 0xAF, 0xA1, 0xFE}, {0xF8, 0xFE, 0xA1, 0xFE}, {0xA1, 0xA7, 0x40, 0xA0}, {0xA2, 0xA2, 0xAB, 0xB0},
    {0xA2, 0xA2, 0xE3, 0xE4}, {0xA2, 0xA2, 0xEF, 0xF0}, {0xA2, 0xA2, 0xFD, 0xFE}, {0xA4, 0xA4, 0xF4, 0xFE},
    {0xA5, 0xA5, 0xF7, 0xFE}, {0xA6, 0xA6, 0xB9, 0xC0}, {0xA6, 0xA6, 0xD9, 0xDF}, {0xA6, 0xA6, 0xEC, 0xED},
    {0xA6, 0xA6, 0xF3, 0xF3}, {0xA6, 0xA6, 0xF6, 0xFE}, {0xA7, 0xA7, 0xC2, 0xD0}, {0xA7, 0xA7, 0xF2, 0xFE},
    {0xA8, 0xA8, 0x96, 0xA0}, {0xA8, 0xA8, 0xBC, 0xBC}, {0xA8, 0xA8, 0xBF, 0xBF}, {0xA8, 0xA8, 0xC1, 0xC4},
    {0xA8, 0xA8, 0xEA, 0xFE}, {0xA9, 0xA9, 0x58, 0x58}, {0xA9, 0xA9, 0x5B, 0x5B}, {0xA9, 0xA9, 0x5D, 0x5F},
    {0xA9, 0xA9, 0x89, 0x95}, {0xA9, 0xA9, 0x97, 0xA3}, {0xA9, 0xA9, 0xF0, 0xFE}, {0xD7, 0xD7, 0xFA, 0xFE},
    {0xFE, 0xFE, 0x50, 0xA0},
};

// Windows' single byte 0xFF.
constexpr char16_t lastByteCharacter = 0xF8F5;

#endif

struct Tables {
    std::array<char16_t, 0x80> single{};   // bytes 0x80..0xFF on their own; 0: none
    std::vector<char16_t> pairs;            // by pairSlot(); 0: no character
    std::vector<std::uint16_t> gbkOf;       // for each basic-plane character: its bytes, 0: none
};

Tables buildTables()
{
    Tables t;
    t.pairs.assign(pairSlots, 0);
    t.gbkOf.assign(0x10000, 0);
    SystemCodePage system;

    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        if (isLead(byte))
            continue;
        const char one = static_cast<char>(byte);
        t.single[byte - 0x80] = system.character(std::string_view(&one, 1));
    }
    for (unsigned lead = firstLead; lead <= lastLead; ++lead) {
        for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
            if (!isTrail(trail))
                continue;
            const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            t.pairs[pairSlot(lead, trail)] = system.character(std::string_view(two, 2));
        }
    }

#ifndef _WIN32
    t.single[0xFF - 0x80] = lastByteCharacter;
    char16_t next = 0xE000;
    for (const PrivateUseBlock& block : privateUseBlocks) {
        for (unsigned lead = block.leadFirst; lead <= block.leadLast; ++lead) {
            for (unsigned trail = block.trailFirst; trail <= block.trailLast; ++trail) {
                if (isTrail(trail))
                    t.pairs[pairSlot(lead, trail)] = next++;
            }
        }
    }
#endif

    // Writing is reading backwards: every character has one byte form (the
    // table maps no two forms to one character), and a character without one
    // is not written approximately.
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        const char16_t c = t.single[byte - 0x80];
        if (c >= 0x80 && t.gbkOf[c] == 0)
            t.gbkOf[c] = static_cast<std::uint16_t>(byte);
    }
    for (unsigned lead = firstLead; lead <= lastLead; ++lead) {
        for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
            const char16_t c = isTrail(trail) ? t.pairs[pairSlot(lead, trail)] : 0;
            if (c >= 0x80 && t.gbkOf[c] == 0)
                t.gbkOf[c] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    return t;
}

const Tables& tables()
{
    static const Tables built = buildTables();
    return built;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

constexpr char32_t malformed = 0xFFFFFFFF;

// The code point that starts at pos, or malformed; pos moves past what was
// read. A malformed sequence is the longest start of one that could still
// have become a character, or one stray byte, so that a character cut short
// counts once.
char32_t nextCodePoint(std::string_view text, std::size_t& pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned first = byteAt(pos++);
    if (first < 0x80)
        return first;
    int following = 0;
    char32_t c = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        following = 1;
        c = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        following = 2;
        c = first & 0x0F;
        low = first == 0xE0 ? 0xA0 : low;   // no overlong forms
        high = first == 0xED ? 0x9F : high; // no surrogate halves
    } else if (first >= 0xF0 && first <= 0xF4) {
        following = 3;
        c = first & 0x07;
        low = first == 0xF0 ? 0x90 : low;
        high = first == 0xF4 ? 0x8F : high; // nothing above U+10FFFF
    } else {
        return malformed;
    }
    for (int i = 0; i < following; ++i) {
        if (pos >= text.size() || byteAt(pos) < low || byteAt(pos) > high)
            return malformed;
        c = c << 6 | (byteAt(pos++) & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

// Writes the GBK form of the text to out (when given) and tells whether
// every character had one.
bool encode(std::string_view utf8, std::string* out)
{
    const Tables& t = tables();
    bool complete = true;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, pos);
        if (c < 0x80) {
            if (out)
                out->push_back(static_cast<char>(c));
            continue;
        }
        const std::uint16_t bytes = c <= 0xFFFF ? t.gbkOf[c] : 0;
        if (bytes == 0) {
            complete = false;
            if (!out)
                return false;
            out->push_back(replacement);
        } else if (out) {
            if (bytes > 0xFF)
                out->push_back(static_cast<char>(bytes >> 8));
            out->push_back(static_cast<char>(bytes & 0xFF));
        }
    }
    return complete;
}

} // namespace

std::string utf8FromGbk(std::string_view gbk)
{
    const Tables& t = tables();
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    for (std::size_t pos = 0; pos < gbk.size();) {
        const unsigned byte = static_cast<unsigned char>(gbk[pos]);
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        char16_t c = 0;
        if (!isLead(byte)) {
            c = t.single[byte - 0x80];
            ++pos;
        } else if (pos + 1 < gbk.size() && gbk[pos + 1] != '\0') {
            // The pair is one character even when it is none: the trail byte
            // is not read again as a character of its own, as Windows reads it.
            const unsigned trail = static_cast<unsigned char>(gbk[pos + 1]);
            c = isTrail(trail) ? t.pairs[pairSlot(byte, trail)] : 0;
            pos += 2;
        } else {
            ++pos;
        }
        if (c == 0)
            out.push_back(replacement);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string gbkFromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    encode(utf8, &out);
    return out;
}

bool isUtf8GbkEncodable(std::string_view utf8)
{
    return encode(utf8, nullptr);
}

} // namespace tarvenix
