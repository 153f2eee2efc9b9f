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
  float baro_setting = 2992.0f;  // hundredths
  std::uint32_t checksum = 0x12345678;
  int tone_mode[TONE_CHANNEL_COUNT] = {};  // last mode commanded per channel
  long tone_commands = 0;
};
extern desk_platform_state desk;

void desk_platform_power_on();
