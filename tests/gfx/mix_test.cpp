// The fast mixes against the plain per-channel rule: the four-lane mix of one pixel, the mix the
// drawing code and mix_colour use, the blend kernel's leftover pixels, and the bilinear sampler.
#include "gfx/mix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gfx/primitives.h"

namespace {

// Every blend weight a / 255, then the ends, weights just inside and outside them, a denormal,
// coverages and thirds, and weights far enough outside 0..1 that the clamp to a byte decides.
std::vector<float> weights() {
  std::vector<float> t;
  for (int a = 0; a < 256; ++a) t.push_back(blend_weights.t[a]);
  const float awkward[] = {0.0f,        -0.0f,       1.0f,   0.5f, 1e-45f,      1e-30f,     0.99999994f,
                           1.0000001f,  -1e-7f,      -0.25f, 1.5f, 3.0f,        -1000.0f,   0.0627451f,
                           1.0f / 3.0f, 2.0f / 3.0f, 0.1f,   0.7f, 0.50000006f, 0.49999997f};
  for (const float w : awkward) t.push_back(w);
  return t;
}

// Lane k of the pixel pair carries its own bijection of the 65,536 channel pairs (u, s), so every
// lane meets every pair, and a mix-up of lanes or channels shows as a wrong neighbour.
void pixel_pair(int u, int s, pixel_t& a, pixel_t& b) {
  a = static_cast<pixel_t>(u | s << 8 | (255 - u) << 16 | u << 24);
  b = static_cast<pixel_t>(s | u << 8 | s << 16 | (255 - s) << 24);
}

// The plain sampler: floor, four bounds-checked reads, three plain mixes.
pixel_t sample_reference(const std::vector<pixel_t>& img, int w, int h, float x, float y) {
  if (!(x > -1.0f && y > -1.0f && x < static_cast<float>(w) && y < static_cast<float>(h))) return 0;
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(ix);
  const float fy = y - static_cast<float>(iy);
  auto at = [&](int i, int j) { return i < 0 || j < 0 || i >= w || j >= h ? 0u : img[j * w + i]; };
  return mix_colour_reference(mix_colour_reference(at(ix, iy), at(ix, iy + 1), fy),
                              mix_colour_reference(at(ix + 1, iy), at(ix + 1, iy + 1), fy), fx);
}

}  // namespace

TEST(MixColourReference, IsThePlainRuleChannelByChannel) {
  // Rows: a, b, t, expected; the last rows need the clamp on one side or the other.
  struct row {
    pixel_t a, b;
    float t;
    pixel_t want;
  } const table[] = {
      {0x00000000u, 0xFFFFFFFFu, 0.5f, 0x7F7F7F7Fu},
      {0xFFFFFFFFu, 0xFFFFFFFFu, static_cast<float>(65 / 255.0), 0xFEFEFEFEu},  // the sum rounds below 255
      {0xFF000000u, 0xFF0000FFu, 0.25f, 0xFF00003Fu},
      {0x12345678u, 0x9ABCDEF0u, 0.0f, 0x12345678u},
      {0x12345678u, 0x9ABCDEF0u, 1.0f, 0x9ABCDEF0u},
      {0x00000000u, 0x00808080u, 1.5f, 0x00C0C0C0u},
      {0x00FF00FFu, 0x00000000u, 1.5f, 0x00000000u},
      {0xFF00FF00u, 0x00FF00FFu, 3.0f, 0x00FF00FFu},
      {0x00000000u, 0xFFFFFFFFu, -0.5f, 0x00000000u},
  };
  for (const row& r : table) {
    EXPECT_EQ(mix_colour_reference(r.a, r.b, r.t), r.want) << std::hex << r.a << " " << r.b << " t " << r.t;
  }
}

// Every pair of channel values in every lane at every weight: the four-lane mix, mix_colour and
// the drawing loops' blend_pixel all give the plain rule's bits.
TEST(MixColour, EveryFormIsThePlainRuleForEveryChannelPairAndWeight) {
  for (const float t : weights()) {
    for (int u = 0; u < 256; ++u) {
      for (int s = 0; s < 256; ++s) {
        pixel_t a, b;
        pixel_pair(u, s, a, b);
        const pixel_t want = mix_colour_reference(a, b, t);
        // Compared plainly first: eighteen million cases through the assertion machinery would
        // take far longer than the mixes themselves.
#if defined(__SSE2__)
        if (mix_colour_sse2(a, b, t) != want) FAIL() << "sse2 " << std::hex << a << " " << b << " t " << t;
#endif
        if (mix_colour_inline(a, b, t) != want) FAIL() << "inline " << std::hex << a << " " << b << " t " << t;
        if (blend_pixel(a, b, t) != want) FAIL() << "blend_pixel " << std::hex << a << " " << b << " t " << t;
      }
    }
    ASSERT_EQ(mix_colour(0x01020304u, 0xFFFEFDFCu, t), mix_colour_reference(0x01020304u, 0xFFFEFDFCu, t)) << t;
  }
}

