// The registry on Windows: keys below HKEY_CURRENT_USER. Values of another
// type than the one asked for, or numbers of another size than 4 bytes,
// count as absent; strings of any length are read whole.
#pragma once

#include "platform/Registry.h"

namespace platform {

class WindowsRegistry : public Registry {
public:
    bool keyExists(const std::string& key) const override;
    std::optional<std::uint32_t> readDword(const std::string& key, const std::string& name) const override;
    std::optional<std::string> readString(const std::string& key, const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                        const std::string& name) const override;
    bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) override;
    bool writeString(const std::string& key, const std::string& name, const std::string& value) override;
    bool writeBinary(const std::string& key, const std::string& name,
                     const std::vector<std::uint8_t>& value) override;
};

}  // namespace platform
