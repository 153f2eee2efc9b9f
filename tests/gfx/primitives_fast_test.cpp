// The drawing primitives' fast paths against the plain per-pixel rules they replace: the inlined
// mix against mix_colour, the sampler against the bounds-checked one, and the per-row scan of a
// transformed image against the scan of the whole square around its origin.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gfx/primitives.h"

namespace {

// The plain sampler: floor, four bounds-checked reads, three mixes.
pixel_t sample_plain(const pixel_t* src, int w, int h, float x, float y) {
  if (!(x > -1.0f && y > -1.0f && x < static_cast<float>(w) && y < static_cast<float>(h))) return 0;
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(ix);
  const float fy = y - static_cast<float>(iy);
  const pixel_t left = mix_colour(get_pixel(src, w, h, ix, iy), get_pixel(src, w, h, ix, iy + 1), fy);
  const pixel_t right = mix_colour(get_pixel(src, w, h, ix + 1, iy), get_pixel(src, w, h, ix + 1, iy + 1), fy);
  return mix_colour(left, right, fx);
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
      p = mode == 0 ? smp : mode == 1 ? mix_colour(p, smp, blend) : add_colour(p, smp);
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
    ASSERT_EQ(blend_pixel(a, b, t), mix_colour(a, b, t)) << std::hex << a << " " << b << " t " << t;
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
