// Blipp: a sine oscillator whose pitch drops from base * (1 + Sweep) to the
// base frequency, with a velocity-sensitive amplitude decay. In Key Mode the
// base follows the note and a limiter tames very high sweep peaks.
#pragma once

#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"

namespace dsp {

class BlippVoice : public DrumVoice {
public:
    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setSweep(float x);
    void setDecay(float x);
    void setSweepDecay(float x);
    void setKeyMode(float x);

    float effectiveSweep() const { return effectiveSweep_; }
    float lastFrequency() const { return lastFrequency_; }

    // One block's envelopes, glide and phase in locals (public for the
    // code that runs two in lanes).
    struct Pass {
        DecayEnvelope::Run amplitudeEnvelope, sweepEnvelope;
        bool keyMode;
        float depth, fixed, base, sweep, last;
        double w;
        float gain, phase;
    };
    // Renders two Blipps over the same frames, one in each lane of the
    // vector registers, with exactly the samples each would render alone.
    static void processPair(BlippVoice& first, const VoiceBlock& firstBlock, BlippVoice& second,
                            const VoiceBlock& secondBlock, int frames);

    // The glide, the phase's step (in double precision, rounded to float)
    // and the sounding cosine, for one float and for lanes of floats alike.
    template <typename Float>
    static Float glide(Float envelope, Float depth, Float base) {
        return envelope * depth * base + base;
    }
    template <typename Float, typename Double>
    static Float advanced(Float phase, Double step, Float frequency) {
        return narrow(widen(phase) + step * widen(frequency));
    }
    // A cosine series, good for a phase within half a turn.
    template <typename Float>
    static Float tone(Float phase, Float level, Float gain) {
        const Float p = phase * phase;
        const Float cosine =
            (Float(3628800.0f) -
             p * (Float(1814400.0f) - p * (Float(151200.0f) - p * (Float(5040.0f) - p * (Float(90.0f) - p))))) *
            Float(1.0f / 3628800.0f);
        return cosine * level * gain;
    }

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    Pass beginPass();
    void sample(Pass& pass, const float* velocity, const float* pitch, int i);
    void finishPass(const Pass& pass, const VoiceBlock& block, int frames);
    void endOfBlock(int frames);
    static void renderPair(BlippVoice& first, const VoiceBlock& a, BlippVoice& second, const VoiceBlock& b,
                           int frames);

    float fixedFrequency_ = 40.0f;
    float sweepDepth_ = 0.0f;
    float keyMode_ = 0.0f;
    float currentBaseFrequency_ = 80.0f;
    float effectiveSweep_ = 127.0f;
    float phase_ = 0.0f;
    float lastFrequency_ = 0.0f;
    ScratchBuffer signal_;
    DecayEnvelope amplitudeEnvelope_;
    DecayEnvelope sweepEnvelope_;
};

}  // namespace dsp
