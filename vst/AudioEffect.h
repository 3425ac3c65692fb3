// Base of a VST 2 effect: keeps the host callback and the effect record,
// owns the editor, and routes the basic dispatcher commands to virtual
// operations with the customary default answers.
#pragma once

#include "vst/EditorInterface.h"
#include "vst/VstAbi.h"

namespace vst {

class AudioEffect {
public:
    AudioEffect(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);

    virtual void open() {}
    virtual void close() {}

    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { *name = 0; }

    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0; }
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
    virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
    virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }

    virtual float getVu() { return 0; }
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*size*/, bool /*isPreset*/) { return 0; }

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*frames*/) {}
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*frames*/) {}

    // Registers the editor (owned from now on) and announces it to the host.
    void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const { return editor; }

    float getSampleRate() const { return sampleRate; }

    // Calls back to the host: idle time for it during long editor actions,
    // and the start and end of a user's edit of a parameter.
    void masterIdle() { callHost(audioMasterIdle); }
    bool beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
    bool endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }
    VstInt32 getBlockSize() const { return blockSize; }

protected:
    void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    void setNumInputs(VstInt32 count) { cEffect.numInputs = count; }
    void setNumOutputs(VstInt32 count) { cEffect.numOutputs = count; }
    void setFlag(VstInt32 flag, bool on);
    void hasEditor(bool on) { setFlag(effFlagsHasEditor, on); }
    void canProcessReplacing(bool on) { setFlag(effFlagsCanReplacing, on); }
    void hasVu(bool on) { setFlag(effFlagsHasVu, on); }
    void hasClip(bool on) { setFlag(effFlagsHasClip, on); }
    void isSynth(bool on) { setFlag(effFlagsIsSynth, on); }
    void programsAreChunks(bool on) { setFlag(effFlagsProgramChunks, on); }

    // Calls the host; 0 when there is no host callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0) const;
    VstInt32 getMasterVersion() const;

    float sampleRate = 44100.0f;
    AEffEditor* editor = nullptr;
    AudioMasterCallback audioMaster = nullptr;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 curProgram = 0;
    VstInt32 blockSize = 1024;
    AEffect cEffect{};
};

}  // namespace vst
