#include "platform/FileIo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

std::FILE* openRegularFile(const std::string& path) {
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    return std::fopen(path.c_str(), "rb");
#else
    // Opening a FIFO for reading would wait for a writer: open without
    // waiting, look at what was opened, and only then read normally.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(descriptor);
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file) close(descriptor);
    return file;
#endif
}

namespace {

// Creates the temporary file anew: a stale one from an interrupted write is
// removed, and whatever stands at the name is never opened (it might be a
// FIFO or a link).
std::FILE* createTemporary(const std::string& temporary) {
#ifdef _WIN32
    DeleteFileA(temporary.c_str());
    return std::fopen(temporary.c_str(), "wb");
#else
    unlink(temporary.c_str());  // a file or link, never a folder
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
        unlink(temporary.c_str());
    }
    return file;
#endif
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::size_t maxBytes) {
    std::FILE* file = openRegularFile(path);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof(chunk), file);
        if (got == 0) {
            ok = !std::ferror(file);
            break;
        }
        if (bytes.size() + got > maxBytes) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    if (!ok) return std::nullopt;
    return bytes;
}

namespace {

// A file its owner marked read-only is never replaced.
bool isReadOnly(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
#else
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0;
#endif
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (path.empty() || isReadOnly(path)) return false;
    const std::string temporary = path + ".tmp~";
    std::FILE* file = createTemporary(temporary);
    if (!file) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
#ifndef _WIN32
    ok = ok && fsync(fileno(file)) == 0;
#endif
    ok = std::fclose(file) == 0 && ok;
#ifdef _WIN32
    ok = ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
#endif
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

std::string fileExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace platform
