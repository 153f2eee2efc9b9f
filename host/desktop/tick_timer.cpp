#include "host/desktop/tick_timer.h"

void tick_timer::start(std::uint64_t now_ms, std::uint64_t period, int catch_up_limit) {
  period_ms = period == 0 ? 1 : period;
  next_ms = now_ms + period_ms;
  max_catch_up = catch_up_limit < 1 ? 1 : catch_up_limit;
}

int tick_timer::take_due(std::uint64_t now_ms) {
  if (now_ms < next_ms) {
    return 0;
  }
  const std::uint64_t due = (now_ms - next_ms) / period_ms + 1;
  if (due > static_cast<std::uint64_t>(max_catch_up)) {
    // Far behind (the machine slept, a dialog held the loop): running every missed period at
    // once would only race the instrument forward, so take the limit and restart the rhythm.
    next_ms = now_ms + period_ms;
    return max_catch_up;
  }
  next_ms += due * period_ms;
  return static_cast<int>(due);
}

std::uint64_t tick_timer::ms_until_due(std::uint64_t now_ms) const { return now_ms >= next_ms ? 0 : next_ms - now_ms; }
