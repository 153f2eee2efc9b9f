// The adjustment pop-ups, the status badge and the settings written from outside, driven end to
// end through scripts as a pilot (or a test bench) drives the instrument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

class HeadlessPopups : public PowerOn {
 protected:
  // Runs the script lines after the start-up screen and returns the snapshots in order.
  static std::vector<state_json> run(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& options = {}) {
    std::vector<std::string> args = {"-e", "wait 9"};
    for (const std::string& line : lines) args.insert(args.end(), {"-e", line});
    args.insert(args.end(), options.begin(), options.end());
    return headless_test::snapshots_of(args);
  }
};

TEST_F(HeadlessPopups, BrightnessByTheRightButtonWithTheBadgeGoneWhileOpen) {
  const std::vector<state_json> s = run({
      "snapshot closed",  //
      "hold right 1",     // the long press opens it
      "wait 0.1",         //
      "snapshot open",    //
      "turn 5",           // step 10
      "wait 0.1",         //
      "turn 1",           // step 1
      "wait 0.1",         //
      "snapshot turned",  //
      "tap left",         // AUTO
      "wait 0.1",         //
      "snapshot auto",    //
      "tap right",        // closes, and the page stays
      "wait 0.1",         //
      "snapshot done",
  });
  ASSERT_EQ(s.size(), 5u);
  struct row {
    const char* label;
    int open;
    int level;
    int is_auto;
    const char* line1;
    const char* line2;
    int badge;
  };
  const row rows[] = {
      {"closed", 0, 0, 0, "", "", 1},
      {"open", 1, 0, 0, "MANUAL BRT", "0", 0},
      {"turned", 1, 11, 0, "MANUAL BRT", "11", 0},
      {"auto", 1, 11, 1, "AUTO BRT", "", 0},
      {"done", 0, 11, 1, "", "", 1},
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const row& r = rows[i];
    SCOPED_TRACE(r.label);
    EXPECT_EQ(s[i]["label"], r.label);
    EXPECT_EQ(s[i]["modes"]["brightness_popup_open"], r.open);
    EXPECT_EQ(s[i]["popups"]["brightness_level"], r.level);
    EXPECT_EQ(s[i]["popups"]["brightness_auto"], r.is_auto);
    EXPECT_EQ(s[i]["banner"]["banner_line1"]["text"], r.line1);
    EXPECT_EQ(s[i]["banner"]["banner_line2"]["text"], r.line2);
    EXPECT_EQ(s[i]["popups"]["status_badge"]["shown"], r.badge);
    EXPECT_EQ(s[i]["field_page"], 0);
  }
  EXPECT_EQ(s[0]["popups"]["status_badge"]["text"], "100%");
  EXPECT_EQ(s[0]["popups"]["status_badge"]["icon"], 1);
}

// Which pop-up a snapshot shows open, by its banner title ("-" when the banner is empty).
std::string banner_title(const state_json& snap) { return snap["banner"]["banner_line1"]["text"]; }

// Knob pushes walk the pop-ups the shown fields offer: the first default page holds the altitude
// box and the DG heading (SET BARO, DG ADJ, HDG BUG), the third the altitude box, a GPS track and
// SET ALT.
TEST_F(HeadlessPopups, KnobPushesWalkThePopupsOfTheShownFields) {
  struct row {
    int page;
    std::vector<const char*> titles;
  };
  const row rows[] = {
      {0, {"SET BARO", "DG ADJ", "HDG BUG", ""}},
      {2, {"SET BARO", "HDG BUG", "SET ALT", ""}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.page);
    std::vector<std::string> lines = {"set CFG_FIELD_PAGE " + std::to_string(r.page), "wait 0.1"};
    for (std::size_t i = 0; i < r.titles.size(); ++i) lines.insert(lines.end(), {"tap knob", "wait 0.1", "snapshot"});
    const std::vector<state_json> s = run(lines);
    ASSERT_EQ(s.size(), r.titles.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
      EXPECT_EQ(banner_title(s[i]), r.titles[i]) << "push " << i + 1;
      EXPECT_EQ(s[i]["popups"]["status_badge"]["shown"], r.titles[i][0] == '\0' ? 1 : 0);
    }
  }
}

