// The drawing primitives' fast paths against the plain per-pixel rules they replace: the inlined
// mix against the plain rule, the sampler against the bounds-checked one, the per-row scan of a
// transformed image against the scan of the whole square around its origin, discs against the
// lattice rule and lines against the pixel-by-pixel mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "gfx/primitives.h"

namespace {

// The plain sampler: floor, four bounds-checked reads, three plain mixes.
pixel_t sample_plain(const pixel_t* src, int w, int h, float x, float y) {
  if (!(x > -1.0f && y > -1.0f && x < static_cast<float>(w) && y < static_cast<float>(h))) return 0;
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(ix);
  const float fy = y - static_cast<float>(iy);
  const pixel_t left = mix_colour_reference(get_pixel(src, w, h, ix, iy), get_pixel(src, w, h, ix, iy + 1), fy);
  const pixel_t right =
      mix_colour_reference(get_pixel(src, w, h, ix + 1, iy), get_pixel(src, w, h, ix + 1, iy + 1), fy);
  return mix_colour_reference(left, right, fx);
}

// The plain scan: every pixel of the square of side 2 * 1.415 * max(w, h) around the origin is
// tested. mode 0 stores, 1 blends by `blend`, 2 adds.
void scan_plain(pixel_t* dst, int dw, int dh, const pixel_t* src, int w, int h, float ox, float oy,
                const image_transform& t, int mode, float blend) {
  auto index = [](float v) {
    if (!(v > -1073741824.0f)) return -(1 << 30);
    return v > 1073741824.0f ? (1 << 30) : static_cast<int>(v);
  };
  const float k2 = t.inv_scale * t.inv_scale;
  const float r = static_cast<float>(index(static_cast<float>(std::max(w, h)) * 1.415f));
  for (int y = std::max(index(oy - r), 0); y < std::min(index(oy + r), dh); ++y) {
    const float dy = static_cast<float>(y) - oy;
    for (int x = std::max(index(ox - r), 0); x < std::min(index(ox + r), dw); ++x) {
      const float dx = static_cast<float>(x) - ox;
      const float sx = k2 * (t.m11 * dx - t.m01 * dy);
      const float sy = k2 * (-t.m10 * dx + t.m00 * dy);
      if (!(sx >= 0.0f && sy >= 0.0f && sx <= static_cast<float>(w) && sy <= static_cast<float>(h))) continue;
      pixel_t& p = dst[y * dw + x];
      const pixel_t smp = sample_plain(src, w, h, sx, sy);
      p = mode == 0 ? smp : mode == 1 ? mix_colour_reference(p, smp, blend) : add_colour(p, smp);
    }
  }
}

// A picture with a clear first row, clear runs and opaque and faint pixels: any colour, or only
// greys (red, green and blue equal) and greys whose alpha equals them too, as text and marks are.
std::vector<pixel_t> sparse_image(std::mt19937& rng, int w, int h) {
  std::vector<pixel_t> img(static_cast<std::size_t>(w) * h);
  const bool greys = rng() % 2 == 0;
  for (pixel_t& p : img) {
    const unsigned pick = rng() % 4;
    const pixel_t v = static_cast<pixel_t>(rng());
    if (greys) {
      p = pick == 0 ? (v & 0xFFu) * 0x01010101u : pick == 1 ? (v & 0xFF000000u) | (v & 0xFFu) * 0x010101u : 0u;
    } else {
      p = pick == 0 ? v : pick == 1 ? (0xFF000000u | v) : 0u;
    }
  }
  for (int x = 0; x < w; ++x) img[x] = 0;  // a clear first row
  return img;
}

}  // namespace

