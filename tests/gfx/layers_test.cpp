// Colour arithmetic, pixel access, block operations and the blend kernels.
#include "gfx/layers.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "tests/support/power_on.h"

namespace {

pixel_t argb(int a, int r, int g, int b) {
  return (static_cast<pixel_t>(a) << 24) | (static_cast<pixel_t>(r) << 16) | (static_cast<pixel_t>(g) << 8) |
         static_cast<pixel_t>(b);
}

// The plain rule for one channel, written out here independently of the code under test.
int plain_channel(int u, int s, int alpha) {
  const float t = static_cast<float>(alpha / 255.0);
  return static_cast<int>(static_cast<float>(u) * (1.0f - t) + static_cast<float>(s) * t);
}

using blend_fn = void (*)(pixel_t*, const pixel_t*, const pixel_t*, int, int, int, int, int);

void blend_public(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w, int h) {
  blend_image(dst, src, under, stride, 240, x, y, w, h);
}

struct named_kernel {
  const char* name;
  blend_fn fn;
};

std::vector<named_kernel> kernels() {
  std::vector<named_kernel> k = {{"blend_image", blend_public}, {"portable", blend_image_portable}};
#if defined(__SSE2__)
  k.push_back({"sse2", blend_image_sse2});
#endif
  return k;
}

// A layer of the make-up the instrument really blends: mostly clear, a good part opaque, the rest
// translucent, in runs (shapes) rather than scattered pixels.
std::vector<pixel_t> realistic_layer(std::mt19937& rng, int n) {
  std::vector<pixel_t> v(n);
  std::uniform_int_distribution<int> byte(0, 255), run(1, 40), pick(0, 99);
  for (int i = 0; i < n;) {
    const int kind = pick(rng);
    const int len = run(rng);
    for (int k = 0; k < len && i < n; ++k, ++i) {
      const pixel_t rgb = static_cast<pixel_t>(rng()) & 0x00FFFFFFu;
      if (kind < 77) {
        v[i] = rgb;  // clear pixels may still carry colour bits
      } else if (kind < 95) {
        v[i] = 0xFF000000u | rgb;
      } else {
        v[i] = (static_cast<pixel_t>(byte(rng) % 254 + 1) << 24) | rgb;
      }
    }
  }
  return v;
}

std::vector<pixel_t> random_pixels(std::mt19937& rng, int n) {
  std::vector<pixel_t> v(n);
  for (auto& p : v) p = static_cast<pixel_t>(rng());
  return v;
}

// Index of the first pixel where two pictures differ, or -1; keeps failure messages short.
long first_difference(const std::vector<pixel_t>& a, const std::vector<pixel_t>& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<long>(i);
  }
  return -1;
}

}  // namespace

// ---- Colour arithmetic

TEST(MixColour, HalfwayTruncatesEveryChannel) { EXPECT_EQ(mix_colour(0x00000000, 0xFFFFFFFF, 0.5f), 0x7F7F7F7Fu); }

TEST(MixColour, EndWeightsReturnTheOperandsExactly) {
  std::mt19937 rng(11);
  for (int k = 0; k < 10000; ++k) {
    const pixel_t a = static_cast<pixel_t>(rng());
    const pixel_t b = static_cast<pixel_t>(rng());
    ASSERT_EQ(mix_colour(a, b, 0.0f), a);
    ASSERT_EQ(mix_colour(a, b, 1.0f), b);
  }
}

TEST(MixColour, ChannelsMixSeparately) {
  // Each channel only sees its own two bytes: 255 -> 127 and 0 -> 127 at t = 0.5.
  EXPECT_EQ(mix_colour(0xFF00FF00, 0x00FF00FF, 0.5f), 0x7F7F7F7Fu);
  EXPECT_EQ(mix_colour(0xFF000000, 0xFF0000FF, 0.25f), argb(255, 0, 0, 63));
}

TEST(MixColour, RoundingBelowAnIntegerTruncatesToOneLess) {
  // 255 over 255 at alpha 65 sums to just under 255 in single precision.
  const float t = static_cast<float>(65 / 255.0);
  EXPECT_EQ(mix_colour(0xFFFFFFFF, 0xFFFFFFFF, t), 0xFEFEFEFEu);
}

