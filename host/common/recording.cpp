#include "host/common/recording.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/controls.h"
#include "host/common/faults.h"
#include "host/common/message_text.h"

namespace recording {
namespace {

const char* const SWITCH_NAMES[3] = {"knob", "left", "right"};

bool parse_int(std::string_view text, std::int64_t* out) {
  if (text.empty()) return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), *out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One line after its stamp: the event word and the rest.
bool parse_event(std::string_view word, std::string_view rest, event* e, std::string* why) {
  auto no_rest = [&]() {
    if (rest.empty()) return true;
    *why = quote_text(word) + " takes nothing after it";
    return false;
  };
  for (int i = 0; i < 3; ++i) {
    if (word != SWITCH_NAMES[i]) continue;
    e->kind = event_kind::level;
    e->which = i;
    if (rest != "0" && rest != "1") {
      *why = std::string(SWITCH_NAMES[i]) + ": level " + quote_text(rest) + " is not 0 or 1";
      return false;
    }
    e->value = rest == "1" ? 1 : 0;
    return true;
  }
  if (word == "turn") {
    std::int64_t n = 0;
    if (!parse_int(rest, &n) || n < -MAX_TURN || n > MAX_TURN) {
      *why = "turn: " + quote_text(rest) + " is not a whole number of detents in -" + std::to_string(MAX_TURN) + ".." +
             std::to_string(MAX_TURN);
      return false;
    }
    e->kind = event_kind::turn;
    e->value = static_cast<int>(n);
    return true;
  }
  if (word == "tick") {
    e->kind = event_kind::tick;
    return no_rest();
  }
  if (word == "serial") {
    e->kind = event_kind::serial;
    std::string reason;
    if (rest.empty() || !decode_bytes(rest, &e->bytes, &reason)) {
      *why = "serial: " + (rest.empty() ? std::string("no bytes") : reason);
      return false;
    }
    return true;
  }
  if (word == "sensor") {
    e->kind = event_kind::sensor;
    std::string reason;
    if (!parse_desk_sensor_assignment(rest, &e->sensor, &reason)) {
      *why = "sensor: " + reason;
      return false;
    }
    return true;
  }
  if (word == "fault") {
    e->kind = event_kind::fault;
    const std::size_t blank = rest.rfind(' ');
    const std::string_view name = blank == std::string_view::npos ? rest : rest.substr(0, blank);
    const std::string_view state = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    e->which = find_fault(name);
    if (e->which < 0) {
      *why = "fault: unknown fault " + quote_text(name);
      return false;
    }
    if (state != "on" && state != "off") {
      *why = "fault " + std::string(name) + ": " + quote_text(state) + " is not on or off";
      return false;
    }
    e->value = state == "on" ? 1 : 0;
    return true;
  }
  if (word == "set") {
    e->kind = event_kind::set;
    std::string reason;
    if (!host_settings::parse_set_option(std::string(rest), &e->setting, &reason)) {
      *why = "set: " + reason;
      return false;
    }
    return true;
  }
  *why = "unknown event " + quote_text(word);
  return false;
}

}  // namespace

std::string encode_bytes(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c >= 0x7F || (c == ' ' && (i == 0 || i + 1 == bytes.size()))) {
      // A blank at either end is escaped too, so that no editor trims it away unseen.
      static const char digits[] = "0123456789ABCDEF";
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool decode_bytes(std::string_view text, std::string* bytes, std::string* error) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) {
      *error = "a '\\' ends the bytes";
      return false;
    }
    const char c = text[++i];
    if (c == 'r') {
      out += '\r';
    } else if (c == 'n') {
      out += '\n';
    } else if (c == 't') {
      out += '\t';
    } else if (c == '\\') {
      out += '\\';
    } else if (c == 'x' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      *error = "unknown escape " + quote_text(text.substr(i - 1, 4)) + " (\\r \\n \\t \\\\ \\xHH)";
      return false;
    }
  }
  *bytes = out;
  return true;
}

