#include "host/headless/options.h"

#include <charconv>
#include <set>

#include "host/common/desk_sensors.h"
#include "host/common/faults.h"
#include "host/common/message_text.h"
#include "host/headless/script.h"

namespace headless {

std::int64_t effective_run_ms(const options& o) {
  if (o.seconds_given) return o.run_ms;
  if (!o.play_file.empty()) return 0;
  return o.scripts.empty() ? 10000 : 0;
}

bool parse_command_line(const std::vector<std::string>& args, options* out, std::string* error) {
  options o;
  bool stdin_used = false;
  // Options that name one thing may be given once: a second --png would otherwise silently
  // replace the first, and the user would look for a picture that is never written.
  std::set<std::string> single_seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool has_value = false;
    // --name=value is the same as --name value.
    if (name.rfind("--", 0) == 0) {
      const std::size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        has_value = true;
      }
    }
    auto take_value = [&](const char* what) {
      if (has_value) return true;
      if (i + 1 >= args.size()) {
        *error = "option " + name + " needs " + what;
        return false;
      }
      value = args[++i];
      return true;
    };
    auto no_value = [&]() {
      if (!has_value) return true;
      *error = "option " + name + " takes no value";
      return false;
    };

    for (const char* single : {"--seconds", "--png", "--frames", "--every", "--layers", "--state", "--play"}) {
      if (name == single && !single_seen.insert(name).second) {
        *error = "option " + name + " given twice (it names one thing; give it once)";
        return false;
      }
    }

    if (name == "--help" || name == "-h") {
      if (!no_value()) return false;
      o.help = true;
    } else if (name == "--seconds") {
      if (!take_value("a number of seconds")) return false;
      std::string why;
      if (!parse_seconds(value, &o.run_ms, &why)) {
        *error = "--seconds: " + why;
        return false;
      }
      o.seconds_given = true;
    } else if (name == "--script") {
      if (!take_value("a file name ('-' for standard input)")) return false;
      if (value.empty()) {
        *error = "--script: empty file name";
        return false;
      }
      if (value == "-") {
        if (stdin_used) {
          *error = "--script: standard input ('-') can be read only once";
          return false;
        }
        stdin_used = true;
        o.scripts.push_back({script_source::standard_input, "-"});
      } else {
        o.scripts.push_back({script_source::file, value});
      }
    } else if (name == "-e") {
      if (!take_value("a script line")) return false;
      o.scripts.push_back({script_source::line, value});
    } else if (name == "--set") {
      if (!take_value("NAME=VALUE")) return false;
      if (value.find('=') == std::string::npos) {
        *error = "--set: " + quote_text(value) + " is not NAME=VALUE";
        return false;
      }
      o.sets.push_back(value);
    } else if (name == "--sensor") {
      if (!take_value("NAME=VALUE")) return false;
      if (value.find('=') == std::string::npos) {
        *error = "--sensor: " + quote_text(value) + " is not NAME=VALUE";
        return false;
      }
      o.sensors.push_back(value);
    } else if (name == "--fault") {
      if (!take_value("a fault name")) return false;
      if (find_fault(value) < 0) {
        *error = "--fault: unknown fault " + quote_text(value) + " (" + fault_name_list() + ")";
        return false;
      }
      o.faults.push_back(value);
    } else if (name == "--play") {
      if (!take_value("a recording")) return false;
      if (value.empty()) {
        *error = "--play: empty file name";
        return false;
      }
      o.play_file = value;
    } else if (name == "--png") {
      if (!take_value("a file name")) return false;
      o.png = value;
    } else if (name == "--frames") {
      if (!take_value("a directory")) return false;
      o.frames_dir = value;
    } else if (name == "--every") {
      if (!take_value("a whole number of frames")) return false;
      int n = 0;
      const auto result = std::from_chars(value.data(), value.data() + value.size(), n);
      if (value.empty() || result.ec != std::errc() || result.ptr != value.data() + value.size() || n < 1) {
        *error = "--every: " + quote_text(value) + " is not a whole number of frames of 1 or more";
        return false;
      }
      o.every = n;
      o.every_given = true;
    } else if (name == "--layers") {
      if (!take_value("a directory")) return false;
      o.layers_dir = value;
    } else if (name == "--state") {
      if (!take_value("a file name ('-' for standard output)")) return false;
      o.state = value;
    } else if (name == "--serial" || name == "--replay" || name == "--gpsd") {
      if (!take_value(name == "--serial" ? "a device" : name == "--replay" ? "a file name" : "HOST[:PORT]")) {
        return false;
      }
      if (value.empty()) {
        *error = name + ": empty name";
        return false;
      }
      if (!o.serial_device.empty() || !o.replay_file.empty() || !o.gpsd.empty()) {
        *error = name + ": only one of --serial, --replay and --gpsd may be given";
        return false;
      }
      (name == "--serial" ? o.serial_device : name == "--replay" ? o.replay_file : o.gpsd) = value;
    } else if (!name.empty() && name[0] == '-' && name != "-") {
      *error = "unknown option " + quote_text(name) + " (see --help)";
      return false;
    } else {
      *error = "unexpected argument " + quote_text(name) + " (scripts are given with --script FILE or -e LINE)";
      return false;
    }
    for (const char* dir_option : {"--png", "--frames", "--layers", "--state"}) {
      if (name == dir_option && value.empty()) {
        *error = name + ": empty name";
        return false;
      }
    }
  }
  if (o.png == "-" && o.state == "-") {
    *error = "--png - and --state - cannot both go to standard output";
    return false;
  }
  // A recording holds everything the firmware was given; more input would make it another run.
  if (!o.play_file.empty() && (!o.scripts.empty() || !o.sets.empty() || !o.sensors.empty() || !o.faults.empty() ||
                               !o.serial_device.empty() || !o.replay_file.empty() || !o.gpsd.empty())) {
    *error =
        "--play: the recording is the whole input; --script, -e, --set, --sensor, --fault, --serial, --replay and "
        "--gpsd cannot go with it";
    return false;
  }
  if (o.every_given && o.frames_dir.empty()) {
    *error = "--every needs --frames DIR";
    return false;
  }
  *out = o;
  return true;
}

