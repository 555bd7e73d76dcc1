// Any bytes as an INI document, and one write into it of an entry the
// program stores. Much faster per input than the whole-form round trip, so
// the lexer sees far more shapes of file.
//
// The input is the document, a zero byte, two bytes that pick one of the 242
// entries, and the value to write. An input without a zero byte is all
// document (the recorded files seed it so) and writes "AB12" into the entry
// its length picks.
//
// - The document read and written again is the input, byte for byte.
// - After the write, a read of the entry gives the value as a read hands
//   out what was written; every other entry reads as before.
// - The write changes one place of the file: the lines before and after it
//   stay; in between, at most one old line went and only the entry's line
//   and its section's line came.

#include "config/config_entries.h"
#include "config/profile_file.h"
#include "fuzz_support.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace tarvenix;
using tarvenix::fuzz::linesOf;
using tarvenix::fuzz::readBack;

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "profile document: %s\n", what);
        std::abort();
    }
}

std::array<std::string, configEntryCount> readAll(const ProfileFile& file)
{
    std::array<std::string, configEntryCount> values;
    for (std::size_t i = 0; i < configEntryCount; ++i)
        values[i] = file.read(configEntries()[i].section, configEntries()[i].key);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view document = input;
    std::size_t pick = size;
    std::string value = "AB12";
    if (const std::size_t zero = input.rfind('\0'); zero != std::string_view::npos && zero + 2 < size) {
        document = input.substr(0, zero);
        pick = static_cast<std::size_t>(data[zero + 1]) << 8 | data[zero + 2];
        value = input.substr(zero + 3);
    }
    // Line ends in a value would make lines of their own; no edit box of the
    // window holds one, and no value read from a file has one.
    for (char& c : value) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const ConfigEntry& entry = configEntries()[pick % configEntryCount];

    ProfileFile file(document);
    check(file.bytes() == document, "a document read and written again changed");

    const auto before = readAll(file);
    file.write(entry.section, entry.key, value);
    const std::string written = file.bytes();
    const auto after = readAll(file);
    for (std::size_t i = 0; i < configEntryCount; ++i) {
        if (&configEntries()[i] == &entry)
            check(after[i] == readBack(value), "the entry written does not read back");
        else
            check(after[i] == before[i], "a write changed another entry");
    }

    const std::vector<std::string_view> old = linesOf(document);
    const std::vector<std::string_view> now = linesOf(written);
    std::size_t same = 0;
    while (same < old.size() && same < now.size() && old[same] == now[same])
        ++same;
    std::size_t tail = 0;
    while (tail < old.size() - same && tail < now.size() - same
           && old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    check(old.size() - same - tail <= 1, "a write removed more than one line");
    const std::string sectionLine = "[" + std::string(entry.section) + "]";
    const std::string entryLine = entry.key + "=" + value.substr(0, value.find('\0'));
    for (std::size_t i = same; i < now.size() - tail; ++i)
        check(now[i] == entryLine || now[i] == sectionLine, "a write added a line that is no part of it");

    // A whole save in one pass gives the bytes of 242 writes in turn, with
    // the value going into every entry (and twice into the picked one, so
    // that a batch meets a key it has added itself).
    std::vector<ProfileFile::Update> updates;
    for (const ConfigEntry& each : configEntries())
        updates.push_back({each.section, each.key, value});
    updates.push_back({entry.section, entry.key, "again"});
    ProfileFile oneByOne(document);
    for (const auto& u : updates)
        oneByOne.write(u.section, u.key, u.value);
    ProfileFile batch(document);
    batch.writeAll(updates);
    check(batch.bytes() == oneByOne.bytes(), "a save in one pass differs from the writes one by one");
    return 0;
}
