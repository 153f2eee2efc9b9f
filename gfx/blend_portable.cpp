// The blend for targets without SSE2: integer arithmetic, exact to the single-precision rule.
//
// Per channel the float rule trunc(u * (1 - t) + s * t), t = float(a / 255.0), equals
// floor((u * (255 - a) + s * a) / 255) except in a few thousand cases, and every one of those has
// an exact quotient where the float rule, having rounded just below the integer, gives one less.
// So the quotient is taken in integers and only an exact quotient (about one channel in 255) is
// settled by the float rule itself.
#include "gfx/layers.h"

namespace {

inline pixel_t blend_pixel(pixel_t under, pixel_t src) {
  const unsigned a = src >> 24;
  if (a == 0) return under;
  if (a == 255) return src;
  const float t = blend_weights.t[a];
  pixel_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned u = (under >> shift) & 0xFFu;
    const unsigned s = (src >> shift) & 0xFFu;
    const unsigned n = u * (255u - a) + s * a;  // at most 255 * 255
    unsigned q = (n * 0x8081u) >> 23;           // n / 255 for every n below 2^16
    if (q * 255u == n) {
      q = static_cast<unsigned>(static_cast<float>(u) * (1.0f - t) + static_cast<float>(s) * t);
      if (q > 255u) q = 255u;
    }
    out |= static_cast<pixel_t>(q) << shift;
  }
  return out;
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