std::string help_text() {
  std::string text = R"(Usage: vesper-headless [options]

Runs the instrument firmware on a virtual clock, as fast as the machine allows: every 30 ms of
instrument time it runs passes until one composes a frame, every 1000 ms it runs the one-second
tick, exactly as the window does. Instrument time starts at 0 after start-up; the first frame is
composed at 30 ms and the first tick comes at 1000 ms. When both fall on the same millisecond
the frame comes first, then the tick.

Options:
  --seconds S        instrument time to run after the script (default 10 without a script,
                     0 with one); decimals allowed, rounded to whole milliseconds
  --script FILE      script file to run ('-' = standard input); may be repeated
  -e LINE            one script line; may be repeated; scripts and lines run in the order given
  --set NAME=VALUE   write a setting after start-up, before the first pass; may be repeated
  --sensor NAME=VALUE
                     give a desk sensor a value after start-up, before the first pass; may be
                     repeated (with "DEMO MODE" DISABLED the fields show these readings). Flags take
                     1/0, on/off or true/false; numbers may be nan or inf. The names:
@SENSORS@  --fault NAME       inject a fault from the start (after --set, before the first pass); may
                     be repeated; the faults are listed below
  --png FILE         write the last composed frame (opaque, 320 x 240; '-' = standard output)
  --frames DIR       write every N-th composed frame as DIR/frame-000001.png ... (numbered from
                     the first composed frame, which is 1); the directory is made if missing
  --every N          with --frames: every N-th frame (default 1)
  --layers DIR       write DIR/top_layer.png and DIR/base_layer.png, with alpha, as they stood
                     when the last frame was composed
  --state FILE       write the state as JSON ('-' = standard output):
                     {"snapshots": [...], "final": {...}}, one snapshot per 'snapshot' line
  --serial DEVICE    take serial bytes from a terminal device (or pseudo-terminal), opened
                     8N1 at the rate of "GPS NAV SRC"; instrument time then keeps in step
                     with real time, since the bytes arrive in real time
  --replay FILE      play a recorded NMEA or LK1 byte stream at the line rate of "GPS NAV SRC"
                     (480 or 960 bytes per second of instrument time); lines starting with '#'
                     are skipped
  --gpsd HOST[:PORT] take raw NMEA from a running gpsd (port 2947 by default), in step with
                     real time; a lost connection shows as lost data and is retried
  --play FILE        play a recording made with vesper-sim --record FILE: every control, tick,
                     serial byte, sensor value, fault and setting at the pass the window gave
                     it, to the end of the recording, then --seconds more (default 0); the
                     frames are those the window showed. Takes no script, --set, --sensor,
                     --fault or serial source
  -h, --help         show this text

--script, -e, --set and --sensor may be repeated; every other option may be given only once.

Script (one command a line; '#' starts a comment; blank lines are ignored):
  wait S             let S seconds of instrument time pass
  press X            X = knob, left or right: press and keep it down
  release X          let it come up
  tap X              press, run until the firmware has taken the press (at most 10 s), release;
                     the release itself is taken by the next refresh, 30 ms later
  hold X S           press, wait S seconds, release
  turn N             N knob detents before the next pass (negative = anticlockwise, -100..100,
                     as many as the window queues); a second turn before that pass replaces the
                     first, as on the instrument's driver
  set NAME VALUE     a setting by its CFG_ name or setup-row label, written as the setup page
                     writes it and within its limits; VALUE a number or an option text.
                     Labels and texts may be quoted ("MODE 1") but need not be.
                     CFG_FIELD_PAGE (0..3) also moves to that page; CFG_HDG_BUG (0..359) and
                     CFG_SET_ALT (0..25000) are start-up values and change only what is stored
  sensor NAME VALUE  a desk sensor value, as --sensor gives it, from this moment on
  snapshot [LABEL]   add the state at this moment to the snapshots
  serial TEXT        bytes arriving at the serial port now; \r, \n, \t, \\ and \xHH are
                     escapes (\x23 for '#'); TEXT may be quoted
  png FILE           write the last composed frame now
  fault NAME on|off  inject a fault, or take it away (what it replaced comes back)
A script file may start with a UTF-8 byte-order mark, which is skipped.

Faults (for --fault and the fault command):
)" + fault_help(2) +
                     R"(
