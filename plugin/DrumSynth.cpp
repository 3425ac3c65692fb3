#include "plugin/DrumSynth.h"

#include <cmath>
#include <cstring>

#include "persist/ControllerMap.h"
#include "plugin/ProgramClipboard.h"

namespace plugin {

thread_local const DrumSynth* DrumSynth::audioCall_ = nullptr;

namespace {

bool isUsableSampleRate(float rate) {
    return rate >= kMinSampleRate && rate <= kMaxSampleRate;  // false for NaN
}

}  // namespace

DrumSynth::DrumSynth(platform::Registry& registry, const std::string& modulePath, int fixedOutputMode)
    : registry_(registry), settings_(registry), owner_(std::this_thread::get_id()), modulePath_(modulePath) {
    settings_.setKeyPath(registryKey_);
    settings_.setModulePath(modulePath_);
    settings_.load();
    settleOutputMode(fixedOutputMode);

    discard_.allocate(engine_.capacity());
    for (float& pending : pendingControllers_) pending = -1.0f;
    loadBuiltInBank();
    setProgram(0);

    // The first instance in the process brings back the learned controllers.
    persist::ControllerMap::shared().instanceCreated(registry_, registryKey_, kUniqueId);
}

DrumSynth::~DrumSynth() {
    // The editor outlives this part of the object; it hears nothing more.
    notifications_ = nullptr;
    settings_.save();
    mixer_.write();
    persist::ControllerMap::shared().instanceDestroyed(registry_, registryKey_);
    ProgramClipboard::shared().ownerGone(this);
}

// The mixer file may ask for several outputs; the stored layout then says
// mono or stereo. The mode actually used is written back at once. A layout
// the host interface fixes leaves the stored one alone.
void DrumSynth::settleOutputMode(int fixedOutputMode) {
    fixedLayout_ = fixedOutputMode != kLayoutFromSettings;
    mixer_.multiOut = fixedLayout_ ? fixedOutputMode != kOneStereo : settings_.outputMode < 2;
    mixer_.setModulePath(modulePath_);
    mixer_.read();
    if (fixedLayout_)
        outputMode_ = fixedOutputMode;
    else if (mixer_.multiOut)
        outputMode_ = settings_.multiOutStereo ? kTenStereo : kTenMono;
    else
        outputMode_ = kOneStereo;
    if (!fixedLayout_) settings_.outputMode = outputMode_;
    velocityCurve_ = settings_.velocityCurve;
    noteNames_ = settings_.noteNames;
    settings_.save();
}

void DrumSynth::setNoteNames(bool names) {
    noteNames_ = names;
    settings_.setNoteNames(names);
}

void DrumSynth::settingsDialogClosed() {
    settings_.reload();
    velocityCurve_ = settings_.velocityCurve;
    noteNames_ = settings_.noteNames;
}

void DrumSynth::setSampleRate(float rate) {
    if (!isUsableSampleRate(rate)) return;
    sampleRate_ = rate;
    engine_.setSampleRate(rate);
    reapplyProgram();
}

void DrumSynth::reallocateBuffers() {
    if (engine_.setCapacity(blockSize_)) discard_.allocate(engine_.capacity());
    reapplyProgram();
}

void DrumSynth::setBlockSize(int size) {
    if (size < 1) return;
    blockSize_ = size;
    if (size != engine_.capacity())
        reallocateBuffers();
    else
        reapplyProgram();
}

void DrumSynth::setBlockSizeAndSampleRate(int size, float rate) {
    if (size >= 1) {
        blockSize_ = size;
        if (size != engine_.capacity()) reallocateBuffers();
    }
    setSampleRate(rate);
}

void DrumSynth::resume(bool hostIdles) {
    hostIdle_.store(hostIdles, std::memory_order_relaxed);
    reapplyProgram();
}

}  // namespace plugin