TEST(MixColour, WeightsOutsideTheUnitRangeStayInsideTheirChannel) {
  // Callers keep t in 0..1; a stray weight must still not borrow from or carry into a neighbour.
  EXPECT_EQ(mix_colour(0x00000000, 0xFFFFFFFF, -0.5f), 0x00000000u);
  EXPECT_EQ(mix_colour(0xFFFFFFFF, 0x00000000, -0.5f), 0xFFFFFFFFu);
  EXPECT_EQ(mix_colour(0x00000000, 0x00808080, 1.5f), 0x00C0C0C0u);
  EXPECT_EQ(mix_colour(0x00FF00FF, 0x00000000, 1.5f), 0x00000000u);
}

TEST(MixColour, IsThePlainSinglePrecisionRuleOverAllTriples) {
  // The integer quotient floor((u(255-a) + s a) / 255) is the exact mix; single precision falls one
  // short of it in exactly 15,467 of the 16.7 M triples, always where the quotient is an integer.
  // A fused multiply-add or a wider intermediate changes that count.
  int differing = 0;
  for (int a = 0; a < 256; ++a) {
    const float t = static_cast<float>(a / 255.0);
    for (int u = 0; u < 256; ++u) {
      for (int s = 0; s < 256; ++s) {
        const int got = static_cast<int>(mix_colour(static_cast<pixel_t>(u), static_cast<pixel_t>(s), t));
        const int n = u * (255 - a) + s * a;
        if (got != n / 255) {
          ++differing;
          ASSERT_EQ(n % 255, 0) << "u=" << u << " s=" << s << " a=" << a;
          ASSERT_EQ(got, n / 255 - 1) << "u=" << u << " s=" << s << " a=" << a;
        }
      }
    }
  }
  EXPECT_EQ(differing, 15467);
}

TEST(BlendWeights, AreTheSinglePrecisionQuotients) {
  for (int a = 0; a < 256; ++a) {
    volatile double denominator = 255.0;  // computed at run time, not folded
    EXPECT_EQ(blend_weights.t[a], static_cast<float>(a / denominator)) << a;
  }
  EXPECT_EQ(blend_weights.t[0], 0.0f);
  EXPECT_EQ(blend_weights.t[255], 1.0f);
  // The vector kernels divide in single precision instead of looking the weight up.
  for (int a = 0; a < 256; ++a) {
    volatile float denominator = 255.0f;
    EXPECT_EQ(blend_weights.t[a], static_cast<float>(a) / denominator) << a;
  }
}

TEST(ScaleColour, TruncatesEveryChannelIncludingAlpha) {
  EXPECT_EQ(scale_colour(0xFF804020, 0.5f), argb(127, 64, 32, 16));
  EXPECT_EQ(scale_colour(0xFF804020, 1.0f), 0xFF804020u);
  EXPECT_EQ(scale_colour(0xFFFFFFFF, 0.0f), 0x00000000u);
  EXPECT_EQ(scale_colour(argb(3, 3, 3, 3), 0.3f), 0x00000000u);  // 0.9 truncates to 0
}

TEST(ScaleColour, FactorsAboveOneSaturateInsteadOfCarrying) {
  EXPECT_EQ(scale_colour(0x00FF0000, 2.0f), 0x00FF0000u);
  EXPECT_EQ(scale_colour(0x00000080, 2.0f), 0x000000FFu);
}

TEST(AddColour, CapsEachChannelWithoutCarrying) {
  EXPECT_EQ(add_colour(0x80FF0102, 0x80010203), 0xFFFF0305u);
  EXPECT_EQ(add_colour(0x000000FF, 0x000000FF), 0x000000FFu);
  EXPECT_EQ(add_colour(0x12345678, 0x00000000), 0x12345678u);
}

TEST(ColourBrightness, AveragesTheColourChannelsOnly) {
  EXPECT_FLOAT_EQ(colour_brightness(COLOUR_WHITE), 1.0f);
  EXPECT_FLOAT_EQ(colour_brightness(COLOUR_BLACK), 0.0f);
  EXPECT_FLOAT_EQ(colour_brightness(0x00FFFFFF), 1.0f);
  EXPECT_FLOAT_EQ(colour_brightness(0xFF306090), (48.0f + 96.0f + 144.0f) / 3.0f / 255.0f);
  EXPECT_GT(colour_brightness(0xFF000001), 0.0f);
}

