// Four floats worked on at once, each lane with exactly the operation a
// scalar loop would do, so that loops without feedback give the same
// samples several at a time. The compiler will not vectorise selects such as
// std::min by itself while float traps are honoured, hence this small type.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TAMBORIK_FLOAT_LANES_SSE2 1
#endif

namespace dsp {

#ifdef TAMBORIK_FLOAT_LANES_SSE2

struct FloatLanes {
    static constexpr int kCount = 4;
    __m128 v;

    FloatLanes() = default;
    FloatLanes(float x) : v(_mm_set1_ps(x)) {}  // every lane
    FloatLanes(__m128 lanes) : v(lanes) {}
    static FloatLanes load(const float* p) { return {_mm_loadu_ps(p)}; }
    void store(float* p) const { _mm_storeu_ps(p, v); }

    friend FloatLanes operator+(FloatLanes a, FloatLanes b) { return {_mm_add_ps(a.v, b.v)}; }
    friend FloatLanes operator-(FloatLanes a, FloatLanes b) { return {_mm_sub_ps(a.v, b.v)}; }
    friend FloatLanes operator*(FloatLanes a, FloatLanes b) { return {_mm_mul_ps(a.v, b.v)}; }
    friend FloatLanes operator/(FloatLanes a, FloatLanes b) { return {_mm_div_ps(a.v, b.v)}; }
    // std::min(a, b), NaNs included: b < a ? b : a.
    friend FloatLanes lesser(FloatLanes a, FloatLanes b) { return {_mm_min_ps(b.v, a.v)}; }
    // std::max(a, b), NaNs included: a < b ? b : a.
    friend FloatLanes greater(FloatLanes a, FloatLanes b) { return {_mm_max_ps(b.v, a.v)}; }
    // x = x > limit ? limit : x, which is lesser(x, limit).
    friend void limitTo(FloatLanes& x, FloatLanes limit) { x.v = _mm_min_ps(limit.v, x.v); }
    // x >= limit ? to : x.
    friend FloatLanes wrapped(FloatLanes x, FloatLanes limit, FloatLanes to) {
        const __m128 reached = _mm_cmpge_ps(x.v, limit.v);
        return {_mm_or_ps(_mm_and_ps(reached, to.v), _mm_andnot_ps(reached, x.v))};
    }
};

// Two doubles worked on at once: the first two lanes of a FloatLanes widened.
struct DoubleLanes {
    __m128d v;

    friend DoubleLanes operator+(DoubleLanes a, DoubleLanes b) { return {_mm_add_pd(a.v, b.v)}; }
    friend DoubleLanes operator*(DoubleLanes a, DoubleLanes b) { return {_mm_mul_pd(a.v, b.v)}; }
};
inline DoubleLanes widen(FloatLanes x) { return {_mm_cvtps_pd(x.v)}; }
// Rounded to lanes 0 and 1; lanes 2 and 3 are 0.
inline FloatLanes narrow(DoubleLanes x) { return {_mm_cvtpd_ps(x.v)}; }

#else

struct FloatLanes {
    static constexpr int kCount = 4;
    float v[kCount];

    FloatLanes() = default;
    FloatLanes(float x) : v{x, x, x, x} {}  // every lane
    static FloatLanes load(const float* p) {
        FloatLanes r;
        for (int k = 0; k < kCount; ++k) r.v[k] = p[k];
        return r;
    }
    void store(float* p) const {
        for (int k = 0; k < kCount; ++k) p[k] = v[k];
    }

    template <typename Op>
    friend FloatLanes each(FloatLanes a, FloatLanes b, Op op) {
        FloatLanes r;
        for (int k = 0; k < kCount; ++k) r.v[k] = op(a.v[k], b.v[k]);
        return r;
    }
    friend FloatLanes operator+(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return x + y; }); }
    friend FloatLanes operator-(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return x - y; }); }
    friend FloatLanes operator*(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return x * y; }); }
    friend FloatLanes operator/(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return x / y; }); }
    friend FloatLanes lesser(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return y < x ? y : x; }); }
    friend FloatLanes greater(FloatLanes a, FloatLanes b) { return each(a, b, [](float x, float y) { return x < y ? y : x; }); }
    friend void limitTo(FloatLanes& x, FloatLanes limit) {
        for (int k = 0; k < kCount; ++k)
            if (x.v[k] > limit.v[k]) x.v[k] = limit.v[k];
    }
    friend FloatLanes wrapped(FloatLanes x, FloatLanes limit, FloatLanes to) {
        FloatLanes r;
        for (int k = 0; k < kCount; ++k) r.v[k] = x.v[k] >= limit.v[k] ? to.v[k] : x.v[k];
        return r;
    }
};

#endif

// The same selects and conversions for one float, so that code can be
// written once for both.
inline float lesser(float a, float b) { return b < a ? b : a; }
inline float greater(float a, float b) { return a < b ? b : a; }
inline void limitTo(float& x, float limit) {
    if (x > limit) x = limit;
}
inline float wrapped(float x, float limit, float to) { return x >= limit ? to : x; }
inline double widen(float x) { return x; }
inline float narrow(double x) { return static_cast<float>(x); }

}  // namespace dsp
