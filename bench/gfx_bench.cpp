// Speed of the drawing kernels every frame leans on: the full-layer blend (plain reference against
// the fast kernels), the anti-aliased line and a rotated 32 x 32 image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "gfx/layers.h"
#include "gfx/primitives.h"

namespace {

// The make-up of a real top layer: about 77 % clear, 18 % opaque, the rest translucent, in runs
// the way drawn shapes come, not scattered.
std::vector<pixel_t> realistic_layer() {
  std::mt19937 rng(1234);
  std::vector<pixel_t> v(LAYER_PIXELS);
  std::uniform_int_distribution<int> run(1, 60), pick(0, 99), alpha(1, 254);
  for (int i = 0; i < LAYER_PIXELS;) {
    const int kind = pick(rng);
    const int len = run(rng);
    for (int k = 0; k < len && i < LAYER_PIXELS; ++k, ++i) {
      const pixel_t rgb = static_cast<pixel_t>(rng()) & 0x00FFFFFFu;
      if (kind < 77) {
        v[i] = 0;
      } else if (kind < 95) {
        v[i] = 0xFF000000u | rgb;
      } else {
        v[i] = (static_cast<pixel_t>(alpha(rng)) << 24) | rgb;
      }
    }
  }
  return v;
}

std::vector<pixel_t> translucent_layer() {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> alpha(1, 254);
  std::vector<pixel_t> v(LAYER_PIXELS);
  for (auto& p : v) p = (static_cast<pixel_t>(alpha(rng)) << 24) | (static_cast<pixel_t>(rng()) & 0x00FFFFFFu);
  return v;
}

std::vector<pixel_t> opaque_picture() {
  std::mt19937 rng(7);
  std::vector<pixel_t> v(LAYER_PIXELS);
  for (auto& p : v) p = 0xFF000000u | (static_cast<pixel_t>(rng()) & 0x00FFFFFFu);
  return v;
}

using blend_fn = void (*)(pixel_t*, const pixel_t*, const pixel_t*, int, int, int, int, int);

void blend_reference(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w, int h) {
  blend_image_reference(dst, src, under, stride, SCREEN_H, x, y, w, h);
}
void blend_public(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int x, int y, int w, int h) {
  blend_image(dst, src, under, stride, SCREEN_H, x, y, w, h);
}

// The composer's last step: top over base into a separate frame.
void run_blend(benchmark::State& state, blend_fn fn, const std::vector<pixel_t>& top) {
  const std::vector<pixel_t> base = opaque_picture();
  std::vector<pixel_t> frame(LAYER_PIXELS);
  for (auto _ : state) {
    fn(frame.data(), top.data(), base.data(), SCREEN_W, 0, 0, SCREEN_W, SCREEN_H);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * LAYER_PIXELS);
}

// A merge of one layer into another in place; the base is restored outside the timing.
void run_merge(benchmark::State& state, blend_fn fn, const std::vector<pixel_t>& top) {
  const std::vector<pixel_t> picture = opaque_picture();
  std::vector<pixel_t> base = picture;
  for (auto _ : state) {
    fn(base.data(), top.data(), base.data(), SCREEN_W, 0, 0, SCREEN_W, SCREEN_H);
    benchmark::DoNotOptimize(base.data());
    benchmark::ClobberMemory();
    state.PauseTiming();
    std::memcpy(base.data(), picture.data(), sizeof(pixel_t) * LAYER_PIXELS);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * LAYER_PIXELS);
}

void BM_CopyLayer(benchmark::State& state) {
  const std::vector<pixel_t> top = realistic_layer();
  std::vector<pixel_t> frame(LAYER_PIXELS);
  for (auto _ : state) {
    std::memcpy(frame.data(), top.data(), sizeof(pixel_t) * LAYER_PIXELS);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyLayer);

void BM_BlendReference_Realistic(benchmark::State& s) { run_blend(s, blend_reference, realistic_layer()); }
void BM_BlendFast_Realistic(benchmark::State& s) { run_blend(s, blend_public, realistic_layer()); }
void BM_BlendPortable_Realistic(benchmark::State& s) { run_blend(s, blend_image_portable, realistic_layer()); }
void BM_BlendReference_Translucent(benchmark::State& s) { run_blend(s, blend_reference, translucent_layer()); }
void BM_BlendFast_Translucent(benchmark::State& s) { run_blend(s, blend_public, translucent_layer()); }
void BM_BlendPortable_Translucent(benchmark::State& s) { run_blend(s, blend_image_portable, translucent_layer()); }
void BM_MergeReference_Realistic(benchmark::State& s) { run_merge(s, blend_reference, realistic_layer()); }
void BM_MergeFast_Realistic(benchmark::State& s) { run_merge(s, blend_public, realistic_layer()); }
BENCHMARK(BM_BlendReference_Realistic);
BENCHMARK(BM_BlendFast_Realistic);
BENCHMARK(BM_BlendPortable_Realistic);
BENCHMARK(BM_BlendReference_Translucent);
BENCHMARK(BM_BlendFast_Translucent);
BENCHMARK(BM_BlendPortable_Translucent);
BENCHMARK(BM_MergeReference_Realistic);
BENCHMARK(BM_MergeFast_Realistic);

void BM_LineShort(benchmark::State& state) {
  std::vector<pixel_t> layer(LAYER_PIXELS, 0xFF203040);
  for (auto _ : state) {
    draw_line_aa(layer.data(), SCREEN_W, SCREEN_H, 100.3f, 80.6f, 118.9f, 91.2f, COLOUR_WHITE);
    benchmark::DoNotOptimize(layer.data());
  }
}
BENCHMARK(BM_LineShort);

void BM_LineFullScreen(benchmark::State& state) {
  std::vector<pixel_t> layer(LAYER_PIXELS, 0xFF203040);
  for (auto _ : state) {
    draw_line_aa(layer.data(), SCREEN_W, SCREEN_H, -40.0f, 10.5f, 360.0f, 230.25f, COLOUR_WHITE);
    benchmark::DoNotOptimize(layer.data());
  }
}
BENCHMARK(BM_LineFullScreen);

void BM_DrawImageRotated32(benchmark::State& state) {
  std::vector<pixel_t> layer(LAYER_PIXELS, 0);
  std::vector<pixel_t> image(32 * 32);
  std::mt19937 rng(5);
  for (auto& p : image) p = static_cast<pixel_t>(rng()) | 0x80000000u;
  image_transform t;
  rotate_matrix(t, 30.0f * -0.017453292f);
  for (auto _ : state) {
    draw_image_rotated(layer.data(), SCREEN_W, SCREEN_H, image.data(), 32, 32, 160.0f, 120.0f, t, 0.0f);
    benchmark::DoNotOptimize(layer.data());
  }
}
BENCHMARK(BM_DrawImageRotated32);

}  // namespace
