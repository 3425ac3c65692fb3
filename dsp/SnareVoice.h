// Snare: a tuned ping plus white noise under a velocity-sensitive decay;
// Thump cross-fades between them. In Key Mode the ping follows the note.
#pragma once

#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"
#include "dsp/NoiseSource.h"
#include "dsp/PingResonator.h"

namespace dsp {

class SnareVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setDecay(float x);
    void setNoiseDecay(float x);
    void setThump(float x);
    void setKeyMode(float x);

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    void updateMeterDecay();

    float toneGain_ = 2.4f;
    float noiseGain_ = 1.0f;
    float keyMode_ = 0.0f;
    ScratchBuffer signal_;
    PingResonator toneResonator_;
    NoiseSource noiseSource_;
    DecayEnvelope noiseDecay_;
    float toneDecayTime_ = 0.0f;
    float noiseDecayTime_ = 0.0f;
};

}  // namespace dsp
