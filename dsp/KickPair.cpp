// Two kicks at once: lane 0 of the registers runs the first kick's
// recursions and lane 1 the second's, each with exactly the operations its
// own render does. A sample where either kick is struck, or where a tail has
// to be scaled down, runs through the kicks' own per-sample code instead, so
// the lanes only ever cover the plain case: both recursions ringing on.
#include <algorithm>

#include "dsp/FloatLanes.h"
#include "dsp/KickVoice.h"

namespace dsp {

#ifdef TAMBORIK_FLOAT_LANES_SSE2

namespace {

using Floats = __m128;    // lanes 0 and 1 used, 2 and 3 held at 0
using Doubles = __m128d;  // the same two lanes in double precision

Floats lanes(float a, float b) { return _mm_setr_ps(a, b, 0.0f, 0.0f); }
Doubles lanes(double a, double b) { return _mm_setr_pd(a, b); }
float first(Floats v) { return _mm_cvtss_f32(v); }
float second(Floats v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }
double first(Doubles v) { return _mm_cvtsd_f64(v); }
double second(Doubles v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }

Floats mask(bool a, bool b) { return _mm_castsi128_ps(_mm_setr_epi32(a ? -1 : 0, b ? -1 : 0, 0, 0)); }
bool any(Floats m) { return (_mm_movemask_ps(m) & 3) != 0; }
bool firstOf(Floats m) { return (_mm_movemask_ps(m) & 1) != 0; }
bool secondOf(Floats m) { return (_mm_movemask_ps(m) & 2) != 0; }
// A float lane mask as a double lane mask.
Doubles wide(Floats m) { return _mm_castps_pd(_mm_unpacklo_ps(m, m)); }
Doubles select(Doubles m, Doubles yes, Doubles no) { return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no)); }
const Floats kTiny = {1e-20f, 1e-20f, 1e-20f, 1e-20f};
const Floats kLoudest = {kLoudestHitMultiple, kLoudestHitMultiple, kLoudestHitMultiple, kLoudestHitMultiple};
const Floats kEight = {8.0f, 8.0f, 8.0f, 8.0f};
const Floats kOne = {1.0f, 1.0f, 1.0f, 1.0f};
const Floats kMagnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));

Floats magnitude(Floats v) { return _mm_and_ps(v, kMagnitude); }
Floats add(Floats a, Floats b) { return _mm_add_ps(a, b); }
Floats mul(Floats a, Floats b) { return _mm_mul_ps(a, b); }
Doubles add(Doubles a, Doubles b) { return _mm_add_pd(a, b); }
Doubles sub(Doubles a, Doubles b) { return _mm_sub_pd(a, b); }
Doubles mul(Doubles a, Doubles b) { return _mm_mul_pd(a, b); }
Doubles toDouble(Floats v) { return _mm_cvtps_pd(v); }
// std::max(a, b) lane for lane: a < b ? b : a.
Floats greaterOf(Floats a, Floats b) { return _mm_max_ps(b, a); }
Doubles greaterOf(Doubles a, Doubles b) { return _mm_max_pd(b, a); }
// std::min(a, b) lane for lane: b < a ? b : a.
Floats lesserOf(Floats a, Floats b) { return _mm_min_ps(b, a); }

// A RingTail in two lanes. Where a tail is not active its state is zero,
// which the scalar code keeps as well, so computing both lanes and keeping
// the active ones gives what each tail's own code gives.
struct TailLanes {
    Floats y1, y2, active, peak;
    Doubles allowed;

    void load(const RingTail& a, const RingTail& b) {
        const RingTail::Values va = a.values(), vb = b.values();
        y1 = lanes(va.y1, vb.y1);
        y2 = lanes(va.y2, vb.y2);
        active = mask(va.active, vb.active);
        peak = lanes(va.peak, vb.peak);
        allowed = lanes(va.allowedAction, vb.allowedAction);
    }
    void store(RingTail& a, RingTail& b) const {
        a.setValues({first(y1), first(y2), firstOf(active), first(peak), first(allowed)});
        b.setValues({second(y1), second(y2), secondOf(active), second(peak), second(allowed)});
    }

