// Clap: three short noise bursts 441 samples apart and, 441 samples after the
// third, a longer noise tail, shaped by a resonant high-pass and a fixed
// band-pass at 2 kHz.
#pragma once

#include "dsp/BandpassResonator.h"
#include "dsp/DecayEnvelope.h"
#include "dsp/DrumVoice.h"
#include "dsp/HighpassResonator.h"
#include "dsp/HitGrid.h"
#include "dsp/NoiseSource.h"

namespace dsp {

class ClapVoice : public DrumVoice {
public:
    static constexpr int kBurstSpacing = 441;
    static constexpr int kTailStart = 3 * kBurstSpacing;

    void setSampleRate(float rate) override;
    void prepare() override;

    void setFrequency(float x);
    void setQ(float x);
    void setDecay(float x);

protected:
    void render(const VoiceBlock& block, int frames) override;

private:
    int pulseCounter_ = kTailStart + 1;  // nothing fires before the first trigger
    float pulseLevel_ = 0.0f;
    ScratchBuffer signal_;
    NoiseSource noise_;
    DecayEnvelope tailDecay_;
    DecayEnvelope burstDecay_;
    HighpassResonator highpass_;
    BandpassResonator bandpass_;
    // The loudest hits of the high-pass and of the band-pass after it over
    // Frequency and Q (see HitGrid), held to while the high-pass's settings
    // move.
    void holdFiltersToHits(float frequencyBefore, float qBefore);
    HitGrid<2>::Values hitAt(float frequency, float q) const;
    static float filterFrequency(float x);
    static float filterQ(float x) { return 3.0f * x + 1.0f; }
    HitGrid<2> hits_;
    float frequencyValue_ = 0.0f;
    float qValue_ = 0.0f;
};

}  // namespace dsp
