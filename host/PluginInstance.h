// One plug-in instance driven the way a host drives it: the host callback,
// the dispatcher, parameters and audio blocks.
#pragma once

#include <memory>
#include <vector>

#include "host/PluginModule.h"

namespace host {

struct HostOptions {
    float sampleRate = 44100.0f;
    int blockSize = 512;
    // The answer to audioMasterVersion; 0 makes a plug-in refuse to load.
    vst::VstIntPtr hostVersion = 2400;
    // Whether the host promises effIdle calls (audioMasterNeedIdle).
    bool sendsIdle = true;
};

class PluginInstance {
public:
    // Calls the entry point; null when the plug-in refuses to be created.
    static std::unique_ptr<PluginInstance> create(const PluginModule& module,
                                                  const HostOptions& options = {});
    ~PluginInstance();  // closes the effect
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    vst::AEffect* effect() const { return effect_; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    // Sets sample rate and block size and resumes, as hosts do before audio.
    void start();
    void stop();
    void setParameter(int index, float value);
    float getParameter(int index);
    void processReplacing(float** outputs, int frames);
    // Hands the plug-in one block's MIDI messages through effProcessEvents.
    vst::VstIntPtr sendMidi(const std::vector<vst::VstMidiEvent>& events);
    static vst::VstMidiEvent midiEvent(int frame, int status, int data1, int data2);
    int numOutputs() const { return effect_->numOutputs; }

    // The opcodes of every call the plug-in made to the host, in order.
    const std::vector<vst::VstInt32>& hostCalls() const { return hostCalls_; }
    void clearHostCalls() { hostCalls_.clear(); }
    const HostOptions& options() const { return options_; }

private:
    explicit PluginInstance(const HostOptions& options) : options_(options) {}
    static vst::VstIntPtr callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                   vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answer(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                          float opt);

    HostOptions options_;
    vst::AEffect* effect_ = nullptr;
    std::vector<vst::VstInt32> hostCalls_;
};

}  // namespace host
