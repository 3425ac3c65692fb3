#include "resources/BankSource.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"
#include "plugin/PluginInfo.h"

namespace resources {
namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The stored value of a parameter written in the source's own terms.
bool storedValue(int index, const std::string& name, const std::string& text, float* value) {
    char* end = nullptr;
    if (plugin::param::isKeyMode(index)) {
        if (text == "Drum" || text == "Key") {
            *value = text == "Key" ? 1.0f : 0.0f;
            return true;
        }
        return false;
    }
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != 0) return false;
    if (endsWith(name, "Midi Ch")) {
        if (number < 1 || number > 16) return false;
        *value = static_cast<float>(number - 1) / 15.0f;
    } else if (endsWith(name, "Note")) {
        if (number < 0 || number > 127) return false;
        *value = static_cast<float>(number) / 127.0f;
    } else {
        *value = static_cast<float>(number);
    }
    return true;
}

}  // namespace

std::optional<persist::BankImage> parseBankSource(const std::string& text, std::string* error) {
    std::map<std::string, int> indexOf;
    for (int i = 0; i < plugin::kParameterCount; ++i)
        if (!plugin::parameterName(i).empty()) indexOf[plugin::parameterName(i)] = i;

    float defaults[plugin::kParameterCount] = {};
    struct Program {
        std::string name;
        std::map<int, float> values;
    };
    std::vector<Program> programs;
    bool inDefaults = false;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        auto fail = [&](const std::string& message) {
            if (error) *error = "line " + std::to_string(number) + ": " + message;
            return std::nullopt;
        };
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail("unclosed section header");
            const std::string header = trimmed(line.substr(1, line.size() - 2));
            inDefaults = header == "defaults";
            if (!inDefaults) {
                if (header.rfind("program ", 0) != 0) return fail("unknown section " + header);
                const std::string name = trimmed(header.substr(8));
                if (name.empty() || name.size() > 23) return fail("program names have 1 to 23 characters");
                programs.push_back({name, {}});
            }
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) return fail("expected Name = value");
        const std::string name = trimmed(line.substr(0, equals));
        const auto found = indexOf.find(name);
        if (found == indexOf.end()) return fail("unknown parameter " + name);
        float value = 0.0f;
        if (!storedValue(found->second, name, trimmed(line.substr(equals + 1)), &value))
            return fail("bad value for " + name);
        if (inDefaults) defaults[found->second] = value;
        else if (!programs.empty()) programs.back().values[found->second] = value;
        else return fail("value outside any section");
    }
    if (programs.size() != static_cast<size_t>(plugin::kProgramCount)) {
        if (error) *error = "the bank needs exactly 16 programs, found " + std::to_string(programs.size());
        return std::nullopt;
    }
    persist::BankImage bank(plugin::kUniqueId, plugin::kProgramCount, plugin::kParameterCount);
    for (int p = 0; p < plugin::kProgramCount; ++p) {
        persist::ProgramImage& image = bank.program(p);
        image.setName(programs[static_cast<size_t>(p)].name);
        for (int i = 0; i < plugin::kParameterCount; ++i) image.setParameter(i, defaults[i]);
        for (const auto& [index, value] : programs[static_cast<size_t>(p)].values) image.setParameter(index, value);
    }
    return bank;
}

}  // namespace resources
