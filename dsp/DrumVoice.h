// The shared skeleton of the seven voice classes: trigger, lifetime, volume
// and pan, the activity meter and mixing into the output buffers.
#pragma once

#include <initializer_list>

#include "dsp/DspUnit.h"
#include "dsp/ScratchBuffer.h"

namespace dsp {

// Buffers a voice renders from and into. velocity holds 0 except at frames
// where a note starts; pitch holds the note's frequency at those frames (the
// hihat's open/closed flag instead). right is unused in mono mode.
struct VoiceBlock {
    float* velocity = nullptr;
    float* pitch = nullptr;
    float* left = nullptr;
    float* right = nullptr;

    // The same buffers from frame offset on.
    VoiceBlock from(int offset) const {
        return {velocity ? velocity + offset : nullptr, pitch ? pitch + offset : nullptr,
                left ? left + offset : nullptr, right ? right + offset : nullptr};
    }
};

class DrumVoice : public DspUnit {
public:
    // Renders frames samples, adding into the outputs. Called on the audio
    // thread; allocates nothing. Blocks longer than the prepared block size
    // are rendered in pieces.
    void process(const VoiceBlock& block, int frames);

    // Reallocates the scratch buffers for the block size, resets the state
    // and recomputes the rate-dependent coefficients.
    virtual void prepare() = 0;

    // Renders two voices over the same frames, in the same
    // pieces as process: together(a, b, n) renders a piece of both at once,
    // or answers false, and then each renders it alone.
    template <typename Together>
    static void processTwo(DrumVoice& first, const VoiceBlock& firstBlock, DrumVoice& second,
                           const VoiceBlock& secondBlock, int frames, Together together) {
        if (frames <= 0 || first.blockSize_ != second.blockSize_) {
            first.process(firstBlock, frames);
            second.process(secondBlock, frames);
            return;
        }
        const int most = first.blockSize_ > 0 ? first.blockSize_ : frames;
        if (frames <= most) {
            if (!together(firstBlock, secondBlock, frames)) {
                first.render(firstBlock, frames);
                second.render(secondBlock, frames);
            }
            return;
        }
        for (int done = 0; done < frames;) {
            const int n = frames - done < most ? frames - done : most;
            const VoiceBlock a = firstBlock.from(done), b = secondBlock.from(done);
            if (!together(a, b, n)) {
                first.render(a, n);
                second.render(b, n);
            }
            done += n;
        }
    }

    void trigger();
    void setVolume(float x);
    void setPan(float x);

    int lifetime() const { return lifetime_; }
    int elapsed() const { return elapsed_; }

protected:
    // Renders at most blockSize() frames.
    virtual void render(const VoiceBlock& block, int frames) = 0;


    // Allocates every buffer for the block size; false if any failed.
    bool allocateBuffers(std::initializer_list<ScratchBuffer*> buffers);
    bool buffersReady() const { return buffersReady_; }
    // Whether this block has anything to render: the voice sounds and has
    // its buffers.
    bool rendersThisBlock() const { return active_ && buffersReady_; }

    void mix(const VoiceBlock& block, const float* signal, int frames) const;
    void clearVelocity(const VoiceBlock& block, int frames) const;
    void updateMeter(int frames) {
        if (meterLevel_ < 0.016f) {
            meterLevel_ = 0.0f;
            return;
        }
        decayMeter(frames);
    }
    void decayMeter(int frames);
    void advanceElapsed(int frames);
    // The end of every block, active or not: the meter falls, time passes,
    // and the answer says whether the lifetime has run out (reached, or
    // with strictlyPast exceeded).
    bool endBlock(int frames, bool strictlyPast = false) {
        updateMeter(frames);
        advanceElapsed(frames);
        return strictlyPast ? elapsed_ > lifetime_ : elapsed_ >= lifetime_;
    }
    void raiseLifetime(int candidate) {
        if (candidate > lifetime_) lifetime_ = candidate;
    }

    int lifetime_ = 0;
    int elapsed_ = 0;

private:
    bool buffersReady_ = false;
};

}  // namespace dsp
