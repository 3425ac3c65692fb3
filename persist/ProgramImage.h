// One program in transfer form: plug-in ID, parameter words (the bit patterns
// of the floats, copied, never converted) and a name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace persist {

class ProgramImage {
public:
    ProgramImage() = default;
    ProgramImage(std::int32_t pluginId, int parameterCount, std::string name);

    std::int32_t pluginId() const { return pluginId_; }
    void setPluginId(std::int32_t id) { pluginId_ = id; }
    int parameterCount() const { return static_cast<int>(words_.size()); }
    // Keeps the first min(old, n) words; added words are 0.0.
    void setParameterCount(int count);
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }

    // Word i; an index at or past the end names the last word.
    std::uint32_t& parameterWord(int index);
    std::uint32_t parameterWord(int index) const;
    float parameter(int index) const;
    void setParameter(int index, float value);

private:
    std::int32_t pluginId_ = 0;
    std::vector<std::uint32_t> words_;
    std::string name_;
};

// A whole bank in transfer form.
class BankImage {
public:
    BankImage(std::int32_t pluginId, int programCount, int parameterCount, std::string name = {});

    std::int32_t pluginId() const { return pluginId_; }
    int programCount() const { return static_cast<int>(programs_.size()); }
    int parameterCount() const { return parameterCount_; }
    void setParameterCount(int count);
    const std::string& name() const { return name_; }

    // Program i; an index at or past the end names the last program.
    ProgramImage& program(int index);
    const ProgramImage& program(int index) const;

private:
    std::int32_t pluginId_;
    int parameterCount_;
    std::string name_;
    std::vector<ProgramImage> programs_;
};

}  // namespace persist
