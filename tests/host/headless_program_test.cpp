// The built vesper-headless program, run as a user runs it: start-up, the control scenarios
// that depend on instrument time, its outputs, and runs that repeat bit for bit.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/common/png_io.h"
#include "host/common/state_json.h"
#include "tests/host/headless_support.h"

namespace {

namespace fs = std::filesystem;
using headless_test::run_program;
using headless_test::run_result;
using headless_test::scratch_dir;

class HeadlessProgram : public ::testing::Test {
 protected:
  scratch_dir dir;

  // Runs a script given as lines and returns the parsed state document.
  state_json run_script(const std::vector<std::string>& lines, std::vector<std::string> extra = {}) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    headless_test::write_text(dir.file("script.txt"), text);
    extra.insert(extra.end(), {"--script", "script.txt", "--state", "-"});
    const run_result r = run_program(extra, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    return r.status == 0 ? state_json::parse(r.out) : state_json();
  }

  static const state_json& snapshot(const state_json& doc, const std::string& label) {
    for (const state_json& s : doc["snapshots"]) {
      if (s.value("label", "") == label) return s;
    }
    static const state_json none;
    ADD_FAILURE() << "no snapshot " << label;
    return none;
  }
};

TEST_F(HeadlessProgram, TwelveSecondsEndTheStartUpScreenWithEveryDefaultAndAPicture) {
  const run_result r = run_program({"--seconds", "12", "--state", "-", "--png", "out.png"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json doc = state_json::parse(r.out);
  const state_json& s = doc["final"];
  EXPECT_TRUE(doc["snapshots"].empty());
  EXPECT_EQ(s["time_ms"], 12000);
  EXPECT_EQ(s["frames"], 400);           // one every 30 ms
  EXPECT_EQ(s["passes"], 1 + 399 * 10);  // the first pass composes, then every tenth
  EXPECT_EQ(s["startup_countdown"], 0);
  EXPECT_EQ(s["blink_phase"], 0);  // twelve toggles
  const state_json& settings = s["settings"];
  const auto& defaults = headless_test::default_settings();
  for (const auto& [name, value] : defaults) EXPECT_EQ(settings.value(name, state_json()), value) << name;
  EXPECT_EQ(settings["CFG_G_NEG_LIM"]["word"], -2);
  EXPECT_EQ(settings["CFG_G_NEG_LIM"]["byte"], 254);

  // A real PNG file: the signature, then a 320 x 240 opaque picture.
  const std::string bytes = headless_test::read_text(dir.file("out.png"));
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::vector<std::uint32_t> pixels;
  int w = 0;
  int h = 0;
  std::string error;
  ASSERT_TRUE(read_png(dir.file("out.png"), &pixels, &w, &h, &error)) << error;
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  // Past the start-up screen the picture is not one flat colour.
  std::size_t differing = 0;
  for (std::uint32_t p : pixels) differing += p != pixels[0] ? 1 : 0;
  EXPECT_GT(differing, pixels.size() / 10);
}

TEST_F(HeadlessProgram, AKnobTapDuringTheStartUpScreenIsDispatchedWhenItEnds) {
  const state_json doc = run_script({
      "tap knob",  // at 0 ms; the refresh at 30 ms takes it
      "wait 7",
      "snapshot held",
      "wait 2.5",
      "snapshot after",
  });
  const state_json& held = snapshot(doc, "held");
  EXPECT_EQ(held["time_ms"], 7030);
  EXPECT_EQ(held["pending_event"]["name"], "EVT_KNOB_PRESS");  // waiting for the screen to end
  // Every pass that sees the waiting event keeps the time-out alive, even before it is handed on.
  EXPECT_EQ(held["inactivity_countdown"], 30);
  EXPECT_EQ(held["control_events"]["counts"]["EVT_KNOB_RELEASE"], 0);
  const state_json& after = snapshot(doc, "after");
  EXPECT_EQ(after["pending_event"]["code"], 0);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_PRESS"], 1);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_RELEASE"], 1);
  // Dispatched by the first refresh after the screen ended (8010 ms), then one tick at 9000 ms.
  EXPECT_EQ(after["inactivity_countdown"], 29);
}

TEST_F(HeadlessProgram, ASecondTapDuringTheStartUpScreenWaitsForTheFirstEvent) {
  // While the knob's press is held the decoder makes nothing else, so the left press can only
  // be taken once the screen has ended: the tap waits, and still within its bound.
  headless_test::write_text(dir.file("script.txt"), "tap knob\ntap left\nsnapshot\n");
  const run_result r = run_program({"--script", "script.txt", "--state", "-"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;  // no "not taken" warning
  const state_json s = state_json::parse(r.out)["snapshots"][0];
  EXPECT_EQ(s["time_ms"], 8010);
  EXPECT_EQ(s["controls"]["left_down"], 1);
}

TEST_F(HeadlessProgram, ALongKnobPressSwapsTheUnitFunctionAndResetsThePage) {
  const std::vector<std::string> swap = {"wait 9",   "set CFG_FIELD_PAGE 2", "snapshot before", "hold knob 1.5",
                                         "wait 0.5", "snapshot after"};
  const state_json doc = run_script(swap);
  EXPECT_EQ(snapshot(doc, "before")["field_page"], 2);
  const state_json& after = snapshot(doc, "after");
  EXPECT_EQ(after["unit_function"], 1);
  EXPECT_EQ(after["settings"]["CFG_UNIT_FUNCTION"], 1);
  EXPECT_EQ(after["field_page"], 0);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_LONG"], 1);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_RELEASE"], 0);  // a long press has no release

  // And back again with a second long press.
  std::vector<std::string> twice = swap;
  twice.insert(twice.end(), {"hold knob 1.5", "wait 0.5", "snapshot again"});
  EXPECT_EQ(snapshot(run_script(twice), "again")["unit_function"], 0);
}

TEST_F(HeadlessProgram, FunctionLockKeepsTheUnitFunction) {
  const state_json doc = run_script(
      {"set FUNCTION LOCK YES", "wait 9", "set CFG_FIELD_PAGE 2", "hold knob 1.5", "wait 0.5", "snapshot after"});
  const state_json& after = snapshot(doc, "after");
  EXPECT_EQ(after["settings"]["CFG_FUNCTION_LOCK"], 1);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_LONG"], 1);
  EXPECT_EQ(after["unit_function"], 0);
  EXPECT_EQ(after["settings"]["CFG_UNIT_FUNCTION"], 0);
  EXPECT_EQ(after["field_page"], 2);
}

TEST_F(HeadlessProgram, AShortKnobPressIsNoLongPress) {
  // 0.2 s is about 70 passes, short of the hundred a long press needs.
  const state_json doc = run_script({"wait 9", "hold knob 0.2", "wait 0.5", "snapshot after"});
  const state_json& after = snapshot(doc, "after");
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_LONG"], 0);
  EXPECT_EQ(after["control_events"]["counts"]["EVT_KNOB_RELEASE"], 1);
  EXPECT_EQ(after["unit_function"], 0);
}

TEST_F(HeadlessProgram, ThirtySecondsWithoutAnEventCloseTheMenu) {
  const state_json doc = run_script({
      "set UI STYLE EFIS",
      "wait 9",
      "tap left",  // press taken at 9030 ms, its release dispatched at 9060 ms
      "wait 1",
      "snapshot open",
      "wait 29.47",  // 39.5 s: thirty ticks have only just run the countdown out
      "snapshot still",
      "wait 1",  // the tick at 40 s finds it at 0 and closes everything
      "snapshot closed",
  });
  const state_json& open = snapshot(doc, "open");
  EXPECT_EQ(open["modes"]["menu_active"], 1);
  EXPECT_EQ(open["inactivity_countdown"], 29);  // 30 at 9060 ms, one tick since
  const state_json& still = snapshot(doc, "still");
  EXPECT_EQ(still["time_ms"], 39500);
  EXPECT_EQ(still["modes"]["menu_active"], 1);
  EXPECT_EQ(still["inactivity_countdown"], 0);
  const state_json& closed = snapshot(doc, "closed");
  EXPECT_EQ(closed["modes"]["menu_active"], 0);
  EXPECT_EQ(closed["settings"]["CFG_UI_STYLE"], 1);  // closing does not undo the setting
}

TEST_F(HeadlessProgram, FramesEveryNth) {
  const run_result r = run_program({"--seconds", "3", "--frames", "fr", "--every", "10"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.file("fr"))) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 10u);  // 100 frames in three seconds
  EXPECT_EQ(names.front(), "frame-000010.png");
  EXPECT_EQ(names.back(), "frame-000100.png");
}

