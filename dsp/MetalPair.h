// The hihat and the crash rendered together: their saw banks sound the same
// six frequencies and their three high-passes run the same recursion, so
// they share the lanes of the vector registers, each lane with exactly the
// operations its own voice does.
#pragma once

#include "dsp/CrashVoice.h"
#include "dsp/HihatVoice.h"

namespace dsp {

class MetalPair {
public:
    static void process(HihatVoice& hihat, const VoiceBlock& hihatBlock, CrashVoice& crash,
                        const VoiceBlock& crashBlock, int frames);

private:
    static void render(HihatVoice& hihat, const VoiceBlock& h, CrashVoice& crash, const VoiceBlock& c, int frames);
};

}  // namespace dsp
