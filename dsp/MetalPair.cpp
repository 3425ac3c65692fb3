#include "dsp/MetalPair.h"

#include "dsp/PairLanes.h"

namespace dsp {

namespace {

using namespace pairs;

static_assert(SawBank::kOscillators == 6, "three registers hold both banks");

float third(Floats v) { return _mm_cvtss_f32(_mm_movehl_ps(v, v)); }

// Both saw banks: oscillator k of the hihat and of the crash side by side,
// [h0 c0 h1 c1], [h2 c2 h3 c3], [h4 c4 h5 c5].
struct SawLanes {
    Floats phases[3], increments[3];

    void load(const SawBank::Run& h, const SawBank::Run& c) {
        for (int r = 0; r < 3; ++r) {
            phases[r] = _mm_setr_ps(h.phases[2 * r], c.phases[2 * r], h.phases[2 * r + 1], c.phases[2 * r + 1]);
            increments[r] = _mm_setr_ps(h.increments[2 * r], c.increments[2 * r], h.increments[2 * r + 1],
                                        c.increments[2 * r + 1]);
        }
    }
    void store(SawBank::Run& h, SawBank::Run& c) const {
        for (int r = 0; r < 3; ++r) {
            alignas(16) float v[4];
            _mm_store_ps(v, phases[r]);
            h.phases[2 * r] = v[0];
            c.phases[2 * r] = v[1];
            h.phases[2 * r + 1] = v[2];
            c.phases[2 * r + 1] = v[3];
        }
    }
    // SawBank::Run::next for both: the hihat's sum in lane 0, the crash's in 1.
    Floats next() {
        for (int r = 0; r < 3; ++r) phases[r] = SawBank::advanced<FloatLanes>(phases[r], increments[r]).v;
        // ((((p5 + p4) + p3) + p2) + p1) + p0, as the bank sums them.
        Floats sum = add(_mm_movehl_ps(phases[2], phases[2]), phases[2]);
        sum = add(sum, _mm_movehl_ps(phases[1], phases[1]));
        sum = add(sum, phases[1]);
        sum = add(sum, _mm_movehl_ps(phases[0], phases[0]));
        sum = add(sum, phases[0]);
        return mul(_mm_set1_ps(0.25f), sum);
    }
};

// The hihat's filter in lane 0 and the crash's upper and lower bands in 1
// and 2 (lane 3 repeats the lower band's input and is never read).
struct FilterLanes {
    Floats gain, a1, a2, d, x1, x2, y1, y2, w;

    void load(const HighpassResonator::Run& h, const HighpassResonator::Run& u, const HighpassResonator::Run& l) {
        gain = _mm_setr_ps(h.gain, u.gain, l.gain, 0.0f);
        a1 = _mm_setr_ps(h.a1, u.a1, l.a1, 0.0f);
        a2 = _mm_setr_ps(h.a2, u.a2, l.a2, 0.0f);
        d = _mm_setr_ps(h.d, u.d, l.d, 0.0f);
        x1 = _mm_setr_ps(h.x1, u.x1, l.x1, 0.0f);
        x2 = _mm_setr_ps(h.x2, u.x2, l.x2, 0.0f);
        y1 = _mm_setr_ps(h.y1, u.y1, l.y1, 0.0f);
        y2 = _mm_setr_ps(h.y2, u.y2, l.y2, 0.0f);
        w = _mm_setr_ps(h.w, u.w, l.w, 0.0f);
    }
    static void put(Floats v, float& h, float& u, float& l) {
        h = first(v);
        u = second(v);
        l = third(v);
    }
    void store(HighpassResonator::Run& h, HighpassResonator::Run& u, HighpassResonator::Run& l) const {
        put(x1, h.x1, u.x1, l.x1);
        put(x2, h.x2, u.x2, l.x2);
        put(y1, h.y1, u.y1, l.y1);
        put(y2, h.y2, u.y2, l.y2);
        put(w, h.w, u.w, l.w);
    }
    // HighpassResonator::Run::step in each lane.
    Floats step(Floats x) {
        w = (HighpassResonator::bent<FloatLanes>(x, x1, x2) * FloatLanes(gain) + FloatLanes(d)).v;
        const Floats y = HighpassResonator::ring<FloatLanes>(w, y1, y2, a1, a2).v;
        y2 = y1;
        y1 = y;
        x2 = x1;
        x1 = x;
        return y;
    }
};

}  // namespace

void MetalPair::process(HihatVoice& hihat, const VoiceBlock& hihatBlock, CrashVoice& crash,
                        const VoiceBlock& crashBlock, int frames) {
    DrumVoice::processTwo(hihat, hihatBlock, crash, crashBlock, frames,
                          [&](const VoiceBlock& h, const VoiceBlock& c, int n) {
                              // A shadowed filter (see ResonantFilter) runs in its
                              // own voice's code.
                              if (!hihat.rendersThisBlock() || !crash.rendersThisBlock() ||
                                  hihat.filter_.shadowed() || crash.upperFilter_.shadowed() ||
                                  crash.lowerFilter_.shadowed())
                                  return false;
                              render(hihat, h, crash, c, n);
                              return true;
                          });
}

void MetalPair::render(HihatVoice& hihat, const VoiceBlock& h, CrashVoice& crash, const VoiceBlock& c,
                       int frames) {
    HihatVoice::Pass ph = hihat.beginPass();
    CrashVoice::Pass pc = crash.beginPass();
    float* signalH = hihat.signal_.data();
    float* signalC = crash.signal_.data();
    SawLanes oscillators;
    FilterLanes filters;
    oscillators.load(ph.oscillators, pc.oscillators);
    filters.load(ph.filter, pc.upperFilter, pc.lowerFilter);
    for (int i = 0; i < frames; ++i) {
        const Floats metal = oscillators.next();
        // The hihat's metal into its filter, the crash's into both bands.
        const Floats bands = filters.step(_mm_shuffle_ps(metal, metal, _MM_SHUFFLE(1, 1, 1, 0)));
        const float level = hihat.envelope(ph, h.velocity, h.pitch, i);
        signalH[i] = level * first(bands);
        const float strike = pc.strikeEnvelope.accumulate(c.velocity[i]);
        const float bloom = pc.bloomEnvelope.step(c.velocity[i]);
        signalC[i] = bloom * second(bands) + third(bands) * strike;
    }
    oscillators.store(ph.oscillators, pc.oscillators);
    filters.store(ph.filter, pc.upperFilter, pc.lowerFilter);
    hihat.finishPass(ph, h, frames);
    crash.finishPass(pc, c, frames);
    hihat.endOfBlock(frames);
    crash.endOfBlock(frames);
}

}  // namespace dsp
