// The pitch buffer's value a note gives each voice, as the MIDI intake
// writes it: the snares' and the Claves' own tables, the hihat's closed flag
// (odd notes closed here), the low table for the rest.
#pragma once

#include "plugin/DrumEngine.h"

namespace testing_support {

inline float pitchFor(plugin::DrumEngine& engine, int voice, int note) {
    if (voice == plugin::kHihat) return note % 2 ? 1.0f : 0.0f;
    return engine.pitchTables().forVoice(voice, note);
}

}  // namespace testing_support
