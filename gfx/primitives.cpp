// Drawing primitives: spans, boxes, discs, the anti-aliased line and its clippers, the image
// transform and the drawing of small images through it.
#include "gfx/primitives.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Float to pixel index, truncating toward zero like a plain conversion, but saturated far outside
// any buffer so that wild coordinates stay off-screen instead of overflowing.
inline int to_index(float v) {
  constexpr float limit = 1073741824.0f;  // 2^30
  if (!(v > -limit)) return -(1 << 30);   // also catches NaN
  if (v > limit) return 1 << 30;
  return static_cast<int>(v);
}

inline int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Blends one pixel of a line. The weights are coverages; near the top and left edges truncation
// toward zero can push them slightly outside 0..1, and such a weight is held at the nearer bound so
// that a pixel is never tinted away from the line colour.
inline pixel_t blend_line_pixel(pixel_t old, pixel_t colour, float t) {
  if (t < 0.0f) t = 0.0f;
  if (t > 1.0f) t = 1.0f;
  return blend_pixel(old, colour, t);
}

// The three-pixel column of a line at major coordinate i around minor q: weights ta, tb, tc for
// minor q - 1, q and q + 1, the centre stored outright instead when `store_centre`. A column
// wholly inside the buffer is written through one pointer; one reaching over an edge pixel by pixel.
struct line_column {
  pixel_t* buf;
  int width;
  int height;
  bool y_major;
  pixel_t colour;
  int major_size = y_major ? height : width;
  int minor_size = y_major ? width : height;
  // The column is inside when 0 <= i < major_size and 1 <= q < minor_size - 1: each as one
  // unsigned comparison, with the limits held at 0 so that a tiny buffer has no inside.
  unsigned major_limit = static_cast<unsigned>(std::max(major_size, 0));
  unsigned minor_inner = static_cast<unsigned>(std::max(minor_size - 2, 0));
  // The colour's alpha and (for a grey colour) its one colour channel as floats, for the mix over
  // a clear pixel, where each channel is the colour's channel times the weight.
  float alpha = static_cast<float>(colour >> 24);
  float grey_level = static_cast<float>(colour & 0xFFu);
  bool grey = rgb_grey(colour);
#if VESPER_SSE2_KERNELS
  // The colour's channels as float lanes, converted once for the whole line.
  __m128 colour_lanes = _mm_cvtepi32_ps(pixel_lanes_sse2(colour));
#endif

  // blend_line_pixel(old, colour, t), with the colour's work done once per line.
  [[gnu::always_inline]] pixel_t blend(pixel_t old, float t) const {
#if VESPER_SSE2_KERNELS
    // The weight held in 0..1 as blend_line_pixel holds it (a weight that is not a number gives
    // clear either way). Over a clear pixel each channel is the colour's times the weight.
    if (t < 0.0f) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    if (old == 0) return lanes_pixel_sse2(_mm_cvttps_epi32(_mm_mul_ps(colour_lanes, _mm_set1_ps(t))));
    // The ends as blend_pixel keeps them: the mix would give the same bits, at a greater cost.
    if (t == 0.0f) return old;
    if (t == 1.0f) return colour;
    return mix_colour_sse2(old, colour_lanes, t);
#else
    if (old != 0 || !grey) return blend_line_pixel(old, colour, t);
    if (!(t > 0.0f)) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    return static_cast<pixel_t>(static_cast<int>(alpha * t)) << 24 |
           static_cast<pixel_t>(static_cast<int>(grey_level * t)) * 0x010101u;
#endif
  }

  bool top = buf == top_layer;

