#include "host/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host {

std::vector<std::vector<float>> renderOutputs(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                              std::int64_t frames, const std::function<void(double)>& progress) {
    const int block = instance.options().blockSize;
    const double rate = instance.options().sampleRate;
    frames = std::max<std::int64_t>(frames, 0);
    const auto outputs = static_cast<std::size_t>(std::max(0, instance.numOutputs()));
    std::vector<std::vector<float>> result(outputs, std::vector<float>(static_cast<std::size_t>(frames)));
    // A plug-in without outputs still gets one buffer to write nothing into.
    std::vector<std::vector<float>> buffers(std::max<std::size_t>(outputs, 1),
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
        for (std::size_t j = 0; j < outputs; ++j)
            std::memcpy(result[j].data() + start, buffers[j].data(), sizeof(float) * static_cast<std::size_t>(n));
        if (progress) progress(static_cast<double>(start + n) / static_cast<double>(frames));
    }
    return result;
}

std::vector<std::vector<float>> foldToStereo(const std::vector<std::vector<float>>& outputs) {
    const std::size_t frames = outputs.empty() ? 0 : outputs[0].size();
    std::vector<std::vector<float>> result(2, std::vector<float>(frames));
    if (outputs.size() == 1) {
        result[0] = result[1] = outputs[0];
        return result;
    }
    for (std::size_t j = 0; j < outputs.size(); ++j) {
        float* target = result[j % 2].data();
        for (std::size_t i = 0; i < frames; ++i) target[i] += outputs[j][i];
    }
    return result;
}

std::vector<std::vector<float>> renderSequence(PluginInstance& instance, const std::vector<TimedMessage>& messages,
                                               std::int64_t frames, const std::function<void(double)>& progress) {
    auto stereo = foldToStereo(renderOutputs(instance, messages, frames, progress));
    if (stereo[0].empty() && frames > 0)  // a plug-in without outputs renders silence
        stereo.assign(2, std::vector<float>(static_cast<std::size_t>(frames)));
    return stereo;
}

}  // namespace host
