// The per-user settings store the plug-in keeps its values in: the Windows
// registry, or a registry-export text file on Linux. Value names are matched
// without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Registry {
public:
    virtual ~Registry() = default;

    virtual bool keyExists(const std::string& key) const = 0;
    virtual std::optional<std::uint32_t> readDword(const std::string& key,
                                                   const std::string& name) const = 0;
    virtual std::optional<std::string> readString(const std::string& key,
                                                  const std::string& name) const = 0;
    virtual std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                                const std::string& name) const = 0;
    virtual bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) = 0;
    virtual bool writeString(const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    virtual bool writeBinary(const std::string& key, const std::string& name,
                             const std::vector<std::uint8_t>& value) = 0;

    // How many reads so far met a store that exists but could not be read
    // whole; they answered as if it were missing. What such a read assumed
    // must never be written back as if it had been stored.
    virtual unsigned unreadableReads() const { return 0; }
};

// The registry the plug-in module uses in this process.
Registry& processRegistry();

}  // namespace platform