  // Inlined into the walk (a call cost a fifth of a column); a column over an edge is rare enough
  // to stay a call.
  [[gnu::always_inline]] void draw(int i, int q, float ta, float tb, float tc, bool store_centre) const {
    // q - 1 cannot overflow: the walk's minor coordinates are saturated well inside an int.
    if (static_cast<unsigned>(i) < major_limit && static_cast<unsigned>(q - 1) < minor_inner) {
      // Inside the screen the marks are set here directly: the same tiles mark_written would set.
      if (top) {
        if (y_major) {
          layer_tiles.top_rows[i] |= 1u << ((q - 1) >> TILE_SHIFT) | 1u << ((q + 1) >> TILE_SHIFT);
        } else {
          const std::uint32_t bit = 1u << (i >> TILE_SHIFT);
          layer_tiles.top_rows[q - 1] |= bit;
          layer_tiles.top_rows[q] |= bit;
          layer_tiles.top_rows[q + 1] |= bit;
        }
      }
      const int step = y_major ? 1 : width;
      pixel_t* p = y_major ? buf + i * width + (q - 1) : buf + (q - 1) * width + i;
      p[0] = blend(p[0], ta);
      p[step] = store_centre ? colour : blend(p[step], tb);
      p[2 * step] = blend(p[2 * step], tc);
      return;
    }
    draw_at_edge(i, q, ta, tb, tc, store_centre);
  }

  [[gnu::noinline]] void draw_at_edge(int i, int q, float ta, float tb, float tc, bool store_centre) const {
    mark_written(buf, y_major ? q - 1 : i, y_major ? i : q - 1, y_major ? q + 1 : i, y_major ? i : q + 1);
    pixel_at(i, q - 1, ta, false);
    pixel_at(i, q, tb, store_centre);
    pixel_at(i, q + 1, tc, false);
  }

  void pixel_at(int i, int minor, float t, bool store) const {
    const int x = y_major ? minor : i;
    const int y = y_major ? i : minor;
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixel_t& p = buf[y * width + x];
    p = store ? colour : blend(p, t);
  }
};

// A pixel of a small image, clear outside it: get_pixel without the call.
inline pixel_t pixel_or_clear(const pixel_t* src, int width, int height, int x, int y) {
  return x < 0 || y < 0 || x >= width || y >= height ? COLOUR_TRANSPARENT : src[y * width + x];
}

// The bilinear sample, inlined into the scan of transformed images.
// `non_negative`: the caller has found x and y to be 0 or more, so neither is tested for it.
template <bool non_negative>
[[gnu::always_inline]] inline pixel_t sample_inline(const pixel_t* src, int width, int height, float x, float y) {
  // Nothing of the image within reach (or no number at all): fully transparent.
  if (!((non_negative || (x > -1.0f && y > -1.0f)) && x < static_cast<float>(width) &&
        y < static_cast<float>(height))) {
    return COLOUR_TRANSPARENT;
  }
  // Rounded down rather than toward zero, so that just left of or above the image the fraction
  // stays a weight in 0..1 and the edge fades out there as it does on the far sides. Above -1
  // that is the truncation less one for negative values.
  const int ix = static_cast<int>(x) - (!non_negative && x < 0.0f ? 1 : 0);
  const int iy = static_cast<int>(y) - (!non_negative && y < 0.0f ? 1 : 0);
  const float fx = x - static_cast<float>(ix);
  const float fy = y - static_cast<float>(iy);
#if VESPER_SSE2_KERNELS
  // Each row's two pixels side by side, channels widened to 16 bits: p00 p10 above, p01 p11 below.
  const __m128i zero = _mm_setzero_si128();
  __m128i above, below;
  if (ix >= 0 && iy >= 0 && ix + 1 < width && iy + 1 < height) {
    const pixel_t* at = src + iy * width + ix;
    above = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
    below = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at + width));
  } else {
    above = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(pixel_or_clear(src, width, height, ix, iy))),
                               _mm_cvtsi32_si128(static_cast<int>(pixel_or_clear(src, width, height, ix + 1, iy))));
    below = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(pixel_or_clear(src, width, height, ix, iy + 1))),
                               _mm_cvtsi32_si128(static_cast<int>(pixel_or_clear(src, width, height, ix + 1, iy + 1))));
  }
  // Clear mixed with clear is clear for any weight in 0..1.
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(above, below), zero)) == 0xFFFF) return COLOUR_TRANSPARENT;
  above = _mm_unpacklo_epi8(above, zero);
  below = _mm_unpacklo_epi8(below, zero);
  // The three mixes of every channel, four channels to a register, each lane through the steps of
  // mix_channel_bits: down both columns, then across. fx and fy lie in 0..1 (fractions above a
  // floor), so each down mix is two non-negative products summing to at most 255 and a little
  // rounding: its truncation is already in 0..255, and the byte clamp would change nothing.
  const __m128 down = _mm_set1_ps(fy);
  const __m128 stay = _mm_set1_ps(1.0f - fy);
  const __m128 left = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(above, zero)), stay),
                                 _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(below, zero)), down));
  const __m128 right = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(above, zero)), stay),
                                  _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(below, zero)), down));
  const __m128 across = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(left)), _mm_set1_ps(1.0f - fx)),
                                   _mm_mul_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(right)), _mm_set1_ps(fx)));
  return lanes_pixel_sse2(_mm_cvttps_epi32(across));
