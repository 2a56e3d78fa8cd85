// Left and right side by side in one SSE2 register: both channels take the same operations, and
// every lane computes exactly what the scalar formula would. x86-64 only, like the rest of the
// build.
#pragma once

#include <emmintrin.h>

namespace engine_math {

using StereoPair = __m128d;

inline StereoPair Splat(double x) { return _mm_set1_pd(x); }

// Only for values that are never NaN (peaks).
inline StereoPair Max(StereoPair a, StereoPair b) { return _mm_max_pd(a, b); }

inline StereoPair Abs(StereoPair v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }

// SanitizeSample on both lanes: non-finite becomes 0 (x - x is 0 only for finite x), the rest
// is clamped to [-32, 32].
inline StereoPair SanitizePair(StereoPair v) {
  const StereoPair finite = _mm_cmpeq_pd(_mm_sub_pd(v, v), _mm_setzero_pd());
  const StereoPair clamped = _mm_min_pd(_mm_max_pd(v, _mm_set1_pd(-32.0)), _mm_set1_pd(32.0));
  return _mm_and_pd(clamped, finite);
}

inline StereoPair LoadPair(const float* left, const float* right, int i) {
  return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left + i), _mm_load_ss(right + i)));
}

inline void StorePair(StereoPair v, float* left, float* right, int i) {
  const __m128 f = _mm_cvtpd_ps(v);
  _mm_store_ss(left + i, f);
  _mm_store_ss(right + i, _mm_shuffle_ps(f, f, 1));
}

// {0.5 aL^2 + 0.5 aR^2, 0.5 bL^2 + 0.5 bR^2}: the mean squares of two channel pairs.
inline StereoPair MeanSquares(StereoPair a, StereoPair b) {
  const StereoPair halfA = Splat(0.5) * a * a;
  const StereoPair halfB = Splat(0.5) * b * b;
  return _mm_unpacklo_pd(halfA, halfB) + _mm_unpackhi_pd(halfA, halfB);
}

inline StereoPair FirstInBoth(StereoPair v) { return _mm_unpacklo_pd(v, v); }

// Per lane: where mask is set, a, else b.
inline StereoPair Select(StereoPair mask, StereoPair a, StereoPair b) {
  return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

inline bool AnyDiffers(StereoPair a, StereoPair b) { return _mm_movemask_pd(_mm_cmpneq_pd(a, b)) != 0; }

}  // namespace engine_math
