// The GPS navigation data block: what the serial input last received, with the ages that say
// whether each item is still fresh. Every other module reads GPS data only through the getters
// here, which report an item valid while it is fresh and the navigation data is usable.
#pragma once
#include <cstdint>

inline constexpr int GPS_WAYPOINT_ID_LENGTH = 5;

struct gps_nav_data_state {
  std::int32_t gps_track = 0;          // whole degrees, magnetic, 0..360
  std::int32_t gps_ground_speed = 0;   // whole knots, 0..999
  float gps_waypoint_distance = 0.0f;  // nm
  float gps_cross_track_error = 0.0f;  // nm, positive when the way to steer is right
  float gps_desired_track = 0.0f;      // degrees, 0..360
  char gps_waypoint_id[GPS_WAYPOINT_ID_LENGTH + 1] = {};
  float gps_waypoint_bearing = 0.0f;        // degrees, 0..360
  std::int32_t gps_magnetic_variation = 0;  // whole degrees, east negative
  std::int32_t gps_nav_valid = 0;           // 1 = navigation data usable
};
extern gps_nav_data_state gps_nav_data;

// Every item, age and flag to 0, except the desired track and the waypoint name, which keep
// their values but are no longer fresh.
void gps_data_clear();

// Ages and fresh flags of the data block (kept with the core's other data ages).
int serial_rx_age();
int gps_track_age();
int gps_speed_age();
int gps_distance_age();
int gps_xte_age();
int gps_dtk_age();
int gps_wpt_age();
int gps_bearing_age();
int gps_magvar_age();
bool serial_rx_fresh();
bool gps_track_fresh();
bool gps_speed_fresh();
bool gps_distance_fresh();
bool gps_xte_fresh();
bool gps_dtk_fresh();
bool gps_wpt_fresh();
bool gps_bearing_fresh();
bool gps_magvar_fresh();

// Getters: validity is freshness together with the navigation-valid flag.
bool serial_data_present();
bool gps_track_valid();
float get_gps_track();
bool gps_dtk_valid();
float get_gps_desired_track();
bool gps_speed_valid();
int get_gps_ground_speed();
float get_gps_ground_speed_float();
bool gps_distance_valid();
float get_gps_distance();
bool gps_xte_valid();
float get_gps_xte();
bool gps_wpt_valid();
const char* get_gps_waypoint_id();
bool gps_bearing_valid();
float get_gps_bearing();

void gps_data_power_on();