#else
  pixel_t p00, p01, p10, p11;
  if (ix >= 0 && iy >= 0 && ix + 1 < width && iy + 1 < height) {
    const pixel_t* at = src + iy * width + ix;
    p00 = at[0];
    p10 = at[1];
    p01 = at[width];
    p11 = at[width + 1];
  } else {
    p00 = pixel_or_clear(src, width, height, ix, iy);
    p01 = pixel_or_clear(src, width, height, ix, iy + 1);
    p10 = pixel_or_clear(src, width, height, ix + 1, iy);
    p11 = pixel_or_clear(src, width, height, ix + 1, iy + 1);
  }
  // Clear mixed with clear is clear for any weight in 0..1.
  if ((p00 | p01 | p10 | p11) == 0) return COLOUR_TRANSPARENT;
  // The mix of the two columns down, then across, works on each channel alone, so a channel is
  // the three mixes of its four values. Where the four pixels are grey their colour channels
  // are the same computation, done once (and with the alpha too where that equals them).
  auto channel = [&](int shift) {
    const pixel_t left = mix_channel_bits((p00 >> shift) & 0xFFu, (p01 >> shift) & 0xFFu, fy);
    const pixel_t right = mix_channel_bits((p10 >> shift) & 0xFFu, (p11 >> shift) & 0xFFu, fy);
    return mix_channel_bits(left, right, fx);
  };
  auto all_equal = [](pixel_t p) { return p == (p & 0xFFu) * 0x01010101u; };
  if (all_equal(p00) && all_equal(p01) && all_equal(p10) && all_equal(p11)) return channel(0) * 0x01010101u;
  if (rgb_grey(p00) && rgb_grey(p01) && rgb_grey(p10) && rgb_grey(p11)) {
    return channel(24) << 24 | channel(0) * 0x010101u;
  }
  return channel(24) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
#endif
}

// Narrows [lo, hi) to the columns x where a * (x - ox) + b can lie in 0..f. The slack e covers
// the rounding of the single-precision sums the pixel test computes, so no column that passes it
// is dropped; the pixel test still decides. A bound that is not a number keeps the whole range.
void narrow_columns(int& lo, int& hi, double a, double b, double f, double e, float ox) {
  double from;
  double to;
  if (a == 0.0) {
    if (b >= -e && b <= f + e) return;
    hi = lo;
    return;
  }
  from = (-e - b) / a;
  to = (f + e - b) / a;
  if (a < 0.0) std::swap(from, to);
  if (std::isnan(from) || std::isnan(to)) return;
  // Truncation lies within a column of floor and ceiling: two columns of margin keep one more.
  const double first = from + static_cast<double>(ox) - 2.0;
  const double last = to + static_cast<double>(ox) + 2.0;
  if (first > static_cast<double>(lo)) lo = first >= static_cast<double>(hi) ? hi : static_cast<int>(first);
  if (last < static_cast<double>(hi - 1)) hi = last < static_cast<double>(lo) ? lo : static_cast<int>(last) + 1;
}

