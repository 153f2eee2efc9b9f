#include "serial/gps_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/filters.h"
#include "tests/support/power_on.h"

namespace {

using GpsData = PowerOn;

struct validity_case {
  const char* name;
  int counter;
  bool (*valid)();
};

// Each getter's validity follows its own age and the shared navigation-valid flag, no other.
TEST_F(GpsData, EachItemIsValidWhileItsOwnAgeIsFreshAndNavigationIsValid) {
  const validity_case cases[] = {
      {"track", AGE_GPS_TRACK, gps_track_valid},
      {"dtk", AGE_GPS_DTK, gps_dtk_valid},
      {"speed", AGE_GPS_SPEED, gps_speed_valid},
      {"distance", AGE_GPS_DISTANCE, gps_distance_valid},
      {"xte", AGE_GPS_XTE, gps_xte_valid},
      {"wpt", AGE_GPS_WPT, gps_wpt_valid},
      {"bearing", AGE_GPS_BEARING, gps_bearing_valid},
  };
  for (const validity_case& c : cases) {
    restore_power_on();
    data_received(c.counter);
    gps_nav_data.gps_nav_valid = 1;
    EXPECT_FALSE(c.valid()) << c.name << ": fresh only from the next tick";
    age_data();
    EXPECT_TRUE(c.valid()) << c.name;
    for (const validity_case& other : cases) {
      if (other.counter != c.counter) {
        EXPECT_FALSE(other.valid()) << c.name << " made " << other.name << " valid";
      }
    }
    gps_nav_data.gps_nav_valid = 0;
    EXPECT_FALSE(c.valid()) << c.name << " without navigation validity";
    gps_nav_data.gps_nav_valid = 1;
    for (int t = 0; t < 4; ++t) age_data();
    EXPECT_FALSE(c.valid()) << c.name << " stale at the fifth tick";
  }
}

TEST_F(GpsData, SerialDataPresentNeedsNoNavigationValidity) {
  data_received(AGE_SERIAL_RX);
  age_data();
  EXPECT_TRUE(serial_data_present());
  EXPECT_EQ(serial_rx_age(), 4);
}

TEST_F(GpsData, AnglesComeBackWrappedIntoACircle) {
  const struct {
    float stored;
    float wrapped;
  } cases[] = {{-10.0f, 350.0f}, {360.0f, 360.0f}, {370.0f, 10.0f}, {725.0f, 5.0f}};
  for (const auto& c : cases) {
    gps_nav_data.gps_track = static_cast<int>(c.stored);
    gps_nav_data.gps_desired_track = c.stored;
    gps_nav_data.gps_waypoint_bearing = c.stored;
    EXPECT_EQ(get_gps_track(), c.wrapped) << c.stored;
    EXPECT_EQ(get_gps_desired_track(), c.wrapped) << c.stored;
    EXPECT_EQ(get_gps_bearing(), c.wrapped) << c.stored;
  }
}

TEST_F(GpsData, ClearingKeepsDesiredTrackAndWaypointNameButNotTheirFreshness) {
  gps_nav_data.gps_track = 90;
  gps_nav_data.gps_nav_valid = 1;
  gps_nav_data.gps_desired_track = 123.5f;
  std::strcpy(gps_nav_data.gps_waypoint_id, "KABQX");
  data_received(AGE_GPS_DTK);
  data_received(AGE_GPS_WPT);
  age_data();
  gps_data_clear();
  EXPECT_EQ(gps_nav_data.gps_track, 0);
  EXPECT_EQ(gps_nav_data.gps_nav_valid, 0);
  EXPECT_EQ(gps_nav_data.gps_desired_track, 123.5f);
  EXPECT_STREQ(get_gps_waypoint_id(), "KABQX");
  EXPECT_FALSE(gps_dtk_fresh());
  EXPECT_EQ(gps_wpt_age(), 0);
}

}  // namespace