TEST_F(HeadlessPopups, TurningClosesOnTheNextPushAndValuesStay) {
  // clang-format off
  const std::vector<state_json> s = run({
      "set CFG_FIELD_PAGE 2", "wait 0.1",
      "tap knob", "wait 0.1",                          // SET BARO
      "turn 10", "wait 0.1", "snapshot baro",          // fast: 0.20 inHg
      "tap knob", "wait 0.1", "snapshot closed",       // changed: closes
      "tap knob", "wait 0.1", "tap knob", "wait 0.1",  // SET BARO, HDG BUG
      "tap knob", "wait 0.1",                          // SET ALT
      "turn -1", "wait 0.1", "snapshot alt",           // from 0: 1000
      "turn -1", "wait 0.1", "snapshot alt floor",     // and no lower
      "turn 1", "wait 0.1", "turn 5", "wait 0.1",      // 100 ft whatever the speed
      "snapshot alt up",
      "tap knob", "wait 0.1", "snapshot after",
      "wait 31", "snapshot later",
  });
  // clang-format on
  ASSERT_EQ(s.size(), 7u);
  EXPECT_EQ(banner_title(s[0]), "SET BARO");
  EXPECT_EQ(s[0]["banner"]["banner_line2"]["text"], "30.12");
  EXPECT_EQ(s[0]["modes"]["baro_adjusted"], 1);
  EXPECT_EQ(s[0]["popups"]["baro_set_since_start"], 1);
  EXPECT_EQ(banner_title(s[1]), "");
  EXPECT_EQ(s[1]["modes"]["baro_adjusted"], 0);
  EXPECT_EQ(s[1]["popups"]["baro_setting"], 3012);
  EXPECT_EQ(banner_title(s[2]), "SET ALT");
  EXPECT_EQ(s[2]["banner"]["banner_line2"]["text"], "1000");
  EXPECT_EQ(s[3]["banner"]["banner_line2"]["text"], "1000");
  EXPECT_EQ(s[4]["popups"]["selected_altitude"], 1200);
  EXPECT_EQ(s[4]["settings"]["CFG_SET_ALT"], 0);  // not written back
  EXPECT_EQ(banner_title(s[5]), "");
  EXPECT_EQ(banner_title(s[6]), "");
  EXPECT_EQ(s[6]["popups"]["selected_altitude"], 1200);
  EXPECT_EQ(s[6]["popups"]["baro_setting"], 3012);
  EXPECT_EQ(s[6]["popups"]["baro_set_since_start"], 1);
}

// Thirty seconds without a control event close whatever is open and bring the badge back.
TEST_F(HeadlessPopups, ThirtySecondsWithoutAnEventCloseThePopup) {
  const std::vector<state_json> s =
      run({"tap knob", "wait 0.1", "snapshot open", "wait 29", "snapshot still", "wait 2", "snapshot closed"});
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(banner_title(s[0]), "SET BARO");
  EXPECT_EQ(banner_title(s[1]), "SET BARO");
  EXPECT_EQ(banner_title(s[2]), "");
  EXPECT_EQ(s[2]["modes"]["baro_popup_open"], 0);
  EXPECT_EQ(s[2]["popups"]["status_badge"]["shown"], 1);
}

TEST_F(HeadlessPopups, TheBaroSettingStaysReadableAndInItsBand) {
  struct row {
    std::vector<std::string> options;
    const char* shown;
    int detents;
    const char* turned;
  };
  const row rows[] = {
      {{"--sensor", "baro_setting=50"}, "0.50", -1, "28.00"},  // a reading from outside the band
      {{"--sensor", "baro_setting=-5"}, "---", 1, "28.00"},
      {{"--set", "BARO UNITS=MB"}, "1013", 1, "1014"},            // a whole hPa a step
      {{"--set", "BARO UNITS=MB"}, "1013", 10, "1033"},           //
      {{"--sensor", "baro_setting=3095"}, "30.95", 10, "31.00"},  //
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.shown);
    const std::vector<state_json> s = run(
        {"tap knob", "wait 0.1", "snapshot", "turn " + std::to_string(r.detents), "wait 0.1", "snapshot"}, r.options);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(banner_title(s[0]), "SET BARO");
    EXPECT_EQ(s[0]["banner"]["banner_line2"]["text"], r.shown);
    EXPECT_EQ(s[1]["banner"]["banner_line2"]["text"], r.turned);
  }
}

