// Drives a built module through its entry point as a host does, for the
// benchmarks: private settings for the output mode, one instance, prepared
// note events and the host's output buffers.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "plugin/PluginInfo.h"

namespace bench {

// Program "Tamborik": the notes of the ten voices on channel 1.
constexpr int kVoiceNotes[plugin::kVoiceCount] = {36, 41, 38, 40, 37, 43, 39, 51, 42, 49};
// Every voice is struck again this often, so that all keep sounding.
constexpr int kRetriggerFrames = 4096;
// A faster roll: each voice struck again while it rings louder.
constexpr int kFastRetriggerFrames = 1024;

// A block's worth of MIDI events in the layout effProcessEvents reads.
class EventList {
public:
    void add(int frame, int status, int data1, int data2) {
        events_.push_back(host::PluginInstance::midiEvent(frame, status, data1, data2));
    }
    vst::VstEvents* list() {
        pointers_.clear();
        for (auto& event : events_) pointers_.push_back(reinterpret_cast<vst::VstEvent*>(&event));
        bytes_.assign(sizeof(vst::VstEvents) + pointers_.size() * sizeof(vst::VstEvent*), 0);
        auto* events = reinterpret_cast<vst::VstEvents*>(bytes_.data());
        events->numEvents = static_cast<vst::VstInt32>(pointers_.size());
        std::memcpy(events->events, pointers_.data(), pointers_.size() * sizeof(vst::VstEvent*));
        return events;
    }

private:
    std::vector<vst::VstMidiEvent> events_;
    std::vector<vst::VstEvent*> pointers_;
    std::vector<std::uint8_t> bytes_;
};

class EntryPointLoad {
public:
    // outputMode: 0 ten mono, 1 ten stereo, 2 one stereo pair.
    EntryPointLoad(const std::string& modulePath, int outputMode, int blockSize, float sampleRate = 44100.0f) {
        std::string error;
        settings_ = host::PrivateSettings::prepare(modulePath, outputMode, &error);
        if (!settings_) throw std::runtime_error(error);
        module_ = host::PluginModule::load(settings_->modulePath(), &error);
        if (!module_) throw std::runtime_error(error);
        host::HostOptions options;
        options.sampleRate = sampleRate;
        options.blockSize = blockSize;
        options.sendsIdle = false;
        instance_ = host::PluginInstance::create(*module_, options);
        if (!instance_) throw std::runtime_error("the module refused to create an instance");
        instance_->start();
        instance_->dispatch(vst::effSetProgram, 0, 0);
        buffers_.assign(static_cast<size_t>(instance_->numOutputs()),
                        std::vector<float>(static_cast<size_t>(blockSize)));
        for (auto& buffer : buffers_) pointers_.push_back(buffer.data());
        blockSize_ = blockSize;
    }
    ~EntryPointLoad() {
        instance_.reset();
        module_.reset();
    }

    host::PluginInstance& instance() { return *instance_; }
    float** outputs() { return pointers_.data(); }
    int outputCount() const { return static_cast<int>(pointers_.size()); }

    // Strikes the given voices (-1: all ten) again every so many frames.
    void keepSounding(int voice, int everyFrames = kRetriggerFrames) {
        for (int v = 0; v < plugin::kVoiceCount; ++v)
            if (voice < 0 || v == voice) strikes_.add(0, 0x90, kVoiceNotes[v], 127);
        strikeList_ = strikes_.list();
        retriggerFrames_ = everyFrames;
    }

    // One block as a host renders it: the strikes when due, then the audio.
    void renderBlock() {
        if (strikeList_ && framesToStrike_ <= 0) {
            instance_->dispatch(vst::effProcessEvents, 0, 0, strikeList_);
            framesToStrike_ += retriggerFrames_;
        }
        framesToStrike_ -= blockSize_;
        instance_->processReplacing(pointers_.data(), blockSize_);
    }

private:
    std::unique_ptr<host::PrivateSettings> settings_;
    std::unique_ptr<host::PluginModule> module_;
    std::unique_ptr<host::PluginInstance> instance_;
    std::vector<std::vector<float>> buffers_;
    std::vector<float*> pointers_;
    EventList strikes_;
    vst::VstEvents* strikeList_ = nullptr;
    int framesToStrike_ = 0;
    int retriggerFrames_ = kRetriggerFrames;
    int blockSize_ = 0;
};

}  // namespace bench
