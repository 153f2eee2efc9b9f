#include "tests/host/golden_cases.h"

#include <cctype>

namespace golden {
namespace {

// Every page of a unit in one look and font: the four field pages (the fourth is the
// transponder page, "SERIAL 2" being "TXP LINK" by default), then the menu's selection frame on
// the third. The start-up screen looks the same in every look and font; it has runs of its own.
std::vector<std::string> page_tour() {
  return {"wait 10",  "png page0", "set CFG_FIELD_PAGE 1",
          "wait 0.5", "png page1", "set CFG_FIELD_PAGE 2",
          "wait 0.5", "png page2", "set CFG_FIELD_PAGE 3",
          "wait 0.5", "png page3", "set CFG_FIELD_PAGE 2",
          "wait 0.5", "tap left",  "wait 0.1",
          "png menu"};
}

// Steady readings for the runs without demo motion, so that what a fault takes away shows.
const std::vector<std::string> steady = {"--set",    "DEMO MODE=DISABLED",
                                         "--sensor", "pitch=4",
                                         "--sensor", "roll=-12",
                                         "--sensor", "ias=112",
                                         "--sensor", "tas=121",
                                         "--sensor", "pressure_altitude=4520",
                                         "--sensor", "vertical_speed=-650",
                                         "--sensor", "oat=-7.5",
                                         "--sensor", "heading=247",
                                         "--sensor", "g=1.3",
                                         "--sensor", "aoa=6"};

// A GPS fix with a waypoint, as an NMEA receiver sends it (the "$" line first brings the receiver
// into step with the lines).
const std::string gps_fix =
    "serial "
    "\"$\\r\\n$GPRMC,,A,,,,,112.0,215.0,,15.0,E\\x2a7D\\r\\n$GPRMB,A,0.25,R,,KSEA,,,,,12.5,230,,A\\x2a18\\r\\n\"";

// Bytes that arrive but carry no navigation: a receiver without a fix.
const std::string no_fix = "serial \"$\\r\\n$GPRMC,,V,,,,,,,,,,N\\x2a53\\r\\n\"";

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<golden_run> build() {
  std::vector<golden_run> runs;
  // Both units in every look and both fonts.
  for (const char* unit : {"AI", "DG"}) {
    for (const char* style : {"LEGACY", "EFIS", "VINTAGE"}) {
      for (const char* font : {"ARIAL", "LCD"}) {
        runs.push_back({lower(unit) + "-" + lower(style) + "-" + lower(font),
                        {"--set", std::string("UNIT FUNCTION=") + unit, "--set", std::string("UI STYLE=") + style,
                         "--set", std::string("UI FONT=") + font},
                        page_tour()});
      }
    }
  }
  const std::vector<golden_run> rest = {
      // The start-up screen fading in, with and without the demo badge.
      {"startup", {}, {"wait 0.5", "png t0.5", "wait 3", "png t3.5", "wait 4", "png t7.5"}},
      {"startup-no-demo", {"--set", "DEMO MODE=DISABLED", "--set", "UI STYLE=VINTAGE"}, {"wait 7.9", "png t7.9"}},
      // Demo motion at fixed moments.
      {"ai-demo1", {}, {"wait 15", "png t15", "wait 15", "png t30", "wait 15", "png t45", "wait 15", "png t60"}},
      {"ai-demo2",
       {"--set", "DEMO MODE=MODE 2", "--set", "UI STYLE=EFIS"},
       {"wait 15", "png t15", "wait 25", "png t40"}},
      {"dg-demo1",
       {"--set", "UNIT FUNCTION=DG", "--set", "CFG_FIELD_PAGE=1"},
       {"wait 20", "png hsi-t20", "set CFG_FIELD_PAGE 2", "wait 20", "png arc-t40"}},
      {"dg-demo2",
       {"--set", "UNIT FUNCTION=DG", "--set", "DEMO MODE=MODE 2", "--set", "UI STYLE=VINTAGE"},
       {"wait 20", "png rose-t20", "set CFG_FIELD_PAGE 1", "wait 10", "png hsi-t30"}},
      // The pop-ups of the attitude unit, in the order the knob opens them.
      {"ai-popups",
       {"--set", "UI STYLE=EFIS"},
       {"wait 9",
        "tap knob",
        "wait 0.1",
        "png baro",
        "turn 3",
        "wait 0.1",
        "png baro-turned",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "png dg-adjust",
        "tap knob",
        "wait 0.1",
        "png hdg-bug",
        "turn 5",
        "wait 0.1",
        "png hdg-bug-turned",
        "tap knob",
        "wait 0.1",
        "set CFG_FIELD_PAGE 2",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "png set-alt",
        "turn -1",
        "wait 0.1",
        "png set-alt-turned",
        "tap knob",
        "wait 0.5",
        "hold right 1.2",
        "wait 0.1",
        "png brightness",
        "tap left",
        "wait 0.1",
        "png brightness-auto",
        "tap right",
        "wait 0.5",
        "png closed"}},
      {"ai-popups-baro-mb",
       {"--set", "UI STYLE=VINTAGE", "--set", "BARO UNITS=MB", "--set", "UI FONT=LCD"},
       {"wait 9", "tap knob", "wait 0.1", "png baro", "hold right 1.2", "wait 0.1", "png brightness"}},
      // The menu with its field editor, SETUP and INSTALL.
      {"ai-menus", {}, {"wait 9",          "tap left",
                        "wait 0.1",        "png menu",
                        "turn 1",          "wait 0.1",
                        "png menu-turned", "tap left",
                        "wait 0.1",        "png setup",
                        "tap left",        "wait 0.1",
                        "png install",     "turn 2",
                        "wait 0.1",        "png install-row",
                        "tap left",        "wait 0.5",
                        "tap left",        "wait 0.1",
                        "tap knob",        "wait 0.1",
                        "png editor",      "turn 1",
                        "wait 0.1",        "png editor-turned",
                        "tap left",        "wait 0.5",
                        "png edited",      "tap left",
                        "wait 0.1",        "tap left",
                        "wait 0.1",        "turn 2",
                        "wait 0.1",        "png setup-row",
                        "tap knob",        "wait 0.1",
                        "turn 1",          "wait 0.1",
                        "png setup-edit",  "tap left",
                        "wait 0.5",        "png closed"}},
      {"dg-menus",
       {"--set", "UNIT FUNCTION=DG", "--set", "UI STYLE=EFIS", "--set", "UI FONT=LCD"},
       {"wait 9", "tap left", "wait 0.1", "png menu", "tap left", "wait 0.1", "png setup", "tap left", "wait 0.1",
        "png install", "turn 1", "wait 0.1", "png install-row"}},
      // The heading pop-ups and the arc's range on the gyro unit.
      {"dg-popups",
       {"--set", "UNIT FUNCTION=DG", "--set", "UI STYLE=LEGACY"},
       {"wait 9",
        "tap knob",
        "wait 0.1",
        "png dg-adjust",
        "turn 4",
        "wait 0.1",
        "png dg-adjust-turned",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "png hdg-bug",
        "turn -7",
        "wait 0.1",
        "png hdg-bug-turned",
        "tap knob",
        "wait 0.5",
        "set CFG_FIELD_PAGE 2",
        "wait 0.5",
        "turn 1",
        "wait 0.5",
        "png arc-range-up",
        "turn -2",
        "wait 0.5",
        "png arc-range-down",
        "hold right 1.2",
        "wait 0.1",
        "png brightness"}},
      // The transponder page in its states, and its controls.
      {"ai-txp",
       {"--set", "CFG_FIELD_PAGE=3"},
       {"wait 10",
        "png normal",
        "fault txp_timeout on",
        "wait 0.5",
        "png timeout",
        "fault txp_timeout off",
        "fault txp_fail on",
        "wait 0.5",
        "png fail",
        "fault txp_fail off",
        "fault txp_no_position on",
        "wait 0.5",
        "png no-position",
        "fault txp_no_position off",
        "fault txp_fault on",
        "wait 0.5",
        "png fault",
        "fault txp_fault off",
        "fault txp_not_replying on",
        "wait 0.5",
        "png not-replying",
        "fault txp_not_replying off",
        "wait 0.5",
        "tap left",
        "wait 0.1",
        "png ident",
        "wait 20",
        "tap knob",
        "wait 0.1",
        "png squawk-edit",
        "turn 1",
        "wait 0.1",
        "png squawk-cursor",
        "tap knob",
        "wait 0.1",
        "png squawk-digit",
        "turn 3",
        "wait 0.1",
        "png squawk-digit-turned",
        "tap left",
        "wait 0.5",
        "png squawk-done",
        "tap knob",
        "wait 0.1",
        "tap knob",
        "wait 0.1",
        "tap right",
        "wait 0.1",
        "png squawk-vfr"}},
      {"dg-txp",
       {"--set", "UNIT FUNCTION=DG", "--set", "UI STYLE=VINTAGE", "--set", "CFG_FIELD_PAGE=3"},
       {"wait 10", "png normal", "fault txp_fail on", "wait 0.5", "png fail", "fault txp_fail off", "tap knob",
        "wait 0.1", "tap right", "wait 0.1", "png squawk-mode", "hold left 3", "wait 0.5", "png vfr-held"}},
      // Injected faults on steady readings, one at a time.
      {"ai-faults",
       with({"--set", "UI STYLE=LEGACY"}, steady),
       {"wait 10",
        "png steady",
        "fault sensors_invalid on",
        "wait 0.5",
        "png sensors-invalid",
        "wait 1",
        "png sensors-invalid-blink",
        "fault sensors_invalid off",
        "fault aoa_unavailable on",
        "set CFG_FIELD_PAGE 1",
        "wait 0.5",
        "png aoa-unavailable",
        "fault aoa_unavailable off",
        "set CFG_FIELD_PAGE 0",
        "fault altitude_invalid on",
        "wait 0.5",
        "png altitude-invalid",
        "fault altitude_invalid off",
        "fault vertical_speed_invalid on",
        "set CFG_FIELD_PAGE 1",
        "wait 0.5",
        "png vertical-speed-invalid",
        "fault vertical_speed_invalid off",
        "set CFG_FIELD_PAGE 0",
        "fault ias_invalid on",
        "wait 0.5",
        "png ias-invalid",
        "fault ias_invalid off",
        "fault heading_invalid on",
        "wait 0.5",
        "png heading-invalid"}},
      {"ai-faults-efis",
       with({"--set", "UI STYLE=EFIS", "--set", "UI FONT=LCD", "--fault", "sensors_invalid"}, steady),
       {"wait 10", "png sensors-invalid", "set CFG_FIELD_PAGE 2", "wait 0.5", "png sensors-invalid-page2"}},
      {"dg-faults",
       with({"--set", "UNIT FUNCTION=DG", "--set", "UI STYLE=EFIS"}, steady),
       {"wait 10", "png steady", "fault heading_invalid on", "wait 0.5", "png heading-invalid",
        "fault heading_invalid off", "fault sensors_invalid on", "wait 0.5", "png sensors-invalid", "wait 1",
        "png sensors-invalid-blink", "fault sensors_invalid off", "set CFG_FIELD_PAGE 1", "wait 0.5", "png hsi-no-data",
        "set CFG_FIELD_PAGE 2", "wait 0.5", "png arc-no-data"}},
      // GPS data arriving on the serial port, then failing.
      {"dg-gps",
       with({"--set", "UNIT FUNCTION=DG", "--set", "CFG_FIELD_PAGE=1"}, steady),
       {"wait 9", gps_fix, "wait 1", gps_fix, "wait 0.5", "png hsi", "set CFG_FIELD_PAGE 2", gps_fix, "wait 0.5",
        "png arc", "wait 6", no_fix, "wait 1.2", no_fix, "wait 0.3", "png arc-no-fix", "fault gps_silent on", "wait 6",
        "png arc-silent"}},
      // Alerts on steady readings.
      {"ai-alerts",
       with({"--set", "UI STYLE=VINTAGE", "--set", "ROLL ALERT=ENABLED", "--set", "G ALERT=ENABLED", "--set",
             "AOA ALERT=ENABLED"},
            steady),
       {"wait 10", "sensor roll 50", "wait 0.5", "png roll-alert", "sensor roll -5", "sensor g 2.6", "wait 0.5",
        "png g-alert", "sensor g -2.4", "wait 1", "png g-negative", "sensor g 1", "sensor aoa 16",
        "set CFG_FIELD_PAGE 1", "wait 0.5", "png aoa-alert"}},
  };
  runs.insert(runs.end(), rest.begin(), rest.end());
  // SETUP and INSTALL over the attitude picture, in every look: their soft keys and banner are
  // drawn into both layers. (In "ai-menus" the turn on the menu changes the left key to DONE, so
  // the frames it names "setup" and "install" show the closed menu and the menu again.)
  for (const char* style : {"LEGACY", "EFIS", "VINTAGE"}) {
    runs.push_back(
        {"ai-setup-" + lower(style),
         {"--set", std::string("UI STYLE=") + style},
         {"wait 9",   "tap left",    "wait 0.1", "tap left", "wait 0.1",        "png setup", "tap left",
          "wait 0.1", "png install", "turn 1",   "wait 0.1", "png install-row", "tap left",  "wait 0.5",
          "tap left", "wait 0.1",    "tap left", "wait 0.1", "turn 2",          "wait 0.1",  "png setup-row"}});
  }
  return runs;
}

}  // namespace

const std::vector<golden_run>& golden_runs() {
  static const std::vector<golden_run> runs = build();
  return runs;
}

std::vector<std::string> frame_names(const golden_run& run) {
  std::vector<std::string> names;
  for (const std::string& line : run.script) {
    if (line.rfind("png ", 0) == 0) names.push_back(run.name + "-" + line.substr(4));
  }
  return names;
}

}  // namespace golden
