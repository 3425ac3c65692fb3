#include "platform/RegistryText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace platform {
namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWithFolded(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// Reads a quoted text starting at text[at] == '"'; *end is set past the
// closing quote. False when there is none.
bool readQuoted(const std::string& text, std::size_t at, std::string* out, std::size_t* end) {
    out->clear();
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            *out += text[++i];
        } else if (text[i] == '"') {
            *end = i + 1;
            return true;
        } else {
            *out += text[i];
        }
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Joins the lines of the text, continuing those that end in a backslash.
std::vector<std::string> logicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = trim(line);
        if (!trimmed.empty() && trimmed.back() == '\\') {
            current += trim(trimmed.substr(0, trimmed.size() - 1));
        } else {
            current += current.empty() ? line : trimmed;
            lines.push_back(current);
            current.clear();
        }
        start = end + 1;
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

}  // namespace

RegistryText RegistryText::parse(const std::string& text) {
    RegistryText result;
    RegistryKey* key = nullptr;
    for (const std::string& raw : logicalLines(text)) {
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            key = &result.keyFor(line.substr(1, line.size() - 2));
            continue;
        }
        if (!key) continue;
        RegistryValue value;
        std::size_t after = 0;
        if (line[0] == '"') {
            if (!readQuoted(line, 0, &value.name, &after)) continue;
        } else if (line[0] == '@') {
            after = 1;
        } else {
            continue;
        }
        const std::string rest = trim(line.substr(after));
        if (rest.empty() || rest[0] != '=') continue;
        value.data = trim(rest.substr(1));
        // A later line for the same name replaces an earlier one.
        auto same = std::find_if(key->values.begin(), key->values.end(),
                                 [&](const RegistryValue& v) { return lower(v.name) == lower(value.name); });
        if (same != key->values.end()) same->data = value.data;
        else key->values.push_back(value);
    }
    return result;
}

std::string RegistryText::format() const {
    std::string out = "Windows Registry Editor Version 5.00\n";
    for (const RegistryKey& key : keys) {
        out += "\n[" + key.path + "]\n";
        for (const RegistryValue& value : key.values) {
            out += (value.name.empty() ? std::string("@") : "\"" + escaped(value.name) + "\"") + "=" + value.data;
            // Data ending in a backslash would join the next line to it:
            // write it as a continued line whose continuation is empty.
            out += !value.data.empty() && value.data.back() == '\\' ? "\\\n\n" : "\n";
        }
    }
    return out;
}

const RegistryKey* RegistryText::findKey(const std::string& path) const {
    for (const RegistryKey& key : keys)
        if (lower(key.path) == lower(path)) return &key;
    return nullptr;
}

RegistryKey& RegistryText::keyFor(const std::string& path) {
    for (RegistryKey& key : keys)
        if (lower(key.path) == lower(path)) return key;
    keys.push_back({path, {}});
    return keys.back();
}

const RegistryValue* RegistryText::findValue(const RegistryKey& key, const std::string& name) {
    for (const RegistryValue& value : key.values)
        if (lower(value.name) == lower(name)) return &value;
    return nullptr;
}

std::string dwordData(std::uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), "dword:%08x", value);
    return text;
}

std::string stringData(const std::string& value) {
    return "\"" + escaped(value) + "\"";
}

std::string binaryData(const std::vector<std::uint8_t>& value) {
    std::string out = "hex:";
    char byte[4];
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::snprintf(byte, sizeof(byte), "%02x", value[i]);
        if (i) out += ',';
        out += byte;
    }
    return out;
}

std::optional<std::uint32_t> parseDword(const std::string& data) {
    if (!startsWithFolded(data, "dword:")) return std::nullopt;
    const std::string digits = trim(data.substr(6));
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

std::optional<std::string> parseString(const std::string& data) {
    if (data.empty() || data[0] != '"') return std::nullopt;
    std::string value;
    std::size_t end = 0;
    if (!readQuoted(data, 0, &value, &end) || trim(data.substr(end)).size() != 0) return std::nullopt;
    return value;
}

std::optional<std::vector<std::uint8_t>> parseBinary(const std::string& data) {
    if (!startsWithFolded(data, "hex:")) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    const std::string list = data.substr(4);
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string item = trim(list.substr(start, comma - start));
        if (item.empty() || item.size() > 2) return std::nullopt;
        int value = 0;
        for (char c : item) {
            const int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            value = value * 16 + d;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        start = comma + 1;
    }
    return bytes;
}

}  // namespace platform