// ---- Single pixels

TEST(Pixels, ReadsOutsideTheBufferAreTransparent) {
  std::vector<pixel_t> buf(6 * 4, 0xFFFFFFFF);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, -1, 0), 0u);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, 6, 0), 0u);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, 0, -1), 0u);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, 0, 4), 0u);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, 5, 3), 0xFFFFFFFFu);
}

TEST(Pixels, WritesOutsideTheBufferChangeNothing) {
  // The buffer sits inside a larger block so that a stray write would show in the margins.
  std::vector<pixel_t> block(6 * 4 + 32, 0x11111111);
  pixel_t* buf = block.data() + 16;
  const std::vector<pixel_t> before = block;
  put_pixel(buf, 6, 4, 6, 0, COLOUR_RED);
  put_pixel(buf, 6, 4, 0, 4, COLOUR_RED);
  put_pixel(buf, 6, 4, -1, 0, COLOUR_RED);
  put_pixel(buf, 6, 4, 0, -1, COLOUR_RED);
  put_pixel(buf, 6, 4, 100000, -100000, COLOUR_RED);
  EXPECT_EQ(block, before);
  put_pixel(buf, 6, 4, 5, 3, COLOUR_RED);
  EXPECT_EQ(buf[3 * 6 + 5], COLOUR_RED);
}

TEST(Pixels, UncheckedAccessAddressesRowMajorAndIgnoresHeight) {
  std::vector<pixel_t> buf(6 * 4, 0);
  put_pixel_unchecked(buf.data(), 6, 0, 2, 3, COLOUR_GREEN);
  EXPECT_EQ(buf[3 * 6 + 2], COLOUR_GREEN);
  EXPECT_EQ(get_pixel_unchecked(buf.data(), 6, 0, 2, 3), COLOUR_GREEN);
  EXPECT_EQ(get_pixel(buf.data(), 6, 4, 2, 3), COLOUR_GREEN);
}

// ---- Blocks

class Layers : public PowerOn {};

TEST_F(Layers, PowerOnClearsAllBuffersAndForgetsTheFrame) {
  top_layer[5] = base_layer[LAYER_PIXELS - 1] = aircraft_outline[100] = COLOUR_RED;
  std::vector<pixel_t> frame(LAYER_PIXELS);
  display_frame = frame.data();
  layers_power_on();
  EXPECT_EQ(display_frame, nullptr);
  for (int i = 0; i < LAYER_PIXELS; ++i) {
    ASSERT_EQ(top_layer[i] | base_layer[i] | aircraft_outline[i], 0u) << i;
  }
}

TEST_F(Layers, ClearLayerZeroesEveryPixel) {
  for (int i = 0; i < LAYER_PIXELS; ++i) top_layer[i] = static_cast<pixel_t>(i * 2654435761u) | 1u;
  mark_top_tiles(0, 0, SCREEN_W - 1, SCREEN_H - 1);  // written by hand: marked as every writer marks
  clear_layer(top_layer);
  for (int i = 0; i < LAYER_PIXELS; ++i) ASSERT_EQ(top_layer[i], 0u) << i;
}

TEST_F(Layers, FillLayerCoversTheWholeScreen) {
  fill_layer(base_layer, SCREEN_W, SCREEN_H, COLOUR_BLUE);
  for (int i = 0; i < LAYER_PIXELS; ++i) ASSERT_EQ(base_layer[i], COLOUR_BLUE) << i;
}

TEST(FillLayer, FillsASmallImageAndNothingBeyondIt) {
  std::vector<pixel_t> block(50 * 32 + 64, 0x22222222);
  pixel_t* img = block.data() + 32;
  fill_layer(img, 50, 32, COLOUR_CYAN);
  for (int i = 0; i < 50 * 32; ++i) ASSERT_EQ(img[i], COLOUR_CYAN) << i;
  for (int i = 0; i < 32; ++i) {
    ASSERT_EQ(block[i], 0x22222222u);
    ASSERT_EQ(block[32 + 50 * 32 + i], 0x22222222u);
  }
}

TEST(FillLayer, StopsAtTheScreenWidthInAWiderBuffer) {
  std::vector<pixel_t> buf(400 * 2, 0);
  fill_layer(buf.data(), 400, 2, COLOUR_WHITE);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 400; ++x) ASSERT_EQ(buf[y * 400 + x], x < SCREEN_W ? COLOUR_WHITE : 0u) << x << "," << y;
  }
}

