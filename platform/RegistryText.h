// Reading and writing the text of a registry export: sections of keys, each
// with its values as "name"=data lines, data kept as written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct RegistryValue {
    std::string name;  // as written, unescaped
    std::string data;  // the text after "=": dword:…, "…", hex:…
};

struct RegistryKey {
    std::string path;  // e.g. HKEY_CURRENT_USER\Software\Vok\Tamborik
    std::vector<RegistryValue> values;
};

struct RegistryText {
    std::vector<RegistryKey> keys;

    static RegistryText parse(const std::string& text);
    std::string format() const;

    // Matching without regard to case; null when absent.
    const RegistryKey* findKey(const std::string& path) const;
    RegistryKey& keyFor(const std::string& path);
    static const RegistryValue* findValue(const RegistryKey& key, const std::string& name);
};

// Value data in the export's notation.
std::string dwordData(std::uint32_t value);
std::string stringData(const std::string& value);
std::string binaryData(const std::vector<std::uint8_t>& value);
std::optional<std::uint32_t> parseDword(const std::string& data);
std::optional<std::string> parseString(const std::string& data);
std::optional<std::vector<std::uint8_t>> parseBinary(const std::string& data);

}  // namespace platform
