#include "profile_file.h"

#include <unordered_map>
#include <utility>

namespace tarvenix {

namespace {

bool isLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool isTrailByte(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Bytes of the character at text[pos]: 2 for a GBK lead byte followed by a
// trail byte, otherwise 1. A lead byte before a byte that cannot follow it
// stands alone, so the byte after it (a '=' say) keeps its meaning.
std::size_t charLength(std::string_view text, std::size_t pos)
{
    if (pos + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[pos]))
        && isTrailByte(static_cast<unsigned char>(text[pos + 1])))
        return 2;
    return 1;
}

// Blanks inside a line; CR and LF never get this far, they end lines.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Position of the first single-byte character c in text[from, to), or to.
std::size_t findChar(std::string_view text, std::size_t from, std::size_t to, char c)
{
    for (std::size_t i = from; i < to; i += charLength(text, i)) {
        if (text[i] == c)
            return i;
    }
    return to;
}

// Position of the last single-byte character c in text[from, to), or to.
std::size_t findLastChar(std::string_view text, std::size_t from, std::size_t to, char c)
{
    std::size_t found = to;
    for (std::size_t i = from; i < to; i += charLength(text, i)) {
        if (text[i] == c)
            found = i;
    }
    return found;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names compare with ASCII letters folded; the bytes of a double-byte
// character compare exactly, since its trail byte may look like a letter.
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t len = charLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

// A name as sameName() compares it: ASCII letters of single-byte characters
// folded, double-byte characters as they are.
std::string foldedName(std::string_view name)
{
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size();) {
        const std::size_t len = charLength(name, i);
        if (len == 1)
            folded[i] = foldAscii(folded[i]);
        i += len;
    }
    return folded;
}

// The C functions see an argument only up to its first zero byte, and
// Windows ignores blanks around section and key names.
std::string_view asCString(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::string_view asName(std::string_view text)
{
    return trimBlanks(asCString(text));
}

// A value as GetPrivateProfileString hands it out: blanks trimmed, then one
// pair of matching quotes around the whole value removed (a lone quote is
// kept), then cut to what the buffer holds without splitting a character.
std::string readableValue(std::string_view raw)
{
    std::string_view value = trimBlanks(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > profileReadLimit) {
        std::size_t cut = 0;
        while (cut < value.size()) {
            const std::size_t len = charLength(value, cut);
            if (cut + len > profileReadLimit)
                break;
            cut += len;
        }
        value = value.substr(0, cut);
    }
    return std::string(value);
}

bool isBlankLine(std::string_view text)
{
    return trimBlanks(text).empty();
}

} // namespace

std::string_view ProfileFile::Line::name() const
{
    return std::string_view(text).substr(nameBegin, nameEnd - nameBegin);
}

std::string_view ProfileFile::Line::rawValue() const
{
    return std::string_view(text).substr(valueBegin);
}

ProfileFile::ProfileFile(std::string_view bytes)
{
    lines_ = splitLines(bytes);
}

// Lines end at CR LF, LF or a lone CR. CR and LF are never GBK trail bytes,
// so this split is safe before any character is looked at.
std::vector<ProfileFile::Line> ProfileFile::splitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back(parseLine(std::string(bytes.substr(start)), std::string()));
            break;
        }
        std::size_t next = stop + 1;
        if (bytes[stop] == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        lines.push_back(parseLine(std::string(bytes.substr(start, stop - start)),
                                  std::string(bytes.substr(stop, next - stop))));
        start = next;
    }
    return lines;
}

ProfileFile::Line ProfileFile::parseLine(std::string text, std::string end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const std::string_view t = line.text;

    std::size_t first = 0;
    while (first < t.size() && isBlank(t[first]))
        ++first;
    if (first == t.size())
        return line;

    // A section line: '[' first, the name up to the last ']' of the line.
    // Without a closing bracket the line is read like any other.
    if (t[first] == '[') {
        const std::size_t close = findLastChar(t, first + 1, t.size(), ']');
        if (close < t.size()) {
            const std::string_view inner = t.substr(first + 1, close - first - 1);
            const std::string_view name = trimBlanks(inner);
            line.kind = LineKind::section;
            line.nameBegin = static_cast<std::size_t>(name.data() - t.data());
            line.nameEnd = line.nameBegin + name.size();
            return line;
        }
    }

    // An entry: the key up to the first '=', the value after it. A line
    // without '=' (a comment, say) holds no entry. Comments need no rule of
    // their own: ";x=1" is a key named ";x" that no program asks for.
    const std::size_t equals = findChar(t, first, t.size(), '=');
    if (equals == t.size())
        return line;
    const std::string_view name = trimBlanks(t.substr(first, equals - first));
    line.kind = LineKind::entry;
    line.nameBegin = static_cast<std::size_t>(name.data() - t.data());
    line.nameEnd = line.nameBegin + name.size();
    line.valueBegin = equals + 1;
    return line;
}

