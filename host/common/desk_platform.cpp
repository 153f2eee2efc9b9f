#include "host/common/desk_platform.h"

#include <cmath>

#include "core/platform.h"
#include "gfx/text.h"
#include "host/common/faults.h"
#include "settings/settings.h"

desk_platform_state desk;

void desk_platform_power_on() {
  desk = desk_platform_state{};
  faults_power_on();
}

bool sensors_valid() { return desk.sensors_valid; }
bool attitude_data_valid() { return desk.attitude_data_valid; }
bool aoa_available() { return desk.aoa_available; }
float read_sensor_roll() { return desk.roll; }
float read_sensor_pitch() { return desk.pitch; }
float read_sensor_g() { return desk.g; }
float read_sensor_aoa() { return desk.aoa; }
float read_air_vector_a() { return desk.air_vector_a; }
float read_air_vector_b() { return desk.air_vector_b; }
float sensor_lateral() { return desk.lateral; }
bool oat_sensor_fitted() { return desk.oat_sensor_fitted; }
bool oat_valid() { return desk.oat_valid; }
float read_oat() { return desk.oat; }

// A slowly turning gyro stands in for the real one, so that the heading page moves on the desk.
float get_heading() {
  desk.heading = wrap_value(desk.heading - 0.006666667f, 360.0f);
  return desk.heading;
}
void adjust_heading(int degrees) { desk.heading = wrap_value(desk.heading + static_cast<float>(degrees), 360.0f); }
bool heading_valid() { return desk.heading_valid; }

namespace {

float clamp_baro(float hundredths, int units) {
  const float lo = units == 1 ? BARO_MIN_HPA : BARO_MIN_INHG;
  const float hi = units == 1 ? BARO_MAX_HPA : BARO_MAX_INHG;
  if (!(hundredths >= lo)) {  // also a setting that is not a number
    return lo;
  }
  return hundredths > hi ? hi : hundredths;
}

// Hundredths of inHg to hundredths of hPa rounded to a whole hPa, and back rounded to 0.01 inHg.
float convert_baro(float hundredths, int to_units) {
  if (to_units == 1) {
    return static_cast<float>(std::round(hundredths * HPA_PER_INHG / 100.0) * 100.0);
  }
  return static_cast<float>(std::round(hundredths / HPA_PER_INHG));
}

void follow_baro_units() {
  const int units = cfg_get_byte(CFG_BARO_UNITS) == 1 ? 1 : 0;
  if (units != desk.baro_units) {
    desk.baro_setting = clamp_baro(convert_baro(desk.baro_setting, units), units);
    desk.baro_units = units;
  }
}

}  // namespace

float desk_baro_hundredths() {
  follow_baro_units();
  return desk.baro_setting;
}

float desk_baro_inhg_hundredths() {
  follow_baro_units();
  return desk.baro_units == 1 ? convert_baro(desk.baro_setting, 0) : desk.baro_setting;
}

float read_baro_setting() { return desk_baro_hundredths() / 100.0f; }

void adjust_baro_setting(int delta) {
  follow_baro_units();
  desk.baro_setting = clamp_baro(desk.baro_setting + static_cast<float>(delta), desk.baro_units);
}

int status_badge_state() { return desk.status_state; }
float status_badge_percent() { return desk.status_percent; }
bool status_icon_visible() { return desk.status_icon; }
bool status_strip_visible() { return desk.status_strip; }

int desk_baro_correction(float setting_hundredths) {
  const float b_setting = std::trunc(setting_hundredths) / 100.0f;
  if (!(b_setting >= 28.0f && b_setting <= 31.0f)) {
    return 0;
  }
  const double b = static_cast<double>((b_setting - 28.0f) * 100.0f);
  const double fit = -3e-7 * b * b * b + 0.0014 * b * b - 9.7612 * b + 1833.92;
  return static_cast<int>(std::trunc(-fit));
}

namespace {

// A pressure altitude the user gave that is no number, or out of the int range, leaves the
// altitude as no reading rather than as an undefined conversion.
bool pressure_altitude_usable() {
  return std::isfinite(desk.pressure_altitude) && std::fabs(desk.pressure_altitude) < 1.0e9f;
}

// Every reading of the simulated airspeed moves it one step.
float next_airspeed() {
  desk.airspeed += desk.airspeed_step;
  if (std::fabs(desk.airspeed) > 200.0f) {
    desk.airspeed_step = -desk.airspeed_step;
  }
  return desk.airspeed;
}

}  // namespace

int read_baro_altitude() {
  if (!pressure_altitude_usable()) {
    return 0;
  }
  return static_cast<int>(std::trunc(desk.pressure_altitude)) + desk_baro_correction(desk_baro_inhg_hundredths());
}
bool altitude_valid() { return desk.altitude_valid && pressure_altitude_usable(); }
float read_density_altitude() { return static_cast<float>(read_baro_altitude() + 1000); }
bool density_altitude_valid() { return desk.density_altitude_valid && pressure_altitude_usable(); }
float read_vertical_speed() { return desk.vertical_speed; }
bool vertical_speed_valid() { return desk.vertical_speed_valid; }
float read_true_airspeed() {
  const float simulated = next_airspeed() + 5.0f;
  return desk.tas_held ? desk.tas : simulated;
}
bool true_airspeed_valid() { return desk.tas_valid; }
float read_indicated_airspeed() {
  const float simulated = next_airspeed();
  return desk.ias_held ? desk.ias : simulated;
}
bool ias_valid() { return desk.ias_valid; }
float read_bus_volts() { return desk.bus_volts; }

void alert_tone(int channel, int mode) {
  if (channel >= 0 && channel < TONE_CHANNEL_COUNT) {
    desk.tone_mode[channel] = mode;
  }
  ++desk.tone_commands;
}

std::uint8_t txp_status_bits() { return desk.txp_status; }
std::uint8_t txp_nic() { return desk.txp_nic; }
std::uint8_t txp_nacp() { return desk.txp_nacp; }
bool txp_replying() { return desk.txp_replying; }
const char* txp_flight_id() { return desk.txp_flight_id; }
float read_pressure_altitude() { return desk.txp_pressure_altitude; }

int txp_ground_speed() {
  desk.txp_ground_speed += desk.txp_ground_speed_step;
  if (std::fabs(desk.txp_ground_speed) > 200.0f) {
    desk.txp_ground_speed_step = -desk.txp_ground_speed_step;
  }
  return static_cast<int>(desk.txp_ground_speed);
}

// The transponder passes on the GPS track; on the desk that is the simulated gyro's heading.
int txp_track() {
  const float heading = get_heading();
  return std::isfinite(heading) ? static_cast<int>(heading) : 0;
}

std::uint32_t firmware_checksum(std::uint32_t, std::uint32_t, std::uint32_t) { return desk.checksum; }
