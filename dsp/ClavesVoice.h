// Claves: one high, short ping rung by the velocity impulse; in Key Mode it
// follows the note two octaves above the kick's table.
#pragma once

#include "dsp/DrumVoice.h"
#include "dsp/PingResonator.h"

namespace dsp {

class ClavesVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setDecay(float x);
    void setKeyMode(float x);

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    float keyMode_ = 0.0f;
    PingResonator resonator_;
    ScratchBuffer output_;
};

}  // namespace dsp
