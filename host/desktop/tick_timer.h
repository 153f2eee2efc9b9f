// A periodic timer on a millisecond clock that keeps its rhythm: deadlines advance by whole
// periods from the start, so lateness never accumulates into drift, and a late wake-up catches
// up the missed periods (up to a limit, after a stall the timer starts afresh from now).
#pragma once
#include <cstdint>

struct tick_timer {
  std::uint64_t period_ms = 0;
  std::uint64_t next_ms = 0;  // the next deadline
  int max_catch_up = 1;       // most periods taken at one wake-up

  // Starts the timer: the first deadline is one period after now.
  void start(std::uint64_t now_ms, std::uint64_t period, int catch_up_limit);
  // How many periods have fallen due by now (0 .. max_catch_up); advances the deadline past them.
  int take_due(std::uint64_t now_ms);
  // Milliseconds from now to the next deadline, 0 when it has passed.
  std::uint64_t ms_until_due(std::uint64_t now_ms) const;
};
