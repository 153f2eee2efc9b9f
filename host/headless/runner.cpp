#include "host/headless/runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "core/controls.h"
#include "core/firmware.h"
#include "core/platform.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "host/common/faults.h"
#include "host/common/gps_source.h"
#include "host/common/memory_serial.h"
#include "host/common/message_text.h"
#include "host/common/png_io.h"
#include "serial/serial_input.h"
#include "settings/settings.h"

namespace headless {
namespace fs = std::filesystem;

// ---- The virtual clock

virtual_instrument::virtual_instrument() : frame_(LAYER_PIXELS, 0u) {
  firmware_power_on();
  desk_platform_power_on();
  memory_serial_power_on();
  firmware_init();
}

void virtual_instrument::keep_real_time() {
  real_time_ = true;
  wall_start_ = std::chrono::steady_clock::now();
  instrument_start_ms_ = now_ms_;
}

bool virtual_instrument::refresh() {
  if (on_refresh) on_refresh(now_ms_);
  for (int i = 0; i < PASS_LIMIT_PER_REFRESH; ++i) {
    ++passes_;
    if (before_pass) before_pass(passes_);
    // The serial input is drained once a pass, as the instrument's main loop does.
    serial_input_poll();
    if (firmware_pass(frame_.data())) {
      ++frames_;
      return on_frame ? on_frame(frames_) : true;
    }
  }
  return false;
}

bool virtual_instrument::step() {
  const std::int64_t t = std::min(next_refresh_ms_, next_tick_ms_);
  if (real_time_) {
    std::this_thread::sleep_until(wall_start_ + std::chrono::milliseconds(t - instrument_start_ms_));
  }
  now_ms_ = t;
  // On a shared millisecond the refresh runs before the tick: the window starts its refresh
  // timer first, so at a common due time its message is the one queued first.
  if (next_refresh_ms_ == t) {
    next_refresh_ms_ += REFRESH_MS;
    if (!refresh()) return false;
  }
  if (next_tick_ms_ == t) {
    next_tick_ms_ += TICK_MS;
    second_tick();
  }
  return true;
}

bool virtual_instrument::play_refresh() {
  now_ms_ = next_refresh_ms_;
  next_refresh_ms_ += REFRESH_MS;
  return refresh();
}

void virtual_instrument::resume_clock() {
  // A recording that stood still (a paused window) brought no ticks: the clock's next tick is
  // never behind its time.
  while (next_tick_ms_ < now_ms_) next_tick_ms_ += TICK_MS;
}

bool virtual_instrument::advance_to(std::int64_t time_ms) {
  while (std::min(next_refresh_ms_, next_tick_ms_) <= time_ms) {
    if (!step()) return false;
  }
  now_ms_ = std::max(now_ms_, time_ms);
  return true;
}

void set_control(control_id c, int level) {
  switch (c) {
    case control_id::knob:
      set_knob_push(level);
      break;
    case control_id::left:
      set_left_button(level);
      break;
    case control_id::right:
      set_right_button(level);
      break;
  }
}

int control_taken(control_id c) {
  switch (c) {
    case control_id::knob:
      return controls.knob.down;
    case control_id::left:
      return controls.left.down;
    case control_id::right:
      return controls.right.down;
  }
  return 0;
}

bool tap_control(virtual_instrument& inst, control_id c, std::int64_t limit_ms, bool* clock_ok) {
  *clock_ok = true;
  set_control(c, 1);
  const std::int64_t start = inst.now_ms();
  while (control_taken(c) == 0 && inst.now_ms() - start < limit_ms) {
    if (!inst.step()) {
      *clock_ok = false;
      break;
    }
  }
  const bool taken = control_taken(c) != 0;
  set_control(c, 0);
  return taken;
}

// ---- Checking before running

namespace {

bool read_file(const std::string& path, std::string* text, std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    *error = "cannot read script " + quote_text(path) + ": it is a directory";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read script " + quote_text(path) + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) {
    *error = "cannot read script " + quote_text(path);
    return false;
  }
  *text = buffer.str();
  return true;
}

// Why a file or directory could not be made at `path`, from the errno of the attempt.
std::string creation_failure(const std::string& path, int err) {
  fs::path parent = fs::path(path).lexically_normal().parent_path();
  if (parent.empty()) parent = ".";
  struct stat st;
  const bool parent_is_dir = ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (err == ENOENT && !parent_is_dir) return quote_text(parent.string()) + " does not exist";
  if (err == ENOTDIR) return quote_text(parent.string()) + " is not a directory";
  if (err == EISDIR) return "it is a directory";
  // The directory is there but makes nothing (/proc, /sys, a read-only mount): say so plainly.
  if (parent_is_dir && (err == ENOENT || err == EACCES || err == EPERM || err == EROFS)) {
    return "nothing can be made in " + quote_text(parent.string()) + " (" + std::strerror(err) + ")";
  }
  return std::strerror(err);
}

bool claim_dir(const std::string& path, const std::string& what, output_claims* claims, std::string* error) {
  const std::string failed = "cannot write " + what + " into " + quote_text(path) + ": ";
  // Only the directory itself is made, not a missing parent: a mistyped path is not turned into
  // a tree of directories.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) {
      *error = failed + "it is not a directory";
      return false;
    }
  } else if (::mkdir(path.c_str(), 0777) == 0) {
    claims->made_dirs.push_back(path);
  } else {
    *error = failed + creation_failure(path, errno);
    return false;
  }
  // Permission bits say little to root, and nothing about a read-only or special file system:
  // only a file actually made inside proves the directory takes files.
  const std::string probe = (fs::path(path) / ".vesper-headless-probe").string();
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0 && errno != EEXIST) {
    *error = failed + std::strerror(errno);
    return false;
  }
  if (fd >= 0) {
    ::close(fd);
    ::unlink(probe.c_str());
  }
  return true;
}

