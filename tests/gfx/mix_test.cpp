// The fast mixes against the plain per-channel rule: the four-lane mix of one pixel, the mix the
// drawing code and mix_colour use, and the blend kernel's leftover pixels.
#include "gfx/mix.h"

#include <gtest/gtest.h>

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