TEST(BlendPixel, EqualsMixColourForEveryWeight) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const float fixed[] = {0.0f, -0.0f, 1.0f, 0.5f, 1e-30f, 1e-45f, 0.99999994f, 1.5f, -0.25f, 255.0f, 0.0627451f};
  const pixel_t colours[] = {0u, 0xFFFFFFFFu, 0xFF000000u, 0x00FFFFFFu, 0x01010101u, 0x80FF0080u};
  int checked = 0;
  for (int k = 0; k < 200000; ++k) {
    const float t = k < 11 * 36 ? fixed[k % 11] : unit(rng);
    // Clear, grey (red, green and blue equal, any alpha) and any colour, in every pairing.
    auto pick = [&](int kind) {
      const pixel_t v = static_cast<pixel_t>(rng());
      return kind == 0 ? 0u : kind == 1 ? (v & 0xFF000000u) | (v & 0xFFu) * 0x010101u : v;
    };
    const pixel_t a = k < 11 * 36 ? colours[(k / 11) % 6] : pick(k % 3);
    const pixel_t b = k < 11 * 36 ? colours[(k / 66) % 6] : pick((k / 3) % 3);
    ASSERT_EQ(blend_pixel(a, b, t), mix_colour_reference(a, b, t)) << std::hex << a << " " << b << " t " << t;
    ++checked;
  }
  EXPECT_EQ(checked, 200000);
}

TEST(SampleBilinear, EqualsThePlainSamplerEverywhere) {
  std::mt19937 rng(5);
  const int sizes[][2] = {{1, 1}, {2, 3}, {15, 15}, {32, 32}, {7, 1}};
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    const std::vector<pixel_t> img = sparse_image(rng, w, h);
    std::uniform_real_distribution<float> px(-1.5f, static_cast<float>(w) + 0.5f),
        py(-1.5f, static_cast<float>(h) + 0.5f);
    for (int k = 0; k < 20000; ++k) {
      float x = px(rng), y = py(rng);
      if (k % 7 == 0) x = std::round(x);                  // whole columns: weight 0
      if (k % 11 == 0) y = -std::ldexp(1.0f, -(k % 40));  // just above the first row
      if (k % 13 == 0) x = std::nextafter(static_cast<float>(w), 0.0f);
      ASSERT_EQ(sample_bilinear(img.data(), w, h, x, y), sample_plain(img.data(), w, h, x, y))
          << w << "x" << h << " at " << x << "," << y;
    }
  }
}

// Random turns, shrinks, shears and offsets, including origins outside the destination, images
// reaching over every edge, degenerate matrices, and all three writes, over a random background.
TEST(ScanTransformed, TheRowIntervalsWriteExactlyWhatTheSquareScanWrote) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> angle(-3.2f, 3.2f), scale(0.3f, 2.5f), pos(-40.0f, 360.0f), shear(-1.0f, 1.0f);
  const int dw = 320, dh = 240;
  std::vector<pixel_t> background(static_cast<std::size_t>(dw) * dh);
  for (pixel_t& p : background) p = rng() % 3 == 0 ? 0u : static_cast<pixel_t>(rng());
  for (int k = 0; k < 3000; ++k) {
    const int w = 1 + static_cast<int>(rng() % 33), h = 1 + static_cast<int>(rng() % 33);
    const std::vector<pixel_t> img = sparse_image(rng, w, h);
    image_transform t;
    rotate_matrix(t, angle(rng));
    if (k % 3 == 0) scale_matrix(t, scale(rng));
    if (k % 5 == 0) t.inv_scale = scale(rng);  // as the roll marks shrink
    if (k % 17 == 0) t.m01 += shear(rng);
    if (k % 29 == 0) t = image_transform{0.0f, 0.0f, 0.0f, 0.0f, 1.0f};  // everything maps to the origin
    if (k % 31 == 0) t = image_transform{1e-20f, 0.0f, 0.0f, 1.0f, 1.0f};
    if (k % 37 == 0) t = image_transform{1.0f, 1.0f, 1.0f, 1.0001f, 1.0f};  // nearly singular
    if (k % 41 == 0) t = image_transform{0.05f, 0.0f, 0.0f, 0.07f, 0.02f};  // enlarged far past the square
    float ox = pos(rng), oy = pos(rng) * 0.75f;
    if (k % 7 == 0) ox = std::round(ox);
    if (k % 9 == 0) oy = k % 2 ? -0.5f : 239.5f;
    const int mode = static_cast<int>(rng() % 3);
    const float blend = k % 4 == 0 ? 1.0f : scale(rng) / 2.5f;
    std::vector<pixel_t> want = background, got = background;
    scan_plain(want.data(), dw, dh, img.data(), w, h, ox, oy, t, mode, blend);
    if (mode == 2) {
      stamp_image_transformed(got.data(), dw, dh, img.data(), w, h, &ox, &oy, t, 1, 1);
    } else {
      draw_image_transformed(got.data(), dw, dh, img.data(), w, h, ox, oy, t, mode == 0 ? 0.0f : blend);
    }
    ASSERT_EQ(got, want) << "case " << k << ": " << w << "x" << h << " at " << ox << "," << oy << " m " << t.m00 << " "
                         << t.m01 << " " << t.m10 << " " << t.m11 << " k " << t.inv_scale;
  }
}