Every mistake in the options or the script is reported on one line before anything runs or is
written, with exit status 2: unknown options, missing arguments, unknown commands (with the file
and line), unknown settings and sensors, values out of range (with the allowed range), missing
script files and outputs that cannot be written. Outputs are made (empty) before the run to prove they can
be written, and taken away again when the run does not start. Texts quoted in messages are cut
to 60 characters, with control characters written as escapes such as \x1B.

A failure while running is reported on one line with exit status 1: an output that cannot be
written after all (a full disk, a closed standard output), or a 'set' that the setup page
refuses because the run has changed a setting it depends on (the two angle-of-attack limits);
such a 'set' leaves the setting as it was, and the run carries on to its end and writes its
outputs.

Examples:
  vesper-headless --seconds 12 --png frame.png --state -
  vesper-headless -e 'wait 9' -e 'tap left' -e 'wait 1' -e 'png menu.png'
  vesper-headless --set "UNIT FUNCTION=DG" --seconds 10 --frames frames --every 10
  vesper-headless --script flight.txt --state state.json --layers layers
  vesper-headless --replay gps.log --set "UNIT FUNCTION=DG" --seconds 30 --png hsi.png

  # flight.txt
  set "DEMO MODE" "MODE 1"
  wait 9            # past the start-up screen
  tap left          # the press is taken at 9.03 s
  wait 0.1          # the release opens the menu at 9.06 s
  snapshot menu
  wait 31           # thirty seconds without a control event close it again
  snapshot closed
)";
  const std::size_t at = text.find("@SENSORS@");
  text.replace(at, 9, desk_sensor_help());
  return text;
}

}  // namespace headless