TEST_F(HeadlessProgram, TwoIdenticalRunsGiveIdenticalBytes) {
  scratch_dir other;
  const std::string script = "wait 9\ntap left\nwait 1\nturn 3\nwait 0.5\nsnapshot\ntap knob\nwait 2\n";
  headless_test::write_text(dir.file("s.txt"), script);
  headless_test::write_text(other.file("s.txt"), script);
  const std::vector<std::string> args = {"--script",   "s.txt", "--seconds", "2.5",      "--state",
                                         "state.json", "--png", "last.png",  "--layers", "layers"};
  ASSERT_EQ(run_program(args, dir.path()).status, 0);
  ASSERT_EQ(run_program(args, other.path()).status, 0);
  for (const char* name : {"state.json", "last.png", "layers/top_layer.png", "layers/base_layer.png"}) {
    const std::string a = headless_test::read_text(dir.file(name));
    EXPECT_FALSE(a.empty()) << name;
    EXPECT_EQ(a, headless_test::read_text(other.file(name))) << name;
  }
}

TEST_F(HeadlessProgram, BadInputExitsWithTwoAndWritesNothing) {
  headless_test::write_text(dir.file("bad.txt"), "wait 1\nwait 2\nsqueeze knob\n");
  const run_result r = run_program({"--script", "bad.txt", "--png", "p.png", "--state", "s.json"}, dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "vesper-headless: bad.txt:3: unknown command 'squeeze' "
            "(wait, press, release, tap, hold, turn, set, sensor, snapshot, png, serial, fault)\n");
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"bad.txt"});
}

TEST_F(HeadlessProgram, HelpExitsWithZero) {
  const run_result r = run_program({"--help"}, dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Examples:"), std::string::npos);
}

}  // namespace
