// Whole-file reads and all-or-nothing writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The line break of text files written on this platform.
#ifdef _WIN32
constexpr const char* kLineBreak = "\r\n";
#else
constexpr const char* kLineBreak = "\n";
#endif

// Opens an existing regular file for reading in binary mode; null for
// anything else (a FIFO, a device, a folder), which is never waited on.
std::FILE* openRegularFile(const std::string& path);

// The file's bytes, or nothing when it cannot be read, is not a regular file
// or is larger than maxBytes (a guard against reading huge files whole).
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes = 64u << 20);

// Writes the bytes to a new temporary file beside path, under a name no other
// writer uses at the same time, and renames it over path once complete: a
// failed or interrupted write leaves the old file whole, and a reader sees
// the old file or the new one, never part of either. A read-only file at
// path is left as it is (false). Writers that read the file first hold a
// FileLock across the whole read-modify-write.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The text after the last "." of the file's own name (not of a folder),
// lower-cased; empty when the name has no ".".
std::string fileExtension(const std::string& path);

}  // namespace platform
