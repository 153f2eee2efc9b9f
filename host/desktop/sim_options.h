// The simulator window's command line.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "host/common/desk_sensors.h"

inline constexpr int MIN_ZOOM = 1;
inline constexpr int MAX_ZOOM = 4;

struct sim_options {
  int zoom = 1;
  bool help = false;
  // Serial devices named on the command line: (port, device); port 0 stands for every port that
  // has no device of its own.
  std::vector<std::pair<int, std::string>> serial_devices;
  // Desk sensor values given with --sensor NAME=VALUE, applied in order before the first pass.
  std::vector<desk_sensor_write> sensors;
  // Settings written after start-up, before the first pass, in order: NAME=VALUE with the names
  // and values the headless runner takes (checked by the caller).
  std::vector<std::string> sets;
  std::vector<int> faults;  // --fault NAME: indexes of the fault table, on from the start
  // Serial bytes from a recorded stream or from gpsd instead of a device (at most one source).
  std::string replay_file;
  std::string gpsd;  // HOST[:PORT]
  // Everything that reaches the firmware is written to record_file; play_file is played instead
  // of the mouse and the keys until its end.
  std::string record_file;
  std::string play_file;
};

// Parses argv[1..]. On a bad option returns false with a message for the user in *error.
bool parse_sim_options(int argc, const char* const* argv, sim_options* options, std::string* error);

// The text of --help.
std::string sim_usage();