#if defined(__SSE2__)
// Rows three pixels wide leave every pixel to the kernel's leftover loop, not its groups of four:
// every under and source channel pair at every alpha against the plain blend.
TEST(BlendImage, TheSse2KernelsLeftoverPixelsAreThePlainRule) {
  const int w = 3, rows = 65536 / w + 1, n = w * rows;
  std::vector<pixel_t> src(n), under(n), want(n), got(n);
  for (int a = 0; a < 256; ++a) {
    for (int k = 0; k < n; ++k) {
      const int u = k % 65536 >> 8, s = k & 255;
      pixel_t pu, ps;
      pixel_pair(u, s, pu, ps);
      under[k] = pu;
      src[k] = (ps & 0x00FFFFFFu) | static_cast<pixel_t>(a) << 24;
    }
    blend_image_reference(want.data(), src.data(), under.data(), w, rows, 0, 0, w, rows);
    blend_image_sse2(got.data(), src.data(), under.data(), w, 0, 0, w, rows);
    ASSERT_EQ(got, want) << "alpha " << a;
    got = under;
    blend_image_sse2_twice(got.data(), src.data(), w, 0, 0, w, rows);
    blend_image_reference(want.data(), src.data(), want.data(), w, rows, 0, 0, w, rows);
    ASSERT_EQ(got, want) << "twice, alpha " << a;
  }
}
#endif

// The sampler over pictures of every make-up the instrument samples (clear, grey, grey with the
// alpha equal, coloured, and all-opaque white whose down mixes land right at the clamp), at every
// eighth of a pixel across each picture and its fading border and at random points.
TEST(SampleBilinear, EqualsThePlainRuleOnEveryKindOfPicture) {
  std::mt19937 rng(41);
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 5}, {15, 15}, {32, 32}};
  auto make = [&](int kind) -> pixel_t {
    const pixel_t v = static_cast<pixel_t>(rng());
    switch (kind) {
      case 0:
        return rng() % 3 == 0 ? 0u : v;  // any colour, clear runs
      case 1:
        return (v & 0xFFu) * 0x01010101u;  // grey, alpha equal
      case 2:
        return (v & 0xFF000000u) | (v >> 8 & 0xFFu) * 0x010101u;  // grey, any alpha
      case 3:
        return rng() % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u | (v & 0xFFu);  // near the clamp
      default:
        return rng() % 4 == 0 ? v | 0xFF000000u : 0u;  // sparse, opaque
    }
  };
  long checked = 0;
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    for (int kind = 0; kind < 5; ++kind) {
      std::vector<pixel_t> img(static_cast<std::size_t>(w) * h);
      for (pixel_t& p : img) p = make(kind);
      for (int j = -8; j <= 8 * h + 1; ++j) {
        for (int i = -8; i <= 8 * w + 1; ++i) {
          const float x = static_cast<float>(i) / 8.0f, y = static_cast<float>(j) / 8.0f;
          ASSERT_EQ(sample_bilinear(img.data(), w, h, x, y), sample_reference(img, w, h, x, y))
              << w << "x" << h << " kind " << kind << " at " << x << "," << y;
          ++checked;
        }
      }
      std::uniform_real_distribution<float> px(-1.25f, static_cast<float>(w) + 0.25f);
      std::uniform_real_distribution<float> py(-1.25f, static_cast<float>(h) + 0.25f);
      for (int k = 0; k < 4000; ++k) {
        float x = px(rng), y = py(rng);
        if (k % 5 == 0) x = -std::ldexp(1.0f, -(k % 30));  // just left of the picture: weight near 1
        if (k % 7 == 0) y = std::nextafter(static_cast<float>(h - 1), 0.0f);
        ASSERT_EQ(sample_bilinear(img.data(), w, h, x, y), sample_reference(img, w, h, x, y))
            << w << "x" << h << " kind " << kind << " at " << x << "," << y;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100000);
}
