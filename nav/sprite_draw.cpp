#include "nav/sprite_draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The same float-to-index conversion as the plain transformed draw, so both visit one window.
inline int to_index(float v) {
  constexpr float limit = 1073741824.0f;  // 2^30
  if (!(v > -limit)) return -(1 << 30);
  if (v > limit) return 1 << 30;
  return static_cast<int>(v);
}

// Narrows [lo, hi] (offsets from the origin along a row) to where a*d + b may lie in 0..top once
// rounded to single precision. The slack is a hundredth of a source pixel, far above the rounding
// of the per-pixel sums (about 1e-5 here); the per-pixel test then decides exactly.
bool narrow_span(double a, double b, double top, double reach, double& lo, double& hi) {
  constexpr double slack = 0.01;
  if (std::fabs(a) * reach < slack) {
    // Along the whole row the value moves by less than the slack.
    return b >= -2.0 * slack && b <= top + 2.0 * slack;
  }
  const double d1 = (-slack - b) / a;
  const double d2 = (top + slack - b) / a;
  lo = std::max(lo, std::min(d1, d2));
  hi = std::min(hi, std::max(d1, d2));
  return lo <= hi;
}

// Channel values as floats, so that a channel costs a load rather than a conversion.
struct channel_floats {
  float v[256];
  constexpr channel_floats() : v() {
    for (int i = 0; i < 256; ++i) v[i] = static_cast<float>(i);
  }
};
constexpr channel_floats CHANNEL;

// One channel of the colour mix, in the same single-precision steps as mix_colour.
inline pixel_t mix_channel(pixel_t a, pixel_t b, int shift, float t, float u) {
  int v = static_cast<int>(CHANNEL.v[(a >> shift) & 0xFFu] * u + CHANNEL.v[(b >> shift) & 0xFFu] * t);
  v = v < 0 ? 0 : (v > 255 ? 255 : v);
  return static_cast<pixel_t>(v) << shift;
}

inline pixel_t mix(pixel_t a, pixel_t b, float t) {
  const float u = 1.0f - t;
  return mix_channel(a, b, 0, t, u) | mix_channel(a, b, 8, t, u) | mix_channel(a, b, 16, t, u) |
         mix_channel(a, b, 24, t, u);
}

// The mix for a weight t in 0..1, where no channel can leave 0..255: u = 1 - t rounds to at most
// (1 - t)(1 + 2^-24), so the rounded sum stays below 255.0001 and truncates into the byte. A mix of
// two clear pixels is clear whatever the weight.
inline pixel_t unit_channel(pixel_t a, pixel_t b, int shift, float t, float u) {
  return static_cast<pixel_t>(
             static_cast<int>(CHANNEL.v[(a >> shift) & 0xFFu] * u + CHANNEL.v[(b >> shift) & 0xFFu] * t))
         << shift;
}

inline pixel_t mix_unit(pixel_t a, pixel_t b, float t) {
  if ((a | b) == 0) return COLOUR_TRANSPARENT;
  const float u = 1.0f - t;
  return unit_channel(a, b, 0, t, u) | unit_channel(a, b, 8, t, u) | unit_channel(a, b, 16, t, u) |
         unit_channel(a, b, 24, t, u);
}

// The bilinear sample at (sx, sy), known to lie in 0..w x 0..h: the arithmetic of sample_bilinear
// without its calls and per-pixel bounds checks.
inline pixel_t sample(const pixel_t* src, int w, int h, float sx, float sy) {
  if (!(sx < static_cast<float>(w) && sy < static_cast<float>(h))) return COLOUR_TRANSPARENT;
  const int ix = static_cast<int>(sx);  // not negative: truncation is the floor
  const int iy = static_cast<int>(sy);
  const float fx = sx - static_cast<float>(ix);
  const float fy = sy - static_cast<float>(iy);
  const pixel_t* row = src + iy * w + ix;
  const bool right = ix + 1 < w;
  const bool below = iy + 1 < h;
  const pixel_t p00 = row[0];
  const pixel_t p10 = right ? row[1] : COLOUR_TRANSPARENT;
  const pixel_t p01 = below ? row[w] : COLOUR_TRANSPARENT;
  const pixel_t p11 = right && below ? row[w + 1] : COLOUR_TRANSPARENT;
  // A mix of zeros is zero whatever the fractions.
  if ((p00 | p10 | p01 | p11) == 0) return COLOUR_TRANSPARENT;
  return mix_unit(mix_unit(p00, p01, fy), mix_unit(p10, p11, fy), fx);
}