// Each row of a disc is one run from the square root; the plain rule tests every lattice point.
TEST(FillDisc, RowRunsPaintExactlyTheLatticePointsWithinTheRadius) {
  std::mt19937 rng(17);
  for (int k = 0; k < 400; ++k) {
    const int w = 1 + static_cast<int>(rng() % 60), h = 1 + static_cast<int>(rng() % 50);
    const int cx = static_cast<int>(rng() % 120) - 30, cy = static_cast<int>(rng() % 100) - 25;
    const int r = k % 50 == 0 ? 46340 : static_cast<int>(rng() % 70) - 2;
    std::vector<pixel_t> got(static_cast<std::size_t>(w) * h, 0u), want = got;
    fill_disc(got.data(), w, h, cx, cy, r, COLOUR_RED);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const long long dx = x - cx, dy = y - cy;
        if (r >= 0 && dx * dx + dy * dy <= static_cast<long long>(r) * r) want[y * w + x] = COLOUR_RED;
      }
    }
    ASSERT_EQ(got, want) << w << "x" << h << " centre " << cx << "," << cy << " r " << r;
  }
}

namespace {

int index_of(float v) {
  if (!(v > -1073741824.0f)) return -(1 << 30);
  return v > 1073741824.0f ? (1 << 30) : static_cast<int>(v);
}

// The plain line: the same walk, every pixel through the bounds-checked mix.
void line_plain(pixel_t* buf, int width, int height, float x0, float y0, float x1, float y1, pixel_t colour) {
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

  // Each pixel bounds-checked, weights held in 0..1, mixed by the plain rule.
  auto put = [&](int i, int minor, float t, bool store) {
    const int x = y_major ? minor : i, y = y_major ? i : minor;
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    t = std::min(std::max(t, 0.0f), 1.0f);
    buf[y * width + x] = store ? colour : mix_colour_reference(buf[y * width + x], colour, t);
  };

  // First column: weighted by how much of it the line covers along the major axis.
  const int i0 = static_cast<int>(m);
  const float fm = m - static_cast<float>(i0);
  const float Y = std::trunc(r) - fm * e;
  if (!std::isfinite(Y)) return;
  int q = index_of(Y);
  float K = static_cast<float>(q + 1) - Y;
  const float L = 1.0f - fm;
  put(i0, q - 1, L * K, false);
  put(i0, q, L, false);
  put(i0, q + 1, L * (1.0f - K), false);

  // Middle columns: full coverage, the centre pixel stored outright.
  float N = Y + e;
  int i = i0 + 1;
  for (; static_cast<float>(i) <= l; ++i) {
    // Columns past the far edge are all off-screen, and so is the end column after them.
    if (i > U) return;
    q = index_of(N);
    K = static_cast<float>(q + 1) - N;
    put(i, q - 1, K, false);
    put(i, q, 1.0f, true);
    put(i, q + 1, 1.0f - K, false);
    N += e;
  }

  // End column: weighted by the fraction of it the line reaches into.
  const float fl = l - std::trunc(l);
  q = index_of(N);
  K = static_cast<float>(q + 1) - N;
  put(i, q - 1, fl * K, false);
  put(i, q, fl, false);
  put(i, q + 1, fl * (1.0f - K), false);
}

}  // namespace

