// Two kicks at once, one in each lane (see PairLanes.h).
#include <algorithm>

#include "dsp/KickVoice.h"
#include "dsp/PairLanes.h"

namespace dsp {

#ifdef TAMBORIK_FLOAT_LANES_SSE2

namespace {

using namespace pairs;

// The body's SweptResonator::Run in two lanes, stepping through planned
// stretches.
struct BodyLanes {
    Floats y1, y2, a2, r, rSquared, d;
    TailLanes tail;

    void load(const SweptResonator::Run& a, const SweptResonator::Run& b) {
        y1 = lanes(a.y1, b.y1);
        y2 = lanes(a.y2, b.y2);
        a2 = lanes(a.a2, b.a2);
        r = lanes(a.r, b.r);
        rSquared = lanes(a.rSquared, b.rSquared);
        d = lanes(a.d, b.d);
        tail.load(a.tail, b.tail);
    }
    void store(SweptResonator::Run& a, SweptResonator::Run& b) const {
        a.y1 = first(y1);
        b.y1 = second(y1);
        a.y2 = first(y2);
        b.y2 = second(y2);
        tail.store(a.tail, b.tail);
    }
    // SweptResonator::Run::step without an impulse, for sample i of both
    // stretches. The coefficients it leaves in the Run (a1, gain, ringA1,
    // ringRSquared) are set by finishStretch.
    bool step(Floats excitation, const SweptResonator::Course& ca, const SweptResonator::Course& cb, int i,
              Floats& out) {
        const Floats a1Now = lanes(ca.a1[i], cb.a1[i]);
        const Floats gainNow = lanes(ca.gain[i], cb.gain[i]);
        const Floats y = add(add(add(mul(a1Now, y1), mul(a2, y2)), mul(gainNow, excitation)), d);
        TailLanes next = tail;
        if (any(next.active)) {
            // holdAction: a lane whose tail has more action than allowed
            // is scaled by its own code.
            const Doubles ty1 = toDouble(next.y1), ty2 = toDouble(next.y2);
            const Doubles half = lanes(ca.half[i], cb.half[i]);
            const Doubles cross = lanes(ca.cross[i], cb.cross[i]);
            const Doubles sineSquared = lanes(ca.sineSquared[i], cb.sineSquared[i]);
            const Doubles v = sub(ty1, mul(half, ty2));
            const Doubles energy = greaterOf(add(mul(v, v), mul(mul(cross, ty2), ty2)), _mm_setzero_pd());
            // An inactive lane has no energy and cannot be over.
            const Doubles over =
                _mm_cmpgt_pd(mul(energy, energy), mul(mul(next.allowed, next.allowed), sineSquared));
            if (_mm_movemask_pd(over) != 0) return false;
        }
        Floats limited;
        if (!next.ringOn(y, a1Now, a2, rSquared, r, limited)) return false;
        out = mul(kEight, limited);
        y2 = y1;
        y1 = y;
        tail = next;
        return true;
    }
};

// What the body's step leaves in its Run besides the state, as after the
// last sample i of a stretch.
void finishStretch(SweptResonator::Run& run, const SweptResonator::Course& course, int i) {
    run.a1 = course.a1[i];
    run.gain = course.gain[i];
    run.ringA1 = run.a1;
    run.ringRSquared = run.rSquared;
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
    Pass pa = first.beginPass(), pb = second.beginPass();
    float* signalA = first.signal_.data();
    float* signalB = second.signal_.data();
    float* glideA = first.glide_.data();
    float* glideB = second.glide_.data();

    // The clicks and the glides.
    PingLanes click;
    DecayLanes sweep;
    click.load(pa.click, pb.click);
    sweep.load(pa.sweep, pb.sweep);
    const Floats depth = lanes(pa.depth, pb.depth), fixed = lanes(pa.fixed, pb.fixed);
    for (int i = 0; i < frames; ++i) {
        const float va = a.velocity[i], vb = b.velocity[i];
        Floats out;
        if (!(va > 0.0f) && !(vb > 0.0f) && click.step(lanes(va, vb), out)) {
            const Floats glide = add(mul(depth, sweep.decay()), fixed);
            _mm_store_ss(signalA + i, out);
            signalB[i] = pairs::second(out);
            _mm_store_ss(glideA + i, glide);
            glideB[i] = pairs::second(glide);
            continue;
        }
        click.store(pa.click, pb.click);
        sweep.store(pa.sweep, pb.sweep);
        first.clickAndGlide(pa, a.velocity, a.pitch, i);
        second.clickAndGlide(pb, b.velocity, b.pitch, i);
        click.load(pa.click, pb.click);
        sweep.load(pa.sweep, pb.sweep);
    }
    click.store(pa.click, pb.click);
    sweep.store(pa.sweep, pb.sweep);

    // The bodies, a planned stretch at a time.
    SweptResonator::Course courseA, courseB;
    BodyLanes body;
    const Floats clickGain = lanes(pa.clickGain, pb.clickGain), bodyGain = lanes(pa.bodyGain, pb.bodyGain);
    for (int start = 0; start < frames; start += SweptResonator::kStretch) {
        const int n = std::min(SweptResonator::kStretch, frames - start);
        // The tails' terms in both stretches wherever either may need them.
        const bool struckA = anyStrike(a.velocity + start, n), struckB = anyStrike(b.velocity + start, n);
        const bool terms = struckA || struckB || pa.body.tail.active() || pb.body.tail.active();
        pa.body.plan(glideA + start, n, terms, courseA);
        pb.body.plan(glideB + start, n, terms, courseB);
        body.load(pa.body, pb.body);
        for (int i = 0; i < n; ++i) {
            const float va = a.velocity[start + i], vb = b.velocity[start + i];
            Floats out;
            if (!(va > 0.0f) && !(vb > 0.0f) && body.step(lanes(va, vb), courseA, courseB, i, out)) {
                const Floats mixed =
                    add(mul(lanes(signalA[start + i], signalB[start + i]), clickGain), mul(out, bodyGain));
                _mm_store_ss(signalA + start + i, mixed);
                signalB[start + i] = pairs::second(mixed);
                continue;
            }
            // The coefficients the lanes stepped with up to here, which an
            // impulse hands to the tail.
            if (i > 0) {
                finishStretch(pa.body, courseA, i - 1);
                finishStretch(pb.body, courseB, i - 1);
            }
            body.store(pa.body, pb.body);
            first.body(pa, start, i, va, courseA);
            second.body(pb, start, i, vb, courseB);
            body.load(pa.body, pb.body);
        }
        body.store(pa.body, pb.body);
        finishStretch(pa.body, courseA, n - 1);
        finishStretch(pb.body, courseB, n - 1);
    }

    first.finishPass(pa, a, frames);
    second.finishPass(pb, b, frames);
    first.endOfBlock(frames);
    second.endOfBlock(frames);
}

#else

// Without vector registers each kick renders alone.
void KickVoice::processPair(KickVoice& first, const VoiceBlock& firstBlock, KickVoice& second,
                            const VoiceBlock& secondBlock, int frames) {
    first.process(firstBlock, frames);
    second.process(secondBlock, frames);
}

#endif

}  // namespace dsp
