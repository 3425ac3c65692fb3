// A registry held in memory: what tests hand the plug-in, and the store the
// module uses until values are kept on disk.
#pragma once

#include <map>
#include <variant>

#include "platform/Registry.h"

namespace platform {

class MemoryRegistry : public Registry {
public:
    using Value = std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>>;

    bool keyExists(const std::string& key) const override;
    std::optional<std::uint32_t> readDword(const std::string& key,
                                           const std::string& name) const override;
    std::optional<std::string> readString(const std::string& key,
                                          const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string& key,
                                                        const std::string& name) const override;
    bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) override;
    bool writeString(const std::string& key, const std::string& name,
                     const std::string& value) override;
    bool writeBinary(const std::string& key, const std::string& name,
                     const std::vector<std::uint8_t>& value) override;

    void clear() { keys_.clear(); }

private:
    const Value* find(const std::string& key, const std::string& name) const;
    void store(const std::string& key, const std::string& name, Value value);

    // Keys and value names are stored lower-cased.
    std::map<std::string, std::map<std::string, Value>> keys_;
};

}  // namespace platform
