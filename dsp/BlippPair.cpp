// Two Blipps at once, one in each lane (see PairLanes.h).
#include "dsp/BlippVoice.h"
#include "dsp/PairLanes.h"

namespace dsp {

namespace {

using namespace pairs;

// The glide and the phase of a BlippVoice pass in two lanes: the frequency is
// envelope * scale * base + base, with the fixed depth and frequency outside
// Key Mode and the note's sweep and base in it.
struct OscillatorLanes {
    DecayLanes amplitude, sweep;
    Floats scale, base, keyMode, last, gain, phase;
    Doubles w;

    void load(const BlippVoice::Pass& a, const BlippVoice::Pass& b) {
        amplitude.load(a.amplitudeEnvelope, b.amplitudeEnvelope);
        sweep.load(a.sweepEnvelope, b.sweepEnvelope);
        scale = lanes(a.keyMode ? a.sweep : a.depth, b.keyMode ? b.sweep : b.depth);
        base = lanes(a.keyMode ? a.base : a.fixed, b.keyMode ? b.base : b.fixed);
        keyMode = mask(a.keyMode, b.keyMode);
        last = lanes(a.last, b.last);
        gain = lanes(a.gain, b.gain);
        phase = lanes(a.phase, b.phase);
        w = lanes(a.w, b.w);
    }
    void store(BlippVoice::Pass& a, BlippVoice::Pass& b) const {
        amplitude.store(a.amplitudeEnvelope, b.amplitudeEnvelope);
        sweep.store(a.sweepEnvelope, b.sweepEnvelope);
        a.last = first(last);
        b.last = second(last);
        a.phase = first(phase);
        b.phase = second(phase);
    }

    // BlippVoice::sample without a note; false where a phase would need
    // more than one turn taken off.
    bool step(Floats velocity, Floats& out) {
        DecayLanes nextAmplitude = amplitude, nextSweep = sweep;
        const Floats level = nextAmplitude.accumulate(velocity);
        const Floats frequency = BlippVoice::glide<FloatLanes>(nextSweep.decay(), scale, base).v;
        Floats turned = BlippVoice::advanced<FloatLanes>(phase, DoubleLanes{w}, frequency).v;
        const Doubles pi = _mm_set1_pd(3.141592653589793);
        const Doubles above = _mm_cmpgt_pd(toDouble(turned), pi);
        // The double lane masks as float lanes 0 and 1.
        const Floats wrap = _mm_shuffle_ps(_mm_castpd_ps(above), _mm_castpd_ps(above), _MM_SHUFFLE(0, 0, 2, 0));
        turned = select(wrap, _mm_sub_ps(turned, _mm_set1_ps(6.2831855f)), turned);
        if (_mm_movemask_pd(_mm_cmpgt_pd(toDouble(turned), pi)) != 0) return false;
        out = BlippVoice::tone<FloatLanes>(turned, level, gain).v;
        amplitude = nextAmplitude;
        sweep = nextSweep;
        phase = turned;
        last = select(keyMode, frequency, last);
        return true;
    }
};

}  // namespace

void BlippVoice::processPair(BlippVoice& first, const VoiceBlock& firstBlock, BlippVoice& second,
                             const VoiceBlock& secondBlock, int frames) {
    processTwo(first, firstBlock, second, secondBlock, frames, [&](const VoiceBlock& a, const VoiceBlock& b, int n) {
        if (!first.rendersThisBlock() || !second.rendersThisBlock()) return false;
        renderPair(first, a, second, b, n);
        return true;
    });
}

void BlippVoice::renderPair(BlippVoice& first, const VoiceBlock& a, BlippVoice& second, const VoiceBlock& b,
                            int frames) {
    Pass pa = first.beginPass(), pb = second.beginPass();
    float* signalA = first.signal_.data();
    float* signalB = second.signal_.data();
    OscillatorLanes oscillators;
    oscillators.load(pa, pb);
    for (int i = 0; i < frames; ++i) {
        const float va = a.velocity[i], vb = b.velocity[i];
        Floats out;
        // A note may retune the glide: its own code runs it.
        if (!(va > 0.0f) && !(vb > 0.0f) && oscillators.step(lanes(va, vb), out)) {
            _mm_store_ss(signalA + i, out);
            signalB[i] = pairs::second(out);
            continue;
        }
        oscillators.store(pa, pb);
        first.sample(pa, a.velocity, a.pitch, i);
        second.sample(pb, b.velocity, b.pitch, i);
        oscillators.load(pa, pb);
    }
    oscillators.store(pa, pb);
    first.finishPass(pa, a, frames);
    second.finishPass(pb, b, frames);
    first.endOfBlock(frames);
    second.endOfBlock(frames);
}

}  // namespace dsp
