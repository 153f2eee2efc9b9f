// Whole runs of the headless runner inside the test process: bad input stops everything before
// it starts, scripts drive the controls at the right moments, and outputs land where asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "host/common/png_io.h"
#include "host/headless/runner.h"
#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

namespace fs = std::filesystem;
using headless_test::run_in_process;
using headless_test::run_result;
using headless_test::scratch_dir;

class HeadlessRun : public PowerOn {
 protected:
  scratch_dir dir;

  // A run that must fail on bad input: status 2, one line naming the problem, nothing written.
  void expect_rejected(const std::vector<std::string>& args, const std::vector<std::string>& words,
                       const std::string& input = "") {
    std::string joined;
    for (const std::string& a : args) joined += a + " ";
    const run_result r = run_in_process(args, input);
    EXPECT_EQ(r.status, 2) << joined;
    EXPECT_EQ(headless_test::line_count(r.err), 1) << joined << "-> " << r.err;
    EXPECT_EQ(r.err.rfind("vesper-headless: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    for (const std::string& w : words) EXPECT_NE(r.err.find(w), std::string::npos) << r.err << " lacks " << w;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"input.txt"}) << joined;
  }

  void SetUp() override {
    PowerOn::SetUp();
    headless_test::write_text(dir.file("input.txt"), "wait 1\n");
  }
};

TEST_F(HeadlessRun, CommandLineMistakesWriteNothing) {
  const std::vector<std::string> outputs = {"--png",    dir.file("f.png"),  "--state",  dir.file("s.json"),
                                            "--frames", dir.file("frames"), "--layers", dir.file("layers")};
  auto with_outputs = [&](std::vector<std::string> args) {
    args.insert(args.begin(), outputs.begin(), outputs.end());
    return args;
  };
  expect_rejected(with_outputs({"--fast"}), {"unknown option '--fast'"});
  expect_rejected(with_outputs({"--seconds"}), {"--seconds needs"});
  expect_rejected(with_outputs({"--set", "CFG_NOPE=1"}), {"--set 'CFG_NOPE=1'", "unknown setting 'CFG_NOPE'"});
  expect_rejected(with_outputs({"--set", "G POS LIM=9"}), {"--set 'G POS LIM=9'", "out of range", "allowed 2..8"});
  expect_rejected(with_outputs({"--set", "SW VERSION=3"}), {"read-only"});
  expect_rejected(with_outputs({"--script", dir.file("missing.txt")}),
                  {"cannot read script", "missing.txt", "No such file"});
  expect_rejected(with_outputs({"--script", dir.path().string()}), {"cannot read script", "directory"});
}

TEST_F(HeadlessRun, ScriptMistakesNameTheirSourceAndLine) {
  headless_test::write_text(dir.file("input.txt"), "wait 1\n\n# fine so far\nturn left\n");
  expect_rejected({"--script", dir.file("input.txt"), "--png", dir.file("f.png")},
                  {"input.txt:4:", "'left' is not a whole number of detents"});
  expect_rejected({"-e", "wait 1", "-e", "tap nose", "--png", dir.file("f.png")}, {"-e:2:", "unknown control"});
  expect_rejected({"--script", "-", "--state", dir.file("s.json")}, {"<stdin>:2:", "unknown command 'go'"},
                  "wait 1\ngo\n");
  // A multi-line -e counts each of its lines.
  expect_rejected({"-e", "wait 1\nwait 2", "-e", "bad"}, {"-e:3:", "unknown command 'bad'"});
}

TEST_F(HeadlessRun, SettingRulesAcrossOptionsAndScriptAreCheckedBeforeRunning) {
  // --set runs first, so the script's low limit must fit the high limit the option left.
  expect_rejected({"--set", "AOA HIGH LIM=10", "-e", "set AOA LOW LIM 9", "--png", dir.file("f.png")},
                  {"-e:1:", "AOA LOW LIM", "at most AOA HIGH LIM - 2 = 8"});
  const run_result ok = run_in_process({"--set", "AOA HIGH LIM=30", "-e", "set AOA LOW LIM 28", "--state", "-"});
  EXPECT_EQ(ok.status, 0) << ok.err;
}

TEST_F(HeadlessRun, OutputsThatCannotBeWrittenAreFoundFirst) {
  headless_test::write_text(dir.file("plain"), "x");
  const std::string missing = dir.file("no/such/dir/f.png");
  auto rejected = [&](const std::vector<std::string>& args, const std::vector<std::string>& words) {
    const run_result r = run_in_process(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(headless_test::line_count(r.err), 1) << r.err;
    for (const std::string& w : words) EXPECT_NE(r.err.find(w), std::string::npos) << r.err << " lacks " << w;
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"input.txt", "plain"}));
  };
  rejected({"--png", missing, "--state", dir.file("s.json")}, {"--png", "does not exist"});
  rejected({"--png", dir.path().string()}, {"--png", "is a directory"});
  rejected({"--state", dir.file("plain/s.json"), "--png", dir.file("f.png")}, {"--state", "not a directory"});
  rejected({"--frames", dir.file("plain"), "--png", dir.file("f.png")}, {"frames", "not a directory"});
  rejected({"--layers", dir.file("a/b"), "--png", dir.file("f.png")}, {"layers", "does not exist"});
  rejected({"-e", "png " + missing, "--state", dir.file("s.json")}, {"-e:1:", "png", "does not exist"});
}

