#include "atomic_file.h"

#include <atomic>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvenix {

namespace fs = std::filesystem;

namespace {

// A name beside the target that no one else uses: the process id keeps two
// running copies apart, the counter two saves within one process, and the
// exclusive create settles the rest by trying the next number.
fs::path temporaryName(const fs::path& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    fs::path name = target;
    name += ".tmp-" + std::to_string(process) + "-" + std::to_string(counter++) + "-"
        + std::to_string(attempt);
    return name;
}

// The file a save has to replace: a symbolic link is followed, so that the
// link stays and the file it names gets the new bytes.
fs::path resolveTarget(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

constexpr unsigned maxAttempts = 100;

#ifdef _WIN32

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool replaceFile(const fs::path& target, std::string_view bytes)
{
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return false;

    fs::path temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < maxAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryName(target, attempt);
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;

    const bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != 0;
    if (written && closed
        && MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

#else

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename is only durable once the folder's entry is on disk too. A
// failure here no longer endangers the file, so it does not fail the save.
void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool replaceFile(const fs::path& target, std::string_view bytes)
{
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        // Windows refuses to write a read-only file; renaming over it here
        // would quietly bypass the user's protection.
        if (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)
            return false;
    }

    fs::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < maxAttempts && fd < 0; ++attempt) {
        temporary = temporaryName(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, bytes);
    if (ok && exists) {
        // Keeping the old permission bits is a courtesy: a folder that does
        // not support them (a FAT stick) must not fail the save.
        static_cast<void>(::fchmod(fd, old.st_mode & 07777));
    }
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (ok)
        ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(target.parent_path());
    return true;
}

#endif

} // namespace

FileBytes readFileBytes(const fs::path& path)
{
    FileBytes result;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        result.status = FileBytes::Status::missing;
        return result;
    }
    result.status = FileBytes::Status::failed;
    if (status.type() != fs::file_type::regular)
        return result;

    std::ifstream in(path, std::ios::binary);
    if (!in)
        return result;
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return result;
    result.status = FileBytes::Status::read;
    result.bytes = std::move(bytes);
    return result;
}

bool replaceFileAtomically(const fs::path& path, std::string_view bytes)
{
    if (!path.has_filename())
        return false;
    return replaceFile(resolveTarget(path), bytes);
}

} // namespace tarvenix