bool parse_recording(std::string_view text, const std::string& source, run_recording* out, std::string* error) {
  run_recording r;
  bool have_header = false;
  bool ended = false;
  std::int64_t last = 0;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t nl = text.find('\n', at);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(at, nl - at);
    at = nl + 1;
    ++number;
    const std::string where = source + ":" + std::to_string(number) + ": ";
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos) {
      *error = where + "a NUL byte: this is not a recording";
      return false;
    }
    if (!have_header) {
      const std::string magic = std::string(MAGIC) + " ";
      std::int64_t version = 0;
      if (line.substr(0, magic.size()) != magic || !parse_int(line.substr(magic.size()), &version) || version < 1) {
        *error = where + "not a recording: the first line is " + quote_text(line) + ", not '" + MAGIC + " " +
                 std::to_string(FORMAT_VERSION) + "'";
        return false;
      }
      if (version > FORMAT_VERSION) {
        *error = where + "recorded in format " + std::to_string(version) +
                 " by a newer vesper-sim; this program reads format " + std::to_string(FORMAT_VERSION);
        return false;
      }
      have_header = true;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    if (ended) {
      *error = where + "an event after the 'end' line";
      return false;
    }
    const std::size_t blank = line.find(' ');
    std::int64_t pass = 0;
    if (!parse_int(line.substr(0, blank), &pass) || pass < 1) {
      *error = where + quote_text(line.substr(0, blank)) + " is not a pass number (1 or more)";
      return false;
    }
    std::string_view rest = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
    const std::size_t word_end = rest.find(' ');
    const std::string_view word = rest.substr(0, word_end);
    rest = word_end == std::string_view::npos ? std::string_view() : rest.substr(word_end + 1);
    if (word == "end") {
      // What was made after the last pass (a tick on the way out) is stamped one past the end.
      if (pass + 1 < last) {
        *error = where + "the end at pass " + std::to_string(pass) + " comes before an event at pass " +
                 std::to_string(last);
        return false;
      }
      if (!rest.empty()) {
        *error = where + "'end' takes nothing after it";
        return false;
      }
      r.end_pass = pass;
      ended = true;
      continue;
    }
    if (pass < last) {
      *error =
          where + "pass " + std::to_string(pass) + " comes after pass " + std::to_string(last) + ": the stamps go back";
      return false;
    }
    last = pass;
    event e;
    e.pass = pass;
    std::string why;
    if (!parse_event(word, rest, &e, &why)) {
      *error = where + why;
      return false;
    }
    r.events.push_back(e);
  }
  if (!have_header) {
    *error = source + ": empty: not a recording";
    return false;
  }
  if (!ended) {
    *error = source +
             ": cut short: no 'end' line (a window that stopped before it closed leaves none; add "
             "'PASS end' by hand to play it as far as it goes)";
    return false;
  }
  *out = std::move(r);
  return true;
}

bool read_recording(const std::string& path, run_recording* out, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read recording " + quote_text(path) + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) {
    *error = "cannot read recording " + quote_text(path);
    return false;
  }
  return parse_recording(buffer.str(), safe_text(path), out, error);
}

// ---- Writing

writer::~writer() {
  if (file_ != nullptr) std::fclose(file_);
}

bool writer::open(const std::string& path, std::string* error) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) {
    *error = "--record: cannot write " + quote_text(path) + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  faults_.assign(FAULT_COUNT, false);
  std::fprintf(file_, "%s %d\n", MAGIC, FORMAT_VERSION);
  std::fputs("# written by vesper-sim; play it with: vesper-headless --play FILE (or vesper-sim --play FILE)\n", file_);
  std::fputs("# each line: the pass that first sees it, then what reached the firmware\n", file_);
  return true;
}

void writer::line(std::int64_t pass, const std::string& text) {
  if (file_ == nullptr) return;
  flush_serial();
  std::fprintf(file_, "%lld %s\n", static_cast<long long>(pass), text.c_str());
}

