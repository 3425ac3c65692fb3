#include "host/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host {

bool renderBlocks(PluginInstance& instance, const std::vector<TimedMessage>& messages, std::int64_t frames,
                  const BlockSink& sink) {
    const int block = instance.options().blockSize;
    const double rate = instance.options().sampleRate;
    // A plug-in without outputs still gets one buffer to write nothing into.
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(std::max(1, instance.numOutputs())),
                                            std::vector<float>(static_cast<std::size_t>(block)));
    std::vector<float*> pointers;
    for (auto& buffer : buffers) pointers.push_back(buffer.data());

    std::vector<vst::VstMidiEvent> midi;
    std::vector<vst::VstEvent*> eventPointers;
    std::vector<std::uint8_t> eventList;
    std::size_t next = 0;
    for (std::int64_t start = 0; start < frames; start += block) {
        const int n = static_cast<int>(std::min<std::int64_t>(block, frames - start));
        midi.clear();
        while (next < messages.size()) {
            const std::int64_t frame = static_cast<std::int64_t>(std::llround(messages[next].seconds * rate));
            if (frame >= start + n) break;
            vst::VstMidiEvent event{};
            event.type = vst::kVstMidiType;
            event.byteSize = sizeof(vst::VstMidiEvent);
            event.deltaFrames = static_cast<vst::VstInt32>(std::max<std::int64_t>(frame - start, 0));
            for (int b = 0; b < messages[next].size; ++b) event.midiData[b] = static_cast<char>(messages[next].bytes[b]);
            midi.push_back(event);
            ++next;
        }
        if (!midi.empty()) {
            eventPointers.clear();
            for (auto& event : midi) eventPointers.push_back(reinterpret_cast<vst::VstEvent*>(&event));
            eventList.assign(sizeof(vst::VstEvents) + eventPointers.size() * sizeof(vst::VstEvent*), 0);
            auto* list = reinterpret_cast<vst::VstEvents*>(eventList.data());
            list->numEvents = static_cast<vst::VstInt32>(eventPointers.size());
            std::memcpy(list->events, eventPointers.data(), eventPointers.size() * sizeof(vst::VstEvent*));
            instance.dispatch(vst::effProcessEvents, 0, 0, list);
        }
        instance.processReplacing(pointers.data(), n);
        if (!sink(pointers.data(), n, static_cast<double>(start + n) / static_cast<double>(frames))) return false;
    }
    return true;
}

std::vector<std::vector<int>> stereoFold(int outputs) {
    if (outputs == 1) return {{0}, {0}};
    std::vector<std::vector<int>> channels(2);
    for (int j = 0; j < outputs; ++j) channels[static_cast<std::size_t>(j % 2)].push_back(j);
    return channels;
}

std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames, const std::function<void(double)>& progress) {
    const auto fold = stereoFold(instance.numOutputs());
    std::vector<std::vector<float>> result(2);
    renderBlocks(instance, messages, frames, [&](const float* const* outputs, int n, double done) {
        for (std::size_t c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i) {
                float sum = 0.0f;
                for (int j : fold[c]) sum += outputs[j][i];
                result[c].push_back(sum);
            }
        if (progress) progress(done);
        return true;
    });
    return result;
}

}  // namespace host
