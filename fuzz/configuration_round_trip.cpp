// Any bytes as a configuration file.
//
// - The document alone: bytes that are only read and written again come out
//   unchanged, byte for byte.
// - The file: load it, save the form over it, load again. The second load
//   gives the form of the first, each text as a read hands out what was
//   written (blanks and one pair of quotes around it removed, cut to the read
//   buffer); the save keeps every line that holds no entry, in its order,
//   and leaves no temporary file behind. A second save of a form the file
//   already holds changes no byte.
// - The same form saved into a new file loads back the same way.

#include "config/configuration.h"
#include "config/profile_file.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using namespace tarvenix;
using tarvenix::fuzz::linesOf;
using tarvenix::fuzz::readBack;

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "configuration round trip: %s\n", what);
        std::abort();
    }
}

// A folder of its own for the run's files, on a RAM disk where there is one:
// every save syncs to disk, which a real disk turns into milliseconds. It is
// made inside TARVENIX_FUZZ_SCRATCH when that is set (./fuzz.sh sets it and
// removes it afterwards, since a finding ends the process before this
// destructor runs).
class Scratch {
public:
    Scratch()
    {
        const char* given = std::getenv("TARVENIX_FUZZ_SCRATCH");
        const fs::path base = given != nullptr ? fs::path(given)
            : fs::is_directory("/dev/shm")     ? fs::path("/dev/shm")
                                               : fs::temp_directory_path();
        std::string name = (base / "tarvenix-fuzz-XXXXXX").string();
        check(::mkdtemp(name.data()) != nullptr, "no scratch folder");
        path = name;
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

void putFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(out.good(), "scratch file not written");
}

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

FormSnapshot readBackForm(FormSnapshot form)
{
    form.portText = readBack(form.portText);
    form.baudText = readBack(form.baudText);
    for (KeyLearningRow& row : form.keyRows)
        row.dataText = readBack(row.dataText);
    for (VoiceLearningRow& row : form.voiceRows)
        row.dataText = readBack(row.dataText);
    return form;
}

// A save rewrites entry lines and adds new ones; a line without '=' holds no
// entry, so every such line of the old file is in the new one, in order.
bool keepsLinesWithoutEntries(std::string_view before, std::string_view after)
{
    const std::vector<std::string_view> old = linesOf(before);
    const std::vector<std::string_view> now = linesOf(after);
    std::size_t at = 0;
    for (std::string_view line : old) {
        if (line.find('=') != std::string_view::npos)
            continue;
        while (at < now.size() && now[at] != line)
            ++at;
        if (at == now.size())
            return false;
        ++at;
    }
    return true;
}

std::size_t entriesIn(const fs::path& folder)
{
    std::size_t n = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    check(ProfileFile(input).bytes() == input, "a document read and written again changed");

    static Scratch scratch;
    const fs::path file = scratch.path / "form.vkt";
    const fs::path fresh = scratch.path / "fresh.vkt";
    std::error_code ec;
    fs::remove(fresh, ec);

    putFile(file, input);
    const FormSnapshot loaded = loadConfiguration(file);
    const FormSnapshot expected = readBackForm(loaded);

    check(saveConfiguration(file, loaded), "a save over a regular file failed");
    const std::string saved = fileBytes(file);
    check(keepsLinesWithoutEntries(input, saved), "a save lost or moved a line that holds no entry");
    check(entriesIn(scratch.path) == 1, "a save left a file beside its target");
    const FormSnapshot reloaded = loadConfiguration(file);
    check(reloaded == expected, "a saved form loads back different");

    if (reloaded == loaded) {
        check(saveConfiguration(file, reloaded), "a second save failed");
        check(fileBytes(file) == saved, "saving the form the file holds changed the file");
    }

    check(saveConfiguration(fresh, loaded), "a save into a new file failed");
    check(loadConfiguration(fresh) == expected, "a form saved into a new file loads back different");
    return 0;
}