TEST_F(HeadlessRun, OutputsMadeUpFrontGoAgainWhenTheRunDoesNotHappenOrFails) {
  headless_test::write_text(dir.file("kept.png"), "old");
  const std::vector<std::string> before = {"input.txt", "kept.png"};
  struct output_case {
    std::vector<std::string> args;
    int status;
    std::string words;
  };
  const std::vector<output_case> cases = {
      // The picture, its folder and the layers are made before the state is found unwritable.
      {{"--frames", dir.file("fr"), "--png", dir.file("fr/p.png"), "--layers", dir.file("ly"), "--state",
        "/proc/vesper.json"},
       2,
       "nothing can be made in '/proc'"},
      // The picture cannot be written after the run: the state it never reached goes too, and
      // the file that was there before is left as it was.
      {{"--seconds", "0.1", "--png", "/dev/full", "--state", dir.file("s.json"), "-e", "png " + dir.file("kept.png")},
       1,
       "No space left on device"},
  };
  for (const output_case& c : cases) {
    const run_result r = run_in_process(c.args);
    EXPECT_EQ(r.status, c.status) << c.words;
    EXPECT_EQ(headless_test::line_count(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
    EXPECT_EQ(dir.entries(), before) << c.words;
  }
}

TEST_F(HeadlessRun, ASetRefusedPartWayIsReportedAndTheRunCarriesOn) {
  // The up-front check cannot see what the pilot's taps on the setup page change; here the plan
  // holds writes the check never saw, as such a run would meet them.
  headless::options o;
  o.state = "-";
  o.seconds_given = true;
  o.run_ms = 500;
  o.sets = {"AOA HIGH LIM=10", "AOA LOW LIM=9", "ROLL LIM=45"};
  headless::run_plan plan;
  std::string error;
  ASSERT_FALSE(headless::prepare_run(o, std::cin, &plan, &error));  // the check does refuse them
  o.sets = {"ROLL LIM=45"};
  ASSERT_TRUE(headless::prepare_run(o, std::cin, &plan, &error)) << error;
  host_settings::setting_write high;
  host_settings::setting_write low;
  ASSERT_TRUE(host_settings::find_setting("AOA HIGH LIM", &high.target, &error));
  ASSERT_TRUE(host_settings::find_setting("AOA LOW LIM", &low.target, &error));
  high.value = 10;
  low.value = 9;
  low.where = "flight.txt:7";
  plan.sets.insert(plan.sets.begin(), {high, low});

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(headless::execute_run(plan, out, err), 1);
  EXPECT_EQ(headless_test::line_count(err.str()), 1) << err.str();
  EXPECT_EQ(err.str().rfind("vesper-headless: flight.txt:7: value 9 for AOA LOW LIM is not allowed", 0), 0u)
      << err.str();
  const state_json doc = state_json::parse(out.str());  // the state is still written
  EXPECT_EQ(doc["final"]["time_ms"], 500);
  EXPECT_EQ(doc["final"]["settings"]["CFG_AOA_HIGH_LIM"], 10);
  EXPECT_EQ(doc["final"]["settings"]["CFG_ROLL_LIM"], 45);  // later writes still happen
  EXPECT_NE(doc["final"]["settings"]["CFG_AOA_LOW_LIM"], 9);
}

TEST_F(HeadlessRun, PngDashIsStandardOutput) {
  const run_result r = run_in_process({"--seconds", "1", "--png", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_GT(r.out.size(), 8u);
  EXPECT_EQ(r.out.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(HeadlessRun, HelpGoesToStandardOutput) {
  const run_result r = run_in_process({"--help", "--png", dir.file("f.png")});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Usage: vesper-headless"), std::string::npos);
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"input.txt"});
}

TEST_F(HeadlessRun, TheScriptExampleOfTheHelpDoesWhatItSays) {
  const std::string help = headless::help_text();
  const std::size_t start = help.find("# flight.txt\n");
  ASSERT_NE(start, std::string::npos);
  const std::string script = help.substr(start + std::string("# flight.txt\n").size());
  const run_result r = run_in_process({"--script", "-", "--state", "-"}, script);
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json doc = state_json::parse(r.out);
  ASSERT_EQ(doc["snapshots"].size(), 2u);
  EXPECT_EQ(doc["snapshots"][0]["label"], "menu");
  EXPECT_EQ(doc["snapshots"][0]["modes"]["menu_active"], 1);
  EXPECT_EQ(doc["snapshots"][1]["label"], "closed");
  EXPECT_EQ(doc["snapshots"][1]["modes"]["menu_active"], 0);
}

TEST_F(HeadlessRun, FilesInADirectoryTheRunMakesAreAccepted) {
  const run_result r = run_in_process({"--frames", dir.file("out"), "--every", "50", "-e", "wait 3", "-e",
                                       "png " + dir.file("out/at3.png"), "--png", dir.file("out/last.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  // 100 frames in three seconds: frames 50 and 100, and the two pictures asked for.
  const std::vector<std::string> expected = {"at3.png", "frame-000050.png", "frame-000100.png", "last.png"};
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.file("out"))) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

TEST_F(HeadlessRun, StateHoldsOneSnapshotPerLineAndAFinalOne) {
  const run_result r = run_in_process({"-e", "wait 1", "-e", "snapshot first", "-e", "wait 0.5", "-e", "snapshot",
                                       "--seconds", "0.25", "--state", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json doc = state_json::parse(r.out);
  ASSERT_EQ(doc["snapshots"].size(), 2u);
  EXPECT_EQ(doc["snapshots"][0]["label"], "first");
  EXPECT_EQ(doc["snapshots"][0]["where"], "-e:2");
  EXPECT_EQ(doc["snapshots"][0]["time_ms"], 1000);
  EXPECT_EQ(doc["snapshots"][0]["frames"], 33);
  EXPECT_FALSE(doc["snapshots"][1].contains("label"));
  EXPECT_EQ(doc["snapshots"][1]["time_ms"], 1500);
  EXPECT_EQ(doc["final"]["time_ms"], 1750);
  EXPECT_EQ(doc["final"]["startup_countdown"], 7);
}

TEST_F(HeadlessRun, SnapshotsDoNotDisturbTheRun) {
  const std::vector<std::string> steps = {"wait 9", "tap left", "wait 0.5", "turn 2", "wait 1", "hold knob 2"};
  std::vector<std::string> plain = {"--state", "-", "--seconds", "1"};
  std::vector<std::string> watched = plain;
  for (const std::string& s : steps) {
    plain.insert(plain.end(), {"-e", s});
    watched.insert(watched.end(), {"-e", s, "-e", "snapshot"});
  }
  const run_result a = run_in_process(plain);
  const run_result b = run_in_process(watched);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  const state_json fa = state_json::parse(a.out)["final"];
  const state_json fb = state_json::parse(b.out)["final"];
  EXPECT_EQ(fa, fb);
  EXPECT_EQ(state_json::parse(b.out)["snapshots"].size(), steps.size());
}

TEST_F(HeadlessRun, TapTakesOneRefreshAfterTheStartUpScreen) {
  const run_result r = run_in_process(
      {"-e", "wait 9", "-e", "tap right", "-e", "snapshot", "-e", "wait 0.03", "-e", "snapshot", "--state", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json doc = state_json::parse(r.out);
  const state_json& taken = doc["snapshots"][0];
  EXPECT_EQ(taken["time_ms"], 9030);  // pressed at 9000, taken by the refresh at 9030
  EXPECT_EQ(taken["control_events"]["counts"]["EVT_RIGHT_PRESS"], 1);
  EXPECT_EQ(taken["controls"]["right_button"], 0);  // released straight after
  const state_json& later = doc["snapshots"][1];
  EXPECT_EQ(later["control_events"]["counts"]["EVT_RIGHT_RELEASE"], 1);
}

TEST_F(HeadlessRun, TheLayersAreThoseOfTheLastComposedFrame) {
  const run_result r = run_in_process({"--seconds", "9", "--layers", dir.file("layers"), "--png", dir.file("f.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::uint32_t> top;
  std::vector<std::uint32_t> base;
  std::vector<std::uint32_t> frame;
  int w = 0;
  int h = 0;
  std::string error;
  ASSERT_TRUE(read_png(dir.file("layers/top_layer.png"), &top, &w, &h, &error)) << error;
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  ASSERT_TRUE(read_png(dir.file("layers/base_layer.png"), &base, &w, &h, &error)) << error;
  ASSERT_TRUE(read_png(dir.file("f.png"), &frame, &w, &h, &error)) << error;
  // The frame is opaque; the layers keep their alpha, and some of the top layer is see-through.
  bool frame_opaque = true;
  bool top_has_clear = false;
  for (std::size_t i = 0; i < frame.size(); ++i) {
    frame_opaque = frame_opaque && (frame[i] >> 24) == 0xFF;
    top_has_clear = top_has_clear || (top[i] >> 24) != 0xFF;
  }
  EXPECT_TRUE(frame_opaque);
  EXPECT_TRUE(top_has_clear);
}

TEST_F(HeadlessRun, AShortRunWithoutFramesStillWritesABlackPicture) {
  const run_result r = run_in_process({"--seconds", "0.01", "--png", dir.file("f.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::uint32_t> frame;
  int w = 0;
  int h = 0;
  std::string error;
  ASSERT_TRUE(read_png(dir.file("f.png"), &frame, &w, &h, &error)) << error;
  ASSERT_EQ(frame.size(), 320u * 240u);
  EXPECT_EQ(frame[0], 0xFF000000u);
  EXPECT_EQ(frame[320 * 240 - 1], 0xFF000000u);
}

}  // namespace