    // trackPeak, then ring and limit where active; false where a lane's
    // limit would scale its tail.
    bool ringOn(Floats hit, Floats a1, Floats a2, Floats rSquared, Floats r, Floats& out) {
        peak = greaterOf(mul(peak, r), magnitude(hit));
        if (!any(active)) {
            out = hit;
            return true;
        }
        // An inactive lane rings its zeros into zeros of either sign, which
        // the clearing of tiny tails makes +0 again; its limit then reads
        // the hit itself (never -0: the hit's last operation adds the
        // denormal guard), and its limit cannot trip. So only the action
        // needs the lane mask.
        const Floats rung = add(mul(a1, y1), mul(a2, y2));
        const Floats tiny = _mm_cmplt_ps(add(magnitude(rung), magnitude(y1)), kTiny);
        const Floats newY1 = _mm_andnot_ps(tiny, rung);
        const Floats total = add(hit, newY1);
        if (any(_mm_cmpgt_ps(magnitude(total), mul(kLoudest, peak)))) return false;
        allowed = select(wide(active), mul(allowed, toDouble(rSquared)), allowed);
        out = total;
        y2 = _mm_andnot_ps(tiny, y1);
        y1 = newY1;
        active = _mm_andnot_ps(tiny, active);
        return true;
    }
};

// The click's PingResonator::Run in two lanes (never retuned: not in Key Mode).
struct ClickLanes {
    Floats y1, y2, a1, a2, gain, r, d, rSquared;
    TailLanes tail;

    void load(const PingResonator::Run& a, const PingResonator::Run& b) {
        y1 = lanes(a.y1, b.y1);
        y2 = lanes(a.y2, b.y2);
        a1 = lanes(a.a1, b.a1);
        a2 = lanes(a.a2, b.a2);
        gain = lanes(a.gain, b.gain);
        r = lanes(a.r, b.r);
        d = lanes(a.d, b.d);
        rSquared = lanes(-a.a2, -b.a2);
        tail.load(a.tail, b.tail);
    }
    void store(PingResonator::Run& a, PingResonator::Run& b) const {
        a.y1 = first(y1);
        b.y1 = second(y1);
        a.y2 = first(y2);
        b.y2 = second(y2);
        tail.store(a.tail, b.tail);
    }
    // PingResonator::Run::step without an impulse.
    bool step(Floats excitation, Floats& out) {
        const Floats y = add(add(add(mul(a2, y2), mul(a1, y1)), mul(excitation, gain)), d);
        TailLanes next = tail;
        if (!next.ringOn(y, a1, a2, rSquared, r, out)) return false;
        y2 = y1;
        y1 = y;
        tail = next;
        return true;
    }
};

// DecayEnvelope::Run::trigger without an impulse.
struct SweepLanes {
    Floats level, coefficient, d;

    void load(const DecayEnvelope::Run& a, const DecayEnvelope::Run& b) {
        level = lanes(a.level, b.level);
        coefficient = lanes(a.coefficient, b.coefficient);
        d = lanes(a.d, b.d);
    }
    void store(DecayEnvelope::Run& a, DecayEnvelope::Run& b) const {
        a.level = first(level);
        b.level = second(level);
    }
    Floats step() {
        level = lesserOf(add(add(mul(coefficient, level), d), _mm_setzero_ps()), kOne);
        return level;
    }
};

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
    if (frames <= 0 || first.blockSize_ != second.blockSize_) {
        first.process(firstBlock, frames);
        second.process(secondBlock, frames);
        return;
    }
    const int most = first.blockSize_ > 0 ? first.blockSize_ : frames;
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, most);
        const VoiceBlock a = firstBlock.from(done), b = secondBlock.from(done);
        if (first.rendersThisBlock() && second.rendersThisBlock() && first.keyMode_ != 1.0f &&
            second.keyMode_ != 1.0f) {
            renderPair(first, a, second, b, n);
        } else {
            first.render(a, n);
            second.render(b, n);
        }
        done += n;
    }
}

void KickVoice::renderPair(KickVoice& first, const VoiceBlock& a, KickVoice& second, const VoiceBlock& b,
                           int frames) {
    Pass pa = first.beginPass(), pb = second.beginPass();
    float* signalA = first.signal_.data();
    float* signalB = second.signal_.data();
    float* glideA = first.glide_.data();
    float* glideB = second.glide_.data();

    // The clicks and the glides.
    ClickLanes click;
    SweepLanes sweep;
    click.load(pa.click, pb.click);
    sweep.load(pa.sweep, pb.sweep);
    const Floats depth = lanes(pa.depth, pb.depth), fixed = lanes(pa.fixed, pb.fixed);
    for (int i = 0; i < frames; ++i) {
        const float va = a.velocity[i], vb = b.velocity[i];
        Floats out;
        if (!(va > 0.0f) && !(vb > 0.0f) && click.step(lanes(va, vb), out)) {
            const Floats glide = add(mul(depth, sweep.step()), fixed);
            _mm_store_ss(signalA + i, out);
            signalB[i] = dsp::second(out);
            _mm_store_ss(glideA + i, glide);
            glideB[i] = dsp::second(glide);
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
                signalB[start + i] = dsp::second(mixed);
                continue;
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
