// DrumSynthEffect: MIDI intake. Note-ons become sample-accurate triggers,
// control changes are collected for MIDI learn and applied once per block,
// program changes run at once or at the next idle call. Runs on the audio
// thread: table look-ups and buffer writes only.
#include <cstddef>

#include "persist/ControllerMap.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace plugin {
namespace {

constexpr int kClosedHihatNote = 8;
constexpr int kOpenHihatNote = 9;
constexpr int kCrashNote = 10;

}  // namespace

vst::VstInt32 DrumSynthEffect::processEvents(vst::VstEvents* events) {
    takeDeferredChanges();
    if (!events) return 1;
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    // The list is declared with two entries but holds numEvents of them.
    const auto* list = reinterpret_cast<vst::VstEvent* const*>(reinterpret_cast<const char*>(events) +
                                                                offsetof(vst::VstEvents, events));
    for (vst::VstInt32 e = 0; e < events->numEvents; ++e) {
        const vst::VstEvent* event = list[e];
        if (!event || event->type != vst::kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
        const int status = static_cast<unsigned char>(midi->midiData[0]);
        const int data1 = midi->midiData[1] & 0x7F;
        const int data2 = midi->midiData[2] & 0x7F;
        const float velocity = velocityCurves_.value(velocityCurve_, data2);
        // Events outside the block are moved to its nearest end.
        int frame = midi->deltaFrames;
        if (frame < 0) frame = 0;
        if (frame >= engine_.capacity()) frame = engine_.capacity() - 1;

        switch (status & 0xF0) {
        case 0x90:
            if (data2 != 0) dispatchNote(data1, status & 0x0F, velocity, frame);
            break;
        case 0xB0:
            controllers.learn(data1);
            pendingControllers_[data1] = static_cast<float>(data2 * 0.007874015748);
            break;
        case 0xC0:
            if (hostIdle_) {
                deferredProgramIndex_ = data1;
                deferredProgram_ = true;
            } else {
                setProgram(data1);
                updateDisplay();
            }
            break;
        default:
            break;
        }
    }
    for (int controller = 0; controller < persist::ControllerMap::kLearnable; ++controller) {
        if (pendingControllers_[controller] == -1.0f) continue;
        controllers.apply(controller, pendingControllers_[controller], *this);
        pendingControllers_[controller] = -1.0f;
    }
    return 1;
}

// One note can start several voices: every test is made on its own.
void DrumSynthEffect::dispatchNote(int note, int channel, float velocity, int frame) {
    const PitchTables& pitch = engine_.pitchTables();
    auto matches = [&](int voice, int keyModeIndex) {
        if (channel != voiceChannels_[voice]) return false;
        return (keyModeIndex >= 0 && currentValues_[keyModeIndex] == 1.0f) || note == noteNumbers_[voice];
    };
    auto startPitched = [&](int voice, float level) {
        engine_.startVoice(voice, frame, level, pitch.forVoice(voice, note));
    };
    if (matches(kKick1, param::kKeyMode[0])) startPitched(kKick1, velocity);
    if (matches(kKick2, param::kKeyMode[1])) startPitched(kKick2, velocity);
    if (matches(kSnare1, param::kKeyMode[2])) startPitched(kSnare1, velocity);
    if (matches(kSnare2, param::kKeyMode[3])) startPitched(kSnare2, velocity);
    if (matches(kBlipp1, param::kKeyMode[4])) startPitched(kBlipp1, velocity);
    if (matches(kBlipp2, param::kKeyMode[5]))
        startPitched(kBlipp2, velocity * 0.5f);
    if (matches(kClap, -1)) engine_.startVoice(kClap, frame, velocity, 0.0f);
    if (matches(kClaves, param::kKeyMode[6])) startPitched(kClaves, velocity);
    if (channel == voiceChannels_[kHihat] && note == noteNumbers_[kClosedHihatNote])
        engine_.startVoice(kHihat, frame, velocity, 1.0f);
    if (channel == voiceChannels_[kHihat] && note == noteNumbers_[kOpenHihatNote])
        engine_.startVoice(kHihat, frame, velocity * 0.75f, 0.0f);
    if (channel == voiceChannels_[kCrash] && note == noteNumbers_[kCrashNote])
        engine_.startVoice(kCrash, frame, velocity * 0.75f, 0.0f);
}

vst::VstInt32 DrumSynthEffect::fxIdle() {
    if (deferredProgram_) {
        deferredProgram_ = false;
        setProgram(deferredProgramIndex_);
        updateDisplay();
    }
    return 1;
}

void DrumSynthEffect::automateParameter(int index, float value) {
    setParameterAutomated(index, value);
}

}  // namespace plugin
