// Plays timed notes through the built module, block by block as a host
// does, and keeps the output.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"

namespace testing_support {

struct TimedNote {
    std::int64_t frame;
    int channel;  // 0-15
    int note;
    int velocity;
};

class ModulePlayer {
public:
    ModulePlayer(const host::PluginModule& module, float sampleRate = 44100.0f, int blockSize = 256)
        : blockSize_(blockSize) {
        host::HostOptions options;
        options.sampleRate = sampleRate;
        options.blockSize = blockSize;
        instance = host::PluginInstance::create(module, options);
        if (instance) instance->start();
    }

    void selectProgram(int program) { instance->dispatch(vst::effSetProgram, 0, program); }
    void set(int index, float value) { instance->setParameter(index, value); }

    // Renders frames samples with the notes (sorted by frame) at their
    // frames; before each block, automate(first frame of the block) may
    // change parameters. Returns the left and right outputs summed.
    template <typename Automation>
    std::vector<float> play(const std::vector<TimedNote>& notes, std::int64_t frames, Automation automate) {
        std::vector<float> out(static_cast<size_t>(frames));
        std::vector<std::vector<float>> channels(static_cast<size_t>(instance->numOutputs()),
                                                 std::vector<float>(static_cast<size_t>(blockSize_)));
        std::vector<float*> pointers;
        for (auto& channel : channels) pointers.push_back(channel.data());
        size_t next = 0;
        for (std::int64_t start = 0; start < frames; start += blockSize_) {
            const int n = static_cast<int>(std::min<std::int64_t>(blockSize_, frames - start));
            automate(start);
            std::vector<vst::VstMidiEvent> events;
            while (next < notes.size() && notes[next].frame < start + n) {
                const TimedNote& note = notes[next++];
                events.push_back(host::PluginInstance::midiEvent(static_cast<int>(note.frame - start),
                                                                 0x90 | note.channel, note.note, note.velocity));
            }
            if (!events.empty()) instance->sendMidi(events);
            instance->processReplacing(pointers.data(), n);
            for (int i = 0; i < n; ++i) {
                float sum = 0.0f;
                for (auto& channel : channels) sum += channel[static_cast<size_t>(i)];
                out[static_cast<size_t>(start + i)] = sum;
            }
        }
        return out;
    }
    std::vector<float> play(const std::vector<TimedNote>& notes, std::int64_t frames) {
        return play(notes, frames, [](std::int64_t) {});
    }

    std::unique_ptr<host::PluginInstance> instance;

private:
    int blockSize_;
};

// Largest magnitude over [from, to); infinity if any sample is not finite.
inline float peakBetween(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t i = from; i < samples.size() && i < to; ++i) {
        if (!std::isfinite(samples[i])) return INFINITY;
        peak = std::max(peak, std::abs(samples[i]));
    }
    return peak;
}

// FNV-1a over the bit patterns of the samples.
inline std::uint64_t sampleHash(const std::vector<float>& samples, std::uint64_t hash = 14695981039346656037ull) {
    for (float sample : samples) {
        std::uint32_t bits;
        std::memcpy(&bits, &sample, sizeof(bits));
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (bits >> (8 * byte)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

}  // namespace testing_support
