#include "host/desktop/sim_options.h"

#include <cstdlib>

#include "host/common/faults.h"
#include "host/common/message_text.h"
#include "host/desktop/input_map.h"
#include "host/desktop/serial_posix.h"

namespace {

// Whole decimal number in [lo, hi], nothing else in the text.
bool parse_int(const std::string& text, int lo, int hi, int* out) {
  if (text.empty() || text.size() > 9) {
    return false;
  }
  for (char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  const long v = std::strtol(text.c_str(), nullptr, 10);
  if (v < lo || v > hi) {
    return false;
  }
  *out = static_cast<int>(v);
  return true;
}

// "--name=value" or "--name value"; *i moves past the value when it was the next argument.
bool option_value(const std::string& arg, const char* name, int argc, const char* const* argv, int* i,
                  std::string* value, bool* matched, std::string* error) {
  const std::string n = name;
  if (arg == n) {
    *matched = true;
    if (*i + 1 >= argc) {
      *error = "option " + n + " needs a value (try --help)";
      return false;
    }
    *i += 1;
    *value = argv[*i];
    return true;
  }
  if (arg.rfind(n + "=", 0) == 0) {
    *matched = true;
    *value = arg.substr(n.size() + 1);
    return true;
  }
  *matched = false;
  return true;
}

}  // namespace

bool parse_sim_options(int argc, const char* const* argv, sim_options* options, std::string* error) {
  *options = sim_options{};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    std::string value;
    bool matched = false;
    if (!option_value(arg, "--zoom", argc, argv, &i, &value, &matched, error)) {
      return false;
    }
    if (matched) {
      if (!parse_int(value, MIN_ZOOM, MAX_ZOOM, &options->zoom)) {
        *error = "bad zoom " + quote_text(value) + ": give a whole number from 1 to 4";
        return false;
      }
      continue;
    }
    if (!option_value(arg, "--serial", argc, argv, &i, &value, &matched, error)) {
      return false;
    }
    if (matched) {
      // "N=DEVICE" names the device of port N; a plain "DEVICE" serves every port.
      int port = 0;
      std::string device = value;
      const std::size_t eq = value.find('=');
      if (eq != std::string::npos && eq > 0 && value.find('/') > eq) {
        if (!parse_int(value.substr(0, eq), 1, SERIAL_MAX_PORT, &port)) {
          *error = "bad serial port number in " + quote_text(value) + ": give 1 to 99, as in --serial 2=/dev/ttyS1";
          return false;
        }
        device = value.substr(eq + 1);
      }
      if (device.empty()) {
        *error = "option --serial needs a device name, as in --serial /dev/ttyUSB0";
        return false;
      }
      if (!options->replay_file.empty() || !options->gpsd.empty()) {
        *error = "--serial: only one of --serial, --replay and --gpsd may be given";
        return false;
      }
      options->serial_devices.emplace_back(port, device);
      continue;
    }
    if (!option_value(arg, "--sensor", argc, argv, &i, &value, &matched, error)) {
      return false;
    }
    if (matched) {
      desk_sensor_write write;
      std::string why;
      if (!parse_desk_sensor_assignment(value, &write, &why)) {
        *error = "--sensor '" + value + "': " + why;
        return false;
      }
      options->sensors.push_back(write);
      continue;
    }
    for (const char* name : {"--replay", "--gpsd"}) {
      if (matched) break;
      if (!option_value(arg, name, argc, argv, &i, &value, &matched, error)) return false;
      if (!matched) continue;
      if (value.empty()) {
        *error = std::string("option ") + name + " needs " + (name[2] == 'r' ? "a file name" : "HOST[:PORT]");
        return false;
      }
      if (!options->replay_file.empty() || !options->gpsd.empty() || !options->serial_devices.empty()) {
        *error = std::string(name) + ": only one of --serial, --replay and --gpsd may be given";
        return false;
      }
      (name[2] == 'r' ? options->replay_file : options->gpsd) = value;
    }
    if (matched) continue;
    for (const char* name : {"--record", "--play"}) {
      if (matched) break;
      if (!option_value(arg, name, argc, argv, &i, &value, &matched, error)) return false;
      if (!matched) continue;
      if (value.empty()) {
        *error = std::string("option ") + name + " needs a file name";
        return false;
      }
      (name[2] == 'r' ? options->record_file : options->play_file) = value;
    }
    if (matched) continue;
    if (!option_value(arg, "--set", argc, argv, &i, &value, &matched, error)) {
      return false;
    }
    if (matched) {
      options->sets.push_back(value);
      continue;
    }
    if (!option_value(arg, "--fault", argc, argv, &i, &value, &matched, error)) {
      return false;
    }
    if (matched) {
      const int fault = find_fault(value);
      if (fault < 0) {
        *error = "unknown fault " + quote_text(value) + " (" + fault_name_list() + ")";
        return false;
      }
      options->faults.push_back(fault);
      continue;
    }
    if (!arg.empty() && arg[0] == '-') {
      *error = "unknown option " + quote_text(arg) + " (try --help)";
    } else {
      *error = "unexpected argument " + quote_text(arg) + ": vesper-sim takes options only (try --help)";
    }
    return false;
  }
  // A recording holds everything the firmware was given; more input would make it another run.
  if (!options->play_file.empty() && (!options->sets.empty() || !options->sensors.empty() || !options->faults.empty() ||
                                      !options->serial_devices.empty() || !options->replay_file.empty() ||
                                      !options->gpsd.empty() || !options->record_file.empty())) {
    *error =
        "--play: the recording is the whole input; --set, --sensor, --fault, --serial, --replay, --gpsd and "
        "--record cannot go with it";
    return false;
  }
  return true;
}

