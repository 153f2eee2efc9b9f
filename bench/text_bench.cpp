// Cost of text: a banner-length line in the small text font and a value in the largest digit
// font, drawn on the top layer, and measuring a text for alignment.
#include <benchmark/benchmark.h>

#include "gfx/banner.h"
#include "gfx/layers.h"
#include "gfx/text.h"

namespace {

// A line as the pop-ups and setup pages write it, in font 6.
void BM_DrawTextFont6(benchmark::State& state) {
  clear_layer(top_layer);
  for (auto _ : state) {
    draw_text(top_layer, SCREEN_W, SCREEN_H, 6, 20, 100, COLOUR_WHITE, "OAT +24.6*C 1013");
    benchmark::DoNotOptimize(top_layer[101 * SCREEN_W + 30]);
  }
}
BENCHMARK(BM_DrawTextFont6)->Unit(benchmark::kMicrosecond);

// A large field value in font 9 (29 rows).
void BM_DrawTextFont9(benchmark::State& state) {
  clear_layer(top_layer);
  for (auto _ : state) {
    draw_text(top_layer, SCREEN_W, SCREEN_H, 9, 20, 100, COLOUR_WHITE, "-12.5 29.92");
    benchmark::DoNotOptimize(top_layer[110 * SCREEN_W + 30]);
  }
}
BENCHMARK(BM_DrawTextFont9)->Unit(benchmark::kMicrosecond);

// Half off the screen: clipped pixels should cost little.
void BM_DrawTextFont9Clipped(benchmark::State& state) {
  clear_layer(top_layer);
  for (auto _ : state) {
    draw_text(top_layer, SCREEN_W, SCREEN_H, 9, 260, 225, COLOUR_WHITE, "-12.5 29.92");
    benchmark::DoNotOptimize(top_layer[239 * SCREEN_W + 300]);
  }
}
BENCHMARK(BM_DrawTextFont9Clipped)->Unit(benchmark::kMicrosecond);

void BM_TextWidth(benchmark::State& state) {
  const int font = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(text_width(font, "HDG BUG 270 TRK 275"));
}
BENCHMARK(BM_TextWidth)->Arg(6)->Arg(9);

// The whole banner with both lines and both arrows, as a pop-up shows it every frame.
void BM_DrawBanner(benchmark::State& state) {
  banner_power_on();
  clear_layer(top_layer);
  set_banner_line1("SET BARO", 0, COLOUR_WHITE);
  set_banner_line2("29.92", 0, COLOUR_GREEN);
  set_banner_left_arrow(1);
  set_banner_right_arrow(1);
  for (auto _ : state) {
    draw_banner(top_layer);
    benchmark::DoNotOptimize(top_layer[220 * SCREEN_W + 160]);
  }
}
BENCHMARK(BM_DrawBanner)->Unit(benchmark::kMicrosecond);

}  // namespace