std::size_t ProfileFile::findSection(std::string_view name) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::section && sameName(lines_[i].name(), name))
            return i;
    }
    return lines_.size();
}

std::size_t ProfileFile::sectionEnd(std::size_t sectionLine) const
{
    std::size_t i = sectionLine + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::section)
        ++i;
    return i;
}

std::size_t ProfileFile::findKey(std::size_t sectionLine, std::size_t end, std::string_view key) const
{
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::entry && sameName(lines_[i].name(), key))
            return i;
    }
    return end;
}

std::string ProfileFile::read(std::string_view section, std::string_view key) const
{
    if (!index_) {
        index_.emplace();
        std::vector<std::size_t> headers;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].kind == LineKind::section)
                headers.push_back(i);
        }
        // A section runs to the next section line; only the first section of
        // a name counts.
        for (std::size_t h = 0; h < headers.size(); ++h) {
            const std::size_t end = h + 1 < headers.size() ? headers[h + 1] : lines_.size();
            index_->try_emplace(foldedName(lines_[headers[h]].name()), SectionIndex{headers[h], end, std::nullopt});
        }
    }
    const auto found = index_->find(foldedName(asName(section)));
    if (found == index_->end())
        return {};
    SectionIndex& s = found->second;
    if (!s.keys) {
        s.keys.emplace();
        for (std::size_t i = s.line + 1; i < s.end; ++i) {
            if (lines_[i].kind == LineKind::entry)
                s.keys->try_emplace(foldedName(lines_[i].name()), i);
        }
    }
    const auto entry = s.keys->find(foldedName(asName(key)));
    if (entry == s.keys->end())
        return {};
    return readableValue(lines_[entry->second].rawValue());
}

void ProfileFile::insertLines(std::size_t position, std::vector<Line> lines)
{
    if (position > 0 && lines_[position - 1].end.empty())
        lines_[position - 1].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                  std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
}

void ProfileFile::write(std::string_view section, std::string_view key, std::string_view value)
{
    index_.reset();
    const std::string_view sectionName = asName(section);
    const std::string_view keyName = asName(key);
    value = asCString(value);

    const std::size_t s = findSection(sectionName);
    if (s == lines_.size()) {
        std::string text;
        text.append("[").append(sectionName).append("]\r\n");
        text.append(keyName).append("=").append(value).append("\r\n");
        insertLines(lines_.size(), splitLines(text));
        return;
    }

    const std::size_t end = sectionEnd(s);
    const std::size_t k = findKey(s, end, keyName);
    if (k != end) {
        // The key keeps the spelling it has in the file; the line is written
        // afresh as key=value.
        std::string text(lines_[k].name());
        text.append("=").append(value).append("\r\n");
        std::vector<Line> replacement = splitLines(text);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
        insertLines(k, std::move(replacement));
        return;
    }

    // A new key goes after the section's last line that is not blank, so
    // that trailing comments stay above it and blank lines that separate
    // this section from the next stay below it.
    std::size_t position = end;
    while (position > s + 1 && isBlankLine(lines_[position - 1].text))
        --position;
    std::string text(keyName);
    text.append("=").append(value).append("\r\n");
    insertLines(position, splitLines(text));
}

