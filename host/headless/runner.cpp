#include "host/headless/runner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "core/controls.h"
#include "core/firmware.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "host/common/png_io.h"

namespace headless {
namespace fs = std::filesystem;

// ---- The virtual clock

virtual_instrument::virtual_instrument() : frame_(LAYER_PIXELS, 0u) {
  firmware_power_on();
  desk_platform_power_on();
  firmware_init();
}

bool virtual_instrument::refresh() {
  for (int i = 0; i < PASS_LIMIT_PER_REFRESH; ++i) {
    ++passes_;
    if (firmware_pass(frame_.data())) {
      ++frames_;
      return on_frame ? on_frame(frames_) : true;
    }
  }
  return false;
}

bool virtual_instrument::step() {
  const std::int64_t t = std::min(next_refresh_ms_, next_tick_ms_);
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

std::string quoted(const std::string& s) { return "'" + s + "'"; }

bool same_dir(const fs::path& a, const std::string& b) {
  const fs::path na = (a.empty() ? fs::path(".") : a).lexically_normal();
  const fs::path nb = fs::path(b).lexically_normal();
  auto strip = [](const fs::path& p) {
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
  };
  return strip(na) == strip(nb);
}

bool read_file(const std::string& path, std::string* text, std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    *error = "cannot read script " + quoted(path) + ": it is a directory";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read script " + quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) {
    *error = "cannot read script " + quoted(path);
    return false;
  }
  *text = buffer.str();
  return true;
}

bool parse_set_option(const std::string& text, setting_write* write, std::string* error) {
  const std::size_t eq = text.find('=');
  const std::string where = "--set " + quoted(text);
  std::string why;
  write->where = where;
  if (!find_setting(text.substr(0, eq), &write->target, &why) ||
      !parse_setting_value(write->target, text.substr(eq + 1), &write->value, &why)) {
    *error = where + ": " + why;
    return false;
  }
  return true;
}

}  // namespace