bool claim_file(const std::string& path, const std::string& what, output_claims* claims, std::string* error) {
  const std::string failed = "cannot write " + what + " " + quote_text(path) + ": ";
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      *error = failed + "it is a directory";
      return false;
    }
    // There already: opened for writing, not truncated, so a run that does not start leaves it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY);
    if (fd < 0) {
      *error = failed + std::strerror(errno);
      return false;
    }
    ::close(fd);
    return true;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, 0666);
  if (fd < 0) {
    *error = failed + creation_failure(path, errno);
    return false;
  }
  ::close(fd);
  claims->made_files.push_back(path);
  return true;
}

bool empty_file(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

}  // namespace

void output_claims::undo() const {
  for (const std::string& f : made_files) ::unlink(f.c_str());
  for (auto d = made_dirs.rbegin(); d != made_dirs.rend(); ++d) ::rmdir(d->c_str());
}

void output_claims::drop_unwritten() const {
  for (const std::string& f : made_files) {
    if (empty_file(f)) ::unlink(f.c_str());
  }
  // rmdir takes only empty directories: those holding frames stay.
  for (auto d = made_dirs.rbegin(); d != made_dirs.rend(); ++d) ::rmdir(d->c_str());
}

bool claim_outputs(const run_plan& plan, output_claims* claims, std::string* error) {
  if (!plan.frames_dir.empty() && !claim_dir(plan.frames_dir, "frames", claims, error)) return false;
  if (!plan.layers_dir.empty()) {
    if (!claim_dir(plan.layers_dir, "layers", claims, error)) return false;
    for (const char* name : {"top_layer.png", "base_layer.png"}) {
      if (!claim_file((fs::path(plan.layers_dir) / name).string(), "layers", claims, error)) return false;
    }
  }
  if (!plan.png.empty() && plan.png != "-" && !claim_file(plan.png, "--png", claims, error)) return false;
  if (!plan.state.empty() && plan.state != "-" && !claim_file(plan.state, "--state", claims, error)) return false;
  for (const command& cmd : plan.script) {
    if (cmd.kind != command_kind::png) continue;
    std::string why;
    if (!claim_file(cmd.text, "png", claims, &why)) {
      *error = cmd.where + ": " + why;
      return false;
    }
  }
  return true;
}

