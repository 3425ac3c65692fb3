// The pitch buffer's value a note gives each voice, as the MIDI intake
// writes it: the snares' and the Claves' own tables, the hihat's closed flag
// (odd notes closed here), the low table for the rest.
#pragma once

#include "plugin/DrumEngine.h"

namespace testing_support {

inline float pitchFor(plugin::DrumEngine& engine, int voice, int note) {
    const plugin::PitchTables& tables = engine.pitchTables();
    switch (voice) {
    case plugin::kSnare1:
    case plugin::kSnare2: return tables.snare(note);
    case plugin::kClaves: return tables.claves(note);
    case plugin::kHihat: return note % 2 ? 1.0f : 0.0f;
    default: return tables.low(note);
    }
}

}  // namespace testing_support
