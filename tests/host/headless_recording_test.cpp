// Recordings: the reader refuses what no recorder of this version wrote, with one line naming the
// line; serial bytes survive their escapes; and a recording played headless gives the very frames
// of the same inputs given by a script.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "host/common/faults.h"
#include "host/common/recording.h"
#include "host/headless/runner.h"
#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

namespace fs = std::filesystem;
using headless_test::run_in_process;
using headless_test::run_result;
using headless_test::scratch_dir;

class Recording : public PowerOn {};

TEST_F(Recording, ReaderRefusesBrokenAndNewerFilesWithOneLineNamingTheLine) {
  const std::string head = "vesper-recording 1\n";
  struct bad {
    std::string text;
    std::string words;
  };
  const std::vector<bad> cases = {
      {"", "rec: empty"},
      {"1 tick\n2 end\n", "rec:1: not a recording"},
      {"vesper-recording\n1 end\n", "rec:1: not a recording"},
      {"vesper-recording one\n1 end\n", "rec:1: not a recording"},
      {"vesper-recording 0\n1 end\n", "rec:1: not a recording"},
      {"vesper-recording 2\n1 end\n", "rec:1: recorded in format 2 by a newer vesper-sim; this program reads format 1"},
      {"vesper-recording 99999999999999999999\n1 end\n", "rec:1: not a recording"},
      {head + "x tick\n5 end\n", "rec:2: 'x' is not a pass number"},
      {head + "0 tick\n5 end\n", "rec:2: '0' is not a pass number"},
      {head + "-3 tick\n5 end\n", "rec:2: '-3' is not a pass number"},
      {head + "4 tick\n3 tick\n5 end\n", "rec:3: pass 3 comes after pass 4"},
      {head + "1 jump\n5 end\n", "rec:2: unknown event 'jump'"},
      {head + "1\n5 end\n", "rec:2: unknown event ''"},
      {head + "1 left 2\n5 end\n", "rec:2: left: level '2' is not 0 or 1"},
      {head + "1 knob\n5 end\n", "rec:2: knob: level '' is not 0 or 1"},
      {head + "1 turn 101\n5 end\n", "rec:2: turn: '101' is not a whole number of detents in -100..100"},
      {head + "1 turn 1.5\n5 end\n", "rec:2: turn: '1.5'"},
      {head + "1 tick now\n5 end\n", "rec:2: 'tick' takes nothing after it"},
      {head + "1 serial\n5 end\n", "rec:2: serial: no bytes"},
      {head + "1 serial ab\\q\n5 end\n", "rec:2: serial: unknown escape"},
      {head + "1 serial ab\\x4\n5 end\n", "rec:2: serial: unknown escape"},
      {head + "1 serial ab\\\n5 end\n", "rec:2: serial: a '\\' ends the bytes"},
      {head + "1 sensor warp=9\n5 end\n", "rec:2: sensor: unknown sensor 'warp'"},
      {head + "1 sensor ias=fast\n5 end\n", "rec:2: sensor: sensor ias: 'fast' is not a number"},
      {head + "1 fault GREMLINS on\n5 end\n", "rec:2: fault: unknown fault 'GREMLINS'"},
      {head + "1 fault " + std::string(fault_table[0].name) + " maybe\n5 end\n", "is not on or off"},
      {head + "1 set NO SUCH THING=1\n5 end\n", "rec:2: set: "},
      {head + "1 set DEMO MODE=99\n5 end\n", "rec:2: set: "},
      {head + "5 end now\n", "rec:2: 'end' takes nothing after it"},
      {head + "5 end\n5 tick\n", "rec:3: an event after the 'end' line"},
      {head + "1 tick\n", "rec: cut short: no 'end' line"},
      {head + "7 tick\n5 end\n", "rec:3: the end at pass 5 comes before an event at pass 7"},
      {head + std::string("1 se\0rial x\n5 end\n", 19), "rec:2: a NUL byte"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string& text = cases[i].text;
    recording::run_recording r;
    std::string error;
    EXPECT_FALSE(recording::parse_recording(text, "rec", &r, &error)) << i;
    EXPECT_NE(error.find(cases[i].words), std::string::npos) << i << ": " << error << " lacks " << cases[i].words;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST_F(Recording, ReaderTakesCommentsWindowsLineEndsAndEventsJustPastTheEnd) {
  const std::string text =
      "vesper-recording 1\r\n# a note\r\n\r\n1 sensor ias=95.5\r\n1 set DEMO MODE=0\r\n3 left 1\r\n3 turn -2\r\n"
      "4 serial \\x20$G\\r\\n\\\\\\x00\r\n9 fault " +
      std::string(fault_table[1].name) + " on\r\n11 tick\r\n10 end\r\n";
  recording::run_recording r;
  std::string error;
  ASSERT_TRUE(recording::parse_recording(text, "rec", &r, &error)) << error;
  EXPECT_EQ(r.end_pass, 10);
  ASSERT_EQ(r.events.size(), 7u);
  EXPECT_EQ(r.events[0].sensor.number, 95.5f);
  EXPECT_EQ(r.events[1].setting.value, 0);
  EXPECT_EQ(std::make_tuple(r.events[2].pass, r.events[2].which, r.events[2].value), std::make_tuple(3, 1, 1));
  EXPECT_EQ(r.events[3].value, -2);
  EXPECT_EQ(r.events[4].bytes, std::string(" $G\r\n\\\0", 7));
  EXPECT_EQ(std::make_tuple(r.events[5].which, r.events[5].value), std::make_tuple(1, 1));
  EXPECT_EQ(r.events[6].kind, recording::event_kind::tick);
}

TEST_F(Recording, SerialBytesSurviveTheirEscapesOnOneLine) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (const std::string& bytes :
       {every_byte, std::string(" x "), std::string("$GPRMC,1*7A\r\n"), std::string("\\x41")}) {
    const std::string text = recording::encode_bytes(bytes);
    EXPECT_EQ(text.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << text;
    EXPECT_NE(text.front(), ' ');
    EXPECT_NE(text.back(), ' ');
    std::string back;
    std::string error;
    ASSERT_TRUE(recording::decode_bytes(text, &back, &error)) << error;
    EXPECT_EQ(back, bytes);
  }
}

TEST_F(Recording, PlayRefusesNewerFilesAndOtherInputBeforeRunning) {
  scratch_dir dir;
  headless_test::write_text(dir.file("new.rec"), "vesper-recording 3\n1 end\n");
  headless_test::write_text(dir.file("ok.rec"), "vesper-recording 1\n1 end\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--play", dir.file("new.rec"), "--png", dir.file("x.png")}, "format 3 by a newer vesper-sim"},
      {{"--play", dir.file("missing.rec")}, "cannot read recording"},
      {{"--play", dir.file("ok.rec"), "-e", "wait 1"}, "the recording is the whole input"},
      {{"--play", dir.file("ok.rec"), "--set", "DEMO MODE=0"}, "the recording is the whole input"},
      {{"--play", dir.file("ok.rec"), "--play", dir.file("ok.rec")}, "given twice"},
  };
  for (const auto& [args, words] : cases) {
    const run_result r = run_in_process(args);
    EXPECT_EQ(r.status, 2) << words;
    EXPECT_EQ(headless_test::line_count(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir.file("x.png")));
}

// The first pass of each refresh, by its instrument time: where the virtual clock puts passes.
std::map<std::int64_t, std::int64_t> refresh_first_passes(std::int64_t until_ms) {
  std::map<std::int64_t, std::int64_t> first;
  headless::virtual_instrument inst;
  inst.before_pass = [&](std::int64_t pass) { first.emplace(inst.now_ms(), pass); };
  EXPECT_TRUE(inst.advance_to(until_ms));
  return first;
}

TEST_F(Recording, PlayedRecordingGivesTheFramesOfTheSameInputsScripted) {
  const std::int64_t end_ms = 11500;
  const auto first = refresh_first_passes(end_ms);
  // An input given at t is seen by the first pass of the first refresh after t.
  auto pass_after = [&](std::int64_t t) { return first.upper_bound(t)->second; };
  const std::string fault = fault_table[FAULT_SENSORS_INVALID].name;
  // (time, order, script line, recording event): at one time the clock's tick comes first.
  std::vector<std::tuple<std::int64_t, int, std::string, std::string>> inputs = {
      {0, 1, "sensor ias 120", "sensor ias=120"},
      {9000, 1, "press left", "left 1"},
      {9200, 1, "release left", "left 0"},
      {9700, 1, "turn 2", "turn 2"},
      {10000, 1, "serial $GPGGA,1\\r\\n", "serial $GPGGA,1\\r\\n"},
      {10000, 2, "fault " + fault + " on", "fault " + fault + " on"},
      {10600, 1, "press knob", "knob 1"},
  };
  for (std::int64_t t = 1000; t <= end_ms; t += 1000) inputs.emplace_back(t, 0, "", "tick");
  std::sort(inputs.begin(), inputs.end());
  std::vector<std::string> script = {"--set", "DEMO MODE=0"};
  std::string rec = "vesper-recording 1\n1 set DEMO MODE=0\n";
  std::int64_t now = 0;
  for (const auto& [t, order, line, event] : inputs) {
    if (!line.empty()) {
      if (t > now) script.insert(script.end(), {"-e", "wait " + std::to_string(t - now) + "e-3"});
      now = t;
      script.insert(script.end(), {"-e", line});
    }
    rec += std::to_string(pass_after(t)) + " " + event + "\n";
  }
  script.insert(script.end(), {"-e", "wait " + std::to_string(end_ms - now) + "e-3"});
  rec += std::to_string(std::prev(first.end())->second + 9) + " end\n";

  scratch_dir dir;
  headless_test::write_text(dir.file("run.rec"), rec);
  script.insert(script.end(), {"--frames", dir.file("scripted"), "--every", "3", "--state", dir.file("scripted.json")});
  const run_result scripted = run_in_process(script);
  ASSERT_EQ(scripted.status, 0) << scripted.err;
  const run_result played = run_in_process({"--play", dir.file("run.rec"), "--frames", dir.file("played"), "--every",
                                            "3", "--state", dir.file("played.json")});
  ASSERT_EQ(played.status, 0) << played.err << rec;

  int compared = 0;
  for (const auto& entry : fs::directory_iterator(dir.file("scripted"))) {
    const fs::path twin = fs::path(dir.file("played")) / entry.path().filename();
    ASSERT_TRUE(fs::exists(twin)) << twin;
    ASSERT_EQ(headless_test::read_text(entry.path().string()), headless_test::read_text(twin.string()))
        << entry.path().filename();
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(end_ms / 30 / 3));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("played")), fs::directory_iterator()), compared);
  // The whole state agrees too (the script's clock stands at its last wait, past the last frame).
  const std::string played_state = headless_test::read_text(dir.file("played.json"));
  const std::string scripted_state = headless_test::read_text(dir.file("scripted.json"));
  EXPECT_NE(played_state.find("\"menu_active\": 1"), std::string::npos);
  EXPECT_TRUE(played_state.substr(played_state.find("\"passes\"")) ==
              scripted_state.substr(scripted_state.find("\"passes\"")));
  // After the recording the clock runs on as the script's does: the same frame a second later.
  script.insert(script.end(), {"-e", "wait 1", "--png", dir.file("scripted_on.png")});
  ASSERT_EQ(run_in_process(script).status, 0);
  ASSERT_EQ(
      run_in_process({"--play", dir.file("run.rec"), "--seconds", "1", "--png", dir.file("played_on.png")}).status, 0);
  EXPECT_EQ(headless_test::read_text(dir.file("played_on.png")), headless_test::read_text(dir.file("scripted_on.png")));
}

}  // namespace
