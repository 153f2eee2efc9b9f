// Recordings of runs: everything that reached the firmware from outside (control levels and
// detents, one-second ticks, serial bytes as the firmware read them, sensor values, faults and
// settings), each stamped with the number of the pass that first saw it. The window writes them;
// both programs play them, so a run seen in the window can be looked at frame by frame headless.
//
// The file is text, one event a line:
//
//   vesper-recording 1                 the format's version, always the first line
//   # ...                              comments and blank lines are ignored
//   PASS left 1                        a switch level (knob, left, right): 1 down, 0 up
//   PASS turn -2                       the knob's pending detents (-100..100), as the pass reads them
//   PASS tick                          the one-second tick, run before that pass
//   PASS serial $GPRMC,...\r\n         bytes read by that pass (\r \n \t \\ \xHH escapes)
//   PASS sensor ias=95                 a desk sensor value
//   PASS fault GPS_SILENT on           a fault switched on or off
//   PASS set UNIT FUNCTION=1           a setting written (setup-row label or CFG_ name)
//   PASS end                           the last pass the window ran; nothing may follow
//
// PASS counts the firmware's passes from 1; the stamps never go down, except that events made
// after the last pass (a tick on the way out) are stamped one past the end line's.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/common/desk_sensors.h"
#include "host/common/detent_queue.h"
#include "host/common/setting_input.h"

namespace recording {

inline constexpr int FORMAT_VERSION = 1;
inline constexpr const char* MAGIC = "vesper-recording";
// As many detents as the window's queue holds in either direction.
inline constexpr int MAX_TURN = MAX_QUEUED_DETENTS;

enum class event_kind { level, turn, tick, serial, sensor, fault, set };
enum control_switch : int { KNOB_PUSH, LEFT_BUTTON, RIGHT_BUTTON };

struct event {
  std::int64_t pass = 0;
  event_kind kind = event_kind::tick;
  int which = 0;      // level: the switch; fault: the fault
  int value = 0;      // level: 0 or 1; turn: detents; fault: 1 on, 0 off
  std::string bytes;  // serial
  desk_sensor_write sensor;
  host_settings::setting_write setting;
};

struct run_recording {
  std::vector<event> events;
  std::int64_t end_pass = 0;
};

// Reads a whole recording; `source` names it in messages. False with one line naming the line.
bool parse_recording(std::string_view text, const std::string& source, run_recording* out, std::string* error);
bool read_recording(const std::string& path, run_recording* out, std::string* error);

// Serial bytes as a recording line writes them, and back. decode is false with a reason.
std::string encode_bytes(std::string_view bytes);
bool decode_bytes(std::string_view text, std::string* bytes, std::string* error);

// Writes a recording as the run goes. Every write is stamped with the pass number it is given.
class writer {
 public:
  ~writer();
  bool open(const std::string& path, std::string* error);
  bool is_open() const { return file_ != nullptr; }

  // Compares the firmware's inputs with what was last written and writes what changed: call
  // before every pass and before every tick.
  void inputs(std::int64_t pass);
  // After every pass: the detents it took are no change to write.
  void after_pass();
  void tick(std::int64_t pass);
  void serial_byte(std::int64_t pass, std::uint8_t byte);
  void sensor(std::int64_t pass, const desk_sensor_write& write);
  void setting(std::int64_t pass, const host_settings::setting_write& write);
  // After the last pass: the end line, and the file closed. False with a reason if anything
  // could not be written.
  bool finish(std::int64_t passes_run, std::string* error);
  // A run that never started: the file goes again.
  void discard();

 private:
  void line(std::int64_t pass, const std::string& text);
  void flush_serial();

  std::FILE* file_ = nullptr;
  std::string path_;
  int levels_[3] = {0, 0, 0};
  int turn_ = 0;
  std::vector<bool> faults_;
  std::int64_t serial_pass_ = 0;
  std::string serial_;
};

// Feeds a recording to the firmware, pass by pass.
class player {
 public:
  explicit player(const run_recording& r) : recording_(r) {}
  // Applies every event stamped up to `pass`, in order; ticks go to on_tick. False with a reason
  // if a setting is refused.
  bool apply_through(std::int64_t pass, const std::function<void()>& on_tick, std::string* error);
  bool done() const { return next_ >= recording_.events.size(); }
  std::int64_t end_pass() const { return recording_.end_pass; }

 private:
  const run_recording& recording_;
  std::size_t next_ = 0;
};

}  // namespace recording

// Serial bytes the firmware is to read exactly as given, before anything else the port holds and
// without passing the fault filter again (they were recorded after it). Each host's serial port
// defines it.
void serial_feed_as_read(const std::uint8_t* bytes, std::size_t length);
