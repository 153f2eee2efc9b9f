// Cost of one composed frame of each page, as a host drives it: the ten passes of one refresh.
// The pages are those of the frame budget (bench/page_catalogue), each reached by a headless run.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/page_catalogue.h"
#include "core/controls.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "settings/startup_screen.h"

namespace {

std::vector<pixel_t> frame(LAYER_PIXELS);

void BM_Page(benchmark::State& state, const pages::page_case* page) {
  if (!pages::reach_page(*page)) {
    state.SkipWithError("the page could not be reached");
    return;
  }
  for (auto _ : state) {
    while (!firmware_pass(frame.data())) {
    }
    benchmark::DoNotOptimize(frame.data());
  }
}

// What each of the nine passes between two frames does: filters, decoder, dispatcher.
void BM_PassWithoutFrame(benchmark::State& state) {
  firmware_power_on();
  desk_platform_power_on();
  firmware_init();
  startup.startup_countdown = 0;
  for (auto _ : state) {
    filter_tick();
    decode_controls();
    dispatch_event();
    benchmark::ClobberMemory();
  }
}

const bool registered = [] {
  for (const pages::page_case& page : pages::page_cases()) {
    benchmark::RegisterBenchmark(("BM_Page/" + page.name).c_str(), BM_Page, &page)->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace

BENCHMARK(BM_PassWithoutFrame)->Unit(benchmark::kNanosecond);