// Narrows the rows [lo, hi) to those the image's corners reach, mapped forward through T, with
// margin for rounding. A matrix without a well-conditioned inverse keeps the whole range.
void narrow_rows(int& lo, int& hi, const image_transform& t, float k2, int src_w, int src_h, float oy) {
  const double det = static_cast<double>(t.m00) * t.m11 - static_cast<double>(t.m01) * t.m10;
  const double scale = static_cast<double>(k2) * det;
  const double size =
      std::max(std::max(std::fabs(t.m00), std::fabs(t.m01)), std::max(std::fabs(t.m10), std::fabs(t.m11)));
  // Only a well-conditioned matrix: near-singular ones would magnify the rounding.
  if (!(std::fabs(det) > 1e-3 * size * size) || !(std::fabs(scale) > 1e-9) || !std::isfinite(scale)) return;
  const double w = src_w;
  const double h = src_h;
  const double ys[4] = {0.0, t.m10 * w, t.m11 * h, t.m10 * w + t.m11 * h};
  double low = ys[0] / scale;
  double high = low;
  for (const double y : ys) {
    low = std::min(low, y / scale);
    high = std::max(high, y / scale);
  }
  if (!std::isfinite(low) || !std::isfinite(high)) return;
  const double margin = 2.0 + 1e-5 * std::max(std::fabs(low), std::fabs(high));
  const double first = static_cast<double>(oy) + low - margin;
  const double last = static_cast<double>(oy) + high + margin;
  if (first > static_cast<double>(lo)) lo = first >= static_cast<double>(hi) ? hi : static_cast<int>(first);
  if (last < static_cast<double>(hi - 1)) hi = last < static_cast<double>(lo) ? lo : static_cast<int>(last) + 1;
}

// How far from its origin a transformed image may reach (the scan below stays inside it).
inline float transformed_reach(int src_w, int src_h) {
  return static_cast<float>(std::max(src_w, src_h)) * 1.415f + 2.0f;
}

