// The rendering engine gives exactly the samples it gave when these hashes
// were recorded, whatever is done to make it faster: each voice alone and
// the demo groove through every factory program, at two sample rates, three
// block sizes and in each output mode, through the built module.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "host/Renderer.h"
#include "plugin/PluginInfo.h"

namespace {

// Program "Tamborik": the notes of the ten voices on channel 1, and the
// hihat's open note.
constexpr int kVoiceNotes[10] = {36, 41, 38, 40, 37, 43, 39, 51, 42, 49};
constexpr int kOpenHihatNote = 46;

constexpr float kSampleRates[] = {44100.0f, 96000.0f};
constexpr int kBlockSizes[] = {1, 64, 512};
constexpr double kVoiceSeconds = 0.3;
// The first bar of the groove sounds every voice, retriggers included.
constexpr double kGrooveSeconds = 2.0;

host::TimedMessage noteOn(double seconds, int note, int velocity) {
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
std::vector<host::TimedMessage> voiceAlone(int voice) {
    const int second = voice == plugin::kHihat ? kOpenHihatNote : kVoiceNotes[voice];
    return {noteOn(0.0, kVoiceNotes[voice], 127), noteOn(0.1, second, 80)};
}

// FNV-1a over the bit patterns of every output, block by block.
std::uint64_t renderHash(host::PluginInstance& instance, const std::vector<host::TimedMessage>& messages,
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
std::vector<std::uint64_t> renderMode(const host::PluginModule& module) {
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

const std::uint64_t kRecorded[3][2 * 3 * (plugin::kVoiceCount + plugin::kProgramCount)] = {
#include "GoldenRenderHashes.inc"
};

class GoldenRender : public ::testing::TestWithParam<int> {};

TEST_P(GoldenRender, EveryCaseGivesItsRecordedSamples) {
    const int mode = GetParam();
    std::string error;
    auto settings = host::PrivateSettings::prepare(TAMBORIK_MODULE_PATH, mode, &error);
    ASSERT_TRUE(settings) << error;
    auto module = host::PluginModule::load(settings->modulePath(), &error);
    ASSERT_TRUE(module) << error;
    const std::vector<std::uint64_t> hashes = renderMode(*module);
    ASSERT_EQ(hashes.size(), std::size(kRecorded[mode]));
    std::string table = "{\n";
    for (size_t k = 0; k < hashes.size(); ++k) {
        char line[64];
        std::snprintf(line, sizeof(line), "0x%016llxull,\n", static_cast<unsigned long long>(hashes[k]));
        table += line;
        EXPECT_EQ(hashes[k], kRecorded[mode][k]) << "case " << k;
    }
    if (::testing::Test::HasFailure()) std::printf("hashes now, mode %d:\n%s},\n", mode, table.c_str());
}

INSTANTIATE_TEST_SUITE_P(OutputModes, GoldenRender, ::testing::Values(0, 1, 2));

}  // namespace
