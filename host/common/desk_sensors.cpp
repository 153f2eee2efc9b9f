#include "host/common/desk_sensors.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "host/common/message_text.h"

namespace {

using S = desk_platform_state;

constexpr desk_sensor number(const char* name, float S::*member, const char* meaning, bool S::*holds = nullptr) {
  return {name, member, nullptr, holds, meaning};
}
constexpr desk_sensor flag(const char* name, bool S::*member, const char* meaning) {
  return {name, nullptr, member, nullptr, meaning};
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool parse_number(std::string_view text, float* out) {
  const std::string t = lower(text);
  std::string_view v = t;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  if (v.empty()) return false;
  // strtof takes "nan", "inf" and "-inf" as well as decimals; the whole text must be the number.
  const std::string copy(v);
  char* end = nullptr;
  const float value = std::strtof(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return false;
  *out = value;
  return true;
}

bool parse_flag(std::string_view text, bool* out) {
  const std::string t = lower(text);
  if (t == "1" || t == "on" || t == "true" || t == "yes") {
    *out = true;
  } else if (t == "0" || t == "off" || t == "false" || t == "no") {
    *out = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

// The desk values a person may choose. Names are those of the desk's own members.
const desk_sensor desk_sensors[] = {
    number("roll", &S::roll, "bank angle, degrees, right wing down positive"),
    number("pitch", &S::pitch, "pitch angle, degrees, nose up positive"),
    number("g", &S::g, "load factor, g"),
    number("aoa", &S::aoa, "angle of attack, degrees"),
    number("air_vector_a", &S::air_vector_a, "first air-vector reading of the angle-of-attack ratio"),
    number("air_vector_b", &S::air_vector_b, "second air-vector reading of the angle-of-attack ratio"),
    number("lateral", &S::lateral, "lateral acceleration, slip units"),
    flag("sensors_valid", &S::sensors_valid, "the attitude sensors work"),
    flag("attitude_data_valid", &S::attitude_data_valid, "the attitude data are usable"),
    flag("aoa_available", &S::aoa_available, "an angle-of-attack sensor is fitted"),
    number("oat", &S::oat, "outside air temperature, degrees Celsius"),
    flag("oat_sensor_fitted", &S::oat_sensor_fitted, "an outside-air-temperature probe is fitted"),
    flag("oat_valid", &S::oat_valid, "the temperature reading is usable"),
    number("baro_setting", &S::baro_setting, "altimeter setting, hundredths (2992 = 29.92)"),
    number("pressure_altitude", &S::pressure_altitude, "pressure altitude before the altimeter setting, feet"),
    flag("altitude_valid", &S::altitude_valid, "altitude and pressure data usable"),
    flag("density_altitude_valid", &S::density_altitude_valid, "density altitude usable"),
    number("vertical_speed", &S::vertical_speed, "vertical speed, feet per minute"),
    flag("vertical_speed_valid", &S::vertical_speed_valid, "vertical speed usable"),
    number("ias", &S::ias, "indicated airspeed, knots (held; without it the airspeed sweeps)", &S::ias_held),
    flag("ias_valid", &S::ias_valid, "indicated airspeed usable"),
    number("tas", &S::tas, "true airspeed, knots (held; without it indicated + 5)", &S::tas_held),
    flag("tas_valid", &S::tas_valid, "true airspeed usable"),
    number("bus_volts", &S::bus_volts, "bus voltage, volts"),
    number("heading", &S::heading, "gyro heading, degrees (drifts left by 1/150 degree per reading)"),
    flag("heading_valid", &S::heading_valid, "the gyro heading is usable"),
    number("txp_pressure_altitude", &S::txp_pressure_altitude, "pressure altitude the transponder reports, feet"),
    flag("txp_replying", &S::txp_replying, "the transponder replies to interrogations"),
};
const int desk_sensor_count = static_cast<int>(sizeof desk_sensors / sizeof desk_sensors[0]);

const desk_sensor* find_desk_sensor(std::string_view name) {
  const std::string n = lower(trim(name));
  for (int i = 0; i < desk_sensor_count; ++i) {
    if (n == desk_sensors[i].name) return &desk_sensors[i];
  }
  return nullptr;
}

bool parse_desk_sensor(std::string_view name, std::string_view value, desk_sensor_write* out, std::string* error) {
  const desk_sensor* s = find_desk_sensor(name);
  if (s == nullptr) {
    *error = "unknown sensor " + quote_text(trim(name)) + " (see --help for the names)";
    return false;
  }
  desk_sensor_write w;
  w.sensor = s;
  value = trim(value);
  if (s->number != nullptr) {
    if (!parse_number(value, &w.number)) {
      *error = "sensor " + std::string(s->name) + ": " + quote_text(value) + " is not a number";
      return false;
    }
  } else if (!parse_flag(value, &w.flag)) {
    *error = "sensor " + std::string(s->name) + ": " + quote_text(value) + " is not a flag (1/0, on/off, true/false)";
    return false;
  }
  *out = w;
  return true;
}

bool parse_desk_sensor_assignment(std::string_view text, desk_sensor_write* out, std::string* error) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) {
    *error = quote_text(text) + " is not NAME=VALUE";
    return false;
  }
  return parse_desk_sensor(text.substr(0, eq), text.substr(eq + 1), out, error);
}

void apply_desk_sensor(const desk_sensor_write& write) {
  const desk_sensor* s = write.sensor;
  if (s == nullptr) return;
  if (s->number != nullptr) desk.*(s->number) = write.number;
  if (s->flag != nullptr) desk.*(s->flag) = write.flag;
  if (s->holds != nullptr) desk.*(s->holds) = true;
}

std::string desk_sensor_help() {
  std::string out;
  for (int i = 0; i < desk_sensor_count; ++i) {
    std::string line = "    ";
    line += desk_sensors[i].name;
    while (line.size() < 28) line += ' ';
    out += line + desk_sensors[i].meaning + "\n";
  }
  return out;
}