void ProfileFile::writeAll(const std::vector<Update>& updates)
{
    index_.reset();
    // A value with a line end in it would add lines that later updates could
    // find; such a batch takes the slow road, one update at a time.
    for (const Update& u : updates) {
        if (asCString(u.value).find_first_of("\r\n") != std::string_view::npos) {
            for (const Update& each : updates)
                write(each.section, each.key, each.value);
            return;
        }
    }

    // Where each section and each of its keys stand now: only the first
    // section of a name counts, and in it the first entry of a key.
    struct Section {
        std::size_t line = 0;
        std::size_t end = 0;
        std::unordered_map<std::string, std::size_t> keys;
        bool keysIndexed = false;
        std::size_t insertAt = 0; // where new keys go
        std::vector<std::pair<std::string, std::string>> added; // key as first written, value
        std::unordered_map<std::string, std::size_t> addedIndex;
    };
    std::unordered_map<std::string, Section> sections;
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::section)
            headers.push_back(i);
    }
    for (std::size_t h = 0; h < headers.size(); ++h) {
        const std::string name = foldedName(lines_[headers[h]].name());
        if (sections.count(name) > 0)
            continue;
        Section& section = sections[name];
        section.line = headers[h];
        section.end = h + 1 < headers.size() ? headers[h + 1] : lines_.size();
        std::size_t position = section.end;
        while (position > section.line + 1 && isBlankLine(lines_[position - 1].text))
            --position;
        section.insertAt = position;
    }
    // Sections the updates create, in the order they are first written.
    std::vector<std::pair<std::string, std::string>> createdOrder; // folded name, name as written

    for (const Update& u : updates) {
        const std::string_view sectionName = asName(u.section);
        const std::string_view keyName = asName(u.key);
        const std::string_view value = asCString(u.value);
        const std::string folded = foldedName(sectionName);
        auto found = sections.find(folded);
        if (found == sections.end()) {
            found = sections.emplace(folded, Section{}).first;
            found->second.line = lines_.size(); // none in the file: it is created at the end
            found->second.keysIndexed = true;
            createdOrder.emplace_back(folded, std::string(sectionName));
        }
        Section& section = found->second;
        if (!section.keysIndexed) {
            for (std::size_t i = section.line + 1; i < section.end; ++i) {
                if (lines_[i].kind == LineKind::entry)
                    section.keys.emplace(foldedName(lines_[i].name()), i); // keeps the first
            }
            section.keysIndexed = true;
        }
        const std::string foldedKey = foldedName(keyName);
        if (const auto key = section.keys.find(foldedKey); key != section.keys.end()) {
            // The key keeps the spelling it has in the file.
            Line& line = lines_[key->second];
            std::string text(line.name());
            text.append("=").append(value);
            line = parseLine(std::move(text), "\r\n");
        } else if (const auto added = section.addedIndex.find(foldedKey); added != section.addedIndex.end()) {
            section.added[added->second].second = std::string(value);
        } else {
            section.addedIndex.emplace(foldedKey, section.added.size());
            section.added.emplace_back(std::string(keyName), std::string(value));
        }
    }

    // One pass: the old lines with the new keys of each section at its
    // insertion point, then the new sections at the end.
    std::vector<std::vector<const Section*>> insertsAt(lines_.size() + 1);
    for (const auto& [name, section] : sections) {
        if (section.line < lines_.size() && !section.added.empty())
            insertsAt[section.insertAt].push_back(&section);
    }
    std::vector<Line> result;
    result.reserve(lines_.size() + updates.size() + 2 * createdOrder.size());
    const auto append = [&result](std::string text) {
        if (!result.empty() && result.back().end.empty())
            result.back().end = "\r\n"; // new lines start on a line of their own
        result.push_back(parseLine(std::move(text), "\r\n"));
    };
    const auto appendKeys = [&append](const Section& section) {
        for (const auto& [key, value] : section.added)
            append(key + "=" + value);
    };
    for (std::size_t i = 0; i <= lines_.size(); ++i) {
        for (const Section* section : insertsAt[i])
            appendKeys(*section);
        if (i < lines_.size())
            result.push_back(std::move(lines_[i]));
    }
    for (const auto& [folded, name] : createdOrder) {
        append("[" + name + "]");
        appendKeys(sections.at(folded));
    }
    lines_ = std::move(result);
}

std::string ProfileFile::bytes() const
{
    std::size_t size = 0;
    for (const Line& line : lines_)
        size += line.text.size() + line.end.size();
    std::string out;
    out.reserve(size);
    for (const Line& line : lines_)
        out.append(line.text).append(line.end);
    return out;
}

} // namespace tarvenix
