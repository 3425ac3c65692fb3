#include "persist/ProgramImage.h"

#include <algorithm>
#include <cstring>

namespace persist {
namespace {
std::uint32_t dummyWord = 0;
}

ProgramImage::ProgramImage(std::int32_t pluginId, int parameterCount, std::string name)
    : pluginId_(pluginId), name_(std::move(name)) {
    setParameterCount(parameterCount);
}

void ProgramImage::setParameterCount(int count) {
    words_.resize(static_cast<std::size_t>(std::max(count, 0)), 0u);
}

std::uint32_t& ProgramImage::parameterWord(int index) {
    if (words_.empty()) return dummyWord = 0;
    return words_[static_cast<std::size_t>(std::clamp(index, 0, parameterCount() - 1))];
}

std::uint32_t ProgramImage::parameterWord(int index) const {
    if (words_.empty()) return 0;
    return words_[static_cast<std::size_t>(std::clamp(index, 0, parameterCount() - 1))];
}

float ProgramImage::parameter(int index) const {
    const std::uint32_t word = parameterWord(index);
    float value;
    std::memcpy(&value, &word, sizeof(value));
    return value;
}

void ProgramImage::setParameter(int index, float value) {
    std::uint32_t word;
    std::memcpy(&word, &value, sizeof(word));
    parameterWord(index) = word;
}

BankImage::BankImage(std::int32_t pluginId, int programCount, int parameterCount, std::string name)
    : pluginId_(pluginId), parameterCount_(parameterCount), name_(std::move(name)),
      programs_(static_cast<std::size_t>(std::max(programCount, 1))) {
    for (ProgramImage& program : programs_) {
        program.setParameterCount(parameterCount);
        program.setPluginId(pluginId);
    }
}

void BankImage::setParameterCount(int count) {
    parameterCount_ = count;
    for (ProgramImage& program : programs_) program.setParameterCount(count);
}

ProgramImage& BankImage::program(int index) {
    return programs_[static_cast<std::size_t>(std::clamp(index, 0, programCount() - 1))];
}

const ProgramImage& BankImage::program(int index) const {
    return programs_[static_cast<std::size_t>(std::clamp(index, 0, programCount() - 1))];
}

}  // namespace persist