// One image drawn through the inverse of T with its source point (0, 0) at (ox, oy). `write`
// receives the old pixel and the sample and returns the new pixel. Each row visits only the
// columns where the source point can fall inside the image, not the whole square around the
// origin; the per-pixel test is the same, so the same pixels are written.
template <typename Write>
void scan_transformed(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, float ox, float oy,
                      const image_transform& t, Write write) {
  const float k2 = t.inv_scale * t.inv_scale;
  const int reach = to_index(static_cast<float>(std::max(src_w, src_h)) * 1.415f);
  const float r = static_cast<float>(reach);
  const int x_begin = std::max(to_index(ox - r), 0);
  const int x_end = std::min(to_index(ox + r), dst_w);
  int y_begin = std::max(to_index(oy - r), 0);
  int y_end = std::min(to_index(oy + r), dst_h);
  narrow_rows(y_begin, y_end, t, k2, src_w, src_h, oy);
  const float fw = static_cast<float>(src_w);
  const float fh = static_cast<float>(src_h);
  // Source point = (ax * dx + bx * dy, ay * dx + by * dy) in exact arithmetic.
  const double dk2 = static_cast<double>(k2);
  const double ax = dk2 * static_cast<double>(t.m11);
  const double bx = -dk2 * static_cast<double>(t.m01);
  const double ay = -dk2 * static_cast<double>(t.m10);
  const double by = dk2 * static_cast<double>(t.m00);
  const double span = std::max(std::fabs(static_cast<double>(x_begin) - static_cast<double>(ox)),
                               std::fabs(static_cast<double>(x_end) - static_cast<double>(ox))) +
                      1.0;
  // The float sums err by a few units in the last place of their largest term; 1e-5 of it is
  // ample, and the extra column on each side of the interval is more so.
  constexpr double rel = 1e-5;
  constexpr double tiny = 1e-30;
  for (int y = y_begin; y < y_end; ++y) {
    const float dy = static_cast<float>(y) - oy;
    const double ddy = static_cast<double>(dy);
    int lo = x_begin;
    int hi = x_end;
    narrow_columns(lo, hi, ax, bx * ddy, static_cast<double>(fw),
                   rel * (std::fabs(ax) * span + std::fabs(bx * ddy)) + tiny, ox);
    narrow_columns(lo, hi, ay, by * ddy, static_cast<double>(fh),
                   rel * (std::fabs(ay) * span + std::fabs(by * ddy)) + tiny, ox);
    pixel_t* row = dst + y * dst_w;
    int x = lo;
#if VESPER_SSE2_KERNELS
    // Four columns at a time: per lane the same float steps as the loop below (a product by k2 is
    // the same either side of it), so the same points pass the same test; the samples and writes
    // then follow column by column, left to right, as there.
    const __m128 lane_k2 = _mm_set1_ps(k2);
    const __m128 lane_m11 = _mm_set1_ps(t.m11);
    const __m128 lane_minus_m10 = _mm_set1_ps(-t.m10);
    const __m128 lane_m01_dy = _mm_set1_ps(t.m01 * dy);
    const __m128 lane_m00_dy = _mm_set1_ps(t.m00 * dy);
    const __m128 lane_ox = _mm_set1_ps(ox);
    const __m128 lane_fw = _mm_set1_ps(fw);
    const __m128 lane_fh = _mm_set1_ps(fh);
    const __m128 lane_zero = _mm_setzero_ps();
    for (; x + 4 <= hi; x += 4) {
      const __m128i columns = _mm_add_epi32(_mm_set1_epi32(x), _mm_set_epi32(3, 2, 1, 0));
      const __m128 dx = _mm_sub_ps(_mm_cvtepi32_ps(columns), lane_ox);
      const __m128 sx = _mm_mul_ps(lane_k2, _mm_sub_ps(_mm_mul_ps(lane_m11, dx), lane_m01_dy));
      const __m128 sy = _mm_mul_ps(lane_k2, _mm_add_ps(_mm_mul_ps(lane_minus_m10, dx), lane_m00_dy));
      const __m128 inside = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(sx, lane_zero), _mm_cmpge_ps(sy, lane_zero)),
                                       _mm_and_ps(_mm_cmple_ps(sx, lane_fw), _mm_cmple_ps(sy, lane_fh)));
      unsigned mask = static_cast<unsigned>(_mm_movemask_ps(inside));
      if (mask == 0) continue;
      alignas(16) float xs[4];
      alignas(16) float ys[4];
      _mm_store_ps(xs, sx);
      _mm_store_ps(ys, sy);
      while (mask != 0) {
        const int k = std::countr_zero(mask);
        mask &= mask - 1;
        pixel_t& p = row[x + k];
        p = write(p, sample_inline<true>(src, src_w, src_h, xs[k], ys[k]));
      }
    }
#endif
    for (; x < hi; ++x) {
      const float dx = static_cast<float>(x) - ox;
      const float sx = k2 * (t.m11 * dx - t.m01 * dy);
      const float sy = k2 * (-t.m10 * dx + t.m00 * dy);
      // The far edges are still sampled (they fade to transparent); a NaN point is not inside.
      if (!(sx >= 0.0f && sy >= 0.0f && sx <= fw && sy <= fh)) continue;
      pixel_t& p = row[x];
      p = write(p, sample_inline<true>(src, src_w, src_h, sx, sy));
    }
  }
}

}  // namespace

void draw_hspan(pixel_t* buf, int stride, int height, int x0, int x1, int y, pixel_t colour) {
  mark_written(buf, std::min(x0, x1), y, std::max(x0, x1), y);
  // Clamped to the screen, so a span wholly off one side still paints the edge pixel. A buffer
  // smaller than the screen bounds the clamp as well, so a short image is never written past.
  if (stride <= 0 || height <= 0) return;
  const int x_max = std::min(SCREEN_W, stride) - 1;
  const int y_max = std::min(SCREEN_H, height) - 1;
  x0 = clamp_int(x0, 0, x_max);
  x1 = clamp_int(x1, 0, x_max);
  y = clamp_int(y, 0, y_max);
  pixel_t* row = buf + y * stride;
  for (int x = x0; x <= x1; ++x) row[x] = colour;
}

