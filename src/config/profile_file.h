#pragma once
// An INI file in the Windows private-profile style, held as GBK bytes.
//
// Reading and writing follow GetPrivateProfileStringA and
// WritePrivateProfileStringA, so that files written by the Windows program
// and by this one are interchangeable byte for byte:
//   - section and key names match without regard to ASCII letter case and
//     to blanks around them; the first matching section, and in it the
//     first matching key, is the one that counts;
//   - a read trims blanks around the value, removes one pair of matching
//     quotes that encloses it and returns at most profileReadLimit bytes;
//   - a write updates the key's own line, or adds the key at the end of its
//     section (after its last line that is not blank, comments included),
//     or adds the section at the end of the file; every other line keeps its
//     bytes, and every line written ends in CR LF.
// The lexer walks GBK characters, so a trail byte that happens to be '[',
// ']', '\\' or an ASCII letter is never taken for syntax or case-folded.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace tarvenix {

// Windows reads a value into a 10240-byte buffer that includes the
// terminating zero.
constexpr std::size_t profileReadBufferSize = 10240;
constexpr std::size_t profileReadLimit = profileReadBufferSize - 1;

class ProfileFile {
public:
    // An empty document: what a missing file reads as.
    ProfileFile() = default;
    // Parses the bytes of a file once; any bytes are accepted.
    explicit ProfileFile(std::string_view bytes);

    // The value of key in section, or "" when the section or the key is
    // missing.
    std::string read(std::string_view section, std::string_view key) const;

    // Sets key in section to value, written byte for byte as given.
    // Like the C functions, every argument ends at its first zero byte.
    void write(std::string_view section, std::string_view key, std::string_view value);

    struct Update {
        std::string_view section;
        std::string_view key;
        std::string_view value;
    };
    // The same as write() for each update in turn, in one pass over the
    // document however long it is.
    void writeAll(const std::vector<Update>& updates);

    // The document as file bytes.
    std::string bytes() const;

private:
    enum class LineKind { other, section, entry };

    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n", "\r" or "" for a last line without one
        LineKind kind = LineKind::other;
        // The name of a section or the key of an entry, blanks trimmed, and
        // for an entry where its value starts; offsets into text.
        std::size_t nameBegin = 0;
        std::size_t nameEnd = 0;
        std::size_t valueBegin = 0;

        std::string_view name() const;
        std::string_view rawValue() const;
    };

    static std::vector<Line> splitLines(std::string_view bytes);
    static Line parseLine(std::string text, std::string end);

    // Index of the first line of the first section with this name, or
    // lines_.size() when there is none.
    std::size_t findSection(std::string_view name) const;
    // One past the last line of the section that starts at sectionLine.
    std::size_t sectionEnd(std::size_t sectionLine) const;
    // Index of the first entry with this key in the section, or end.
    std::size_t findKey(std::size_t sectionLine, std::size_t end, std::string_view key) const;
    // Inserts lines before position; a last line without a line end before
    // them gets CR LF first, so that they start on a line of their own.
    void insertLines(std::size_t position, std::vector<Line> lines);

    std::vector<Line> lines_;

    // Where the sections and their keys stand, found by the first read
    // after a change, so that reading all 242 values costs one pass.
    struct SectionIndex {
        std::size_t line = 0;
        std::size_t end = 0;
        std::optional<std::unordered_map<std::string, std::size_t>> keys; // first entry of each key
    };
    mutable std::optional<std::unordered_map<std::string, SectionIndex>> index_;
};

} // namespace tarvenix