bool prepare_run(const options& o, std::istream& in, run_plan* plan, std::string* error) {
  run_plan p;
  p.run_ms = effective_run_ms(o);
  p.png = o.png;
  p.frames_dir = o.frames_dir;
  p.every = o.every;
  p.layers_dir = o.layers_dir;
  p.state = o.state;

  for (const std::string& text : o.sensors) {
    desk_sensor_write write;
    std::string why;
    if (!parse_desk_sensor_assignment(text, &write, &why)) {
      *error = "--sensor " + quote_text(text) + ": " + why;
      return false;
    }
    p.sensors.push_back(write);
  }

  for (const std::string& text : o.sets) {
    setting_write write;
    if (!host_settings::parse_set_option(text, &write, error)) return false;
    p.sets.push_back(write);
  }
  for (const std::string& name : o.faults) {
    p.faults.push_back(find_fault(name));
  }

  int e_line = 1;
  for (const script_source& source : o.scripts) {
    std::string text;
    switch (source.kind) {
      case script_source::file:
        if (!read_file(source.text, &text, error)) return false;
        // The name starts every message about its lines, so it is made safe once here.
        if (!parse_script_text(text, safe_text(source.text), 1, &p.script, error)) return false;
        break;
      case script_source::standard_input: {
        std::ostringstream buffer;
        buffer << in.rdbuf();
        text = buffer.str();
        if (!parse_script_text(text, "<stdin>", 1, &p.script, error)) return false;
        break;
      }
      case script_source::line:
        if (!parse_script_text(source.text, "-e", e_line, &p.script, error)) return false;
        e_line += 1 + static_cast<int>(std::count(source.text.begin(), source.text.end(), '\n'));
        break;
    }
  }

  // Settings are checked in the order they will be written: --set first, then the script's.
  std::vector<setting_write> writes = p.sets;
  for (const command& cmd : p.script) {
    if (cmd.kind == command_kind::set) writes.push_back(cmd.setting);
    if (cmd.kind == command_kind::png && cmd.text == "-") {
      *error = cmd.where + ": png: standard output ('-') is taken only by --png -";
      return false;
    }
  }
  if (!host_settings::check_setting_writes(writes, error)) return false;

  // The device is opened at the rate the --set values leave "GPS NAV SRC" at; it follows later
  // changes as the bytes are read.
  int source_setting = cfg_get_byte(CFG_GPS_NAV_SRC);
  for (const setting_write& write : p.sets) {
    if (write.target.setting == CFG_GPS_NAV_SRC) source_setting = write.value;
  }
  if (!o.serial_device.empty()) {
    p.source = gps_sources::open_device(o.serial_device, gps_sources::line_baud(source_setting), error);
  } else if (!o.replay_file.empty()) {
    p.source = gps_sources::open_replay(o.replay_file, error);
  } else if (!o.gpsd.empty()) {
    p.source = gps_sources::open_gpsd(o.gpsd, error);
  }
  if (!p.source && (!o.serial_device.empty() || !o.replay_file.empty() || !o.gpsd.empty())) return false;
  if (!o.play_file.empty()) {
    p.played = std::make_shared<recording::run_recording>();
    if (!recording::read_recording(o.play_file, p.played.get(), error)) {
      *error = "--play: " + *error;
      return false;
    }
  }
  *plan = p;
  return true;
}

// ---- Running

namespace {

class run_session {
 public:
  run_session(const run_plan& plan, std::ostream& out, std::ostream& err) : plan_(plan), out_(out), err_(err) {}

  int run() {
    if (!make_dirs()) return 1;
    if (!plan_.layers_dir.empty()) {
      top_copy_.assign(top_layer, top_layer + LAYER_PIXELS);
      base_copy_.assign(base_layer, base_layer + LAYER_PIXELS);
    }
    instrument_.on_frame = [this](std::int64_t n) { return frame_composed(n); };
    if (plan_.played) {
      const int status = play();
      if (status != 0) return status;
      if (!instrument_.advance_by(plan_.run_ms)) return stopped();
      return finish();
    }
    for (const desk_sensor_write& write : plan_.sensors) apply_desk_sensor(write);
    for (const setting_write& write : plan_.sets) apply_set(write);
    open_serial_port();
    for (int fault : plan_.faults) set_fault(fault, true);
    for (const command& cmd : plan_.script) {
      const int status = run_command(cmd);
      if (status != 0) return status;
    }
    if (!instrument_.advance_by(plan_.run_ms)) return stopped();
    const int status = finish();
    return status != 0 ? status : (set_refused_ ? 1 : 0);
  }

 private:
  int fail(const std::string& message, int status) {
    err_ << "vesper-headless: " << safe_line(message) << '\n';
    return status;
  }
  int firmware_stopped() {
    return fail("the firmware composed no frame within " + std::to_string(PASS_LIMIT_PER_REFRESH) + " passes", 1);
  }

