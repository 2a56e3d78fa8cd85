// The input guard of one call: a (left, right) pair of channels, sanitised and widened to
// interleaved 64-bit pairs four frames at a time, ahead of the per-frame work.
#pragma once

#include <emmintrin.h>

namespace engine_math {

// SanitizeSample on four 32-bit samples: non-finite becomes 0, the rest is clamped to [-32, 32].
// The bounds are floats and widening is exact, so guarding before widening gives the same values.
inline __m128 SanitizeFloats(__m128 v) {
  const __m128 finite = _mm_cmpeq_ps(_mm_sub_ps(v, v), _mm_setzero_ps());
  const __m128 clamped = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-32.0f)), _mm_set1_ps(32.0f));
  return _mm_and_ps(clamped, finite);
}

inline __m128 AbsFloats(__m128 v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }

// Writes frames (left, right) pairs to pairs (16-byte aligned); returns the largest guarded
// magnitude.
inline float GuardFrames(const float* left, const float* right, int frames, double* pairs) {
  __m128 peak = _mm_setzero_ps();
  int i = 0;
  for (; i + 4 <= frames; i += 4) {
    const __m128 l = SanitizeFloats(_mm_loadu_ps(left + i));
    const __m128 r = SanitizeFloats(_mm_loadu_ps(right + i));
    peak = _mm_max_ps(peak, _mm_max_ps(AbsFloats(l), AbsFloats(r)));
    const __m128 low = _mm_unpacklo_ps(l, r);
    const __m128 high = _mm_unpackhi_ps(l, r);
    _mm_store_pd(pairs + 2 * i, _mm_cvtps_pd(low));
    _mm_store_pd(pairs + 2 * i + 2, _mm_cvtps_pd(_mm_movehl_ps(low, low)));
    _mm_store_pd(pairs + 2 * i + 4, _mm_cvtps_pd(high));
    _mm_store_pd(pairs + 2 * i + 6, _mm_cvtps_pd(_mm_movehl_ps(high, high)));
  }
  for (; i < frames; ++i) {
    const __m128 f = SanitizeFloats(_mm_unpacklo_ps(_mm_load_ss(left + i), _mm_load_ss(right + i)));
    peak = _mm_max_ps(peak, AbsFloats(f));
    _mm_store_pd(pairs + 2 * i, _mm_cvtps_pd(f));
  }
  peak = _mm_max_ps(peak, _mm_movehl_ps(peak, peak));
  return _mm_cvtss_f32(_mm_max_ss(peak, _mm_shuffle_ps(peak, peak, 1)));
}

}  // namespace engine_math
