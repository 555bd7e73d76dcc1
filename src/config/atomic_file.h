#pragma once
// Whole-file reading and all-or-nothing replacement of a file, so that a
// crash, a full disk or a pulled USB stick never leaves half a
// configuration behind.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvenix {

struct FileBytes {
    enum class Status {
        read,    // bytes holds the whole file
        missing, // nothing at the path (or its folder is missing)
        failed,  // something is there that cannot be read as a file
    };
    Status status = Status::missing;
    std::string bytes;
};

// Reads the regular file at path whole. A folder, a device or a file that
// cannot be opened is failed; bytes is then empty.
FileBytes readFileBytes(const std::filesystem::path& path);

// Replaces the file at path (or creates it) with bytes: a temporary file in
// the same folder is written, flushed to disk and renamed over the old one.
// An existing file keeps its permission bits; a symbolic link keeps pointing
// at the file it names. On any failure the temporary file is removed, the
// old file is left as it was, and the result is false. A missing folder is
// not created. A file the user may not write (read-only) is not replaced.
bool replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace tarvenix
