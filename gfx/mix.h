// The mix of two pixels, inline for the hot drawing loops: the plain per-channel rule, kept as the
// reference every faster form is proved against, and on SSE2 targets the same rule with the four
// channels of a pixel as four float lanes.
//
// Per channel: trunc(float(ca) * (1 - t) + float(cb) * t), single precision, the two products and
// the sum each rounded on their own (never fused), then held to 0..255 so that a weight outside
// 0..1 cannot spill into the next channel.
#pragma once
#include <cstdint>

#include "gfx/layers.h"

// The four-lane mix and the SSE2 blend kernels stand in for the plain ones wherever the target has
// SSE2, unless the build asks for the portable kernels everywhere (the sanitizer build does, so
// that the tests hold the frames of both).
#if defined(__SSE2__) && !defined(VESPER_PORTABLE_KERNELS)
#define VESPER_SSE2_KERNELS 1
#else
#define VESPER_SSE2_KERNELS 0
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// One channel of the mix, ca and cb in 0..255.
inline pixel_t mix_channel_bits(pixel_t ca, pixel_t cb, float t) {
  int v = static_cast<int>(static_cast<float>(ca) * (1.0f - t) + static_cast<float>(cb) * t);
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<pixel_t>(v);
}

// The plain rule, one channel at a time.
inline pixel_t mix_colour_reference(pixel_t a, pixel_t b, float t) {
  pixel_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= mix_channel_bits((a >> shift) & 0xFFu, (b >> shift) & 0xFFu, t) << shift;
  return out;
}

#if defined(__SSE2__)
// The four channels of a pixel as 32-bit lanes, blue in lane 0 and alpha in lane 3.
inline __m128i pixel_lanes_sse2(pixel_t p) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), zero), zero);
}

// Four 32-bit lanes back to a pixel, each held to 0..255 as the plain rule holds its channel: the
// signed pack saturates to 16 bits (the truncation's out-of-range answer, the most negative
// integer, stays negative) and the unsigned pack then clamps to a byte.
inline pixel_t lanes_pixel_sse2(__m128i v) {
  const __m128i words = _mm_packs_epi32(v, v);
  return static_cast<pixel_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

// mix_colour_reference, all four channels at once: per lane the same two products, the same sum
// and the same truncation, so the bits are the same for every a and b and every weight whose sums
// fit an int (beyond that, and for a weight that is not a number, the plain conversion has no
// defined answer; a lane gives 0 there). The second pixel comes as float lanes, so that a loop
// mixing towards one colour converts it once.
inline pixel_t mix_colour_sse2(pixel_t a, __m128 b_lanes, float t) {
  const __m128 fa = _mm_cvtepi32_ps(pixel_lanes_sse2(a));
  const __m128 v = _mm_add_ps(_mm_mul_ps(fa, _mm_set1_ps(1.0f - t)), _mm_mul_ps(b_lanes, _mm_set1_ps(t)));
  return lanes_pixel_sse2(_mm_cvttps_epi32(v));
}

inline pixel_t mix_colour_sse2(pixel_t a, pixel_t b, float t) {
  return mix_colour_sse2(a, _mm_cvtepi32_ps(pixel_lanes_sse2(b)), t);
}
#endif

// The mix the drawing code uses: the four-lane form where it is enabled, the plain rule elsewhere.
inline pixel_t mix_colour_inline(pixel_t a, pixel_t b, float t) {
#if VESPER_SSE2_KERNELS
  return mix_colour_sse2(a, b, t);
#else
  return mix_colour_reference(a, b, t);
#endif
}