void writer::flush_serial() {
  if (serial_.empty() || file_ == nullptr) return;
  std::fprintf(file_, "%lld serial %s\n", static_cast<long long>(serial_pass_), encode_bytes(serial_).c_str());
  serial_.clear();
}

void writer::inputs(std::int64_t pass) {
  if (file_ == nullptr) return;
  const int levels[3] = {get_knob_push(), get_left_button(), get_right_button()};
  for (int i = 0; i < 3; ++i) {
    if (levels[i] == levels_[i]) continue;
    levels_[i] = levels[i];
    line(pass, std::string(SWITCH_NAMES[i]) + " " + std::to_string(levels[i]));
  }
  // The pass takes the detents: what it leaves is what the next comparison starts from.
  if (controls.knob_count != turn_) {
    turn_ = controls.knob_count;
    line(pass, "turn " + std::to_string(turn_));
  }
  for (int i = 0; i < FAULT_COUNT; ++i) {
    if (fault_active(i) == faults_[i]) continue;
    faults_[i] = fault_active(i);
    line(pass, std::string("fault ") + fault_table[i].name + (faults_[i] ? " on" : " off"));
  }
}

void writer::after_pass() { turn_ = controls.knob_count; }

void writer::tick(std::int64_t pass) {
  inputs(pass);
  line(pass, "tick");
}

void writer::serial_byte(std::int64_t pass, std::uint8_t byte) {
  if (file_ == nullptr) return;
  if (!serial_.empty() && pass != serial_pass_) flush_serial();
  serial_pass_ = pass;
  serial_ += static_cast<char>(byte);
}

void writer::sensor(std::int64_t pass, const desk_sensor_write& write) {
  if (write.sensor == nullptr) return;
  char value[32];
  if (write.sensor->number != nullptr) {
    // Nine significant digits give back the very same float.
    std::snprintf(value, sizeof value, "%.9g", static_cast<double>(write.number));
  } else {
    std::snprintf(value, sizeof value, "%d", write.flag ? 1 : 0);
  }
  line(pass, std::string("sensor ") + write.sensor->name + "=" + value);
}

void writer::setting(std::int64_t pass, const host_settings::setting_write& write) {
  line(pass, "set " + write.target.name + "=" + std::to_string(write.value));
}

bool writer::finish(std::int64_t passes_run, std::string* error) {
  if (file_ == nullptr) return true;
  // What changed after the last pass (a fault key while paused) still reaches a run played on.
  inputs(passes_run + 1);
  // The window may close before its first pass; the stamps start at 1.
  line(passes_run < 1 ? 1 : passes_run, "end");
  const bool ok = std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ok || !closed) {
    *error = "--record: cannot write " + quote_text(path_) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void writer::discard() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
  std::remove(path_.c_str());
}

// ---- Playing

bool player::apply_through(std::int64_t pass, const std::function<void()>& on_tick, std::string* error) {
  while (next_ < recording_.events.size() && recording_.events[next_].pass <= pass) {
    const event& e = recording_.events[next_++];
    switch (e.kind) {
      case event_kind::level:
        if (e.which == KNOB_PUSH) set_knob_push(e.value);
        if (e.which == LEFT_BUTTON) set_left_button(e.value);
        if (e.which == RIGHT_BUTTON) set_right_button(e.value);
        break;
      case event_kind::turn:
        set_knob_count(e.value);
        break;
      case event_kind::tick:
        if (on_tick) on_tick();
        break;
      case event_kind::serial:
        serial_feed_as_read(reinterpret_cast<const std::uint8_t*>(e.bytes.data()), e.bytes.size());
        break;
      case event_kind::sensor:
        apply_desk_sensor(e.sensor);
        break;
      case event_kind::fault:
        set_fault(e.which, e.value != 0);
        break;
      case event_kind::set: {
        std::string why;
        if (!host_settings::apply_setting_write(e.setting, &why)) {
          *error = "pass " + std::to_string(e.pass) + ": " + why;
          return false;
        }
        break;
      }
    }
  }
  return true;
}

}  // namespace recording
