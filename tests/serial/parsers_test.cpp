#include "serial/parsers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/filters.h"
#include "serial/gps_data.h"
#include "tests/support/power_on.h"

namespace {

// Every case starts from the same kept data, all of it stale, so "unchanged" is visible.
struct data {
  int track = 111;
  int speed = 222;
  float distance = 33.5f;
  float xte = 9.5f;
  float dtk = 55.0f;
  const char* wpt = "OLDWP";
  float bearing = 44.0f;
  int magvar = 7;
  int nav_valid = 0;
  unsigned refreshed = 0;  // bit per data age set to 5 by the line
};

constexpr unsigned bit(int age) { return 1u << age; }
constexpr unsigned TRK = bit(AGE_GPS_TRACK), SPD = bit(AGE_GPS_SPEED), DIST = bit(AGE_GPS_DISTANCE),
                   XTE = bit(AGE_GPS_XTE), DTK = bit(AGE_GPS_DTK), WPT = bit(AGE_GPS_WPT), BRG = bit(AGE_GPS_BEARING),
                   MAGVAR = bit(AGE_GPS_MAGVAR);

struct line_case {
  const char* name;
  const char* line;
  data after;
  bool used = true;
  bool restart = false;
  int magvar_before = 7;
};

void preset(int magvar) {
  restore_power_on();
  const data d;
  gps_nav_data.gps_track = d.track;
  gps_nav_data.gps_ground_speed = d.speed;
  gps_nav_data.gps_waypoint_distance = d.distance;
  gps_nav_data.gps_cross_track_error = d.xte;
  gps_nav_data.gps_desired_track = d.dtk;
  std::strcpy(gps_nav_data.gps_waypoint_id, d.wpt);
  gps_nav_data.gps_waypoint_bearing = d.bearing;
  gps_nav_data.gps_magnetic_variation = magvar;
}

void check(const line_case& c, const line_result& r) {
  SCOPED_TRACE(std::string(c.name) + ": " + c.line);
  const data& e = c.after;
  EXPECT_EQ(r.used, c.used);
  EXPECT_EQ(r.restart_track, c.restart);
  EXPECT_FALSE(r.bad_checksum);
  EXPECT_EQ(gps_nav_data.gps_track, e.track);
  EXPECT_EQ(gps_nav_data.gps_ground_speed, e.speed);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_waypoint_distance, e.distance);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_cross_track_error, e.xte);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_desired_track, e.dtk);
  EXPECT_STREQ(gps_nav_data.gps_waypoint_id, e.wpt);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_waypoint_bearing, e.bearing);
  EXPECT_EQ(gps_nav_data.gps_magnetic_variation, e.magvar);
  EXPECT_EQ(gps_nav_data.gps_nav_valid, e.nav_valid);
  for (int a = 0; a < DATA_AGE_COUNT; ++a) {
    EXPECT_EQ(filters.data_age[a], (e.refreshed & bit(a)) != 0 ? 5 : 0) << data_age_names[a];
  }
}

void run_nmea(const line_case* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    preset(cases[i].magvar_before);
    check(cases[i], nmea_sentence_parse(cases[i].line, static_cast<int>(std::strlen(cases[i].line))));
  }
}

using Parsers = PowerOn;

