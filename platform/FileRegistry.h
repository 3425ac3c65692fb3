// The registry on Linux: a text file in the format of a Windows registry
// export. Value names are matched without regard to case, a missing file is
// a missing key, malformed lines are skipped, values the plug-in does not
// know are kept, and every write replaces the file only once the new content
// is complete.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace platform {

class FileRegistry : public Registry {
public:
    explicit FileRegistry(std::string path) : path_(std::move(path)) {}

    // $XDG_CONFIG_HOME/Vok/Tamborik.reg, or ~/.config/Vok/Tamborik.reg.
    static std::string defaultPath();

    const std::string& path() const { return path_; }

    bool keyExists(const std::string& key) const override;
    std::optional<std::uint32_t> readDword(const std::string& key, const std::string& name) const override;
    std::optional<std::string> readString(const std::string& key, const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                        const std::string& name) const override;
    bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) override;
    bool writeString(const std::string& key, const std::string& name, const std::string& value) override;
    bool writeBinary(const std::string& key, const std::string& name,
                     const std::vector<std::uint8_t>& value) override;

private:
    bool write(const std::string& key, const std::string& name, const std::string& data);

    std::string path_;
};

}  // namespace platform
