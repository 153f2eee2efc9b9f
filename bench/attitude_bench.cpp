// Cost of the attitude picture as the demo shows it, of its alerts and slip indicator, and of one
// whole composed attitude frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "attitude/alerts.h"
#include "attitude/attitude.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/slip.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"

namespace {

void start(int style) {
  firmware_power_on();
  desk_platform_power_on();
  firmware_init();
  startup.startup_countdown = 0;  // past the start-up screen
  cfg_set_byte(CFG_UI_STYLE, style);
}

// The picture alone, the demo aircraft moving between calls as it does between frames.
void BM_DrawAttitudeDemo(benchmark::State& state) {
  start(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_attitude(top_layer, base_layer);
    demo_motion_step();
    benchmark::DoNotOptimize(base_layer[0]);
  }
}
BENCHMARK(BM_DrawAttitudeDemo)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Banked and inverted pictures cost more spans than a level one.
void BM_DrawAttitudeAt(benchmark::State& state) {
  start(1);
  cfg_set_byte(CFG_DEMO_MODE, 0);
  desk.roll = static_cast<float>(state.range(0));
  desk.pitch = 5.0f;
  for (auto _ : state) {
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_attitude(top_layer, base_layer);
    benchmark::DoNotOptimize(base_layer[0]);
  }
}
BENCHMARK(BM_DrawAttitudeAt)->Arg(0)->Arg(30)->Arg(80)->Arg(180)->Unit(benchmark::kMicrosecond);

// All three alerts raised, so the box is drawn in 9 of every 20 calls.
void BM_AttitudeAlerts(benchmark::State& state) {
  start(0);
  cfg_set_byte(CFG_DEMO_MODE, 0);
  cfg_set_byte(CFG_G_ALERT, 1);
  cfg_set_byte(CFG_AOA_ALERT, 1);
  cfg_set_byte(CFG_ROLL_ALERT, 1);
  desk.g = 5.0f;
  desk.roll = 50.0f;
  for (auto _ : state) {
    draw_attitude_alerts(top_layer);
    benchmark::DoNotOptimize(top_layer[0]);
  }
}
BENCHMARK(BM_AttitudeAlerts)->Unit(benchmark::kMicrosecond);

void BM_SlipIndicator(benchmark::State& state) {
  start(0);
  for (auto _ : state) {
    draw_slip_indicator(top_layer, base_layer);
    benchmark::DoNotOptimize(top_layer[0]);
  }
}
BENCHMARK(BM_SlipIndicator)->Unit(benchmark::kMicrosecond);

// One composed attitude frame: the ten passes of one refresh tick, the tenth composing.
void BM_ComposedAttitudeFrame(benchmark::State& state) {
  start(static_cast<int>(state.range(0)));
  std::vector<pixel_t> frame(LAYER_PIXELS);
  while (!firmware_pass(frame.data())) {
  }
  for (auto _ : state) {
    while (!firmware_pass(frame.data())) {
    }
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_ComposedAttitudeFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
