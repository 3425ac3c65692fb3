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

    // Renders two snares over the same frames, one in each lane of the
    // vector registers, with exactly the samples each would render alone.
    static void processPair(SnareVoice& first, const VoiceBlock& firstBlock, SnareVoice& second,
                            const VoiceBlock& secondBlock, int frames);

    // The tone and the enveloped noise mixed, for one float and for lanes
    // of floats alike.
    template <typename Float>
    static Float mixed(Float tone, Float toneGain, Float envelope, Float noise, Float noiseGain) {
        return tone * toneGain + envelope * noise * noiseGain;
    }

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    void updateMeterDecay();
    void allowForNoise();

    // One block's units and gains in locals (see the units' Run).
    struct Pass {
        PingResonator::Run tone;
        DecayEnvelope::Run envelope;
        NoiseSource::Run noise;
        float toneGain, noiseGain;
    };
    Pass beginPass() {
        return {toneResonator_.begin(), noiseDecay_.begin(), noiseSource_.begin(), toneGain_, noiseGain_};
    }
    // Frame i of the block.
    void sample(Pass& pass, const float* velocity, const float* pitch, int i) {
        const float t = pass.tone.step(velocity[i], pitch, i);
        const float e = pass.envelope.accumulate(velocity[i]);
        signal_.data()[i] = mixed(t, pass.toneGain, e, pass.noise.next(), pass.noiseGain);
    }
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    void endOfBlock(int frames);
    static void renderPair(SnareVoice& first, const VoiceBlock& a, SnareVoice& second, const VoiceBlock& b,
                           int frames);

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
