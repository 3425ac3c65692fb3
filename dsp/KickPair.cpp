// Two kicks at once, one in each lane (see PairLanes.h).
#include <algorithm>

#include "dsp/KickVoice.h"
#include "dsp/PairLanes.h"

namespace dsp {

namespace {

using namespace pairs;

inline Floats four(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }

// Both kicks' bodies (lanes 0 and 1) and clicks (lanes 2 and 3). The click's
// recursion, a2*y2 + a1*y1 + excitation*gain + d, has the same products and
// sums as the body's, a1*y1 + a2*y2 + gain*excitation + d, so one
// instruction sequence runs all four.
struct KickLanes {
    Floats y1, y2, a2, d, limit;
    Floats clickA1, clickGain;  // in lanes 0 and 1, moved up each sample

    void load(const SweptResonator::Run& ba, const SweptResonator::Run& bb, const PingResonator::Run& ca,
              const PingResonator::Run& cb) {
        y1 = four(ba.y1, bb.y1, ca.y1, cb.y1);
        y2 = four(ba.y2, bb.y2, ca.y2, cb.y2);
        a2 = four(ba.a2, bb.a2, ca.a2, cb.a2);
        d = four(ba.d, bb.d, ca.d, cb.d);
        limit = four(ba.bound.limit(), bb.bound.limit(), ca.bound.limit(), cb.bound.limit());
        clickA1 = lanes(ca.a1, cb.a1);
        clickGain = lanes(ca.gain, cb.gain);
    }
    void store(SweptResonator::Run& ba, SweptResonator::Run& bb, PingResonator::Run& ca,
               PingResonator::Run& cb) const {
        alignas(16) float v1[4], v2[4];
        _mm_store_ps(v1, y1);
        _mm_store_ps(v2, y2);
        ba.y1 = v1[0];
        bb.y1 = v1[1];
        ca.y1 = v1[2];
        cb.y1 = v1[3];
        ba.y2 = v2[0];
        bb.y2 = v2[1];
        ca.y2 = v2[2];
        cb.y2 = v2[3];
    }

    // Sample i of both planned stretches without an impulse, each kick's
    // click and body mixed by its gains (the body times 8, as the body gives
    // it). False, with nothing changed, where a bound would act.
    bool step(Floats excitation, const SweptResonator::Course& ca, const SweptResonator::Course& cb, int i,
              Floats clickGains, Floats bodyGains, Floats voiceLimit, Floats& mixed) {
        const Floats e = _mm_movelh_ps(excitation, excitation);
        const Floats a1 = _mm_movelh_ps(lanes(ca.a1[i], cb.a1[i]), clickA1);
        const Floats gain = _mm_movelh_ps(lanes(ca.gain[i], cb.gain[i]), clickGain);
        const Floats y = SweptResonator::ring<FloatLanes>(y1, y2, a1, a2, e, gain, d).v;
        if (beyond(y, limit, 15)) return false;
        const Floats body = mul(kEight, y), click = _mm_movehl_ps(y, y);
        mixed = KickVoice::mixed<FloatLanes>(click, clickGains, body, bodyGains).v;
        if (beyond(mixed, voiceLimit, 3)) return false;
        y2 = y1;
        y1 = y;
        return true;
    }
};

// What the body's step leaves in its Run besides the state, as after the
// last sample i of a stretch.
void finishStretch(SweptResonator::Run& run, const SweptResonator::Course& course, int i) {
    run.a1 = course.a1[i];
    run.gain = course.gain[i];
}

}  // namespace

void KickVoice::processPair(KickVoice& first, const VoiceBlock& firstBlock, KickVoice& second,
                            const VoiceBlock& secondBlock, int frames) {
    processTwo(first, firstBlock, second, secondBlock, frames, [&](const VoiceBlock& a, const VoiceBlock& b, int n) {
        if (!first.rendersThisBlock() || !second.rendersThisBlock() || first.keyMode_ == 1.0f ||
            second.keyMode_ == 1.0f)
            return false;
        renderPair(first, a, second, b, n);
        return true;
    });
}

void KickVoice::renderPair(KickVoice& first, const VoiceBlock& a, KickVoice& second, const VoiceBlock& b,
                           int frames) {
    Pass pa = first.beginPass(frames), pb = second.beginPass(frames);
    float* signalA = first.signal_.data();
    float* signalB = second.signal_.data();
    float* glideA = first.glide_.data();
    float* glideB = second.glide_.data();

    // The glides: the sweep envelopes run on through impulses alike.
    DecayLanes sweep;
    sweep.load(pa.sweep, pb.sweep);
    const Floats depth = lanes(pa.depth, pb.depth), fixed = lanes(pa.fixed, pb.fixed);
    for (int i = 0; i < frames; ++i) {
        const Floats envelope = sweep.trigger(lanes(a.velocity[i], b.velocity[i]));
        const Floats glide = KickVoice::glide<FloatLanes>(depth, envelope, fixed).v;
        _mm_store_ss(glideA + i, glide);
        glideB[i] = pairs::second(glide);
    }
    sweep.store(pa.sweep, pb.sweep);

    // Clicks and bodies, a planned stretch at a time.
    SweptResonator::Course courseA, courseB;
    KickLanes kicks;
    const Floats clickGain = lanes(pa.clickGain, pb.clickGain), bodyGain = lanes(pa.bodyGain, pb.bodyGain);
    const Floats voiceLimit = lanes(pa.voice.limit(), pb.voice.limit());
    for (int start = 0; start < frames; start += SweptResonator::kStretch) {
        const int n = std::min(SweptResonator::kStretch, frames - start);
        pa.body.plan(glideA + start, n, courseA);
        pb.body.plan(glideB + start, n, courseB);
        kicks.load(pa.body, pb.body, pa.click, pb.click);
        for (int i = 0; i < n; ++i) {
            const float va = a.velocity[start + i], vb = b.velocity[start + i];
            Floats mixed;
            if (!(va > 0.0f) && !(vb > 0.0f) &&
                kicks.step(lanes(va, vb), courseA, courseB, i, clickGain, bodyGain, voiceLimit, mixed)) {
                _mm_store_ss(signalA + start + i, mixed);
                signalB[start + i] = pairs::second(mixed);
                continue;
            }
            kicks.store(pa.body, pb.body, pa.click, pb.click);
            first.clickAndBody(pa, a, start, i, courseA);
            second.clickAndBody(pb, b, start, i, courseB);
            kicks.load(pa.body, pb.body, pa.click, pb.click);
        }
        kicks.store(pa.body, pb.body, pa.click, pb.click);
        finishStretch(pa.body, courseA, n - 1);
        finishStretch(pb.body, courseB, n - 1);
    }

    first.finishPass(pa, a, frames);
    second.finishPass(pb, b, frames);
    first.endOfBlock(frames);
    second.endOfBlock(frames);
}

}  // namespace dsp