// Both buttons held in demo mode bring back the default layouts whatever is open.
TEST_F(HeadlessPopups, BothButtonsRestoreTheLayoutsInDemoMode) {
  // clang-format off
  const std::vector<state_json> s = run({
      "snapshot start",
      "tap left", "wait 0.1", "turn 1", "wait 0.1",  // MENU, next slot
      "tap knob", "wait 0.1", "turn 1", "wait 0.1",  // another field there
      "snapshot edited",
      "press left", "wait 0.1", "press right", "wait 0.1", "release left", "release right", "wait 0.1",
      "snapshot restored",
  });
  // clang-format on
  ASSERT_EQ(s.size(), 3u);
  EXPECT_NE(s[1]["layouts"]["layout_ai"], s[0]["layouts"]["layout_ai"]);
  EXPECT_EQ(s[2]["layouts"]["layout_ai"], s[0]["layouts"]["layout_ai"]);
  EXPECT_EQ(s[2]["settings"]["CFG_DEMO_MODE"], s[0]["settings"]["CFG_DEMO_MODE"]);
}

TEST_F(HeadlessPopups, ChangingBaroUnitsConvertsTheSettingFromEverySource) {
  const std::vector<state_json> s = run({"snapshot inhg", "set BARO UNITS MB", "wait 0.1", "snapshot hpa",
                                         "set BARO UNITS INHG", "wait 0.1", "snapshot back"});
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0]["popups"]["baro_setting"], 2992);
  EXPECT_EQ(s[0]["popups"]["baro_setting_text"], "29.92");
  EXPECT_EQ(s[1]["popups"]["baro_setting"], 101300);
  EXPECT_EQ(s[1]["popups"]["baro_setting_text"], "1013");
  EXPECT_EQ(s[2]["popups"]["baro_setting"], 2991);  // 1013 hPa to the nearest 0.01 inHg
  EXPECT_EQ(s[2]["popups"]["baro_set_since_start"], 0);
}

// The headless set of UNIT FUNCTION while the field editor edits attitude slot 8: the DG unit has
// seven slots, so the editor closes, as it does when the unit swaps by the long knob press.
TEST_F(HeadlessPopups, UnitChangeFromOutsideClosesTheFieldEditor) {
  const std::vector<state_json> s = run({
      "tap left",  // MENU on slot 4
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    // slot 8
      "wait 0.1",  //
      "tap knob",  // edit it
      "wait 0.1",  //
      "snapshot editing", "set UNIT FUNCTION DG",
      "turn 1",    // must reach no slot of the DG layouts
      "wait 0.1",  //
      "tap knob",  //
      "wait 0.1",  //
      "turn -1",   //
      "wait 0.5",  //
      "snapshot dg",
  });
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["modes"]["field_editor_active"], 1);
  EXPECT_EQ(s[0]["modes"]["selected_slot"], 8);
  EXPECT_EQ(s[1]["unit_function"], 1);
  EXPECT_EQ(s[1]["modes"]["menu_active"], 0);
  EXPECT_EQ(s[1]["modes"]["field_editor_active"], 0);
  EXPECT_EQ(s[1]["layouts"]["layout_dg"], s[0]["layouts"]["layout_dg"]);
}

TEST_F(HeadlessPopups, SetFromTheCommandLineIsWhatTheInstallPageShowsAndEdits) {
  // MENU, SETUP, INSTALL; six rows right is IAS TRIM; edit it one up.
  std::vector<std::string> lines = {"tap left", "wait 0.1", "tap left", "wait 0.1", "tap left", "wait 0.1"};
  for (int i = 0; i < 7; ++i) lines.insert(lines.end(), {"turn 1", "wait 0.1"});
  lines.insert(lines.end(), {"snapshot row", "tap knob", "wait 0.1", "turn 1", "wait 0.1", "snapshot edited"});
  const std::vector<state_json> s = run(lines, {"--set", "IAS TRIM=20"});
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["banner"]["banner_line1"]["text"], "IAS TRIM");
  EXPECT_EQ(s[0]["banner"]["banner_line2"]["text"], "+20");
  EXPECT_EQ(s[1]["banner"]["banner_line2"]["text"], "+21");
  EXPECT_EQ(s[1]["settings"]["CFG_IAS_TRIM"], 21);
}

}  // namespace