TEST_F(Layers, FillRectPaintsExactlyItsRectangle) {
  fill_rect(top_layer, 30, 40, 7, 3, COLOUR_YELLOW);
  int painted = 0;
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      const bool inside = x >= 30 && x < 37 && y >= 40 && y < 43;
      ASSERT_EQ(top_layer[y * SCREEN_W + x], inside ? COLOUR_YELLOW : 0u) << x << "," << y;
      painted += inside;
    }
  }
  EXPECT_EQ(painted, 21);
}

TEST_F(Layers, FillRectWithNoAreaChangesNothing) {
  fill_rect(top_layer, 30, 40, 0, 3, COLOUR_YELLOW);
  fill_rect(top_layer, 30, 40, 7, 0, COLOUR_YELLOW);
  fill_rect(top_layer, 30, 40, -4, 3, COLOUR_YELLOW);
  fill_rect(top_layer, 30, 40, 7, -1, COLOUR_YELLOW);
  for (int i = 0; i < LAYER_PIXELS; ++i) ASSERT_EQ(top_layer[i], 0u) << i;
}

TEST_F(Layers, CopyImagePlacesThePackedImageAndKeepsItsAlpha) {
  fill_layer(top_layer, SCREEN_W, SCREEN_H, COLOUR_WHITE);
  std::vector<pixel_t> img(5 * 3);
  for (int i = 0; i < 15; ++i) img[i] = static_cast<pixel_t>(i) << 8;  // alpha 0 throughout
  copy_image(top_layer, img.data(), SCREEN_W, SCREEN_H, 100, 200, 5, 3);
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      const bool inside = x >= 100 && x < 105 && y >= 200 && y < 203;
      const pixel_t want = inside ? img[(y - 200) * 5 + (x - 100)] : COLOUR_WHITE;
      ASSERT_EQ(top_layer[y * SCREEN_W + x], want) << x << "," << y;
    }
  }
}

TEST(CopyImage, UsesTheGivenStride) {
  std::vector<pixel_t> dst(10 * 4, 0);
  const pixel_t img[4] = {1, 2, 3, 4};
  copy_image(dst.data(), img, 10, 4, 8, 1, 2, 2);
  EXPECT_EQ(dst[1 * 10 + 8], 1u);
  EXPECT_EQ(dst[1 * 10 + 9], 2u);
  EXPECT_EQ(dst[2 * 10 + 8], 3u);
  EXPECT_EQ(dst[2 * 10 + 9], 4u);
  int nonzero = 0;
  for (pixel_t p : dst) nonzero += p != 0;
  EXPECT_EQ(nonzero, 4);
}

TEST_F(Layers, CopyToDisplayCopiesTheLayerAndIgnoresAMissingFrame) {
  for (int i = 0; i < LAYER_PIXELS; ++i) top_layer[i] = static_cast<pixel_t>(i) * 7919u;
  copy_to_display(top_layer);  // no frame yet: nothing happens
  std::vector<pixel_t> frame(LAYER_PIXELS, 0xDEADBEEF);
  display_frame = frame.data();
  copy_to_display(top_layer);
  flush_display();
  EXPECT_EQ(std::memcmp(frame.data(), top_layer, sizeof(pixel_t) * LAYER_PIXELS), 0);
}

// ---- The blend

TEST(BlendImage, TranslucentWhiteOverClearScalesColourAndAlpha) {
  // t = 128/255: colour channels 255 t = 128.0 -> 128, alpha 128 t = 64.25 -> 64.
  for (const auto& k : kernels()) {
    pixel_t under = 0x00000000, dst = 0x12345678;
    const pixel_t src = 0x80FFFFFF;
    k.fn(&dst, &src, &under, 1, 0, 0, 1, 1);
    EXPECT_EQ(dst, 0x40808080u) << k.name;
  }
}