void fill_box(pixel_t* buf, int width, int height, int x0, int y0, int x1, int y1, pixel_t colour) {
  mark_written(buf, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) - 1, std::max(y0, y1) - 1);
  const int xa = std::max(std::min(x0, x1), 0);
  const int xb = std::min(std::max(x0, x1), width);
  const int ya = std::max(std::min(y0, y1), 0);
  const int yb = std::min(std::max(y0, y1), height);
  for (int y = ya; y < yb; ++y) fill_row(buf + y * width + xa, xb - xa, colour);
}

void dim_box(pixel_t* buf, int width, int height, int x0, int y0, int x1, int y1, double factor) {
  mark_written(buf, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) - 1, std::max(y0, y1) - 1);
  const float f = static_cast<float>(factor);
  const int xa = std::max(std::min(x0, x1), 0);
  const int xb = std::min(std::max(x0, x1), width);
  const int ya = std::max(std::min(y0, y1), 0);
  const int yb = std::min(std::max(y0, y1), height);
  for (int y = ya; y < yb; ++y) {
    pixel_t* row = buf + y * width;
    for (int x = xa; x < xb; ++x) row[x] = scale_colour(row[x], f);
  }
}

void fill_disc(pixel_t* buf, int width, int height, int cx, int cy, int r, pixel_t colour) {
  mark_written_box(buf, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cx), static_cast<float>(cy),
                   static_cast<float>(r) + 1.0f);
  if (r < 0) return;
  const std::int64_t r2 = static_cast<std::int64_t>(r) * r;
  // Only the offsets that land inside the buffer are visited; the others would change nothing.
  const std::int64_t dy_lo = std::max<std::int64_t>(-static_cast<std::int64_t>(r), -static_cast<std::int64_t>(cy));
  const std::int64_t dy_hi = std::min<std::int64_t>(r, static_cast<std::int64_t>(height) - 1 - cy);
  const std::int64_t dx_lo = std::max<std::int64_t>(-static_cast<std::int64_t>(r), -static_cast<std::int64_t>(cx));
  const std::int64_t dx_hi = std::min<std::int64_t>(r, static_cast<std::int64_t>(width) - 1 - cx);
  for (std::int64_t dy = dy_lo; dy <= dy_hi; ++dy) {
    // The widest m with m * m + dy * dy <= r * r: the square root, corrected for its rounding.
    const std::int64_t rest = r2 - dy * dy;
    std::int64_t m = static_cast<std::int64_t>(std::sqrt(static_cast<double>(rest)));
    while (m > 0 && m * m > rest) --m;
    while ((m + 1) * (m + 1) <= rest) ++m;
    const std::int64_t from = std::max(-m, dx_lo);
    const std::int64_t to = std::min(m, dx_hi);
    if (from > to) continue;
    fill_row(buf + (cy + dy) * width + (cx + from), static_cast<int>(to - from + 1), colour);
  }
}

void clamp_rect_to_screen(int& x0, int& y0, int& x1, int& y1) {
  x0 = clamp_int(x0, 0, SCREEN_W - 1);
  x1 = clamp_int(x1, 0, SCREEN_W - 1);
  y0 = clamp_int(y0, 0, SCREEN_H - 1);
  y1 = clamp_int(y1, 0, SCREEN_H - 1);
}

