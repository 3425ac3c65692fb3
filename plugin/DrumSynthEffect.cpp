#include "plugin/DrumSynthEffect.h"

#include <cstddef>
#include <cstring>

namespace plugin {

namespace {

void copyText(char* destination, const char* text, size_t capacity) {
    std::strncpy(destination, text, capacity - 1);
    destination[capacity - 1] = 0;
}

// The MIDI events of a host's list; the list is declared with two entries
// but holds numEvents of them.
class VstMidiEvents : public MidiEventSource {
public:
    explicit VstMidiEvents(const vst::VstEvents& events)
        : list_(reinterpret_cast<vst::VstEvent* const*>(reinterpret_cast<const char*>(&events) +
                                                          offsetof(vst::VstEvents, events))),
          count_(events.numEvents) {}

    bool next(MidiEvent* event) override {
        while (next_ < count_) {
            const vst::VstEvent* e = list_[next_++];
            if (!e || e->type != vst::kVstMidiType) continue;
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(e);
            event->frame = midi->deltaFrames;
            for (int i = 0; i < 3; ++i) event->bytes[i] = static_cast<unsigned char>(midi->midiData[i]);
            return true;
        }
        return false;
    }

private:
    vst::VstEvent* const* list_;
    vst::VstInt32 count_;
    vst::VstInt32 next_ = 0;
};

}  // namespace

DrumSynthEffect::DrumSynthEffect(vst::AudioMasterCallback host, platform::Registry& registry,
                                 const std::string& modulePath, EditorFactory makeEditor)
    : AudioEffectX(host, kProgramCount, kParameterCount), DrumSynth(registry, modulePath) {
    if (host) {
        setNumInputs(0);
        setNumOutputs(outputCountFor(outputMode()));
        canProcessReplacing(true);
        hasVu(false);
        hasClip(false);
        isSynth(true);
        setUniqueID(kUniqueId);
    }
    if (makeEditor) setEditor(makeEditor(*this));
    takeRatesBack();
}

// What the instrument accepted is what the host reads back.
void DrumSynthEffect::takeRatesBack() {
    sampleRate = currentSampleRate();
    blockSize = currentBlockSize();
}

void DrumSynthEffect::setSampleRate(float rate) {
    DrumSynth::setSampleRate(rate);
    takeRatesBack();
}

void DrumSynthEffect::setBlockSize(vst::VstInt32 size) {
    DrumSynth::setBlockSize(size);
    takeRatesBack();
}

void DrumSynthEffect::setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) {
    DrumSynth::setBlockSizeAndSampleRate(size, rate);
    takeRatesBack();
}

void DrumSynthEffect::resume() {
    wantEvents(1);
    DrumSynth::resume(needIdle());
}

void DrumSynthEffect::processReplacing(float** /*inputs*/, float** outputs, vst::VstInt32 frames) {
    renderReplacing(outputs, cEffect.numOutputs, frames);
}

void DrumSynthEffect::process(float** /*inputs*/, float** outputs, vst::VstInt32 frames) {
    renderAccumulating(outputs, cEffect.numOutputs, frames);
}

vst::VstInt32 DrumSynthEffect::processEvents(vst::VstEvents* events) {
    if (!events) {
        receiveMidi(nullptr);
    } else {
        VstMidiEvents midi(*events);
        receiveMidi(&midi);
    }
    return 1;
}

vst::VstInt32 DrumSynthEffect::fxIdle() {
    takeDeferredProgram();
    return 1;
}

bool DrumSynthEffect::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) {
    if (index < 0 || index >= outputCountFor(outputMode())) return false;
    switch (outputMode()) {
    case kTenMono:
        copyText(properties->label, kPinLabels[index], sizeof(properties->label));
        properties->flags = vst::kVstPinIsActive;
        return true;
    case kTenStereo:
        copyText(properties->label, kPinLabels[index / 2], sizeof(properties->label));
        properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
        return true;
    default:
        copyText(properties->label, kEffectName, sizeof(properties->label));
        properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
        return true;
    }
}

bool DrumSynthEffect::getEffectName(char* name) {
    copyText(name, kEffectName, vst::kVstMaxEffectNameLen);
    return true;
}

bool DrumSynthEffect::getVendorString(char* text) {
    copyText(text, kVendorName, vst::kVstMaxVendorStrLen);
    return true;
}

bool DrumSynthEffect::getProductString(char* text) {
    copyText(text, kProductName, vst::kVstMaxProductStrLen);
    return true;
}

vst::VstInt32 DrumSynthEffect::canDo(char* text) {
    if (std::strcmp(text, "receiveVstEvents") == 0) return 1;
    if (std::strcmp(text, "receiveVstMidiEvent") == 0) return 1;
    return -1;
}

// Hosts hand the mouse wheel and their display scale to the editor this way.
vst::VstIntPtr DrumSynthEffect::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value,
                                               void* /*ptr*/, float opt) {
    if (editor && index == vst::fourCharCode('s', 't', 'C', 'A') &&
        value == vst::fourCharCode('W', 'h', 'e', 'e'))
        return editor->onWheel(opt) ? 1 : 0;
    if (editor && index == vst::fourCharCode('P', 'r', 'e', 'S') && value == vst::fourCharCode('A', 'e', 'C', 's')) {
        editor->setScaleFactor(opt);
        return 1;
    }
    return 0;
}

}  // namespace plugin
