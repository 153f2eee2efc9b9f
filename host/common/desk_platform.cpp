#include "host/common/desk_platform.h"

#include "core/platform.h"

desk_platform_state desk;

void desk_platform_power_on() { desk = desk_platform_state{}; }

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

float read_baro_setting() { return desk.baro_setting / 100.0f; }
void adjust_baro_setting(int delta) { desk.baro_setting += static_cast<float>(delta); }

void alert_tone(int channel, int mode) {
  if (channel >= 0 && channel < TONE_CHANNEL_COUNT) {
    desk.tone_mode[channel] = mode;
  }
  ++desk.tone_commands;
}

std::uint32_t firmware_checksum(std::uint32_t, std::uint32_t, std::uint32_t) { return desk.checksum; }