void draw_line_aa(pixel_t* buf, int width, int height, float x0, float y0, float x1, float y1, pixel_t colour) {
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  const bool y_major = std::fabs(y1 - y0) > std::fabs(x1 - x0);
  const int U = y_major ? height : width;
  const int V = y_major ? width : height;
  float m = y_major ? y0 : x0;
  float r = y_major ? x0 : y0;
  float l = y_major ? y1 : x1;
  float o = y_major ? x1 : y1;
  if (m > l) {
    std::swap(m, l);
    std::swap(r, o);
  }
  // Both end points equal: there is no direction and nothing to draw (the slope would be 0/0).
  if (!(l - m > 0.0f)) return;
  // A line lying wholly a pixel or more beyond one edge covers nothing on screen; the edge
  // clipping below would otherwise leave a stray faint pixel on the edge row for some of them.
  if (std::max(r, o) <= -1.0f || std::min(r, o) >= static_cast<float>(V + 1) || l <= -1.0f ||
      m >= static_cast<float>(U + 1)) {
    return;
  }
  const float e = (o - r) / (l - m);
  if (!std::isfinite(e)) return;
  const bool sloped = std::fabs(static_cast<double>(e)) > 0.01;
  const float fu = static_cast<float>(U);
  const float fv = static_cast<float>(V);

  // Edge clipping: the start to just before the screen on both axes, then the end.
  if (m < 0.0f) {
    r += (-1.0f - m) * e;
    m = -1.0f;
  }
  if (sloped && r < 0.0f) {
    m += (-1.0f - r) / e;
    r = -1.0f;
  }
  if (sloped && r > fv) {
    m += (fv - r + 1.0f) / e;
    r = fv + 1.0f;
  }
  if (l > fu) {
    o += (fu - l + 1.0f) * e;
    l = fu + 1.0f;
  }
  if (l < 0.0f) {
    o += (-1.0f - l) * e;
    l = -1.0f;
  }
  if (sloped && o < 0.0f) {
    l += (-1.0f - o) / e;
    o = -1.0f;
  }
  if (sloped && o > fv) l += (fv - o + 1.0f) / e;

  // A start beyond the far edge leaves every column off-screen. A start implausibly far before
  // the near edge only comes from a line the clipping found outside; it is not walked.
  if (!std::isfinite(m) || !std::isfinite(l) || m >= fu + 1.0f || m < -65536.0f) return;

  const line_column column{buf, width, height, y_major, colour};

  // First column: weighted by how much of it the line covers along the major axis.
  const int i0 = static_cast<int>(m);
  const float fm = m - static_cast<float>(i0);
  const float Y = std::trunc(r) - fm * e;
  if (!std::isfinite(Y)) return;
  int q = to_index(Y);
  float K = static_cast<float>(q + 1) - Y;
  const float L = 1.0f - fm;
  column.draw(i0, q, L * K, L, L * (1.0f - K), false);

  // Middle columns: full coverage, the centre pixel stored outright.
  float N = Y + e;
  int i = i0 + 1;
  for (; static_cast<float>(i) <= l; ++i) {
    // Columns past the far edge are all off-screen, and so is the end column after them.
    if (i > U) return;
    q = to_index(N);
    K = static_cast<float>(q + 1) - N;
    column.draw(i, q, K, 1.0f, 1.0f - K, true);
    N += e;
  }

  // End column: weighted by the fraction of it the line reaches into.
  const float fl = l - std::trunc(l);
  q = to_index(N);
  K = static_cast<float>(q + 1) - N;
  column.draw(i, q, fl * K, fl, fl * (1.0f - K), false);
}

int clip_line(float& x0, float& y0, float& x1, float& y1, int xmin, int xmax, int ymax, int ymin) {
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  float t0 = 0.0f;
  float t1 = 1.0f;
  int visible = 1;
  const float p[4] = {-dx, dx, -dy, dy};
  const float q[4] = {x0 - static_cast<float>(xmin), static_cast<float>(xmax) - x0, y0 - static_cast<float>(ymin),
                      static_cast<float>(ymax) - y0};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0f) {
      if (q[k] < 0.0f) visible = 0;
    } else {
      const float ratio = q[k] / p[k];
      if (p[k] < 0.0f) {
        if (ratio > t1) {
          visible = 0;
        } else {
          t0 = std::max(t0, ratio);
        }
      } else {
        if (ratio < t0) {
          visible = 0;
        } else {
          t1 = std::min(t1, ratio);
        }
      }
    }
  }
  if (!visible) return 0;
  const float sx = x0;
  const float sy = y0;
  x0 = sx + dx * t0;
  y0 = sy + dy * t0;
  x1 = sx + dx * t1;
  y1 = sy + dy * t1;
  return 1;
}

