// The headless runner: the firmware on a virtual clock, driven by a script, writing pictures and
// state snapshots.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/common/gps_source.h"
#include "host/common/recording.h"
#include "host/common/state_json.h"
#include "host/headless/options.h"
#include "host/headless/script.h"

namespace headless {

inline constexpr std::int64_t REFRESH_MS = 30;
inline constexpr std::int64_t TICK_MS = 1000;
// A press is normally taken by the first pass after it; while an event is held during the
// eight-second start-up screen the decoder waits, so a tap waits a little longer than that.
inline constexpr std::int64_t TAP_LIMIT_MS = 10000;
// Ten passes compose a frame; a firmware that has not composed after this many has gone wrong.
inline constexpr int PASS_LIMIT_PER_REFRESH = 1000;

// The instrument on a virtual clock. Construction restores every module to its power-on state
// and runs firmware_init, so each instance starts the instrument afresh (firmware state is
// global: one instance at a time).
class virtual_instrument {
 public:
  virtual_instrument();

  // Runs every refresh and tick due up to and including `time_ms`, then stands at that time.
  // False if the firmware stopped composing frames.
  bool advance_to(std::int64_t time_ms);
  bool advance_by(std::int64_t ms) { return advance_to(now_ms_ + ms); }
  // Runs the next due refresh and/or tick (both, when they fall on the same millisecond).
  bool step();

  std::int64_t now_ms() const { return now_ms_; }
  host_clock_reading clock() const { return {now_ms_, passes_, frames_}; }
  const std::vector<std::uint32_t>& frame() const { return frame_; }

  // Called after every composed frame, with the frame count so far.
  std::function<bool(std::int64_t frame_number)> on_frame;
  // Called before every refresh with the instrument time, to deliver the serial bytes due.
  std::function<void(std::int64_t now_ms)> on_refresh;
  // Called before every pass with its number (counted from 1).
  std::function<void(std::int64_t pass)> before_pass;

  // Playing a recording: the refreshes follow one another 30 ms apart and the ticks are the
  // recording's, not the clock's. play_refresh runs the next refresh without any tick;
  // tick_taken says a recorded tick was run; resume_clock hands the ticks back to the clock.
  bool play_refresh();
  void tick_taken() { next_tick_ms_ = now_ms_ + TICK_MS; }
  void resume_clock();
  std::int64_t passes() const { return passes_; }

  // Keeps instrument time in step with the wall clock from now on (for sources that deliver in
  // real time); otherwise the clock runs as fast as the machine allows.
  void keep_real_time();

 private:
  bool refresh();

  std::int64_t now_ms_ = 0;
  std::int64_t next_refresh_ms_ = REFRESH_MS;
  std::int64_t next_tick_ms_ = TICK_MS;
  std::int64_t passes_ = 0;
  std::int64_t frames_ = 0;
  std::vector<std::uint32_t> frame_;
  bool real_time_ = false;
  std::chrono::steady_clock::time_point wall_start_;
  std::int64_t instrument_start_ms_ = 0;
};

void set_control(control_id c, int level);
int control_taken(control_id c);  // the decoder's down latch

// A tap: press, run the clock until the decoder has taken the press (at most limit_ms), release.
// False, with the switch released all the same, when the press was not taken in time.
bool tap_control(virtual_instrument& inst, control_id c, std::int64_t limit_ms, bool* clock_ok);

// Everything a run needs, checked.
struct run_plan {
  std::vector<setting_write> sets;
  std::vector<desk_sensor_write> sensors;
  std::vector<int> faults;  // --fault, switched on before the first pass
  std::vector<command> script;
  std::int64_t run_ms = 0;
  std::string png;
  std::string frames_dir;
  int every = 1;
  std::string layers_dir;
  std::string state;
  // The source of serial bytes, opened while checking (a device that cannot be opened is bad
  // input like any other); none without --serial, --replay or --gpsd.
  std::shared_ptr<gps_sources::source> source;
  // --play: the recording, read and checked.
  std::shared_ptr<recording::run_recording> played;
};

// Reads and parses the scripts, the --set values and the outputs; nothing is run or written.
// False with a one-line reason.
bool prepare_run(const options& o, std::istream& in, run_plan* plan, std::string* error);

// The outputs a run made before it started, to prove each can be written: empty files and new
// directories. A run that does not start takes them away again; a run that fails takes away the
// files it never wrote and the directories left empty.
struct output_claims {
  std::vector<std::string> made_dirs;
  std::vector<std::string> made_files;
  void undo() const;            // everything made
  void drop_unwritten() const;  // files still empty, then directories still empty
};

// Makes every output of the plan (directories first, then the files, also those inside the new
// directories) or proves an existing one writable by opening it for writing without changing it.
// False with a one-line reason; what was made is in *claims either way.
bool claim_outputs(const run_plan& plan, output_claims* claims, std::string* error);

// Runs a prepared plan. Returns the exit status: 0, or 1 when an output could not be written, a
// setting was refused part-way or the firmware failed; messages go to err, the state or the
// picture to out when it is '-'.
int execute_run(const run_plan& plan, std::ostream& out, std::ostream& err);

// The whole program, from its arguments: 0 ok, 1 failure while running, 2 bad input.
int headless_main(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace headless
