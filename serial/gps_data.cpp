#include "serial/gps_data.h"

#include "core/filters.h"
#include "gfx/text.h"

gps_nav_data_state gps_nav_data;

void gps_data_power_on() { gps_nav_data = gps_nav_data_state{}; }

void gps_data_clear() {
  gps_nav_data_state kept = gps_nav_data_state{};
  kept.gps_desired_track = gps_nav_data.gps_desired_track;
  for (int i = 0; i <= GPS_WAYPOINT_ID_LENGTH; ++i) {
    kept.gps_waypoint_id[i] = gps_nav_data.gps_waypoint_id[i];
  }
  gps_nav_data = kept;
  for (int i = 0; i < DATA_AGE_COUNT; ++i) {
    filters.data_age[i] = 0;
    filters.data_fresh[i] = 0;
  }
}

namespace {

bool fresh(int counter) { return filters.data_fresh[counter] != 0; }
bool valid(int counter) { return fresh(counter) && gps_nav_data.gps_nav_valid != 0; }

}  // namespace

int serial_rx_age() { return filters.data_age[AGE_SERIAL_RX]; }
int gps_track_age() { return filters.data_age[AGE_GPS_TRACK]; }
int gps_speed_age() { return filters.data_age[AGE_GPS_SPEED]; }
int gps_distance_age() { return filters.data_age[AGE_GPS_DISTANCE]; }
int gps_xte_age() { return filters.data_age[AGE_GPS_XTE]; }
int gps_dtk_age() { return filters.data_age[AGE_GPS_DTK]; }
int gps_wpt_age() { return filters.data_age[AGE_GPS_WPT]; }
int gps_bearing_age() { return filters.data_age[AGE_GPS_BEARING]; }
int gps_magvar_age() { return filters.data_age[AGE_GPS_MAGVAR]; }
bool serial_rx_fresh() { return fresh(AGE_SERIAL_RX); }
bool gps_track_fresh() { return fresh(AGE_GPS_TRACK); }
bool gps_speed_fresh() { return fresh(AGE_GPS_SPEED); }
bool gps_distance_fresh() { return fresh(AGE_GPS_DISTANCE); }
bool gps_xte_fresh() { return fresh(AGE_GPS_XTE); }
bool gps_dtk_fresh() { return fresh(AGE_GPS_DTK); }
bool gps_wpt_fresh() { return fresh(AGE_GPS_WPT); }
bool gps_bearing_fresh() { return fresh(AGE_GPS_BEARING); }
bool gps_magvar_fresh() { return fresh(AGE_GPS_MAGVAR); }

bool serial_data_present() { return serial_rx_fresh(); }

bool gps_track_valid() { return valid(AGE_GPS_TRACK); }
float get_gps_track() { return wrap_value(static_cast<float>(gps_nav_data.gps_track), 360.0f); }

bool gps_dtk_valid() { return valid(AGE_GPS_DTK); }
float get_gps_desired_track() { return wrap_value(gps_nav_data.gps_desired_track, 360.0f); }

bool gps_speed_valid() { return valid(AGE_GPS_SPEED); }
int get_gps_ground_speed() { return gps_nav_data.gps_ground_speed; }
float get_gps_ground_speed_float() { return static_cast<float>(gps_nav_data.gps_ground_speed); }

bool gps_distance_valid() { return valid(AGE_GPS_DISTANCE); }
float get_gps_distance() { return gps_nav_data.gps_waypoint_distance; }

bool gps_xte_valid() { return valid(AGE_GPS_XTE); }
float get_gps_xte() { return gps_nav_data.gps_cross_track_error; }

bool gps_wpt_valid() { return valid(AGE_GPS_WPT); }
const char* get_gps_waypoint_id() { return gps_nav_data.gps_waypoint_id; }

bool gps_bearing_valid() { return valid(AGE_GPS_BEARING); }
float get_gps_bearing() { return wrap_value(gps_nav_data.gps_waypoint_bearing, 360.0f); }
