// Base of every signal-processing object, from one filter to a whole drum
// voice: rate, activity, mix gains and the activity meter.
#pragma once

namespace dsp {

class DspUnit {
public:
    DspUnit() = default;
    virtual ~DspUnit() = default;
    DspUnit(const DspUnit&) = delete;
    DspUnit& operator=(const DspUnit&) = delete;

    virtual bool isActive() const { return active_; }

    // The pending peak, if any, becomes the meter level; polled by the editor.
    virtual float takeMeterLevel();
    virtual void setMeterPeak(float value) { pendingPeak_ = value; }

    virtual void setSampleRate(float rate);
    float sampleRate() const { return sampleRate_; }
    float samplePeriod() const { return samplePeriod_; }

    void setBlockSize(int frames) { blockSize_ = frames; }
    int blockSize() const { return blockSize_; }

    void setStereo(bool stereo) { stereo_ = stereo; }

    float volume() const { return volume_; }
    float panLeft() const { return panLeft_; }
    float panRight() const { return panRight_; }
    float meterDecay() const { return meterDecay_; }

protected:
    bool active_ = false;
    float sampleRate_ = 44100.0f;
    float samplePeriod_ = 1.0f / 44100.0f;
    int blockSize_ = 0;
    float volume_ = 1.0f;
    float panLeft_ = 0.5f;
    float panRight_ = 0.5f;
    bool stereo_ = false;
    float meterLevel_ = 0.0f;
    float meterDecay_ = 0.0f;
    float pendingPeak_ = 0.0f;
};

// Whether any of the n impulses (velocities) is above 0; written to run
// several frames at a time.
inline bool anyStrike(const float* impulses, int n) {
    int strikes = 0;
    for (int i = 0; i < n; ++i) strikes += impulses[i] > 0.0f ? 1 : 0;
    return strikes != 0;
}

// A tiny offset added into every recursive state update so that states never
// decay into the denormal range; its sign flips once per processed block.
class DenormalOffset {
public:
    explicit DenormalOffset(float magnitude) : value_(magnitude) {}
    float flip() {
        value_ = -value_;
        return value_;
    }
    float value() const { return value_; }

private:
    float value_;
};

// Buffers a building block reads and writes. Each block names its use of
// them: input (excitation or signal in), control (pitch or frequency), output.
struct UnitBlock {
    const float* input = nullptr;
    const float* control = nullptr;
    float* output = nullptr;
};

// A building block runs one per-sample recursion over a block of samples.
class BuildingBlock : public DspUnit {
public:
    virtual void process(const UnitBlock& block, int frames) = 0;
};

}  // namespace dsp
