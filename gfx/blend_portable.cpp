// The blend for targets without SSE2: integer arithmetic, exact to the single-precision rule.
//
// Per channel the float rule trunc(u * (1 - t) + s * t), t = float(a / 255.0), equals
// floor((u * (255 - a) + s * a) / 255) except in a few thousand cases, and every one of those has
// an exact quotient where the float rule, having rounded just below the integer, gives one less.
// So the quotient is taken in integers, two channels to a word, and only an exact quotient (about
// one channel in 255) is settled by the float rule itself.
#include "gfx/layers.h"

namespace {

constexpr pixel_t LOW_LANES = 0x00FF00FFu;

// floor(n / 255) in each 16-bit lane of a pair of channel sums (each at most 255 * 255, so no lane
// carries into the other).
inline pixel_t divide_lanes(pixel_t n) { return ((n + ((n >> 8) & LOW_LANES) + 0x00010001u) >> 8) & LOW_LANES; }

inline pixel_t float_channel(pixel_t u, pixel_t s, int shift, float t) {
  const unsigned cu = (u >> shift) & 0xFFu;
  const unsigned cs = (s >> shift) & 0xFFu;
  unsigned q = static_cast<unsigned>(static_cast<float>(cu) * (1.0f - t) + static_cast<float>(cs) * t);
  if (q > 255u) q = 255u;
  return static_cast<pixel_t>(q) << shift;
}

// Blue and red (shift 0), or green and alpha (shift 8), two channels in one word.
inline pixel_t blend_pair(pixel_t under, pixel_t src, unsigned a, float t, int shift) {
  const pixel_t n = ((under >> shift) & LOW_LANES) * (255u - a) + ((src >> shift) & LOW_LANES) * a;
  const pixel_t q = divide_lanes(n);
  const pixel_t rest = n - q * 255u;  // remainders per lane, never borrowing
  pixel_t out = q << shift;
  if ((rest & 0xFFFFu) == 0) out = (out & ~(0xFFu << shift)) | float_channel(under, src, shift, t);
  if ((rest >> 16) == 0) out = (out & ~(0xFFu << (shift + 16))) | float_channel(under, src, shift + 16, t);
  return out;
}

inline pixel_t blend_pixel(pixel_t under, pixel_t src) {
  const unsigned a = src >> 24;
  if (a == 0) return under;
  if (a == 255) return src;
  const float t = blend_weights.t[a];
  return blend_pair(under, src, a, t, 0) | blend_pair(under, src, a, t, 8);
}

}  // namespace

void blend_image_portable(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w,
                          int h) {
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) {
    const pixel_t* s = src + j * w;
    const pixel_t* u = under + (y + j) * stride + x;
    pixel_t* d = dst + (y + j) * stride + x;
    for (int i = 0; i < w; ++i) d[i] = blend_pixel(u[i], s[i]);
  }
}

void merge_vignetted_portable(const vignette_merge_run& run, int n) {
  for (int i = 0; i < n; ++i) {
    const pixel_t top = run.top[i];
    if (top == 0) continue;
    const pixel_t under = i >= run.ground_from && i < run.ground_to ? run.ground : run.sky;
    const pixel_t shaded = blend_pixel(blend_pixel(top, run.vignette[i]), run.vignette[i]);
    run.base[i] = blend_pixel(blend_pixel(under, top), shaded);
    run.top[i] = 0;
  }
}
