// Desk sensor values chosen by name (--sensor, the script's sensor command) and the desk's own
// air-data answers.
#include <gtest/gtest.h>

#include <cmath>

#include "core/platform.h"
#include "host/common/desk_platform.h"
#include "host/common/desk_sensors.h"
#include "tests/host/headless_support.h"

namespace {

using headless_test::run_in_process;

TEST(DeskSensors, NamesAndValuesAreCheckedByKind) {
  struct row {
    const char* text;
    bool ok;
    float number;  // for numbers
    bool flag;     // for flags
    const char* error_part;
  };
  const row rows[] = {
      {"roll=-12.5", true, -12.5f, false, ""},
      {"ROLL=+3", true, 3.0f, false, ""},  // names ignore letter case, numbers take a plus
      {"ias= 120 ", true, 120.0f, false, ""},
      {"vertical_speed=nan", true, NAN, false, ""},
      {"bus_volts=-inf", true, -INFINITY, false, ""},
      {"ias_valid=off", true, 0, false, ""},
      {"oat_valid=TRUE", true, 0, true, ""},
      {"altitude_valid=1", true, 0, true, ""},
      {"altitude_valid=2", false, 0, false, "'2' is not a flag"},
      {"roll=4x", false, 0, false, "'4x' is not a number"},
      {"roll=", false, 0, false, "'' is not a number"},
      {"rol=1", false, 0, false, "unknown sensor 'rol'"},
      {"roll", false, 0, false, "not NAME=VALUE"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    desk_sensor_write w;
    std::string error;
    ASSERT_EQ(parse_desk_sensor_assignment(r.text, &w, &error), r.ok) << error;
    if (!r.ok) {
      EXPECT_NE(error.find(r.error_part), std::string::npos) << error;
      EXPECT_EQ(error.find('\n'), std::string::npos);
      continue;
    }
    if (w.sensor->number != nullptr) {
      if (std::isnan(r.number)) {
        EXPECT_TRUE(std::isnan(w.number));
      } else {
        EXPECT_EQ(w.number, r.number);
      }
    } else {
      EXPECT_EQ(w.flag, r.flag);
    }
  }
}

TEST(DeskSensors, EveryNameIsFoundAndWritesItsOwnMember) {
  for (int i = 0; i < desk_sensor_count; ++i) {
    const desk_sensor& s = desk_sensors[i];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(find_desk_sensor(s.name), &s);
    EXPECT_NE(s.number == nullptr, s.flag == nullptr);
    desk_platform_power_on();
    desk_sensor_write w;
    std::string error;
    ASSERT_TRUE(parse_desk_sensor(s.name, s.number != nullptr ? "-777" : "0", &w, &error)) << error;
    apply_desk_sensor(w);
    if (s.number != nullptr) {
      EXPECT_EQ(desk.*(s.number), -777.0f);
    } else {
      EXPECT_FALSE(desk.*(s.flag));
    }
  }
  desk_platform_power_on();
}

TEST(DeskSensors, OptionsComeBeforeTheScriptAndBadOnesStopTheRun) {
  const auto ok = run_in_process({"--sensor", "roll=5", "--sensor=ias=120", "-e", "sensor roll 7", "-e",
                                  "sensor ias_valid off", "--seconds", "0.1"});
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(desk.roll, 7.0f);
  EXPECT_EQ(desk.ias, 120.0f);
  EXPECT_TRUE(desk.ias_held);
  EXPECT_FALSE(desk.ias_valid);

  struct row {
    std::vector<std::string> args;
    const char* error_part;
  };
  const std::vector<row> bad = {
      {{"--sensor", "heading_x=1"}, "--sensor 'heading_x=1': unknown sensor 'heading_x'"},
      {{"--sensor", "roll"}, "not NAME=VALUE"},
      {{"-e", "sensor roll"}, "-e:1: sensor takes two arguments"},
      {{"-e", "wait 1", "-e", "sensor g much"}, "-e:2: sensor g: 'much' is not a number"},
  };
  for (const row& r : bad) {
    const auto res = run_in_process(r.args);
    EXPECT_EQ(res.status, 2);
    EXPECT_NE(res.err.find(r.error_part), std::string::npos) << res.err;
    EXPECT_EQ(headless_test::line_count(res.err), 1) << res.err;
  }
}

TEST(DeskAirData, AltitudeFollowsTheAltimeterSetting) {
  struct row {
    float setting;  // hundredths
    int altitude;
  };
  const row rows[] = {
      {2992.0f, 8200 - 9}, {2800.0f, 8200 - 1833}, {3100.0f, 8200 + 976},
      {2799.0f, 8200},     {3101.0f, 8200},        {2992.9f, 8200 - 9},  // the setting is truncated first
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.setting);
    desk_platform_power_on();
    desk.baro_setting = r.setting;
    EXPECT_EQ(read_baro_altitude(), r.altitude);
    EXPECT_EQ(read_density_altitude(), static_cast<float>(r.altitude + 1000));
  }
  desk_platform_power_on();
  desk.pressure_altitude = NAN;
  EXPECT_FALSE(altitude_valid());
  EXPECT_FALSE(density_altitude_valid());
  desk_platform_power_on();
}

TEST(DeskAirData, TheSimulatedAirspeedSweepsPerReadingUnlessHeld) {
  desk_platform_power_on();
  EXPECT_FLOAT_EQ(read_indicated_airspeed(), 90.1f);
  EXPECT_FLOAT_EQ(read_true_airspeed(), 90.2f + 5.0f);  // one shared sweep
  desk.airspeed = 200.05f;
  EXPECT_GT(read_indicated_airspeed(), 200.0f);  // past 200 it turns round
  EXPECT_FLOAT_EQ(read_indicated_airspeed(), 200.05f);
  apply_desk_sensor({find_desk_sensor("tas"), 150.0f, false});
  EXPECT_EQ(read_true_airspeed(), 150.0f);
  EXPECT_NE(read_indicated_airspeed(), 150.0f);
  desk_platform_power_on();
}

}  // namespace

namespace {

TEST(DeskSensors, ChosenReadingsReachTheFieldsObjectOfTheState) {
  const auto r = run_in_process({"--set", "DEMO MODE=DISABLED", "--set", "CFG_UI_STYLE=1", "--sensor",
                                 "baro_setting=3001", "--sensor", "bus_volts=nan", "--seconds", "9", "--state", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json f = state_json::parse(r.out)["final"]["fields"];
  EXPECT_EQ(f["page"], 0);
  EXPECT_EQ(f["field_hosts_baro"], 1);
  std::string seen;
  for (const state_json& slot : f["slots"]) {
    seen += std::to_string(slot["slot"].get<int>()) + ",";
    if (slot["name"] == "FIELD_BARO") {
      EXPECT_EQ(slot["caption"], "BARO");
      EXPECT_EQ(slot["texts"], state_json::array({"30.01"}));
      EXPECT_EQ(slot["colour"], "0xFFFFFFFF");
    }
    if (slot["name"] == "FIELD_BUS_VOLTS") {
      EXPECT_EQ(slot["texts"], state_json::array({"---"}));
    }
  }
  EXPECT_EQ(seen, "4,1,0,2,3,5,6,7,8,");  // the attitude unit's drawing order
}

}  // namespace
