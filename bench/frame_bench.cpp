// Cost of one composed frame of each kind, as a host drives it: the ten passes of one refresh.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/controls.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"

namespace {

std::vector<pixel_t> frame(LAYER_PIXELS);

void start(bool skip_startup, int unit, int style, int page) {
  firmware_power_on();
  desk_platform_power_on();
  firmware_init();
  if (skip_startup) startup.startup_countdown = 0;
  cfg_set_byte(CFG_UNIT_FUNCTION, unit);
  cfg_set_byte(CFG_UI_STYLE, style);
  modes.field_page = page;
  for (int i = 0; i < 3; ++i) {
    while (!firmware_pass(frame.data())) {
    }
  }
}

void refresh(benchmark::State& state) {
  for (auto _ : state) {
    while (!firmware_pass(frame.data())) {
    }
    benchmark::DoNotOptimize(frame.data());
  }
}

void BM_StartupFrame(benchmark::State& state) {
  start(false, 0, 0, 0);
  refresh(state);
}
void BM_AttitudeFrame(benchmark::State& state) {
  start(true, 0, static_cast<int>(state.range(0)), 0);
  refresh(state);
}
void BM_DgAttitudePage(benchmark::State& state) {
  start(true, 1, static_cast<int>(state.range(0)), 3);
  refresh(state);
}
// Field pages 0, 1, 2 of the default layouts: the rose, the HSI and the arc.
void BM_DgHeadingPage(benchmark::State& state) {
  start(true, 1, 0, static_cast<int>(state.range(0)));
  refresh(state);
}
// What each of the nine passes between two frames does: filters, decoder, dispatcher.
void BM_PassWithoutFrame(benchmark::State& state) {
  start(true, 0, 0, 0);
  for (auto _ : state) {
    filter_tick();
    decode_controls();
    dispatch_event();
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_StartupFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AttitudeFrame)->ArgName("style")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DgAttitudePage)->ArgName("style")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DgHeadingPage)->ArgName("page")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithoutFrame)->Unit(benchmark::kNanosecond);