int box_visible(float x, float y, int xmin, int xmax, int ymin, int ymax, int size) {
  if (std::isnan(x) || std::isnan(y)) return 0;
  const int h = size / 2;
  const std::int64_t left = to_index(x - static_cast<float>(h));
  const std::int64_t top = to_index(y - static_cast<float>(h));
  return (left + size >= xmin && left <= xmax && top <= ymax && top + size >= ymin) ? 1 : 0;
}

void rotate_matrix(image_transform& t, float angle) {
  const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
  const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
  const float m00 = t.m00;
  const float m01 = t.m01;
  const float m10 = t.m10;
  const float m11 = t.m11;
  t.m00 = m00 * c - m01 * s;
  t.m01 = m00 * s + m01 * c;
  t.m10 = m10 * c - m11 * s;
  t.m11 = m10 * s + m11 * c;
}

void scale_matrix(image_transform& t, float s) {
  t.m00 *= s;
  t.m01 *= s;
  t.m10 *= s;
  t.m11 *= s;
  t.inv_scale /= s;
}

void transform_point(const image_transform& t, float& x, float& y) {
  const float sx = x;
  const float sy = y;
  x = t.m00 * sx + t.m01 * sy;
  y = t.m10 * sx + t.m11 * sy;
}

pixel_t sample_bilinear(const pixel_t* src, int width, int height, float x, float y) {
  return sample_inline<false>(src, width, height, x, y);
}

void draw_image_transformed(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, float ox,
                            float oy, const image_transform& t, float blend) {
  mark_written_box(dst, ox, oy, ox, oy, transformed_reach(src_w, src_h));
  if (blend > 0.0f) {
    // Clear over clear stays clear for any weight in 0..1: no mix is needed there.
    const bool unit = blend <= 1.0f;
    scan_transformed(dst, dst_w, dst_h, src, src_w, src_h, ox, oy, t, [blend, unit](pixel_t old, pixel_t smp) {
      return (old | smp) == 0 && unit ? COLOUR_TRANSPARENT : blend_pixel(old, smp, blend);
    });
  } else {
    // A plain store: the sample's alpha replaces the old pixel's, so clear parts punch through.
    scan_transformed(dst, dst_w, dst_h, src, src_w, src_h, ox, oy, t, [](pixel_t, pixel_t smp) { return smp; });
  }
}

void draw_image_rotated(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, float ox,
                        float oy, const image_transform& t, float blend) {
  // Whole-pixel half sizes: an odd image's centre is the pixel left of and above the middle.
  const float hw = static_cast<float>(src_w / 2);  // NOLINT(bugprone-integer-division)
  const float hh = static_cast<float>(src_h / 2);  // NOLINT(bugprone-integer-division)
  draw_image_transformed(dst, dst_w, dst_h, src, src_w, src_h, ox - (t.m00 * hw + t.m01 * hh),
                         oy - (t.m10 * hw + t.m11 * hh), t, blend);
}

void stamp_image_transformed(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h,
                             const float* offsets_x, const float* offsets_y, const image_transform& t, int additive,
                             int count) {
  for (int k = 0; k < count; ++k)
    mark_written_box(dst, offsets_x[k], offsets_y[k], offsets_x[k], offsets_y[k], transformed_reach(src_w, src_h));
  for (int k = 0; k < count; ++k) {
    if (additive) {
      scan_transformed(dst, dst_w, dst_h, src, src_w, src_h, offsets_x[k], offsets_y[k], t,
                       [](pixel_t old, pixel_t smp) { return add_colour(old, smp); });
    } else {
      scan_transformed(dst, dst_w, dst_h, src, src_w, src_h, offsets_x[k], offsets_y[k], t,
                       [](pixel_t, pixel_t smp) { return smp; });
    }
  }
}
