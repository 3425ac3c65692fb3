// Note frequencies in cents above a base: entry i is base * 2^(i / 1200).
// MIDI note n sits at entry 100 * n.
#pragma once

#include "plugin/PluginInfo.h"

namespace plugin {

class PitchTables {
public:
    static constexpr int kEntries = 12800;

    void build();

    // Kicks and Blipps: 4.0875 Hz at note 0.
    float low(int note) const { return low_[index(note)]; }
    // Snares: the same values as the low table.
    float snare(int note) const { return snare_[index(note)]; }
    // Claves: 16.35 Hz at note 0, two octaves above.
    float claves(int note) const { return claves_[index(note)]; }
    // The table a voice's notes read: the snares', the Claves' or the low one.
    float forVoice(int voice, int note) const {
        if (voice == kSnare1 || voice == kSnare2) return snare(note);
        return voice == kClaves ? claves(note) : low(note);
    }

private:
    static int index(int note) { return 100 * (note < 0 ? 0 : note > 127 ? 127 : note); }

    float low_[kEntries] = {};
    float snare_[kEntries] = {};
    float claves_[kEntries] = {};
};

}  // namespace plugin