bool check_output_dir(const std::string& path, const std::string& what, std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (fs::exists(st)) {
    if (!fs::is_directory(st)) {
      *error = "cannot write " + what + " into " + quoted(path) + ": it is not a directory";
      return false;
    }
    if (::access(path.c_str(), W_OK | X_OK) != 0) {
      *error = "cannot write " + what + " into " + quoted(path) + ": " + std::strerror(errno);
      return false;
    }
    return true;
  }
  // A missing directory is made, once everything has been checked; its parent must allow that.
  fs::path parent = fs::path(path).lexically_normal().parent_path();
  if (parent.empty()) parent = ".";
  const fs::file_status ps = fs::status(parent, ec);
  if (!fs::is_directory(ps)) {
    *error = "cannot make " + what + " directory " + quoted(path) + ": " + quoted(parent.string()) +
             (fs::exists(ps) ? " is not a directory" : " does not exist");
    return false;
  }
  if (::access(parent.c_str(), W_OK | X_OK) != 0) {
    *error = "cannot make " + what + " directory " + quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool check_output_file(const std::string& path, const std::string& what, const std::vector<std::string>& new_dirs,
                       std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (fs::exists(st)) {
    if (fs::is_directory(st)) {
      *error = "cannot write " + what + " " + quoted(path) + ": it is a directory";
      return false;
    }
    if (::access(path.c_str(), W_OK) != 0) {
      *error = "cannot write " + what + " " + quoted(path) + ": " + std::strerror(errno);
      return false;
    }
    return true;
  }
  const fs::path parent = fs::path(path).parent_path();
  for (const std::string& dir : new_dirs) {
    if (same_dir(parent, dir)) return true;
  }
  const fs::path dir = parent.empty() ? fs::path(".") : parent;
  const fs::file_status ps = fs::status(dir, ec);
  if (!fs::is_directory(ps)) {
    *error = "cannot write " + what + " " + quoted(path) + ": " + quoted(dir.string()) +
             (fs::exists(ps) ? " is not a directory" : " does not exist");
    return false;
  }
  if (::access(dir.c_str(), W_OK | X_OK) != 0) {
    *error = "cannot write " + what + " " + quoted(path) + ": " + std::strerror(errno);
    return false;
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

  for (const std::string& text : o.sets) {
    setting_write write;
    if (!parse_set_option(text, &write, error)) return false;
    p.sets.push_back(write);
  }

  int e_line = 1;
  for (const script_source& source : o.scripts) {
    std::string text;
    switch (source.kind) {
      case script_source::file:
        if (!read_file(source.text, &text, error)) return false;
        if (!parse_script_text(text, source.text, 1, &p.script, error)) return false;
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
  }
  if (!check_setting_writes(writes, error)) return false;

  std::vector<std::string> new_dirs;
  if (!p.frames_dir.empty()) {
    if (!check_output_dir(p.frames_dir, "frames", error)) return false;
    new_dirs.push_back(p.frames_dir);
  }
  if (!p.layers_dir.empty()) {
    if (!check_output_dir(p.layers_dir, "layers", error)) return false;
    new_dirs.push_back(p.layers_dir);
  }
  if (!p.png.empty() && !check_output_file(p.png, "--png", new_dirs, error)) return false;
  if (!p.state.empty() && p.state != "-" && !check_output_file(p.state, "--state", new_dirs, error)) return false;
  for (const command& cmd : p.script) {
    if (cmd.kind == command_kind::png) {
      std::string why;
      if (!check_output_file(cmd.text, "png", new_dirs, &why)) {
        *error = cmd.where + ": " + why;
        return false;
      }
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
    for (const setting_write& write : plan_.sets) {
      std::string why;
      if (!apply_setting_write(write, &why)) return fail(why, 2);
    }
    for (const command& cmd : plan_.script) {
      const int status = run_command(cmd);
      if (status != 0) return status;
    }
    if (!instrument_.advance_by(plan_.run_ms)) return firmware_stopped();
    return finish();
  }

 private:
  int fail(const std::string& message, int status) {
    err_ << "vesper-headless: " << message << '\n';
    return status;
  }
  int firmware_stopped() {
    return fail("the firmware composed no frame within " + std::to_string(PASS_LIMIT_PER_REFRESH) + " passes", 1);
  }

  bool make_dirs() {
    for (const std::string* dir : {&plan_.frames_dir, &plan_.layers_dir}) {
      if (dir->empty()) continue;
      std::error_code ec;
      fs::create_directories(*dir, ec);
      if (ec) {
        fail("cannot make directory " + quoted(*dir) + ": " + ec.message(), 1);
        return false;
      }
    }
    return true;
  }

  bool write_picture(const std::string& path, const std::uint32_t* pixels, bool alpha) {
    std::string why;
    if (!write_png(path, pixels, SCREEN_W, SCREEN_H, alpha, &why)) {
      fail(why, 1);
      return false;
    }
    return true;
  }

  bool frame_composed(std::int64_t n) {
    if (!plan_.layers_dir.empty()) {
      std::copy(top_layer, top_layer + LAYER_PIXELS, top_copy_.begin());
      std::copy(base_layer, base_layer + LAYER_PIXELS, base_copy_.begin());
    }
    if (!plan_.frames_dir.empty() && n % plan_.every == 0) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
      if (!write_picture((fs::path(plan_.frames_dir) / name).string(), instrument_.frame().data(), false)) {
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
          err_ << "vesper-headless: " << cmd.where << ": tap " << control_name(cmd.control)
               << ": the press was not taken within " << TAP_LIMIT_MS / 1000 << " s; released anyway\n";
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
      case command_kind::set: {
        std::string why;
        if (!apply_setting_write(cmd.setting, &why)) return fail(why, 2);
        break;
      }
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
        if (!write_picture(cmd.text, instrument_.frame().data(), false)) return 1;
        break;
    }
    return 0;
  }

  int finish() {
    if (!plan_.png.empty() && !write_picture(plan_.png, instrument_.frame().data(), false)) return 1;
    if (!plan_.layers_dir.empty()) {
      if (!write_picture((fs::path(plan_.layers_dir) / "top_layer.png").string(), top_copy_.data(), true) ||
          !write_picture((fs::path(plan_.layers_dir) / "base_layer.png").string(), base_copy_.data(), true)) {
        return 1;
      }
    }
    if (!plan_.state.empty()) {
      state_json doc;
      doc["snapshots"] = snapshots_;
      doc["final"] = state_snapshot(instrument_.clock());
      const std::string text = doc.dump(2, ' ', false, state_json::error_handler_t::replace) + "\n";
      if (plan_.state == "-") {
        out_ << text;
        out_.flush();
      } else {
        std::ofstream file(plan_.state, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) return fail("cannot write state " + quoted(plan_.state) + ": " + std::strerror(errno), 1);
      }
    }
    return 0;
  }

  const run_plan& plan_;
  std::ostream& out_;
  std::ostream& err_;
  virtual_instrument instrument_;
  state_json snapshots_ = state_json::array();
  std::vector<std::uint32_t> top_copy_;
  std::vector<std::uint32_t> base_copy_;
  bool write_failed_ = false;
};

}  // namespace

int execute_run(const run_plan& plan, std::ostream& out, std::ostream& err) {
  run_session session(plan, out, err);
  return session.run();
}

int headless_main(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  options o;
  std::string error;
  if (!parse_command_line(args, &o, &error)) {
    err << "vesper-headless: " << error << '\n';
    return 2;
  }
  if (o.help) {
    out << help_text();
    return 0;
  }
  run_plan plan;
  if (!prepare_run(o, in, &plan, &error)) {
    err << "vesper-headless: " << error << '\n';
    return 2;
  }
  return execute_run(plan, out, err);
}

}  // namespace headless
