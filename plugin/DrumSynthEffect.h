// The VST 2 effect a host talks to: translates the host's calls into the
// instrument's (DrumSynth) and its answers back, and owns the editor.
#pragma once

#include <string>

#include "plugin/DrumSynth.h"
#include "vst/AudioEffectX.h"

namespace plugin {

class DrumSynthEffect : public vst::AudioEffectX, public DrumSynth {
public:
    // Makes the instance's editor; the module passes one, tests may not.
    using EditorFactory = vst::AEffEditor* (*)(DrumSynthEffect& effect);

    DrumSynthEffect(vst::AudioMasterCallback host, platform::Registry& registry,
                    const std::string& modulePath, EditorFactory makeEditor = nullptr);

    // Parameters and programs.
    void setParameter(vst::VstInt32 index, float value) override { DrumSynth::setParameter(index, value); }
    float getParameter(vst::VstInt32 index) override { return DrumSynth::getParameter(index); }
    void getParameterName(vst::VstInt32 index, char* text) override { DrumSynth::getParameterName(index, text); }
    void getParameterLabel(vst::VstInt32 index, char* text) override { DrumSynth::getParameterLabel(index, text); }
    void getParameterDisplay(vst::VstInt32 index, char* text) override {
        DrumSynth::getParameterDisplay(index, text);
    }
    void setProgram(vst::VstInt32 index) override { DrumSynth::setProgram(index); }
    vst::VstInt32 getProgram() override { return DrumSynth::getProgram(); }
    void setProgramName(char* name) override { DrumSynth::setProgramName(name); }
    void getProgramName(char* name) override { DrumSynth::getProgramName(name); }
    bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override {
        return DrumSynth::getProgramNameIndexed(category, index, text);
    }
    bool copyProgram(vst::VstInt32 destination) override { return DrumSynth::copyProgram(destination); }

    // Lifecycle.
    void setSampleRate(float rate) override;
    void setBlockSize(vst::VstInt32 size) override;
    void setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) override;
    void resume() override;
    void suspend() override {}

    // Audio and events; called on the host's audio thread.
    void processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) override;
    void process(float** inputs, float** outputs, vst::VstInt32 frames) override;
    vst::VstInt32 processEvents(vst::VstEvents* events) override;
    vst::VstInt32 fxIdle() override;

    // What the host asks about the plug-in.
    bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 getVendorVersion() override { return kVendorVersion; }
    vst::VstInt32 canDo(char* text) override;
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                  float opt) override;

private:
    void refreshHost() override { updateDisplay(); }
    void parameterAutomated(int index, float value) override {
        callHost(vst::audioMasterAutomate, index, 0, nullptr, value);
    }
    void takeRatesBack();
};

}  // namespace plugin
