// DrumSynth: MIDI intake. Note-ons become sample-accurate triggers,
// control changes are collected for MIDI learn and applied once per block,
// program changes run at once or at the next idle call. Runs on the audio
// thread: table look-ups and buffer writes only.
#include <algorithm>

#include "persist/ControllerMap.h"
#include "plugin/DrumSynth.h"
#include "plugin/SynthThreads.h"
#include "plugin/ParameterIndex.h"

namespace plugin {
namespace {

constexpr int kClosedHihatNote = 8;
constexpr int kOpenHihatNote = 9;
constexpr int kCrashNote = 10;

}  // namespace

void DrumSynth::receiveMidi(MidiEventSource* events) {
    AudioCall call(*this);
    // Another thread is changing the model just as this thread starts to
    // render: the block's events cannot reach the engine and are dropped.
    if (!call.ownsEngine()) return;
    takeQueuedChanges();
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    if (learnRetry_ >= 0 && controllers.learn(learnRetry_)) learnRetry_ = -1;
    if (!events) {
        applyBlockChanges();
        return;
    }
    for (MidiEvent midi; events->next(&midi);) {
        const int status = midi.bytes[0];
        const int data1 = midi.bytes[1] & 0x7F;
        const int data2 = midi.bytes[2] & 0x7F;
        const float velocity = velocityCurves_.value(velocityCurve_, data2);
        // Events outside the buffers are moved to their nearest end; those
        // beyond the block the host then renders play at its last frame.
        int frame = midi.frame;
        if (frame < 0) frame = 0;
        if (frame >= engine_.capacity()) frame = engine_.capacity() - 1;

        switch (status & 0xF0) {
        case 0x90:
            if (data2 != 0) {
                dispatchNote(data1, status & 0x0F, velocity, frame);
                lastEventFrame_ = std::max(lastEventFrame_, frame);
            }
            break;
        case 0xB0:
            // The map is busy on another thread: this controller learns at
            // the next block.
            if (!controllers.learn(data1)) learnRetry_ = data1;
            pendingControllers_[data1] = static_cast<float>(data2 * 0.007874015748);
            break;
        case 0xC0:
            if (hostIdle_.load(std::memory_order_relaxed)) {
                deferredProgram_.store(data1, std::memory_order_release);
            } else if (ModelLock lock(*this); lock.owns()) {
                takeBacklog();
                changeProgram(data1);
                refreshHost();
            } else {
                keepForNextBlock(-1 - data1, 0.0f);  // in order, once the lock is free
            }
            break;
        default:
            break;
        }
    }
    applyBlockChanges();
}

// Program changes in the order they came, then the controllers' values;
// what cannot be applied now (another thread holds the model, or the map)
// stays for the next block.
bool DrumSynth::applyBlockChanges() {
    ModelLock lock(*this);
    if (!lock.owns()) return false;
    takeBacklog();
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    for (int controller = 0; controller < persist::ControllerMap::kLearnable; ++controller) {
        if (pendingControllers_[controller] == -1.0f) continue;
        if (controllers.apply(controller, pendingControllers_[controller], *this))
            pendingControllers_[controller] = -1.0f;
    }
    return true;
}

// One note can start several voices: every test is made on its own.
void DrumSynth::dispatchNote(int note, int channel, float velocity, int frame) {
    const PitchTables& pitch = engine_.pitchTables();
    auto matches = [&](int voice) {
        return channel == voiceChannels_[voice] && (keyModes_[voice] || note == noteNumbers_[voice]);
    };
    auto startPitched = [&](int voice, float level) {
        engine_.startVoice(voice, frame, level, pitch.forVoice(voice, note));
    };
    for (int voice : {kKick1, kKick2, kSnare1, kSnare2, kBlipp1})
        if (matches(voice)) startPitched(voice, velocity);
    if (matches(kBlipp2)) startPitched(kBlipp2, velocity * 0.5f);
    if (matches(kClap)) engine_.startVoice(kClap, frame, velocity, 0.0f);
    if (matches(kClaves)) startPitched(kClaves, velocity);
    if (channel == voiceChannels_[kHihat] && note == noteNumbers_[kClosedHihatNote])
        engine_.startVoice(kHihat, frame, velocity, 1.0f);
    if (channel == voiceChannels_[kHihat] && note == noteNumbers_[kOpenHihatNote])
        engine_.startVoice(kHihat, frame, velocity * 0.75f, 0.0f);
    if (channel == voiceChannels_[kCrash] && note == noteNumbers_[kCrashNote])
        engine_.startVoice(kCrash, frame, velocity * 0.75f, 0.0f);
}

void DrumSynth::takeDeferredProgram() {
    const int program = deferredProgram_.exchange(-1, std::memory_order_acq_rel);
    if (program >= 0) {
        setProgram(program);
        refreshHost();
    }
}

void DrumSynth::automateParameter(int index, float value) {
    setParameter(index, value);
    parameterAutomated(index, value);
}

}  // namespace plugin