  // The up-front check ran the writes on the default settings; the run may since have changed a
  // setting a rule depends on (the pilot's own taps on the setup page). The refused write is
  // reported, the setting stays, and the run goes on: its pictures and state still say what
  // happened, and the exit status says it was not what the script asked for.
  void apply_set(const setting_write& write) {
    std::string why;
    if (host_settings::apply_setting_write(write, &why)) return;
    fail(why + "; the setting was left as it was", 0);
    set_refused_ = true;
  }

  // A recording, pass by pass as the window ran it: what it gave before the first pass comes
  // before the serial input reads its protocol setting, as in the window.
  int play() {
    recording::player player(*plan_.played);
    std::string why;
    bool refused = false;
    const auto tick = [this]() {
      second_tick();
      instrument_.tick_taken();
    };
    if (!player.apply_through(1, tick, &why)) return fail("--play: " + why, 1);
    open_serial_port();
    instrument_.before_pass = [&](std::int64_t pass) {
      if (!refused && !player.apply_through(pass, tick, &why)) refused = true;
    };
    while (instrument_.passes() < player.end_pass() && !refused) {
      if (!instrument_.play_refresh()) {
        instrument_.before_pass = nullptr;
        return stopped();
      }
    }
    instrument_.before_pass = nullptr;
    if (refused || !player.apply_through(player.end_pass() + 1, tick, &why)) return fail("--play: " + why, 1);
    instrument_.resume_clock();
    return 0;
  }

  // The headless port is a memory port: the script's serial lines and the source write into it.
  void open_serial_port() {
    serial_open(1, gps_sources::line_baud(cfg_get_byte(CFG_GPS_NAV_SRC)));
    serial_input_init();
    if (!plan_.source) return;
    instrument_.on_refresh = [this](std::int64_t now_ms) {
      const int rate = gps_sources::line_baud(cfg_get_byte(CFG_GPS_NAV_SRC));
      plan_.source->pump(now_ms, rate,
                         [](const std::uint8_t* bytes, std::size_t n) { return memory_serial_feed(bytes, n); });
      const std::string notice = plan_.source->take_notice();
      if (!notice.empty()) err_ << "vesper-headless: " << notice << '\n';
    };
    if (plan_.source->live()) instrument_.keep_real_time();
  }

  bool make_dirs() {
    for (const std::string* dir : {&plan_.frames_dir, &plan_.layers_dir}) {
      if (dir->empty()) continue;
      std::error_code ec;
      fs::create_directories(*dir, ec);
      if (ec) {
        fail("cannot make directory " + quote_text(*dir) + ": " + ec.message(), 1);
        return false;
      }
    }
    return true;
  }

  bool write_bytes(const std::string& path, const std::string& what, const std::string& bytes) {
    if (path == "-") {
      errno = 0;
      out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out_.flush();
      if (!out_) {
        const int e = errno;
        fail("cannot write " + what + " to standard output" + (e != 0 ? std::string(": ") + std::strerror(e) : ""), 1);
        return false;
      }
      return true;
    }
    std::string why;
    if (!write_file_bytes(path, bytes, &why)) {
      fail("cannot write " + what + " " + quote_text(path) + ": " + why, 1);
      return false;
    }
    return true;
  }

  bool write_picture(const std::string& path, const std::string& what, const std::uint32_t* pixels, bool alpha) {
    std::string bytes;
    std::string why;
    if (!encode_png(pixels, SCREEN_W, SCREEN_H, alpha, &bytes, &why)) {
      fail("cannot write " + what + " " + quote_text(path) + ": " + why, 1);
      return false;
    }
    return write_bytes(path, what, bytes);
  }

  bool frame_composed(std::int64_t n) {
    if (!plan_.layers_dir.empty()) {
      std::copy(top_layer, top_layer + LAYER_PIXELS, top_copy_.begin());
      std::copy(base_layer, base_layer + LAYER_PIXELS, base_copy_.begin());
    }
    if (!plan_.frames_dir.empty() && n % plan_.every == 0) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
      if (!write_picture((fs::path(plan_.frames_dir) / name).string(), "frame", instrument_.frame().data(), false)) {
        write_failed_ = true;
        return false;
      }
    }
    return true;
  }

  // A run that stopped inside a refresh: either a picture could not be written (already said)
  // or the firmware itself stopped composing.
  int stopped() { return write_failed_ ? 1 : firmware_stopped(); }

