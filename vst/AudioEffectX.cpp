#include "vst/AudioEffectX.h"

namespace vst {

AudioEffectX::AudioEffectX(AudioMasterCallback master, VstInt32 programs, VstInt32 params)
    : AudioEffect(master, programs, params) {}

VstInt32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input,
                                         VstSpeakerArrangement** output) {
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
}

bool AudioEffectX::wantEvents(VstInt32 filter) {
    return callHost(audioMasterWantMidi, 0, filter) != 0;
}

bool AudioEffectX::needIdle() {
    return callHost(audioMasterNeedIdle) != 0;
}

bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return text && string2parameter(index, text) ? 1 : 0;
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effCopyProgram:
        return copyProgram(index) ? 1 : 0;
    case effConnectInput:
        inputConnected(index, value != 0);
        return 1;
    case effConnectOutput:
        outputConnected(index, value != 0);
        return 1;
    case effGetInputProperties:
        return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
        return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
        return 1;
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effIdle:
        return fxIdle();
    case effGetParameterProperties:
        return getParameterProperties(index, ptr) ? 1 : 0;
    case effKeysRequired:
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
        if (editor) {
            VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
            bool used = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
            return used ? 1 : 0;
        }
        return 0;
    case effSetEditKnobMode:
        return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, ptr);
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr))
                   ? 1
                   : 0;
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(static_cast<VstInt32>(value));
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

}  // namespace vst
