// Two voices of one kind in the lanes of the vector registers: lane 0
// runs the first voice's recursions and lane 1 the second's, each with
// exactly the operations its own code does (lanes 2 and 3 are held at 0).
// The lanes cover the plain case only: a voice falls back on its own
// per-sample code wherever a lane would need anything else (an impulse, a
// bound that acts), so the samples stay those of each voice alone.
#pragma once

#include "dsp/DecayEnvelope.h"
#include "dsp/FloatLanes.h"
#include "dsp/PingResonator.h"

#ifndef TAMBORIK_FLOAT_LANES_SSE2
#error "voice pairs need SSE2, which every x86-64 processor has (32-bit builds: -msse2)"
#endif

namespace dsp::pairs {

using Floats = __m128;    // lanes 0 and 1 used, 2 and 3 held at 0
using Doubles = __m128d;  // the same two lanes in double precision

inline Floats lanes(float a, float b) { return _mm_setr_ps(a, b, 0.0f, 0.0f); }
inline Doubles lanes(double a, double b) { return _mm_setr_pd(a, b); }
inline float first(Floats v) { return _mm_cvtss_f32(v); }
inline float second(Floats v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }

inline Floats mask(bool a, bool b) { return _mm_castsi128_ps(_mm_setr_epi32(a ? -1 : 0, b ? -1 : 0, 0, 0)); }
inline const Floats kEight = {8.0f, 8.0f, 8.0f, 8.0f};
inline const Floats kOne = {1.0f, 1.0f, 1.0f, 1.0f};

inline Floats magnitude(Floats v) { return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff))); }
inline Floats select(Floats m, Floats yes, Floats no) { return _mm_or_ps(_mm_and_ps(m, yes), _mm_andnot_ps(m, no)); }
inline Floats add(Floats a, Floats b) { return _mm_add_ps(a, b); }
inline Floats mul(Floats a, Floats b) { return _mm_mul_ps(a, b); }
inline Doubles toDouble(Floats v) { return _mm_cvtps_pd(v); }

// Whether a lane's output passes its bound's limit (or is not a number):
// that lane needs its own code for the sample (see RingBound).
inline bool beyond(Floats y, Floats limit, int lanesUsed) {
    return (_mm_movemask_ps(_mm_cmpnle_ps(magnitude(y), limit)) & lanesUsed) != 0;
}

// A PingResonator::Run in two lanes (an impulse, which may retune it, falls
// back).
struct PingLanes {
    Floats y1, y2, a1, a2, gain, d, limit;

    void load(const PingResonator::Run& a, const PingResonator::Run& b) {
        y1 = lanes(a.y1, b.y1);
        y2 = lanes(a.y2, b.y2);
        a1 = lanes(a.a1, b.a1);
        a2 = lanes(a.a2, b.a2);
        gain = lanes(a.gain, b.gain);
        d = lanes(a.d, b.d);
        limit = lanes(a.bound.limit(), b.bound.limit());
    }
    void store(PingResonator::Run& a, PingResonator::Run& b) const {
        a.y1 = first(y1);
        b.y1 = second(y1);
        a.y2 = first(y2);
        b.y2 = second(y2);
    }
    // PingResonator::Run::step without an impulse; false, with nothing
    // changed, where a lane's bound would act.
    bool step(Floats excitation, Floats& out) {
        const Floats y = PingResonator::ring<FloatLanes>(y1, y2, a1, a2, excitation, gain, d).v;
        if (beyond(y, limit, 3)) return false;
        y2 = y1;
        y1 = y;
        out = y;
        return true;
    }
};

// A DecayEnvelope::Run in two lanes.
struct DecayLanes {
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
    // trigger without an impulse.
    Floats decay() { return triggerBy(0.0f); }
    // trigger, with any input.
    Floats trigger(Floats in) { return triggerBy(_mm_and_ps(_mm_cmpgt_ps(in, _mm_setzero_ps()), kOne)); }
    // accumulate, with any input.
    Floats accumulate(Floats in) {
        FloatLanes next{level};
        DecayEnvelope::accumulate<FloatLanes>(next, coefficient, d, in);
        return level = next.v;
    }

private:
    Floats triggerBy(FloatLanes pulse) {
        FloatLanes next{level};
        DecayEnvelope::trigger<FloatLanes>(next, coefficient, d, pulse);
        return level = next.v;
    }
};

}  // namespace dsp::pairs