TEST(BlendImage, OpaqueSourceCopiesAndClearSourceKeepsTheUnder) {
  std::mt19937 rng(5);
  const int w = 37, h = 9;
  std::vector<pixel_t> opaque = random_pixels(rng, w * h), clear = random_pixels(rng, w * h);
  for (auto& p : opaque) p |= 0xFF000000u;
  for (auto& p : clear) p &= 0x00FFFFFFu;
  const std::vector<pixel_t> under = random_pixels(rng, w * h);
  for (const auto& k : kernels()) {
    std::vector<pixel_t> dst(w * h, 0xABABABAB);
    k.fn(dst.data(), opaque.data(), under.data(), w, 0, 0, w, h);
    EXPECT_EQ(first_difference(dst, opaque), -1) << k.name;
    dst.assign(w * h, 0xABABABAB);
    k.fn(dst.data(), clear.data(), under.data(), w, 0, 0, w, h);
    EXPECT_EQ(first_difference(dst, under), -1) << k.name;
  }
}

TEST(BlendImage, NoAreaChangesNothing) {
  std::vector<pixel_t> src(16, 0x80FFFFFF), under(16, 0xFF000000);
  for (const auto& k : kernels()) {
    std::vector<pixel_t> dst(16, 0x55555555);
    k.fn(dst.data(), src.data(), under.data(), 4, 0, 0, 0, 4);
    k.fn(dst.data(), src.data(), under.data(), 4, 0, 0, 4, 0);
    k.fn(dst.data(), src.data(), under.data(), 4, 0, 0, -3, 4);
    EXPECT_EQ(dst, std::vector<pixel_t>(16, 0x55555555)) << k.name;
  }
}

TEST(BlendImage, EveryKernelMatchesThePlainRuleOverAllTriples) {
  // Per alpha, a 256 x 256 image whose column is the source channel and whose row is the under
  // channel; each colour channel walks the 256 x 256 pairs in a different order, so a kernel that
  // mixed up channels or lanes would show. The under alpha takes every value too.
  const int n = 256;
  std::vector<pixel_t> src(n * n), under(n * n), want(n * n), got(n * n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) under[j * n + i] = argb(j, j, 255 - j, j ^ 0x5A);
  }
  for (int a = 0; a < 256; ++a) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) src[j * n + i] = argb(a, i, 255 - i, (i * 167) & 255);
    }
    blend_image_reference(want.data(), src.data(), under.data(), n, n, 0, 0, n, n);
    // The reference itself against the rule written out above, on a sample of the pairs.
    for (int k = 0; k < n * n; k += 257) {
      const pixel_t u = under[k], s = src[k];
      const pixel_t expect = argb(plain_channel(u >> 24, a, a), plain_channel((u >> 16) & 255, (s >> 16) & 255, a),
                                  plain_channel((u >> 8) & 255, (s >> 8) & 255, a), plain_channel(u & 255, s & 255, a));
      ASSERT_EQ(want[k], expect) << "alpha " << a << " pixel " << k;
    }
    for (const auto& kernel : kernels()) {
      kernel.fn(got.data(), src.data(), under.data(), n, 0, 0, n, n);
      ASSERT_EQ(std::memcmp(got.data(), want.data(), sizeof(pixel_t) * n * n), 0) << kernel.name << " alpha " << a;
    }
  }
}

#if defined(__SSE2__)
// The twice-in-place kernel against two reference blends: every under and source channel pair at
// every alpha, as above, and whole realistic layers.
TEST(BlendImage, TheTwiceKernelIsTwoPlainBlends) {
  const int n = 256;
  std::vector<pixel_t> src(n * n), want(n * n), got(n * n);
  for (int a = 0; a < 256; ++a) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        src[j * n + i] = argb(a, i, 255 - i, (i * 167) & 255);
        want[j * n + i] = argb(j, j, 255 - j, j ^ 0x5A);
      }
    }
    got = want;
    for (int k = 0; k < 2; ++k) blend_image_reference(want.data(), src.data(), want.data(), n, n, 0, 0, n, n);
    blend_image_sse2_twice(got.data(), src.data(), n, 0, 0, n, n);
    ASSERT_EQ(first_difference(got, want), -1) << "alpha " << a;
  }
  std::mt19937 rng(77);
  for (int round = 0; round < 4; ++round) {
    const std::vector<pixel_t> layer = realistic_layer(rng, LAYER_PIXELS);
    std::vector<pixel_t> twice = random_pixels(rng, LAYER_PIXELS);
    std::vector<pixel_t> reference = twice;
    for (int k = 0; k < 2; ++k)
      blend_image_reference(reference.data(), layer.data(), reference.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W,
                            SCREEN_H);
    // Odd widths leave a remainder after the groups of four.
    for (int y = 0; y < SCREEN_H; ++y)
      blend_image_sse2_twice(twice.data(), layer.data() + y * SCREEN_W, SCREEN_W, 0, y, SCREEN_W - 3, 1);
    for (int y = 0; y < SCREEN_H; ++y)
      blend_image_sse2_twice(twice.data(), layer.data() + y * SCREEN_W + SCREEN_W - 3, SCREEN_W, SCREEN_W - 3, y, 3, 1);
    ASSERT_EQ(first_difference(twice, reference), -1) << "round " << round;
  }
}
#endif

