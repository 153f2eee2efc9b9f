#include "host/headless/script.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "host/common/detent_queue.h"
#include "host/common/faults.h"
#include "host/common/message_text.h"
#include "host/common/recording.h"

namespace headless {
namespace {

// Longer than anyone will run the instrument for in one go, and far from overflowing the
// millisecond clock.
constexpr double kMaxSeconds = 1.0e7;

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The line without its comment; false for a quote that is never closed.
bool strip_comment(std::string_view line, std::string_view* code) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == '#' && !quoted) {
      *code = line.substr(0, i);
      return true;
    }
  }
  *code = line;
  return !quoted;
}

bool parse_control(std::string_view word, control_id* c) {
  const std::string w = lower(word);
  if (w == "knob") {
    *c = control_id::knob;
  } else if (w == "left") {
    *c = control_id::left;
  } else if (w == "right") {
    *c = control_id::right;
  } else {
    return false;
  }
  return true;
}

// A value that may be written in quotes: the quotes go, the words inside stay as they are.
bool unquote(std::string_view text, std::string* out, std::string* error) {
  text = trim(text);
  if (text.empty() || text.front() != '"') {
    *out = std::string(text);
    return true;
  }
  std::vector<std::string> words;
  if (!split_words(text, &words, error)) return false;
  if (words.size() != 1) {
    *error = "unexpected text after the quoted value";
    return false;
  }
  *out = words[0];
  return true;
}

std::string count_text(std::size_t n) { return std::to_string(n) + (n == 1 ? " was" : " were"); }

}  // namespace

const char* control_name(control_id c) {
  switch (c) {
    case control_id::knob:
      return "knob";
    case control_id::left:
      return "left";
    case control_id::right:
      return "right";
  }
  return "?";
}

bool parse_seconds(std::string_view text, std::int64_t* ms, std::string* error) {
  text = trim(text);
  double seconds = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(seconds)) {
    *error = quote_text(text) + " is not a number of seconds";
    return false;
  }
  if (seconds < 0.0 || seconds > kMaxSeconds) {
    *error = "seconds " + safe_text(text) + " out of range (allowed 0..10000000)";
    return false;
  }
  *ms = static_cast<std::int64_t>(std::llround(seconds * 1000.0));
  return true;
}

bool split_words(std::string_view line, std::vector<std::string>* words, std::string* error) {
  words->clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i])))) {
      if (line[i] == '"') {
        quoted = !quoted;
      } else {
        word += line[i];
      }
      ++i;
    }
    if (quoted) {
      *error = "unterminated double quote";
      return false;
    }
    words->push_back(word);
  }
  return true;
}

