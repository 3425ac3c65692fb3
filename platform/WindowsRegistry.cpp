#include "platform/WindowsRegistry.h"

#include <windows.h>

namespace platform {
namespace {

// Values larger than this are not the plug-in's and are not read.
constexpr DWORD kMaxValueBytes = 16u << 20;

class OpenKey {
public:
    OpenKey(const std::string& key, bool forWriting) {
        if (key.empty()) return;
        const LONG result =
            forWriting ? RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, &handle_, nullptr)
                       : RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle_);
        if (result != ERROR_SUCCESS) handle_ = nullptr;
    }
    ~OpenKey() {
        if (handle_) RegCloseKey(handle_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY handle() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// The value's bytes when it exists with the expected type. The size is
// asked first; a value that grows between the two calls is asked again.
std::optional<std::vector<std::uint8_t>> readValue(const std::string& key, const std::string& name,
                                                   DWORD expectedType) {
    OpenKey open(key, false);
    if (!open.handle()) return std::nullopt;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(open.handle(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != expectedType || size > kMaxValueBytes)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(size);
        const LONG result =
            RegQueryValueExA(open.handle(), name.c_str(), nullptr, &type, bytes.empty() ? nullptr : bytes.data(), &size);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS || type != expectedType || size > bytes.size()) return std::nullopt;
        bytes.resize(size);
        return bytes;
    }
    return std::nullopt;
}

bool writeValue(const std::string& key, const std::string& name, DWORD type, const void* data, std::size_t size) {
    if (key.empty() || name.empty() || size > kMaxValueBytes) return false;
    OpenKey open(key, true);
    if (!open.handle()) return false;
    return RegSetValueExA(open.handle(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

}  // namespace

bool WindowsRegistry::keyExists(const std::string& key) const {
    return OpenKey(key, false).handle() != nullptr;
}

std::optional<std::uint32_t> WindowsRegistry::readDword(const std::string& key, const std::string& name) const {
    const auto bytes = readValue(key, name, REG_DWORD);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    return static_cast<std::uint32_t>((*bytes)[0]) | static_cast<std::uint32_t>((*bytes)[1]) << 8 |
           static_cast<std::uint32_t>((*bytes)[2]) << 16 | static_cast<std::uint32_t>((*bytes)[3]) << 24;
}

std::optional<std::string> WindowsRegistry::readString(const std::string& key, const std::string& name) const {
    const auto bytes = readValue(key, name, REG_SZ);
    if (!bytes) return std::nullopt;
    // The text up to its first zero; a value stored without one is taken whole.
    std::string text(bytes->begin(), bytes->end());
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

std::optional<std::vector<std::uint8_t>> WindowsRegistry::readBinary(const std::string& key,
                                                                    const std::string& name) const {
    return readValue(key, name, REG_BINARY);
}

bool WindowsRegistry::writeDword(const std::string& key, const std::string& name, std::uint32_t value) {
    const DWORD data = value;
    return writeValue(key, name, REG_DWORD, &data, sizeof(data));
}

bool WindowsRegistry::writeString(const std::string& key, const std::string& name, const std::string& value) {
    // Stored with its terminating zero.
    return writeValue(key, name, REG_SZ, value.c_str(), value.size() + 1);
}

bool WindowsRegistry::writeBinary(const std::string& key, const std::string& name,
                                  const std::vector<std::uint8_t>& value) {
    return writeValue(key, name, REG_BINARY, value.data(), value.size());
}

}  // namespace platform