// The vignette's merge on the attitude pages is four plain blends per drawn pixel, in both kernels,
// over the sky or the ground as the run's ground span says: over every pair of top and vignette
// alphas with varied colours, with the ground reaching into the run from either side, lying
// inside it, or absent. Widths that are not a multiple of four leave a remainder after the groups
// of four.
TEST(BlendImage, TheVignetteMergeIsFourPlainBlends) {
  using kernel = void (*)(const vignette_merge_run&, int);
  std::vector<std::pair<const char*, kernel>> kernels = {{"portable", merge_vignetted_portable}};
#if defined(__SSE2__)
  kernels.emplace_back("sse2", merge_vignetted_sse2);
#endif
  auto plain = [](pixel_t under, pixel_t over) {
    pixel_t out = under;
    blend_image_reference(&out, &over, &out, 1, 1, 0, 0, 1, 1);
    return out;
  };
  const pixel_t sky = 0xFF3878A8;
  const pixel_t ground = 0xFF603C04;
  const int n = 256 - 3;
  const int spans[][2] = {{-40, 17}, {130, 400}, {61, 190}, {0, 0}, {-5, 300}};
  std::mt19937 rng(31);
  for (const auto& [name, merge] : kernels) {
    for (int ta = 0; ta < 256; ++ta) {
      const int* span = spans[ta % 5];
      std::vector<pixel_t> base(n), top(n), vig(n), want(n);
      for (int i = 0; i < n; ++i) {
        vig[i] = static_cast<pixel_t>(i) << 24;
        const bool drawn = rng() % 5 != 0;
        top[i] = drawn ? (static_cast<pixel_t>(ta) << 24 | (static_cast<pixel_t>(rng()) & 0xFFFFFFu)) : 0u;
        const pixel_t under = i >= span[0] && i < span[1] ? ground : sky;
        want[i] = plain(plain(under, top[i]), plain(plain(top[i], vig[i]), vig[i]));
        // Under a drawn pixel the base is anything; under a clear one the caller has merged it.
        base[i] = drawn ? static_cast<pixel_t>(rng()) : want[i];
      }
      merge({base.data(), top.data(), vig.data(), sky, ground, span[0], span[1]}, n);
      ASSERT_EQ(first_difference(base, want), -1) << name << ", top alpha " << ta;
      ASSERT_EQ(first_difference(top, std::vector<pixel_t>(n, 0)), -1) << name << ", top alpha " << ta;
    }
  }
}

TEST(BlendImage, EveryKernelMatchesTheReferenceOnWholeLayers) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 6; ++round) {
    const std::vector<pixel_t> src = round % 2 ? random_pixels(rng, LAYER_PIXELS) : realistic_layer(rng, LAYER_PIXELS);
    const std::vector<pixel_t> under = random_pixels(rng, LAYER_PIXELS);
    std::vector<pixel_t> want(LAYER_PIXELS);
    blend_image_reference(want.data(), src.data(), under.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
    for (const auto& k : kernels()) {
      std::vector<pixel_t> got(LAYER_PIXELS, 0);
      k.fn(got.data(), src.data(), under.data(), SCREEN_W, 0, 0, SCREEN_W, SCREEN_H);
      ASSERT_EQ(first_difference(got, want), -1) << k.name << " round " << round;
      // In place, as the composer merges one layer into another.
      std::vector<pixel_t> in_place = under;
      k.fn(in_place.data(), src.data(), in_place.data(), SCREEN_W, 0, 0, SCREEN_W, SCREEN_H);
      ASSERT_EQ(first_difference(in_place, want), -1) << k.name << " in place, round " << round;
    }
  }
}

