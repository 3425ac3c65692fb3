#include "plugin/DrumSynthEffect.h"

#include <cmath>
#include <cstring>

#include "persist/ControllerMap.h"
#include "plugin/ProgramClipboard.h"

namespace plugin {

thread_local const DrumSynthEffect* DrumSynthEffect::audioCall_ = nullptr;

namespace {

void copyText(char* destination, const char* text, size_t capacity) {
    std::strncpy(destination, text, capacity - 1);
    destination[capacity - 1] = 0;
}

bool isUsableSampleRate(float rate) {
    return rate >= kMinSampleRate && rate <= kMaxSampleRate;  // false for NaN
}

}  // namespace

DrumSynthEffect::DrumSynthEffect(vst::AudioMasterCallback host, platform::Registry& registry,
                                 const std::string& modulePath, EditorFactory makeEditor)
    : AudioEffectX(host, kProgramCount, kParameterCount), registry_(registry), settings_(registry),
      owner_(std::this_thread::get_id()), modulePath_(modulePath) {
    settings_.setKeyPath(registryKey_);
    settings_.setModulePath(modulePath_);
    settings_.load();
    settleOutputMode();

    if (host) {
        setNumInputs(0);
        setNumOutputs(outputCountFor(outputMode_));
        canProcessReplacing(true);
        hasVu(false);
        hasClip(false);
        isSynth(true);
        setUniqueID(kUniqueId);
    }

    discard_.allocate(engine_.capacity());
    for (float& pending : pendingControllers_) pending = -1.0f;
    if (makeEditor) setEditor(makeEditor(*this));
    loadBuiltInBank();
    setProgram(0);

    // The first instance in the process brings back the learned controllers.
    persist::ControllerMap::shared().instanceCreated(registry_, registryKey_, kUniqueId);
}

DrumSynthEffect::~DrumSynthEffect() {
    // The editor outlives this part of the object; it hears nothing more.
    notifications_ = nullptr;
    settings_.save();
    mixer_.write();
    persist::ControllerMap::shared().instanceDestroyed(registry_, registryKey_);
    ProgramClipboard::shared().ownerGone(this);
}

// The mixer file may ask for several outputs; the stored layout then says
// mono or stereo. The mode actually used is written back at once.
void DrumSynthEffect::settleOutputMode() {
    mixer_.multiOut = settings_.outputMode < 2;
    mixer_.setModulePath(modulePath_);
    mixer_.read();
    if (mixer_.multiOut)
        outputMode_ = settings_.multiOutStereo ? kTenStereo : kTenMono;
    else
        outputMode_ = kOneStereo;
    settings_.outputMode = outputMode_;
    velocityCurve_ = settings_.velocityCurve;
    noteNames_ = settings_.noteNames;
    settings_.save();
}

void DrumSynthEffect::setNoteNames(bool names) {
    noteNames_ = names;
    settings_.setNoteNames(names);
}

void DrumSynthEffect::settingsDialogClosed() {
    settings_.reload();
    velocityCurve_ = settings_.velocityCurve;
    noteNames_ = settings_.noteNames;
}

void DrumSynthEffect::setSampleRate(float rate) {
    if (!isUsableSampleRate(rate)) return;
    sampleRate = rate;
    engine_.setSampleRate(rate);
    reapplyProgram();
}

void DrumSynthEffect::reallocateBuffers() {
    if (engine_.setCapacity(blockSize)) discard_.allocate(engine_.capacity());
    reapplyProgram();
}

void DrumSynthEffect::setBlockSize(vst::VstInt32 size) {
    if (size < 1) return;
    blockSize = size;
    if (size != engine_.capacity())
        reallocateBuffers();
    else
        reapplyProgram();
}

void DrumSynthEffect::setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) {
    if (size >= 1) {
        blockSize = size;
        if (size != engine_.capacity()) reallocateBuffers();
    }
    setSampleRate(rate);
}

void DrumSynthEffect::resume() {
    wantEvents(1);
    hostIdle_.store(needIdle(), std::memory_order_relaxed);
    reapplyProgram();
}

bool DrumSynthEffect::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) {
    if (index < 0 || index >= outputCountFor(outputMode_)) return false;
    switch (outputMode_) {
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
