// Where each parameter sits among the 88 the host sees, and the command
// indices above them that the editor sends through the same entry.
#pragma once

#include "plugin/PluginInfo.h"

namespace plugin::param {

constexpr int kKick1Base = 0;   // Midi Ch, Frequency, Sweep, Decay, Sweep Decay, Thump, Key Mode
constexpr int kKick2Base = 7;
constexpr int kSnare1Base = 14; // Midi Ch, Frequency, Decay, Noise Decay, Thump, Key Mode
constexpr int kSnare2Base = 20;
constexpr int kBlipp1Base = 26; // Midi Ch, Frequency, Sweep, Decay, Sweep Decay, Key Mode
constexpr int kBlipp2Base = 32;
constexpr int kClapBase = 38;   // Midi Ch, Frequency, Q, Decay
constexpr int kClavesBase = 42; // Midi Ch, Frequency, Decay, Key Mode
constexpr int kHihatBase = 46;  // Midi Ch, Frequency, Q, Ch Decay, Oh Decay
constexpr int kCrashBase = 51;  // Midi Ch, Frequency, Q, Decay
constexpr int kVersion = 55;
constexpr int kFirstNote = 56;  // eleven notes: ten voices with closed and open hihat
constexpr int kNoteCount = 11;
constexpr int kReserved = 67;
constexpr int kFirstMix = 68;   // pan, volume per voice
constexpr int kMidiLearnMode = 89;
constexpr int kMidiLearnSelect = 90;
constexpr int kMidiLearnRelease = 91;
constexpr int kProgramDown = 93;
constexpr int kProgramUp = 94;

constexpr int kMidiChannel[kVoiceCount] = {0, 7, 14, 20, 26, 32, 38, 42, 46, 51};
constexpr int kKeyMode[] = {6, 13, 19, 25, 31, 37, 45};

constexpr int panOf(int voice) { return kFirstMix + 2 * voice; }
constexpr int volumeOf(int voice) { return kFirstMix + 2 * voice + 1; }

constexpr bool isHostVisible(int index) { return index >= 0 && index < kParameterCount; }

constexpr bool isKeyMode(int index) {
    for (int k : kKeyMode)
        if (k == index) return true;
    return false;
}

// Indices whose values reach the engine: everything host-visible but the
// version and the reserved slot.
constexpr bool hasCurrentValue(int index) {
    return isHostVisible(index) && index != kVersion && index != kReserved;
}

}  // namespace plugin::param
