#include "host/Renderer.h"

#include <cmath>
#include <cstring>

namespace host {

std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames, const std::function<void(double)>& progress) {
    const int block = instance.options().blockSize;
    const double rate = instance.options().sampleRate;
    const int outputs = std::max(1, instance.numOutputs());
    std::vector<std::vector<float>> result(2, std::vector<float>(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0))));
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(outputs), std::vector<float>(static_cast<std::size_t>(block)));
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
        for (int j = 0; j < outputs; ++j) {
            float* target = result[outputs == 1 ? 0 : j % 2].data() + start;
            for (int i = 0; i < n; ++i) target[i] += buffers[j][i];
        }
        if (outputs == 1) std::memcpy(result[1].data() + start, result[0].data() + start, sizeof(float) * n);
        if (progress) progress(static_cast<double>(start + n) / static_cast<double>(frames));
    }
    return result;
}

}  // namespace host
