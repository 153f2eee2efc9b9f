// The blend on SSE2 targets: four pixels at a time, each channel through exactly the float
// operations of the plain rule (multiply, multiply, add, truncate), so the result is bit-identical.
// Groups of four that are all transparent or all opaque, the bulk of every real layer, skip the
// arithmetic altogether.
#include "gfx/layers.h"
#include "gfx/mix.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

inline pixel_t blend_pixel(pixel_t under, pixel_t src) {
  const unsigned a = src >> 24;
  if (a == 0) return under;
  if (a == 255) return src;
  return mix_colour_sse2(under, src, blend_weights.t[a]);
}

// No lane needs the plain rule's cap at 255: with channels of 0..255 and a weight in 0..1 each
// rounded product exceeds its exact value by a factor of at most (1 + 2^-24)^2, so the rounded sum
// stays below 255 * (1 + 2^-24)^3, far short of 256, and is never negative.

// The blend weight of four alpha lanes. The quotient in single precision equals the table's
// float(a / 255.0) for every alpha 0..255 (a test holds it), and needs no lookup per lane.
inline __m128 weight4(__m128i alpha) { return _mm_div_ps(_mm_cvtepi32_ps(alpha), _mm_set1_ps(255.0f)); }

// The channel at `shift` of four pixels as floats (the alpha channel needs no mask).
inline __m128 channel4(__m128i p, int shift) {
  const __m128i c = _mm_srli_epi32(p, shift);
  return _mm_cvtepi32_ps(shift == 24 ? c : _mm_and_si128(c, _mm_set1_epi32(0xFF)));
}

// One channel of four pixels: the channel at `shift` of u and s mixed with weights t and 1 - t.
inline __m128i mix_channel4(__m128i u, __m128i s, __m128 t, __m128 one_minus_t, int shift) {
  const __m128 uc = channel4(u, shift);
  const __m128 sc = channel4(s, shift);
  const __m128 v = _mm_add_ps(_mm_mul_ps(uc, one_minus_t), _mm_mul_ps(sc, t));
  return _mm_slli_epi32(_mm_cvttps_epi32(v), shift);
}

// One channel of four pixels blended twice in place: the source's product with t is the same
// float both times, so it is taken once.
inline __m128i mix_channel4_twice(__m128i u, __m128i s, __m128 t, __m128 one_minus_t, int shift) {
  const __m128 st = _mm_mul_ps(channel4(s, shift), t);
  const __m128 uc = channel4(u, shift);
  const __m128i once = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(uc, one_minus_t), st));
  const __m128 oc = _mm_cvtepi32_ps(once);
  const __m128i twice = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(oc, one_minus_t), st));
  return _mm_slli_epi32(twice, shift);
}

}  // namespace

namespace {

// The group loop of both kernels: groups of four whose source is clear leave the under pixels,
// opaque ones store the source, the rest are mixed once, or twice in place (dst is then under).
template <bool twice>
[[gnu::always_inline]] inline void blend_rows_sse2(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride,
                                                   int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  const __m128i alpha_bits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  const __m128 one = _mm_set1_ps(1.0f);
  const bool in_place = twice || dst == under;
  for (int j = 0; j < h; ++j) {
    const pixel_t* s = src + j * w;
    const pixel_t* u = under + (y + j) * stride + x;
    pixel_t* d = dst + (y + j) * stride + x;
    int i = 0;
    for (; i + 4 <= w; i += 4) {
      const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      const __m128i a = _mm_and_si128(sv, alpha_bits);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) {
        // Nothing of the source shows: the under pixels stand (and are already there in place).
        if (!in_place)
          _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + i)));
        continue;
      }
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, alpha_bits)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
        continue;
      }
      const __m128i uv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + i));
      const __m128 t = weight4(_mm_srli_epi32(sv, 24));
      const __m128 one_minus_t = _mm_sub_ps(one, t);
      auto mix = [&](int shift) {
        return twice ? mix_channel4_twice(uv, sv, t, one_minus_t, shift) : mix_channel4(uv, sv, t, one_minus_t, shift);
      };
      const __m128i out = _mm_or_si128(_mm_or_si128(mix(0), mix(8)), _mm_or_si128(mix(16), mix(24)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
    for (; i < w; ++i) d[i] = twice ? blend_pixel(blend_pixel(d[i], s[i]), s[i]) : blend_pixel(u[i], s[i]);
  }
}

}  // namespace

