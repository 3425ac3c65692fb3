// The extended VST 2 effect base: the 2.x dispatcher commands with their
// customary default answers, and the wrappers for calls back to the host.
#pragma once

#include "vst/AudioEffect.h"

namespace vst {

struct VstSpeakerArrangement;

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual VstInt32 getNumCategories() { return 1; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
        return false;
    }
    virtual bool copyProgram(VstInt32 /*destination*/) { return false; }
    virtual void inputConnected(VstInt32 /*index*/, bool /*state*/) {}
    virtual void outputConnected(VstInt32 /*index*/, bool /*state*/) {}
    virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual VstInt32 getPlugCategory();
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate) {
        blockSize = size;
        sampleRate = rate;
    }
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/,
                                     float /*opt*/) {
        return 0;
    }
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual VstInt32 fxIdle() { return 0; }
    virtual bool getParameterProperties(VstInt32 /*index*/, void* /*properties*/) { return false; }
    virtual bool keysRequired() { return false; }
    virtual VstInt32 getVstVersion() { return 2300; }
    virtual VstInt32 getCurrentMidiProgram(VstInt32 /*channel*/, void* /*program*/) { return -1; }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input,
                                       VstSpeakerArrangement** output);
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    // Asks the host to read the programs and parameters again.
    bool updateDisplay();
    // Asks the host to make the editor's window width x height; false when it will not.
    bool sizeWindow(VstInt32 width, VstInt32 height);

protected:
    bool wantEvents(VstInt32 filter = 1);
    bool needIdle();
};

}  // namespace vst