// The draw itself; `keep` hears of every pixel a store writes (its layer index and value).
template <typename Keep>
pixel_box scan(pixel_t* layer, const pixel_t* src, int w, int h, float ox, float oy, const image_transform& t,
               float blend, Keep keep) {
  mark_written_box(layer, ox, oy, ox, oy, static_cast<float>(std::max(w, h)) * 1.415f + 2.0f);
  const float k2 = t.inv_scale * t.inv_scale;
  const int reach = to_index(static_cast<float>(std::max(w, h)) * 1.415f);
  const float r = static_cast<float>(reach);
  const int x_begin = std::max(to_index(ox - r), 0);
  const int x_end = std::min(to_index(ox + r), SCREEN_W);
  const int y_begin = std::max(to_index(oy - r), 0);
  const int y_end = std::min(to_index(oy + r), SCREEN_H);
  const float fw = static_cast<float>(w);
  const float fh = static_cast<float>(h);
  // Mixing with weight exactly 1 gives the sample itself, as does the plain store of weight 0.
  const bool store = !(blend > 0.0f) || blend == 1.0f;
  // Row spans come from the real-valued transform; a transform that is not finite gets none.
  const double a1 = static_cast<double>(k2) * t.m11;
  const double a2 = -static_cast<double>(k2) * t.m10;
  const bool spans = std::isfinite(a1) && std::isfinite(a2) && std::isfinite(k2 * t.m01) && std::isfinite(k2 * t.m00);
  const double span_reach = static_cast<double>(reach) + 2.0;
  for (int y = y_begin; y < y_end; ++y) {
    const float dy = static_cast<float>(y) - oy;
    int xa = x_begin;
    int xb = x_end;
    if (spans) {
      double lo = -span_reach;
      double hi = span_reach;
      const double b1 = -static_cast<double>(k2) * t.m01 * dy;
      const double b2 = static_cast<double>(k2) * t.m00 * dy;
      if (!narrow_span(a1, b1, fw, span_reach, lo, hi) || !narrow_span(a2, b2, fh, span_reach, lo, hi)) continue;
      // Clamped in double before the conversion, so that a far-off span cannot overflow an int.
      const double left = std::floor(static_cast<double>(ox) + lo) - 1.0;
      const double right = std::ceil(static_cast<double>(ox) + hi) + 2.0;
      xa = static_cast<int>(std::clamp(left, static_cast<double>(xa), static_cast<double>(x_end)));
      xb = static_cast<int>(std::clamp(right, static_cast<double>(x_begin), static_cast<double>(xb)));
    }
    pixel_t* row = layer + y * SCREEN_W;
    for (int x = xa; x < xb; ++x) {
      const float dx = static_cast<float>(x) - ox;
      const float sx = k2 * (t.m11 * dx - t.m01 * dy);
      const float sy = k2 * (-t.m10 * dx + t.m00 * dy);
      if (!(sx >= 0.0f && sy >= 0.0f && sx <= fw && sy <= fh)) continue;
      const pixel_t smp = sample(src, w, h, sx, sy);
      if (store) {
        row[x] = smp;
        keep(y * SCREEN_W + x, smp);
      } else {
        row[x] = mix(row[x], smp, blend);
      }
    }
  }
  return pixel_box{x_begin, y_begin, x_end - 1, y_end - 1};
}

std::uint32_t bits(float f) {
  std::uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

}  // namespace

pixel_box sprite_draw_transformed(pixel_t* layer, const pixel_t* src, int w, int h, float ox, float oy,
                                  const image_transform& t, float blend) {
  return scan(layer, src, w, h, ox, oy, t, blend, [](int, pixel_t) {});
}

pixel_box sprite_draw_rotated(pixel_t* layer, const pixel_t* src, int w, int h, float x, float y,
                              const image_transform& t, float blend) {
  // The same centring as draw_image_rotated: whole-pixel half sizes.
  const float hw = static_cast<float>(w / 2);  // NOLINT(bugprone-integer-division)
  const float hh = static_cast<float>(h / 2);  // NOLINT(bugprone-integer-division)
  return sprite_draw_transformed(layer, src, w, h, x - (t.m00 * hw + t.m01 * hh), y - (t.m10 * hw + t.m11 * hh), t,
                                 blend);
}

pixel_box sprite_draw_rotated_kept(pixel_t* layer, const pixel_t* src, int w, int h, float x, float y,
                                   const image_transform& t, std::uint32_t version, sprite_kept& kept) {
  const float hw = static_cast<float>(w / 2);  // NOLINT(bugprone-integer-division)
  const float hh = static_cast<float>(h / 2);  // NOLINT(bugprone-integer-division)
  const float ox = x - (t.m00 * hw + t.m01 * hh);
  const float oy = y - (t.m10 * hw + t.m11 * hh);
  const std::uint32_t key[7] = {bits(ox),    bits(oy),    bits(t.m00),      bits(t.m01),
                                bits(t.m10), bits(t.m11), bits(t.inv_scale)};
  const bool same =
      kept.src == src && kept.version == version && kept.w == w && kept.h == h && std::equal(key, key + 7, kept.key);
  if (same && kept.valid) {
    mark_written_box(layer, ox, oy, ox, oy, static_cast<float>(std::max(w, h)) * 1.415f + 2.0f);
    pixel_t* at = layer + kept.first;
    for (int i = 0; i < kept.count; ++i) at[kept.offset[i]] = kept.value[i];
    return kept.box;
  }
  if (!same) {
    // Inputs that moved since the last draw are likely to move again: drawn without keeping, and
    // kept only once the same inputs come a second time.
    kept.valid = false;
    kept.src = src;
    kept.version = version;
    kept.w = w;
    kept.h = h;
    std::copy(key, key + 7, kept.key);
    return sprite_draw_rotated(layer, src, w, h, x, y, t, 1.0f);
  }
  kept.valid = true;
  kept.count = 0;
  kept.first = -1;
  const pixel_box box = scan(layer, src, w, h, ox, oy, t, 1.0f, [&kept](int index, pixel_t value) {
    if (kept.first < 0) kept.first = index;
    const int offset = index - kept.first;
    if (kept.count == SPRITE_KEPT_MAX || offset > 0xFFFF) {
      kept.valid = false;  // too many to keep: drawn afresh next time
      return;
    }
    kept.offset[kept.count] = static_cast<std::uint16_t>(offset);
    kept.value[kept.count] = value;
    kept.count += 1;
  });
  if (kept.first < 0) kept.first = 0;
  kept.src = src;
  kept.version = version;
  kept.w = w;
  kept.h = h;
  std::copy(key, key + 7, kept.key);
  kept.box = box;
  return box;
}
