// The golden-frame cases: runs of the headless instrument, each writing named frames.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace golden {

// One run of the headless program. Its script names frames with "png NAME"; the frame is
// compared with the reference "<run>-<NAME>.png".
struct golden_run {
  std::string name;
  std::vector<std::string> options;  // command-line options before the script
  std::vector<std::string> script;   // one script line each
};

const std::vector<golden_run>& golden_runs();

// Test names print the run's name rather than its bytes.
inline void PrintTo(const golden_run& run, std::ostream* os) { *os << run.name; }

// The frame names a run's script writes, "<run>-<NAME>", in order.
std::vector<std::string> frame_names(const golden_run& run);

}  // namespace golden
