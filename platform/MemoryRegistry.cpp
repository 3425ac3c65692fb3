#include "platform/MemoryRegistry.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool MemoryRegistry::keyExists(const std::string& key) const {
    return keys_.count(folded(key)) != 0;
}

const MemoryRegistry::Value* MemoryRegistry::find(const std::string& key,
                                                  const std::string& name) const {
    auto k = keys_.find(folded(key));
    if (k == keys_.end()) return nullptr;
    auto v = k->second.find(folded(name));
    return v == k->second.end() ? nullptr : &v->second;
}

void MemoryRegistry::store(const std::string& key, const std::string& name, Value value) {
    keys_[folded(key)][folded(name)] = std::move(value);
}

std::optional<std::uint32_t> MemoryRegistry::readDword(const std::string& key,
                                                       const std::string& name) const {
    const Value* value = find(key, name);
    if (value && std::holds_alternative<std::uint32_t>(*value)) return std::get<std::uint32_t>(*value);
    return std::nullopt;
}

std::optional<std::string> MemoryRegistry::readString(const std::string& key,
                                                      const std::string& name) const {
    const Value* value = find(key, name);
    if (value && std::holds_alternative<std::string>(*value)) return std::get<std::string>(*value);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> MemoryRegistry::readBinary(const std::string& key,
                                                                    const std::string& name) const {
    const Value* value = find(key, name);
    if (value && std::holds_alternative<std::vector<std::uint8_t>>(*value))
        return std::get<std::vector<std::uint8_t>>(*value);
    return std::nullopt;
}

bool MemoryRegistry::writeDword(const std::string& key, const std::string& name,
                                std::uint32_t value) {
    store(key, name, value);
    return true;
}

bool MemoryRegistry::writeString(const std::string& key, const std::string& name,
                                 const std::string& value) {
    store(key, name, value);
    return true;
}

bool MemoryRegistry::writeBinary(const std::string& key, const std::string& name,
                                 const std::vector<std::uint8_t>& value) {
    store(key, name, value);
    return true;
}

}  // namespace platform
