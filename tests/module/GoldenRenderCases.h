// The golden renders: each voice alone and the demo groove through every
// factory program, at two sample rates, three block sizes and in each output
// mode, through a module's entry point; one hash of the samples per case.
// The module test compares them with recorded hashes, the i686 check with
// the same cases computed by a 32-bit build.
#pragma once

#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/Renderer.h"
#include "plugin/PluginInfo.h"

namespace golden {

// Program "Tamborik": the notes of the ten voices on channel 1, and the
// hihat's open note.
constexpr int kVoiceNotes[10] = {36, 41, 38, 40, 37, 43, 39, 51, 42, 49};
constexpr int kOpenHihatNote = 46;

constexpr float kSampleRates[] = {44100.0f, 96000.0f};
constexpr int kBlockSizes[] = {1, 64, 512};
constexpr double kVoiceSeconds = 0.3;
// The first bar of the groove sounds every voice, retriggers included.
constexpr double kGrooveSeconds = 2.0;

// The output modes the module is opened in (ten mono outputs, ten stereo
// pairs, one pair), and the cases of each.
constexpr int kOutputModes = 3;
constexpr std::size_t kCasesPerMode =
    std::size(kSampleRates) * std::size(kBlockSizes) * (plugin::kVoiceCount + plugin::kProgramCount);

inline host::TimedMessage noteOn(double seconds, int note, int velocity) {
    host::TimedMessage message;
    message.seconds = seconds;
    message.bytes[0] = 0x90;
    message.bytes[1] = static_cast<std::uint8_t>(note);
    message.bytes[2] = static_cast<std::uint8_t>(velocity);
    message.size = 3;
    return message;
}

// A loud hit, and a softer one while the first still rings; the hihat
// closed, then open.
inline std::vector<host::TimedMessage> voiceAlone(int voice) {
    const int second = voice == plugin::kHihat ? kOpenHihatNote : kVoiceNotes[voice];
    return {noteOn(0.0, kVoiceNotes[voice], 127), noteOn(0.1, second, 80)};
}

// FNV-1a over the bit patterns of every output, block by block.
inline std::uint64_t renderHash(host::PluginInstance& instance, const std::vector<host::TimedMessage>& messages,
                         double seconds) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto frames = static_cast<std::int64_t>(seconds * instance.options().sampleRate);
    host::renderBlocks(instance, messages, frames, [&](const float* const* outputs, int n, double) {
        for (int j = 0; j < instance.numOutputs(); ++j)
            for (int i = 0; i < n; ++i) {
                std::uint32_t bits;
                std::memcpy(&bits, &outputs[j][i], sizeof(bits));
                for (int byte = 0; byte < 4; ++byte) {
                    hash ^= (bits >> (8 * byte)) & 0xFFu;
                    hash *= 1099511628211ull;
                }
            }
        return true;
    });
    return hash;
}

// Every case of one output mode, in a fixed order.
inline std::vector<std::uint64_t> renderMode(const host::PluginModule& module) {
    std::vector<std::uint64_t> hashes;
    for (float rate : kSampleRates)
        for (int block : kBlockSizes) {
            host::HostOptions options;
            options.sampleRate = rate;
            options.blockSize = block;
            options.sendsIdle = false;
            for (int voice = 0; voice < plugin::kVoiceCount; ++voice) {
                auto instance = host::PluginInstance::create(module, options);
                instance->start();
                instance->dispatch(vst::effSetProgram, 0, 0);
                hashes.push_back(renderHash(*instance, voiceAlone(voice), kVoiceSeconds));
            }
            for (int program = 0; program < plugin::kProgramCount; ++program) {
                auto instance = host::PluginInstance::create(module, options);
                instance->start();
                instance->dispatch(vst::effSetProgram, 0, program);
                hashes.push_back(renderHash(*instance, host::demoGroove(*instance), kGrooveSeconds));
            }
        }
    return hashes;
}

}  // namespace golden
