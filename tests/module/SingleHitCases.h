// The single-hit cases: one hit at a time on a silent voice, every voice at
// the ends of its parameter ranges, in and out of Key Mode; one hash of the
// samples per case. The module test compares them with recorded hashes, the
// i686 check with the same cases computed by a 32-bit build.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/ParameterIndex.h"
#include "support/ModulePlayer.h"

namespace single_hit {

using testing_support::ModulePlayer;
using testing_support::sampleHash;
using testing_support::TimedNote;

constexpr int kVoiceParameterEnd[10] = {7, 14, 20, 26, 32, 38, 42, 46, 51, 55};
constexpr int kKeyModeIndex[10] = {6, 13, 19, 25, 31, 37, -1, 45, -1, -1};
constexpr int kOwnNotes[10][2] = {{36, -1}, {41, -1}, {38, -1}, {40, -1}, {37, -1},
                                  {43, -1}, {39, -1}, {51, -1}, {42, 46}, {49, -1}};

// The thump of kicks and snares, set between its ends so that both the
// resonator and the other part of the voice sound.
constexpr int kThumpIndex[10] = {5, 12, 18, 24, -1, -1, -1, -1, -1, -1};

struct Case {
    int voice;
    unsigned setting;  // bit k: the voice's parameter k (after its channel) at 1, else 0
    bool keyMode;
    std::vector<int> notes;  // each on a voice that has gone quiet
};

// Notes far enough apart for the voice to have gone quiet before the next.
constexpr std::int64_t kSpacing = 200000;
constexpr std::int64_t kHitLength = 16384;

inline std::uint64_t render(const host::PluginModule& module, const Case& c) {
    ModulePlayer player(module);
    player.selectProgram(0);
    const int first = plugin::param::kMidiChannel[c.voice];
    for (int i = first + 1; i < kVoiceParameterEnd[c.voice]; ++i)
        player.set(i, (c.setting >> (i - first)) & 1u ? 1.0f : 0.0f);
    if (kThumpIndex[c.voice] >= 0) player.set(kThumpIndex[c.voice], 0.3f);
    for (int v = 0; v < 10; ++v) {
        if (kKeyModeIndex[v] >= 0) player.set(kKeyModeIndex[v], v == c.voice && c.keyMode ? 1.0f : 0.0f);
        player.set(plugin::param::volumeOf(v), v == c.voice ? 1.0f : 0.0f);
    }
    std::vector<TimedNote> notes;
    for (size_t k = 0; k < c.notes.size(); ++k)
        notes.push_back({static_cast<std::int64_t>(k) * kSpacing, 0, c.notes[k], 127});
    const std::vector<float> out =
        player.play(notes, static_cast<std::int64_t>(c.notes.size() - 1) * kSpacing + kHitLength);
    std::uint64_t hash = 14695981039346656037ull;
    for (size_t k = 0; k < c.notes.size(); ++k)
        hash = sampleHash(std::vector<float>(out.begin() + static_cast<std::ptrdiff_t>(k * kSpacing),
                                             out.begin() + static_cast<std::ptrdiff_t>(k * kSpacing + kHitLength)),
                          hash);
    return hash;
}

inline std::vector<Case> cases() {
    std::vector<Case> all;
    for (int v = 0; v < 10; ++v) {
        // Everything at 0, everything at 1, and two mixtures (for a kick:
        // the long, deep sweep; and a high, fast one).
        for (unsigned setting : {0x00u, 0x7Eu, 0x0Cu, 0x32u}) {
            std::vector<int> own;
            for (int note : kOwnNotes[v])
                if (note >= 0) own.push_back(note);
            all.push_back({v, setting, false, own});
            if (kKeyModeIndex[v] < 0) continue;
            for (int note : {0, 60, 127}) all.push_back({v, setting, true, {note}});
            // A low note after a high one that has died away.
            all.push_back({v, setting, true, {127, 0}});
        }
    }
    return all;
}

}  // namespace single_hit