  int run_command(const command& cmd) {
    switch (cmd.kind) {
      case command_kind::wait:
        if (!instrument_.advance_by(cmd.ms)) return stopped();
        break;
      case command_kind::press:
        set_control(cmd.control, 1);
        break;
      case command_kind::release:
        set_control(cmd.control, 0);
        break;
      case command_kind::tap: {
        bool clock_ok = true;
        const bool taken = tap_control(instrument_, cmd.control, TAP_LIMIT_MS, &clock_ok);
        if (!clock_ok) return stopped();
        if (!taken) {
          fail(cmd.where + ": tap " + control_name(cmd.control) + ": the press was not taken within " +
                   std::to_string(TAP_LIMIT_MS / 1000) + " s; released anyway",
               0);
        }
        break;
      }
      case command_kind::hold:
        set_control(cmd.control, 1);
        if (!instrument_.advance_by(cmd.ms)) return stopped();
        set_control(cmd.control, 0);
        break;
      case command_kind::turn:
        set_knob_count(cmd.detents);
        break;
      case command_kind::set:
        apply_set(cmd.setting);
        break;
      case command_kind::sensor:
        apply_desk_sensor(cmd.sensor);
        break;
      case command_kind::fault:
        set_fault(cmd.fault, cmd.on);
        break;
      case command_kind::snapshot: {
        state_json entry;
        entry["where"] = cmd.where;
        if (!cmd.text.empty()) entry["label"] = cmd.text;
        const state_json state = state_snapshot(instrument_.clock());
        for (const auto& item : state.items()) {
          entry[item.key()] = item.value();
        }
        snapshots_.push_back(entry);
        break;
      }
      case command_kind::png:
        if (!write_picture(cmd.text, "png", instrument_.frame().data(), false)) return 1;
        break;
      case command_kind::serial: {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(cmd.text.data());
        if (memory_serial_feed(bytes, cmd.text.size()) != cmd.text.size()) {
          err_ << "vesper-headless: " << cmd.where << ": serial: the port holds " << memory_serial_state::CAPACITY - 1
               << " unread bytes at most; the rest was lost\n";
        }
        break;
      }
    }
    return 0;
  }

  int finish() {
    if (!plan_.png.empty() && !write_picture(plan_.png, "--png", instrument_.frame().data(), false)) return 1;
    if (!plan_.layers_dir.empty()) {
      if (!write_picture((fs::path(plan_.layers_dir) / "top_layer.png").string(), "layers", top_copy_.data(), true) ||
          !write_picture((fs::path(plan_.layers_dir) / "base_layer.png").string(), "layers", base_copy_.data(), true)) {
        return 1;
      }
    }
    if (!plan_.state.empty()) {
      state_json doc;
      doc["snapshots"] = snapshots_;
      doc["final"] = state_snapshot(instrument_.clock());
      const std::string text = doc.dump(2, ' ', false, state_json::error_handler_t::replace) + "\n";
      if (!write_bytes(plan_.state, "--state", text)) return 1;
    }
    return 0;
  }

  const run_plan& plan_;
  std::ostream& out_;
  std::ostream& err_;
  virtual_instrument instrument_;
  std::unique_ptr<gps_sources::source> source_;
  state_json snapshots_ = state_json::array();
  std::vector<std::uint32_t> top_copy_;
  std::vector<std::uint32_t> base_copy_;
  bool write_failed_ = false;
  bool set_refused_ = false;
};

}  // namespace

int execute_run(const run_plan& plan, std::ostream& out, std::ostream& err) {
  run_session session(plan, out, err);
  return session.run();
}

int headless_main(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  auto refuse = [&](const std::string& error) {
    err << "vesper-headless: " << safe_line(error) << '\n';
    return 2;
  };
  options o;
  std::string error;
  if (!parse_command_line(args, &o, &error)) return refuse(error);
  if (o.help) {
    out << help_text();
    return 0;
  }
  run_plan plan;
  if (!prepare_run(o, in, &plan, &error)) return refuse(error);
  if ((plan.state == "-" || plan.png == "-") && !out) {
    return refuse(std::string(plan.state == "-" ? "--state -" : "--png -") + ": standard output is closed");
  }
  output_claims claims;
  if (!claim_outputs(plan, &claims, &error)) {
    claims.undo();
    return refuse(error);
  }
  const int status = execute_run(plan, out, err);
  if (status != 0) claims.drop_unwritten();
  return status;
}

}  // namespace headless
