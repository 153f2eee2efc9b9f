// The platform answers of a desk without an aircraft: fixed sensor values, tones only recorded.
// Tests and the headless runner may change the values to try other situations.
#pragma once
#include <cstdint>

#include "attitude/alerts.h"

struct desk_platform_state {
  bool sensors_valid = true;
  bool attitude_data_valid = true;
  bool aoa_available = true;
  float roll = 4.0f;
  float pitch = 2.0f;
  float g = 0.2f;
  float aoa = 15.0f;
  float air_vector_a = 1.0933334f;
  float air_vector_b = 0.0f;
  bool oat_sensor_fitted = true;
  bool oat_valid = true;
  float oat = 20.0f;             // degrees Celsius
  float lateral = 0.0f;          // a level desk: no sideways acceleration
  float baro_setting = 2992.0f;  // hundredths of the units below
  int baro_units = 0;            // the "BARO UNITS" the stored setting is counted in
  int status_state = 2;          // the status badge shows a percentage
  float status_percent = 100.0f;
  bool status_icon = true;
  bool status_strip = false;
  float heading = 0.0f;  // simulated gyro: drifts left by 1/150 degree per reading
  bool heading_valid = true;
  // Air data. The pressure altitude is corrected for the altimeter setting when read.
  float pressure_altitude = 8200.0f;  // feet
  bool altitude_valid = true;
  bool density_altitude_valid = true;
  float vertical_speed = 500.0f;  // feet per minute
  bool vertical_speed_valid = true;
  float bus_volts = 12.23f;
  // The simulated airspeed sweeps by 0.1 kt per reading (indicated or true), turning round when
  // it passes 200 kt. Giving an airspeed by hand holds it there instead.
  float airspeed = 90.0f;  // knots
  float airspeed_step = 0.1f;
  bool ias_held = false;
  float ias = 0.0f;
  bool ias_valid = true;
  bool tas_held = false;
  float tas = 0.0f;
  bool tas_valid = true;
  std::uint32_t checksum = 0x12345678;
  // Transponder link: a healthy transponder replying, squawk, mode and ident kept by the firmware.
  std::uint8_t txp_status = 0;
  std::uint8_t txp_nic = 8;
  std::uint8_t txp_nacp = 10;
  bool txp_replying = true;
  char txp_flight_id[16] = "N123";
  float txp_pressure_altitude = 8191.0f;   // feet
  float txp_ground_speed = 85.0f;          // knots, moved by 0.1 at every reading
  float txp_ground_speed_step = 0.1f;      // reverses when the speed passes 200 either way
  int tone_mode[TONE_CHANNEL_COUNT] = {};  // last mode commanded per channel
  long tone_commands = 0;
};
extern desk_platform_state desk;

void desk_platform_power_on();

// The stored altimeter setting is kept in a realistic band: 28.00..31.00 inHg, and in hPa the
// whole hectopascals inside that band (949..1049; 948 and 1050 lie just outside it).
inline constexpr float BARO_MIN_INHG = 2800.0f;
inline constexpr float BARO_MAX_INHG = 3100.0f;
inline constexpr float BARO_MIN_HPA = 94900.0f;
inline constexpr float BARO_MAX_HPA = 104900.0f;
inline constexpr double HPA_PER_INHG = 33.8639;

// The stored setting in hundredths of the current "BARO UNITS", converted first when the units
// changed since it was last touched (from the setup page, the headless set or anywhere else).
float desk_baro_hundredths();
// The same setting in hundredths of inHg, whatever the units: what the altitude correction takes.
float desk_baro_inhg_hundredths();

// The correction of the simulated pressure altitude for an altimeter setting in hundredths:
// whole feet, 0 outside 28.00 .. 31.00.
int desk_baro_correction(float setting_hundredths);
