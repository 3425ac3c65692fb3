// The registry on Linux: a text file in the format of a Windows registry
// export. Value names are matched without regard to case, a missing file is
// a missing key, malformed lines are skipped, values the plug-in does not
// know are kept. Every write reads the file again under a FileLock, changes
// its one value and replaces the file whole; a file that cannot be read
// whole is never replaced.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "platform/RegistryText.h"

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

    unsigned unreadableReads() const override { return unreadableReads_; }

private:
    std::optional<RegistryText> load() const;
    bool write(const std::string& key, const std::string& name, const std::string& data);

    std::string path_;
    mutable std::atomic<unsigned> unreadableReads_{0};
};

}  // namespace platform
