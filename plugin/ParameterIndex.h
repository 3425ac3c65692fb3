// Where each parameter sits among the 88 the host sees, found in the
// parameter table, and the command indices above them that a host may send
// through the same entry.
#pragma once

#include "plugin/ParameterTable.h"

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

constexpr bool isHostVisible(int index) { return index >= 0 && index < kParameterCount; }

// The first parameter of a voice with the given role, -1 when it has none.
constexpr int find(int voice, Role role, int skip = 0) {
    for (int i = 0; i < kParameterCount; ++i)
        if (kParameters[i].voice == voice && kParameters[i].role == role && skip-- == 0) return i;
    return -1;
}

constexpr int channelOf(int voice) { return find(voice, Role::kChannel); }
constexpr int keyModeOf(int voice) { return find(voice, Role::kKeyMode); }
constexpr int noteOf(int voice) { return find(voice, Role::kNote); }
constexpr int panOf(int voice) { return find(voice, Role::kPan); }
constexpr int volumeOf(int voice) { return find(voice, Role::kVolume); }
// The hihat's second note opens it.
constexpr int kOpenHihatNote = find(kHihat, Role::kNote, 1);

constexpr bool isKeyMode(int index) { return isHostVisible(index) && kParameters[index].role == Role::kKeyMode; }

// Indices whose values reach the engine: everything host-visible but the
// version and the reserved slot.
constexpr bool hasCurrentValue(int index) {
    return isHostVisible(index) && kParameters[index].role != Role::kVersion &&
           kParameters[index].role != Role::kReserved;
}

// Per voice, the index of its channel and of its Key Mode (of the seven
// voices that have one).
struct VoiceIndices {
    int channel[kVoiceCount] = {};
    int keyMode[7] = {};
    constexpr VoiceIndices() {
        int k = 0;
        for (int voice = 0; voice < kVoiceCount; ++voice) {
            channel[voice] = channelOf(voice);
            if (keyModeOf(voice) >= 0) keyMode[k++] = keyModeOf(voice);
        }
    }
};
inline constexpr VoiceIndices kVoiceIndices;
inline constexpr const int (&kMidiChannel)[kVoiceCount] = kVoiceIndices.channel;
inline constexpr const int (&kKeyMode)[7] = kVoiceIndices.keyMode;

static_assert(channelOf(kKick1) == kKick1Base && channelOf(kKick2) == kKick2Base &&
              channelOf(kSnare1) == kSnare1Base && channelOf(kSnare2) == kSnare2Base &&
              channelOf(kBlipp1) == kBlipp1Base && channelOf(kBlipp2) == kBlipp2Base &&
              channelOf(kClap) == kClapBase && channelOf(kClaves) == kClavesBase &&
              channelOf(kHihat) == kHihatBase && channelOf(kCrash) == kCrashBase);
static_assert(kParameters[kVersion].role == Role::kVersion && kParameters[kReserved].role == Role::kReserved &&
              noteOf(kKick1) == kFirstNote && panOf(kKick1) == kFirstMix && volumeOf(kCrash) == kParameterCount - 1);

}  // namespace plugin::param
