#include "platform/FileRegistry.h"

#include <cstdlib>
#include <filesystem>

#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/RegistryText.h"

namespace platform {
namespace {

constexpr std::size_t kMaxFileBytes = 1u << 20;

std::string fullKey(const std::string& key) {
    return "HKEY_CURRENT_USER\\" + key;
}

}  // namespace

// The file's content; nothing when it exists but cannot be read whole (a
// folder or FIFO in its place, no permission, absurdly large, or cut short:
// empty, or its last line unended, as an editor leaves it while saving). A
// missing file is empty.
std::optional<RegistryText> FileRegistry::load() const {
    std::error_code error;
    if (path_.empty() || (!std::filesystem::exists(path_, error) && !error)) return RegistryText{};
    auto bytes = readWholeFile(path_, kMaxFileBytes);
    if (!bytes || bytes->empty() || bytes->back() != '\n') {
        ++unreadableReads_;
        return std::nullopt;
    }
    return RegistryText::parse(std::string(bytes->begin(), bytes->end()));
}

namespace {

const RegistryValue* findValue(const std::optional<RegistryText>& text, const std::string& key,
                               const std::string& name) {
    if (!text) return nullptr;
    const RegistryKey* found = text->findKey(fullKey(key));
    return found ? RegistryText::findValue(*found, name) : nullptr;
}

}  // namespace

std::string FileRegistry::defaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    return base + "/Vok/Tamborik.reg";
}

bool FileRegistry::keyExists(const std::string& key) const {
    const auto text = load();
    return text && text->findKey(fullKey(key)) != nullptr;
}

std::optional<std::uint32_t> FileRegistry::readDword(const std::string& key, const std::string& name) const {
    const auto text = load();
    const RegistryValue* value = findValue(text, key, name);
    return value ? parseDword(value->data) : std::nullopt;
}

std::optional<std::string> FileRegistry::readString(const std::string& key, const std::string& name) const {
    const auto text = load();
    const RegistryValue* value = findValue(text, key, name);
    return value ? parseString(value->data) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> FileRegistry::readBinary(const std::string& key,
                                                                  const std::string& name) const {
    const auto text = load();
    const RegistryValue* value = findValue(text, key, name);
    return value ? parseBinary(value->data) : std::nullopt;
}

bool FileRegistry::write(const std::string& key, const std::string& name, const std::string& data) {
    if (path_.empty() || key.empty() || name.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    // Other processes write the same file: the values they wrote since this
    // one last read it are read again and kept.
    const FileLock lock(path_);
    if (!lock.acquired()) return false;
    auto text = load();
    if (!text) return false;  // never replace a file we could not read whole
    RegistryKey& target = text->keyFor(fullKey(key));
    bool replaced = false;
    for (RegistryValue& value : target.values) {
        if (RegistryText::findValue(target, name) == &value) {
            // Hosts create and destroy instances often: an unchanged value
            // is not written again.
            if (value.data == data) return true;
            value.data = data;
            replaced = true;
        }
    }
    if (!replaced) target.values.push_back({name, data});
    const std::string content = text->format();
    return writeFileAtomically(path_, std::vector<std::uint8_t>(content.begin(), content.end()));
}

bool FileRegistry::writeDword(const std::string& key, const std::string& name, std::uint32_t value) {
    return write(key, name, dwordData(value));
}

bool FileRegistry::writeString(const std::string& key, const std::string& name, const std::string& value) {
    return write(key, name, stringData(value));
}

bool FileRegistry::writeBinary(const std::string& key, const std::string& name,
                               const std::vector<std::uint8_t>& value) {
    return write(key, name, binaryData(value));
}

}  // namespace platform