bool parse_script_line(std::string_view line, const std::string& where, command* out, bool* has_command,
                       std::string* error) {
  *has_command = false;
  auto fail = [&](const std::string& why) {
    *error = where + ": " + why;
    return false;
  };
  std::string_view code;
  if (!strip_comment(line, &code)) return fail("unterminated double quote");
  code = trim(code);
  if (code.empty()) return true;

  std::size_t verb_end = 0;
  while (verb_end < code.size() && !std::isspace(static_cast<unsigned char>(code[verb_end]))) ++verb_end;
  const std::string verb = lower(code.substr(0, verb_end));
  const std::string_view rest = trim(code.substr(verb_end));

  command cmd;
  cmd.where = where;

  if (verb == "set") {
    // The name: quoted, or the longest known name at the start (labels contain blanks).
    std::string name;
    std::string_view value_text;
    if (!rest.empty() && rest.front() == '"') {
      const std::size_t close = rest.find('"', 1);
      name = std::string(rest.substr(1, close - 1));
      value_text = rest.substr(close + 1);
    } else if (const std::size_t n = host_settings::match_setting_prefix(rest); n > 0) {
      name = std::string(rest.substr(0, n));
      value_text = rest.substr(n);
    } else {
      std::size_t end = 0;
      while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end]))) ++end;
      name = std::string(rest.substr(0, end));
      value_text = rest.substr(end);
    }
    if (name.empty()) return fail("set needs a setting name and a value, e.g. set \"DEMO MODE\" \"MODE 2\"");
    std::string why;
    if (!host_settings::find_setting(name, &cmd.setting.target, &why)) return fail(why);
    std::string value;
    if (!unquote(value_text, &value, &why)) return fail(why);
    if (!host_settings::parse_setting_value(cmd.setting.target, value, &cmd.setting.value, &why)) return fail(why);
    cmd.kind = command_kind::set;
    cmd.setting.where = where;
    *out = cmd;
    *has_command = true;
    return true;
  }

  if (verb == "snapshot") {
    std::string why;
    if (!unquote(rest, &cmd.text, &why)) return fail(why);
    cmd.kind = command_kind::snapshot;
    *out = cmd;
    *has_command = true;
    return true;
  }

  if (verb == "serial") {
    std::string why;
    std::string text;
    if (!unquote(rest, &text, &why) || !decode_serial_text(text, &cmd.text, &why)) return fail("serial: " + why);
    if (cmd.text.empty()) return fail("serial needs the bytes to send, e.g. serial \"$GPRMC,,A,,,,,90,270\\r\\n\"");
    cmd.kind = command_kind::serial;
    *out = cmd;
    *has_command = true;
    return true;
  }

  std::vector<std::string> args;
  std::string why;
  if (!split_words(rest, &args, &why)) return fail(why);
  auto want = [&](std::size_t n, const char* usage) {
    if (args.size() == n) return true;
    *error = where + ": " + verb + " takes " + usage + "; " + count_text(args.size()) + " given";
    return false;
  };
  auto control_arg = [&](const std::string& word) {
    if (parse_control(word, &cmd.control)) return true;
    *error = where + ": unknown control " + quote_text(word) + " (knob, left or right)";
    return false;
  };
  auto seconds_arg = [&](const std::string& word) {
    std::string reason;
    if (parse_seconds(word, &cmd.ms, &reason)) return true;
    *error = where + ": " + verb + ": " + reason;
    return false;
  };

  if (verb == "wait") {
    if (!want(1, "one argument (seconds)") || !seconds_arg(args[0])) return false;
    cmd.kind = command_kind::wait;
  } else if (verb == "press" || verb == "release" || verb == "tap") {
    if (!want(1, "one argument (knob, left or right)") || !control_arg(args[0])) return false;
    cmd.kind = verb == "press" ? command_kind::press : verb == "release" ? command_kind::release : command_kind::tap;
  } else if (verb == "hold") {
    if (!want(2, "two arguments (knob, left or right, and seconds)") || !control_arg(args[0]) ||
        !seconds_arg(args[1])) {
      return false;
    }
    cmd.kind = command_kind::hold;
  } else if (verb == "turn") {
    if (!want(1, "one argument (signed detents)")) return false;
    std::string_view n = args[0];
    if (!n.empty() && n.front() == '+') n.remove_prefix(1);
    long long detents = 0;
    const auto result = std::from_chars(n.data(), n.data() + n.size(), detents);
    const bool whole = !n.empty() && result.ptr == n.data() + n.size();
    if (whole && (result.ec == std::errc::result_out_of_range || detents < -MAX_QUEUED_DETENTS ||
                  detents > MAX_QUEUED_DETENTS)) {
      return fail("turn: " + quote_text(args[0]) + " is out of range (allowed " + std::to_string(-MAX_QUEUED_DETENTS) +
                  ".." + std::to_string(MAX_QUEUED_DETENTS) + ")");
    }
    if (!whole || result.ec != std::errc()) {
      return fail("turn: " + quote_text(args[0]) + " is not a whole number of detents");
    }
    cmd.detents = static_cast<int>(detents);
    cmd.kind = command_kind::turn;
  } else if (verb == "sensor") {
    if (!want(2, "two arguments (a sensor name and a value)")) return false;
    if (!parse_desk_sensor(args[0], args[1], &cmd.sensor, &why)) return fail(why);
    cmd.kind = command_kind::sensor;
  } else if (verb == "png") {
    if (!want(1, "one argument (the file)")) return false;
    if (args[0].empty()) return fail("png: empty file name");
    cmd.kind = command_kind::png;
    cmd.text = args[0];
  } else if (verb == "fault") {
    if (!want(2, "two arguments (a fault name, and on or off)")) return false;
    cmd.fault = find_fault(args[0]);
    if (cmd.fault < 0) return fail("unknown fault " + quote_text(args[0]) + " (" + fault_name_list() + ")");
    const std::string state = lower(args[1]);
    if (state != "on" && state != "off") return fail("fault: " + quote_text(args[1]) + " is neither on nor off");
    cmd.on = state == "on";
    cmd.kind = command_kind::fault;
  } else {
    return fail("unknown command " + quote_text(code.substr(0, verb_end)) +
                " (wait, press, release, tap, hold, turn, set, sensor, snapshot, png, serial, fault)");
  }
  *out = cmd;
  *has_command = true;
  return true;
}

// The escapes are the recordings' own, so a line copied between a script and a recording means
// the same bytes.
bool decode_serial_text(std::string_view text, std::string* bytes, std::string* error) {
  return recording::decode_bytes(text, bytes, error);
}

bool parse_script_text(std::string_view text, const std::string& source, int first_line, std::vector<command>* out,
                       std::string* error) {
  int number = first_line;
  if (first_line == 1) {
    // Some editors start a UTF-8 file with a byte-order mark; it says nothing, so it goes. A
    // UTF-16 or UTF-32 file would only give a puzzling message about its first command.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
      text.remove_prefix(3);
    } else if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF" ||
               text.substr(0, 4) == std::string_view("\x00\x00\xFE\xFF", 4)) {
      *error = source + ":1: the script starts with a UTF-16 or UTF-32 byte-order mark; save it as UTF-8";
      return false;
    }
  }
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    command cmd;
    bool has = false;
    if (!parse_script_line(line, source + ":" + std::to_string(number), &cmd, &has, error)) return false;
    if (has) out->push_back(cmd);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
    ++number;
  }
  return true;
}

}  // namespace headless
