// What the firmware needs of the hardware around it. Declared here, implemented by each host
// (the instrument's drivers, the desktop window, the headless runner, the tests). Nothing here
// may block or allocate.
#pragma once
#include <cstdint>

// Attitude, air-data and angle-of-attack sensors.
bool sensors_valid();
bool attitude_data_valid();
bool aoa_available();
float read_sensor_roll();   // degrees
float read_sensor_pitch();  // degrees
float read_sensor_g();      // load factor
float read_sensor_aoa();    // degrees
float read_air_vector_a();
float read_air_vector_b();
float sensor_lateral();    // lateral acceleration in slip units
bool oat_sensor_fitted();  // an outside-air-temperature probe is connected
bool oat_valid();
float read_oat();  // degrees Celsius

// The directional gyro. The heading is in degrees 0..360; adjust_heading adds whole degrees (the
// pilot's DG ADJ correction). A heading that is not valid, or not a finite number, is not drawn.
float get_heading();
void adjust_heading(int degrees);
bool heading_valid();

// Air data. Each reading comes with its validity test; a reading is only used while its test
// passes.
int read_baro_altitude();       // feet, corrected for the altimeter setting
bool altitude_valid();          // altitude and pressure data usable
float read_density_altitude();  // feet
bool density_altitude_valid();
float read_vertical_speed();  // feet per minute
bool vertical_speed_valid();
float read_true_airspeed();  // knots
bool true_airspeed_valid();
float read_indicated_airspeed();  // knots
bool ias_valid();
float read_bus_volts();  // volts

// The stored altimeter setting, in hundredths of the units of "BARO UNITS" (2992 = 29.92 inHg).
float read_baro_setting();            // the stored setting divided by 100
void adjust_baro_setting(int delta);  // adds whole hundredths

// Audio tones of the attitude alerts: mode 2 starts channel's tone, mode 0 stops it.
void alert_tone(int channel, int mode);

// Serial port: 8 data bits, no parity, one stop bit, no flow control; reads never wait.
bool serial_open(int port, int baud);
std::uint8_t serial_read_one(int* count);
void serial_set_baud(int rate);
void serial_write(const std::uint8_t* buffer, int length);
void serial_close();

// Checksum of the program memory range [start, end) with a seed.
std::uint32_t firmware_checksum(std::uint32_t start, std::uint32_t end, std::uint32_t seed);

// Status badge: state 2 shows the percentage, 1 "TEST", anything else "FAIL"; the icon and the
// strip below the attitude picture are shown when visible.
int status_badge_state();
float status_badge_percent();
bool status_icon_visible();
bool status_strip_visible();

// Transponder link: what the transponder reports back. The squawk code, mode and ident that the
// firmware sets are kept by transponder/transponder.h.
std::uint8_t txp_status_bits();  // bit 0 time-out, 1 failure, 2 no position, 7 fault; 0 = healthy
std::uint8_t txp_nic();
std::uint8_t txp_nacp();
bool txp_replying();             // replying to interrogations
const char* txp_flight_id();     // flight identification, empty when none; may be longer than shown
float read_pressure_altitude();  // feet, as the transponder reports it
int txp_ground_speed();          // GPS ground speed, whole knots
int txp_track();                 // GPS track, whole degrees