TEST_F(Parsers, RecommendedMinimumSentence) {
  const line_case cases[] = {
      {"full sentence, west variation kept positive",
       "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r",
       {.track = 91, .speed = 22, .magvar = 3, .nav_valid = 1, .refreshed = TRK | SPD | MAGVAR},
       true,
       true},
      {"track made magnetic with the stored variation, wrapped",
       "$GPRMC,,A,,,,,0,350.0,,,",
       {.track = 5, .speed = 0, .magvar = 15, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true,
       15},
      {"east variation negative, truncated; track uses the variation stored before",
       "$GPRMC,,A,,,,,10.9,90,,2.5,E",
       {.track = 97, .speed = 10, .magvar = -2, .nav_valid = 1, .refreshed = TRK | SPD | MAGVAR},
       true,
       true},
      {"receiver without a fix: nothing stored, navigation not made valid",
       "$GPRMC,,V,,,,,,,,,,N*53\r",
       {},
       true,
       true},
      {"unknown variation 999.9,E neither stored nor flips the kept one",
       "$GPRMC,,A,,,,,5,100,,999.9,E",
       {.track = 107, .speed = 5, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true},
      {"direction without a variation value", "$GPRMC,,A,,,,,,,,,W", {}, true, true},
      {"mode letter in the direction slot after a zero variation",
       "$GPRMC,,A,,,,,1,2,181207,0,N",
       {.track = 9, .speed = 1, .magvar = 0, .nav_valid = 1, .refreshed = TRK | SPD | MAGVAR},
       true,
       true},
      {"speed and course above their ranges", "$GPRMC,,A,,,,,999.5,360.1,,90.1,E", {}, true, true},
      {"negative course",
       "$GPRMC,,A,,,,,999.0,-1,,-90,W",
       {.speed = 999, .magvar = -90, .refreshed = SPD | MAGVAR},
       true,
       true},
      {"course 360 stays in range",
       "$GPRMC,,A,,,,,,360.0",
       {.track = 7, .nav_valid = 1, .refreshed = TRK},
       true,
       true,
       367 - 360},
      {"sentence cut short after the speed: the absent course leaves the track",
       "$GPRMC,1,A,2,N,3,E,12.5",
       {.speed = 12, .refreshed = SPD},
       true,
       true},
      {"a course field without a digit is no course", "$GPRMC,,A,,,,,.,-,,", {}, true, true},
      {"current receivers' talker",
       "$GNRMC,,A,,,,,5,100,,,*3C\r",
       {.track = 107, .speed = 5, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true},
      {"integrated instrument talker",
       "$INRMC,,A,,,,,5,100",
       {.track = 107, .speed = 5, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true},
      {"a stray byte before the sentence",
       "r$GPRMC,,A,,,,,5,100",
       {.track = 107, .speed = 5, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true},
      {"a doubled dollar",
       "$$GNRMC,,A,,,,,5,100,,,*3C",
       {.track = 107, .speed = 5, .nav_valid = 1, .refreshed = TRK | SPD},
       true,
       true},
      {"lower-case name is no sentence", "$gprmc,,A,,,,,5,100", {}, false},
      {"the first sentence after synchronisation has no dollar", "GPRMC,,A,,,,,5,100", {}, false},
  };
  run_nmea(cases, std::size(cases));
}

TEST_F(Parsers, RecommendedMinimumNavigationSentence) {
  const line_case cases[] = {
      {"left of course: steer left stores the negative error",
       "$GPRMB,A,0.25,L,FROM,KAB,,,,,12.5,045.0,,V*4D\r",
       {.distance = 12.5f,
        .xte = -0.25f,
        .dtk = 52.0f,
        .wpt = "KAB",
        .bearing = 52.0f,
        .refreshed = WPT | DIST | XTE | BRG}},
      {"steer right stores the positive error",
       "$GPRMB,A,0.25,R,FROM,KAB",
       {.xte = 0.25f, .wpt = "KAB", .refreshed = WPT | XTE}},
      {"a short name after a long one replaces it whole", "$GPRMB,A,,,,KAB", {.wpt = "KAB", .refreshed = WPT}},
      {"names longer than five characters are cut", "$GPRMB,A,,,,KABQXZ", {.wpt = "KABQX", .refreshed = WPT}},
      {"a name ends at its first character that is not a letter, digit or blank",
       "$GPRMB,A,,,,K-AB",
       {.wpt = "K", .refreshed = WPT}},
      {"an empty name is stored and refreshed", "$GPRMB,A,,,,,,,,,,,,V", {.wpt = "", .refreshed = WPT}},
      {"an absent name leaves the kept one", "$GPRMB,A,0.5,R", {.xte = 0.5f, .refreshed = XTE}},
      {"steer right without an error does not flip the kept one", "$GPRMB,A,,R", {}},
      {"error, range and bearing above their ranges",
       "$GPRMB,A,200.1,L,,,,,,,1000.1,360.1",
       {.wpt = "", .refreshed = WPT}},
      {"largest error, range and bearing",
       "$GPRMB,A,-200,L,,W,,,,,1000,360",
       {.distance = 1000.0f,
        .xte = 200.0f,
        .dtk = 7.0f,
        .wpt = "W",
        .bearing = 7.0f,
        .refreshed = WPT | DIST | XTE | BRG}},
      {"integrated instrument talker",
       "$IIRMB,A,,,,,,,,,,270",
       {.dtk = 277.0f, .wpt = "", .bearing = 277.0f, .refreshed = WPT | BRG}},
      {"proprietary beacon sentence is not a route sentence", "$PGRMB,1,2,3,4,KAB,6,7,8,9,10,11", {}, false},
      {"desired track from the proprietary heading sentence",
       "$PGRMH,A,1,2,3,4,5,270.0*37\r",
       {.dtk = 277.0f, .refreshed = DTK}},
      {"desired track out of range", "$PGRMH,A,1,2,3,4,5,360.5", {}},
  };
  run_nmea(cases, std::size(cases));
}

TEST_F(Parsers, RouteBearingStandsInForTheDesiredTrackOnlyWhileNoneIsFresh) {
  preset(0);
  data_received(AGE_GPS_DTK);
  nmea_sentence_parse("$GPRMB,A,,,,,,,,,,90", 20);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_waypoint_bearing, 90.0f);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_desired_track, 55.0f);
  for (int t = 0; t < 5; ++t) age_data();
  nmea_sentence_parse("$GPRMB,A,,,,,,,,,,90", 20);
  EXPECT_FLOAT_EQ(gps_nav_data.gps_desired_track, 90.0f);
  EXPECT_EQ(gps_dtk_age(), 0);  // standing in does not make it fresh
}

TEST_F(Parsers, ChecksumDecidesWhetherALineIsUsed) {
  const struct {
    const char* line;
    bool used;
  } cases[] = {
      {"$GPRMC,,A,,,,,,10*0B\r", true},   // matching
      {"$GPRMC,,A,,,,,,10*0B", true},     // without a line end
      {"$GPRMC,,A,,,,,,10*0b\r", true},   // lower-case digits
      {"$GPRMC,,A,,,,,,10", true},        // no checksum at all, as older devices send
      {"$GPRMC,,A,,,,,,19*0B\r", false},  // a digit garbled on the wire
      {"$GPRMC,,A,,,,,,10*0C\r", false},
      {"$GPRMC,,A,,,,,,10*0\r", false},  // cut short
      {"$GPRMC,,A,,,,,,10*", false},
      {"$GPRMC,,A,,,,,,10*ZZ\r", false},
      {"$GPRMC,,A,,,,,,10*0BXY\r", false},           // more after the checksum
      {"$GPRMC,,A,,,,$GPRMC,,A,,,,,,10*0B", false},  // two sentences spliced on one line
  };
  for (const auto& c : cases) {
    preset(0);
    const line_result r = nmea_sentence_parse(c.line, static_cast<int>(std::strlen(c.line)));
    EXPECT_EQ(r.used, c.used) << c.line;
    EXPECT_EQ(r.bad_checksum, !c.used) << c.line;
    EXPECT_EQ(gps_nav_data.gps_track, c.used ? 10 : 111) << c.line;
    EXPECT_EQ(gps_nav_data.gps_nav_valid, c.used ? 1 : 0) << c.line;
  }
}

TEST_F(Parsers, FieldsAreNeverReadPastTheLength) {
  // The course sits beyond the given length: it must not be seen.
  preset(0);
  const char line[] = "$GPRMC,,A,,,,,5,100";
  nmea_sentence_parse(line, static_cast<int>(std::strlen(line)) - 4);
  EXPECT_EQ(gps_nav_data.gps_ground_speed, 5);
  EXPECT_EQ(gps_nav_data.gps_track, 111);
  preset(0);
  lk1_record_parse("C090\r", 4);  // the CR lies outside the line
  EXPECT_EQ(gps_nav_data.gps_track, 111);
}

TEST_F(Parsers, Lk1Records) {
  const line_case cases[] = {
      {"track", "C090\r", {.track = 90, .refreshed = TRK}, true, true},
      {"track 361 out of range keeps the last track and its age", "C361\r", {}},
      {"track without CR at its place is ignored", "C0900\r", {}, false},
      {"track cut short", "C09", {}, false},
      {"ground speed", "D999\r", {.speed = 999, .refreshed = SPD}},
      {"distance in tenths", "E12345\r", {.distance = 1234.5f, .refreshed = DIST}},
      {"distance above 9999 keeps the last", "E99991\r", {}},
      {"cross-track left", "GL0125\r", {.xte = 1.25f, .refreshed = XTE}},
      {"cross-track right negated", "GR0125\r", {.xte = -1.25f, .refreshed = XTE}},
      {"desired track", "I3600\r", {.dtk = 360.0f, .refreshed = DTK}},
      {"desired track above 360 keeps the last", "I3601\r", {}},
      {"waypoint name", "KKABQX\r", {.wpt = "KABQX", .refreshed = WPT}},
      {"waypoint name whose blanks were dropped ends at the CR", "KAB\r", {.wpt = "AB", .refreshed = WPT}},
      {"bearing without a CR test", "L0450X", {.bearing = 45.0f, .refreshed = BRG}},
      {"bearing above 360 keeps the last", "L3601", {}},
      {"variation east", "QE125\r", {.magvar = 12, .refreshed = MAGVAR}},
      {"variation west negated, truncated", "QW125\r", {.magvar = -12, .refreshed = MAGVAR}},
      {"variation beyond 99 keeps the last", "QW995\r", {}},
      {"status usable", "S1234A\r", {.nav_valid = 1}},
      {"status not usable", "S1234N\r", {.nav_valid = 0}},
      {"second status not usable", "T123A\r", {.nav_valid = 0}},
      {"second status usable", "T123V\r", {.nav_valid = 1}},
      {"status cut short", "S123", {}, false},
      {"unknown letter", "X123\r", {}, false},
  };
  for (const line_case& c : cases) {
    preset(c.magvar_before);
    check(c, lk1_record_parse(c.line, static_cast<int>(std::strlen(c.line))));
  }
}

}  // namespace
