// The heading page and its knob, driven end to end through scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

class HeadlessNav : public PowerOn {
 protected:
  // The DG unit on the given field page; the script lines run after the start-up screen.
  static std::vector<state_json> run(int page, const std::vector<std::string>& lines) {
    std::vector<std::string> args = {"--set", "UNIT FUNCTION=DG", "-e", "wait 9"};
    args.insert(args.end(), {"-e", "set CFG_FIELD_PAGE " + std::to_string(page), "-e", "wait 0.1"});
    for (const std::string& line : lines) args.insert(args.end(), {"-e", line});
    return headless_test::snapshots_of(args);
  }
};

TEST_F(HeadlessNav, KnobStepsTheArcRangeAndStopsAtItsEnds) {
  const std::vector<state_json> s = run(2, {
                                               "snapshot start",
                                               "turn 1",
                                               "wait 0.1",
                                               "snapshot right",
                                               "turn 1",
                                               "wait 0.1",
                                               "turn 1",
                                               "wait 0.1",
                                               "turn 1",
                                               "wait 0.1",
                                               "turn 1",
                                               "wait 0.1",
                                               "snapshot top",
                                               "turn -1",
                                               "wait 0.1",
                                               "snapshot back",
                                               "wait 5",
                                               "snapshot glided",
                                           });
  ASSERT_EQ(s.size(), 5u);
  const int index[] = {2, 3, 6, 5, 5};
  for (std::size_t i = 0; i < s.size(); ++i) {
    SCOPED_TRACE(s[i]["label"].get<std::string>());
    EXPECT_EQ(s[i]["nav"]["nav_page_style"], 3);
    EXPECT_EQ(s[i]["nav"]["nav_page_source"], 1);
    EXPECT_EQ(s[i]["nav"]["arc_range_index"], index[i]);
  }
  EXPECT_NEAR(s[4]["nav"]["arc_range"].get<double>(), 50.0, 0.5);
  EXPECT_EQ(s[4]["field_page"], 2);  // the turns never reached the page cycling
}

TEST_F(HeadlessNav, CardFollowsTheGyroAcrossNorthAndHoldsWhenItFails) {
  const std::vector<state_json> s = run(0, {
                                               "sensor heading 350",
                                               "wait 3",
                                               "snapshot west of north",
                                               "sensor heading 10",
                                               "wait 0.06",
                                               "snapshot turning",
                                               "wait 3",
                                               "snapshot east of north",
                                               "sensor heading nan",
                                               "wait 1",
                                               "snapshot failed",
                                           });
  ASSERT_EQ(s.size(), 4u);
  EXPECT_NEAR(s[0]["nav"]["card_heading"].get<double>(), 350.0, 2.0);  // the desk gyro drifts left
  const double turning = s[1]["nav"]["card_heading"].get<double>();
  EXPECT_TRUE(turning > 350.0 && turning < 355.0) << turning;  // the short way, through north
  EXPECT_NEAR(s[2]["nav"]["card_heading"].get<double>(), 10.0, 2.0);
  EXPECT_NEAR(s[3]["nav"]["card_heading"].get<double>(), s[2]["nav"]["card_heading"].get<double>(), 0.01);
  EXPECT_EQ(s[3]["nav"]["heading_failed"], 1);
  EXPECT_EQ(s[2]["nav"]["heading_failed"], 0);
}

TEST_F(HeadlessNav, KnobReleasesOpenDgAdjustThenHeadingBugAndALongPressSynchronises) {
  const std::vector<state_json> s = run(0, {
                                               "sensor heading 200",
                                               "tap knob",
                                               "wait 0.1",
                                               "snapshot dg adj",
                                               "turn 1",
                                               "wait 0.1",
                                               "snapshot turned",
                                               "tap knob",
                                               "wait 0.1",
                                               "snapshot closed",
                                               "tap knob",
                                               "wait 0.1",
                                               "tap knob",
                                               "wait 0.1",
                                               "snapshot bug",
                                               "hold knob 2",
                                               "wait 0.1",
                                               "snapshot synchronised",
                                           });
  ASSERT_EQ(s.size(), 5u);
  struct row {
    int dg_open, dg_adjusted, bug_open;
    const char* line1;
  };
  const row rows[] = {
      {1, 0, 0, "DG ADJ"}, {1, 1, 0, "DG ADJ"}, {0, 0, 0, ""}, {0, 0, 1, "HDG BUG"}, {0, 0, 1, "HDG BUG"},
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    SCOPED_TRACE(s[i]["label"].get<std::string>());
    EXPECT_EQ(s[i]["modes"]["nav_dg_adjust_popup_open"], rows[i].dg_open);
    EXPECT_EQ(s[i]["modes"]["nav_dg_adjust_adjusted"], rows[i].dg_adjusted);
    EXPECT_EQ(s[i]["modes"]["hdg_bug_popup_open"], rows[i].bug_open);
    EXPECT_EQ(s[i]["banner"]["banner_line1"]["text"], rows[i].line1);
    EXPECT_EQ(s[i]["unit_function"], 1);
  }
  EXPECT_EQ(s[0]["banner"]["banner_line2"]["text"], "199");  // the gyro, drifting left
  const double turned = s[1]["nav"]["gyro_heading"].get<double>();
  EXPECT_NEAR(turned, 200.5, 0.5);  // one degree right of where it had drifted
  EXPECT_EQ(s[1]["banner"]["banner_line2"]["text"], "200");
  EXPECT_EQ(s[3]["nav"]["hdg_bug"], 0.0);
  EXPECT_NEAR(s[4]["nav"]["hdg_bug"].get<double>(), 200.0, 1.0);  // the bug on the gyro heading
  EXPECT_EQ(s[4]["modes"]["hdg_bug_adjusted"], 1);
}

}  // namespace