// Lines in every direction, inside, across the edges and far outside, in grey and coloured
// colours with any alpha, over a background of clear, grey and coloured pixels.
TEST(DrawLineAa, ColumnsInsideTheBufferEqualThePlainPixelRule) {
  std::mt19937 rng(23);
  std::uniform_real_distribution<float> coord(-30.0f, 110.0f);
  for (int k = 0; k < 4000; ++k) {
    const int w = 40 + static_cast<int>(rng() % 60), h = 30 + static_cast<int>(rng() % 50);
    std::vector<pixel_t> got(static_cast<std::size_t>(w) * h);
    for (pixel_t& p : got) {
      const pixel_t v = static_cast<pixel_t>(rng());
      p = rng() % 2 == 0 ? 0u : rng() % 2 == 0 ? (v & 0xFF000000u) | (v & 0xFFu) * 0x010101u : v;
    }
    std::vector<pixel_t> want = got;
    const pixel_t v = static_cast<pixel_t>(rng());
    const pixel_t colour = k % 3 == 0 ? v : (v & 0xFF000000u) | (v & 0xFFu) * 0x010101u;
    const float x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    draw_line_aa(got.data(), w, h, x0, y0, x1, y1, colour);
    line_plain(want.data(), w, h, x0, y0, x1, y1, colour);
    ASSERT_EQ(got, want) << std::hex << colour << std::dec << " " << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

// Buffers down to no pixels at all, where a column's inside test has nothing inside: every line
// through and around them, steep and flat, against the plain pixel rule, with guard pixels on both
// sides of the buffer so that a write past either end shows.
TEST(DrawLineAa, BuffersTooSmallForAColumnEqualThePlainPixelRule) {
  std::mt19937 rng(29);
  const float ends[] = {-2.5f, -1.0f, -0.25f, 0.0f, 0.5f, 1.0f, 1.75f, 3.0f, 5.5f};
  constexpr int guard = 64;
  constexpr pixel_t GUARD_PIXEL = 0x5EADBEEFu;
  int drawn = 0;
  for (int w = 0; w <= 4; ++w) {
    for (int h = 0; h <= 4; ++h) {
      for (int k = 0; k < 300; ++k) {
        std::vector<pixel_t> got(static_cast<std::size_t>(w) * h + 2 * guard, GUARD_PIXEL);
        for (int i = 0; i < w * h; ++i) got[guard + i] = rng() % 2 == 0 ? 0u : static_cast<pixel_t>(rng());
        const std::vector<pixel_t> before = got;
        std::vector<pixel_t> want = got;
        const pixel_t colour = k % 2 == 0 ? static_cast<pixel_t>(rng()) : 0xFF000000u | (rng() & 0xFFu) * 0x010101u;
        const float x0 = ends[rng() % 9], y0 = ends[rng() % 9], x1 = ends[rng() % 9], y1 = ends[rng() % 9];
        draw_line_aa(got.data() + guard, w, h, x0, y0, x1, y1, colour);
        line_plain(want.data() + guard, w, h, x0, y0, x1, y1, colour);
        ASSERT_EQ(got, want) << w << "x" << h << " " << x0 << "," << y0 << " - " << x1 << "," << y1;
        drawn += got != before ? 1 : 0;
      }
    }
  }
  EXPECT_GT(drawn, 1000);
}