TEST(BlendImage, SubRectanglesOfEveryWidthTouchOnlyTheirPixels) {
  // Widths 1..13 cover every remainder of a four-pixel group; odd offsets misalign the rows.
  std::mt19937 rng(77);
  const int stride = 41, rows = 20;
  for (int w = 1; w <= 13; ++w) {
    for (int x = 0; x < 3; ++x) {
      const int h = 1 + (w % 5), y = 1 + x;
      const std::vector<pixel_t> src = realistic_layer(rng, w * h);
      const std::vector<pixel_t> under = random_pixels(rng, stride * rows);
      const std::vector<pixel_t> start = random_pixels(rng, stride * rows);
      std::vector<pixel_t> want = start;
      blend_image_reference(want.data(), src.data(), under.data(), stride, rows, x, y, w, h);
      for (const auto& k : kernels()) {
        std::vector<pixel_t> got = start;
        k.fn(got.data(), src.data(), under.data(), stride, x, y, w, h);
        ASSERT_EQ(first_difference(got, want), -1) << k.name << " w=" << w << " x=" << x;
      }
      // The reference leaves everything outside the rectangle as it was.
      for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < stride; ++i) {
          const bool inside = i >= x && i < x + w && j >= y && j < y + h;
          if (!inside) {
            ASSERT_EQ(want[j * stride + i], start[j * stride + i]) << i << "," << j;
          }
        }
      }
    }
  }
}

TEST(BlendImage, MixedGroupsOfClearOpaqueAndTranslucentPixels) {
  // Every pattern of four alphas from {0, 1, 128, 254, 255}, so that no fast path is taken for a
  // group that is only partly clear or partly opaque.
  const int levels[5] = {0, 1, 128, 254, 255};
  std::vector<pixel_t> src, under;
  std::mt19937 rng(3);
  for (int p = 0; p < 625; ++p) {
    int code = p;
    for (int k = 0; k < 4; ++k) {
      src.push_back((static_cast<pixel_t>(levels[code % 5]) << 24) | (static_cast<pixel_t>(rng()) & 0xFFFFFFu));
      under.push_back(static_cast<pixel_t>(rng()));
      code /= 5;
    }
  }
  const int n = static_cast<int>(src.size());
  std::vector<pixel_t> want(n);
  blend_image_reference(want.data(), src.data(), under.data(), n, 1, 0, 0, n, 1);
  for (const auto& k : kernels()) {
    std::vector<pixel_t> got(n, 0);
    k.fn(got.data(), src.data(), under.data(), n, 0, 0, n, 1);
    EXPECT_EQ(first_difference(got, want), -1) << k.name;
  }
}

TEST_F(Layers, BlendingAClearedTopLayerShowsTheBaseExactly) {
  std::mt19937 rng(9);
  for (int i = 0; i < LAYER_PIXELS; ++i) {
    base_layer[i] = static_cast<pixel_t>(rng());
    top_layer[i] = static_cast<pixel_t>(rng());
  }
  mark_top_tiles(0, 0, SCREEN_W - 1, SCREEN_H - 1);  // written by hand: marked as every writer marks
  clear_layer(top_layer);
  std::vector<pixel_t> frame(LAYER_PIXELS, 0xCDCDCDCD);
  blend_image(frame.data(), top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
  EXPECT_EQ(std::memcmp(frame.data(), base_layer, sizeof(pixel_t) * LAYER_PIXELS), 0);
}

TEST_F(Layers, TranslucencyIsAppliedAgainWhenALayerIsMergedOnward) {
  // A half-transparent white drawn onto a clear layer keeps colour scaled by t; merged over black
  // it is scaled a second time (no premultiplied correction).
  top_layer[0] = 0x80FFFFFF;
  blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, 1, 1);
  EXPECT_EQ(base_layer[0], 0x40808080u);
  std::vector<pixel_t> frame(LAYER_PIXELS);
  const pixel_t black = COLOUR_BLACK;
  blend_image(frame.data(), base_layer, &black, 1, 1, 0, 0, 1, 1);
  // t = 64/255: red 0 (1 - t) + 128 t = 32.1 -> 32; alpha 255 (1 - t) + 64 t = 207.06 -> 207.
  EXPECT_EQ(frame[0], argb(207, 32, 32, 32));
}
