// The desk's sensor values by name, so that a person can choose any reading or validity flag:
// vesper-headless and vesper-sim take --sensor NAME=VALUE, scripts take "sensor NAME VALUE".
// To offer another value, add its desk_platform_state member to the table in desk_sensors.cpp.
#pragma once
#include <string>
#include <string_view>

#include "host/common/desk_platform.h"

struct desk_sensor {
  const char* name;
  // Exactly one of the two is set: a number (float) or a flag (bool).
  float desk_platform_state::*number;
  bool desk_platform_state::*flag;
  // Set true by every write: an airspeed given by hand stops the simulated sweep.
  bool desk_platform_state::*holds;
  const char* meaning;
};

// One checked write, ready to apply.
struct desk_sensor_write {
  const desk_sensor* sensor = nullptr;
  float number = 0.0f;
  bool flag = false;
};

extern const desk_sensor desk_sensors[];
extern const int desk_sensor_count;

// Finds a sensor by name (letter case ignored); nullptr when there is none.
const desk_sensor* find_desk_sensor(std::string_view name);

// Checks a name and a value: numbers as decimals (nan and inf allowed, to try broken readings),
// flags as 1/0, on/off, true/false or yes/no. False with a one-line reason.
bool parse_desk_sensor(std::string_view name, std::string_view value, desk_sensor_write* out, std::string* error);

// "NAME=VALUE" as the command lines give it.
bool parse_desk_sensor_assignment(std::string_view text, desk_sensor_write* out, std::string* error);

void apply_desk_sensor(const desk_sensor_write& write);

// The names and meanings, one a line, indented for a --help text.
std::string desk_sensor_help();
