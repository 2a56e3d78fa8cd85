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

inline void StorePair(StereoPair v, float* left, float* right, int i) {
  const __m128 f = _mm_cvtpd_ps(v);
  _mm_store_ss(left + i, f);
  _mm_store_ss(right + i, _mm_shuffle_ps(f, f, 1));
}

// {aL^2 + aR^2, bL^2 + bR^2}: twice the mean squares of two channel pairs.
inline StereoPair SumsOfSquares(StereoPair a, StereoPair b) {
  const StereoPair squaresA = a * a;
  const StereoPair squaresB = b * b;
  return _mm_unpacklo_pd(squaresA, squaresB) + _mm_unpackhi_pd(squaresA, squaresB);
}

inline StereoPair FirstInBoth(StereoPair v) { return _mm_unpacklo_pd(v, v); }

// Per lane: where mask is set, a, else b.
inline StereoPair Select(StereoPair mask, StereoPair a, StereoPair b) {
  return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

inline bool AnyDiffers(StereoPair a, StereoPair b) { return _mm_movemask_pd(_mm_cmpneq_pd(a, b)) != 0; }

}  // namespace engine_math