std::string sim_usage() {
  std::string s =
      "Usage: vesper-sim [--zoom N] [--set NAME=VALUE]... [--serial [PORT=]DEVICE]... [--sensor NAME=VALUE]...\n"
      "                 [--fault NAME]... [--record FILE]\n"
      "       vesper-sim [--zoom N] --play FILE\n"
      "\n"
      "Runs the instrument in a window: the display inside a picture of the bezel, worked with the\n"
      "mouse and the keyboard. It starts with its start-up screen for eight seconds, then shows\n"
      "the demo motion.\n"
      "\n"
      "Options:\n"
      "  --zoom N                 window size: N times the bezel picture (480 x 625), N = 1..4;\n"
      "                           cut down, with a note, to what fits the screen\n"
      "  --set NAME=VALUE         a setting by its CFG_ name or setup-row label, as vesper-headless\n"
      "                           takes it (--set \"UNIT FUNCTION=DG\", --set \"UI STYLE=EFIS\");\n"
      "                           written after start-up, within its limits; may be repeated.\n"
      "                           Settings still start from their defaults; nothing is saved\n"
      "  --serial DEVICE          serial device for every port the instrument opens\n"
      "  --serial PORT=DEVICE     serial device for port PORT (1..99) only\n"
      "                           (without these, port N is " SERIAL_DEFAULT_DEVICE_PREFIX
      "<N-1>: port 1 is " SERIAL_DEFAULT_DEVICE_PREFIX
      "0); the GPS port is opened at the rate of \"GPS NAV SRC\", 8N1\n"
      "  --replay FILE            play a recorded NMEA or LK1 byte stream into the GPS port at the\n"
      "                           line rate; lines starting with '#' are skipped\n"
      "  --gpsd HOST[:PORT]       raw NMEA from a running gpsd (port 2947 by default); a lost\n"
      "                           connection shows as lost data and is retried\n"
      "  --sensor NAME=VALUE      a desk sensor value or validity flag (may be repeated; with\n"
      "                           \"DEMO MODE\" DISABLED the fields show it). Flags take 1/0, on/off\n"
      "                           or true/false; numbers may be nan or inf. The names:\n";
  s += desk_sensor_help();
  s += "  --fault NAME             inject a fault from the start (may be repeated; listed below)\n"
       "  --record FILE            write everything that reaches the firmware (controls, ticks, serial\n"
       "                           bytes, sensors, faults, settings) to FILE, stamped with its pass;\n"
       "                           vesper-headless --play FILE gives the very same frames\n"
       "  --play FILE              play a recording instead of the mouse and the fault keys, to its\n"
       "                           end; then the window is yours\n"
       "  -h, --help               this text\n"
       "\n";
  s += key_help;
  s += "\nFaults, switched on and off while running with their keys (0 clears them all); the window's\n"
       "title names the active ones:\n";
  for (int i = 0; i < FAULT_COUNT; ++i) {
    std::string line = "  " + fault_key_name(i);
    line.resize(11, ' ');  // "  Shift+1" and a blank
    s += line + fault_help_line(i);
  }
  s += "\nExit status: 0 when the window is closed, 1 when the window cannot be made (no display),\n"
       "2 for a bad option. Options other than --set, --sensor, --serial and --fault count once: the last one wins.\n";
  return s;
}
