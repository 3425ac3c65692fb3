// Two snares at once, one in each lane (see PairLanes.h).
#include "dsp/PairLanes.h"
#include "dsp/SnareVoice.h"

namespace dsp {

void SnareVoice::processPair(SnareVoice& first, const VoiceBlock& firstBlock, SnareVoice& second,
                             const VoiceBlock& secondBlock, int frames) {
    processTwo(first, firstBlock, second, secondBlock, frames, [&](const VoiceBlock& a, const VoiceBlock& b, int n) {
        if (!first.rendersThisBlock() || !second.rendersThisBlock()) return false;
        renderPair(first, a, second, b, n);
        return true;
    });
}

void SnareVoice::renderPair(SnareVoice& first, const VoiceBlock& a, SnareVoice& second, const VoiceBlock& b,
                            int frames) {
    using namespace pairs;
    Pass pa = first.beginPass(), pb = second.beginPass();
    float* signalA = first.signal_.data();
    float* signalB = second.signal_.data();
    PingLanes tone;
    DecayLanes envelope;
    tone.load(pa.tone, pb.tone);
    envelope.load(pa.envelope, pb.envelope);
    const Floats toneGain = lanes(pa.toneGain, pb.toneGain), noiseGain = lanes(pa.noiseGain, pb.noiseGain);
    for (int i = 0; i < frames; ++i) {
        const float va = a.velocity[i], vb = b.velocity[i];
        Floats t;
        // A struck tone may retune (Key Mode): its own code runs it.
        if (!(va > 0.0f) && !(vb > 0.0f) && tone.step(lanes(va, vb), t)) {
            const Floats e = envelope.accumulate(lanes(va, vb));
            const float noiseA = pa.noise.next();
            const Floats noise = lanes(noiseA, pb.noise.next());
            const Floats out = mixed<FloatLanes>(t, toneGain, e, noise, noiseGain).v;
            _mm_store_ss(signalA + i, out);
            signalB[i] = pairs::second(out);
            continue;
        }
        tone.store(pa.tone, pb.tone);
        envelope.store(pa.envelope, pb.envelope);
        first.sample(pa, a.velocity, a.pitch, i);
        second.sample(pb, b.velocity, b.pitch, i);
        tone.load(pa.tone, pb.tone);
        envelope.load(pa.envelope, pb.envelope);
    }
    tone.store(pa.tone, pb.tone);
    envelope.store(pa.envelope, pb.envelope);
    first.finishPass(pa, a, frames);
    second.finishPass(pb, b, frames);
    first.endOfBlock(frames);
    second.endOfBlock(frames);
}

}  // namespace dsp