void blend_image_sse2_twice(pixel_t* dst, const pixel_t* src, int stride, int x, int y, int w, int h) {
  blend_rows_sse2<true>(dst, src, dst, stride, x, y, w, h);
}

void blend_image_sse2(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w, int h) {
  blend_rows_sse2<false>(dst, src, under, stride, x, y, w, h);
}

namespace {

// trunc(u * (1 - t) + s * t) on four lanes.
inline __m128i mix4(__m128 u, __m128 s, __m128 t, __m128 one_minus_t) {
  return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(u, one_minus_t), _mm_mul_ps(s, t)));
}

}  // namespace

// Four pixels at a time. Every blend of the rule goes through the plain per-channel operations:
// with a weight of 0 or 1 they leave the under or the source pixel, as the blend's early returns
// do, so no lane needs a case of its own. The vignette is black, so its colour channels add a
// product of zero, which is left out (adding +0 changes no sum here).
void merge_vignetted_sse2(const vignette_merge_run& run, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128i sky = _mm_set1_epi32(static_cast<int>(run.sky));
  const __m128i ground = _mm_set1_epi32(static_cast<int>(run.ground));
  const __m128i ground_after = _mm_set1_epi32(run.ground_from - 1);
  const __m128i ground_to = _mm_set1_epi32(run.ground_to);
  __m128i column = _mm_set_epi32(3, 2, 1, 0);
  int i = 0;
  for (; i + 4 <= n; i += 4, column = _mm_add_epi32(column, _mm_set1_epi32(4))) {
    const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.top + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(tv, zero)) == 0xFFFF) continue;
    // The plain colour under each pixel, from where the ground lies.
    const __m128i in_ground = _mm_and_si128(_mm_cmpgt_epi32(column, ground_after), _mm_cmpgt_epi32(ground_to, column));
    const __m128i bv = _mm_or_si128(_mm_and_si128(in_ground, ground), _mm_andnot_si128(in_ground, sky));
    const __m128i vv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.vignette + i));
    // Weights: the top pixel's alpha (first merge), the vignette's (twice over the top pixel).
    const __m128i top_alpha = _mm_srli_epi32(tv, 24);
    const __m128 t_top = weight4(top_alpha);
    const __m128 u_top = _mm_sub_ps(one, t_top);
    const __m128 vig_alpha = _mm_cvtepi32_ps(_mm_srli_epi32(vv, 24));
    const __m128 t_vig = _mm_div_ps(vig_alpha, _mm_set1_ps(255.0f));
    const __m128 u_vig = _mm_sub_ps(one, t_vig);
    // The alpha of the top pixel with the vignette over it, once and twice: the second merge's weight.
    const __m128 top_a = _mm_cvtepi32_ps(top_alpha);
    const __m128i once_a = mix4(top_a, vig_alpha, t_vig, u_vig);
    const __m128i twice_a = mix4(_mm_cvtepi32_ps(once_a), vig_alpha, t_vig, u_vig);
    const __m128 t_shaded = weight4(twice_a);
    const __m128 u_shaded = _mm_sub_ps(one, t_shaded);
    // Alpha: the first merge, then the shaded top pixel over it.
    const __m128i merged_a = mix4(channel4(bv, 24), top_a, t_top, u_top);
    __m128i out = _mm_slli_epi32(mix4(_mm_cvtepi32_ps(merged_a), _mm_cvtepi32_ps(twice_a), t_shaded, u_shaded), 24);
    for (int shift = 0; shift < 24; shift += 8) {
      const __m128 tc = channel4(tv, shift);
      const __m128i merged = mix4(channel4(bv, shift), tc, t_top, u_top);
      const __m128i once = _mm_cvttps_epi32(_mm_mul_ps(tc, u_vig));
      const __m128i twice = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(once), u_vig));
      const __m128i result = mix4(_mm_cvtepi32_ps(merged), _mm_cvtepi32_ps(twice), t_shaded, u_shaded);
      out = _mm_or_si128(out, _mm_slli_epi32(result, shift));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run.base + i), out);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run.top + i), zero);
  }
  if (i < n) {
    const vignette_merge_run rest{run.base + i, run.top + i,         run.vignette + i, run.sky,
                                  run.ground,   run.ground_from - i, run.ground_to - i};
    merge_vignetted_portable(rest, n - i);
  }
}

#endif
