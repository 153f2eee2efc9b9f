// The headless host's serial sources end to end: recorded device logs replayed, bytes written to
// a pseudo-terminal, gpsd serving a log; and the script's serial command.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "core/firmware.h"
#include "core/platform.h"
#include "host/common/memory_serial.h"
#include "host/headless/script.h"
#include "serial/gps_data.h"
#include "serial/serial_input.h"
#include "settings/settings.h"
#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

namespace fs = std::filesystem;
using headless_test::run_program;
using headless_test::scratch_dir;

fs::path corpus_dir() {
  if (const char* dir = std::getenv("VESPER_CORPUS_DIR"); dir != nullptr && dir[0] != '\0') return dir;
  return fs::path(VESPER_SOURCE_ROOT) / ".." / "shared" / "corpus";
}

state_json final_state(const std::string& path) { return state_json::parse(headless_test::read_text(path))["final"]; }

std::string read_bytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << file.rdbuf();
  return buffer.str();
}

// The log as the instrument is meant to receive it: every line but the "#" comments.
std::string without_comments(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') continue;
    out += line;
    if (!in.eof()) out += '\n';
  }
  return out;
}

// The same bytes straight into the receive state machine, in this process.
void receive_directly(const std::string& bytes) {
  restore_power_on();
  firmware_init();
  cfg_set_byte(CFG_GPS_NAV_SRC, 3);
  serial_open(1, 9600);
  serial_input_init();
  for (std::size_t at = 0; at < bytes.size(); at += 512) {
    const std::string chunk = bytes.substr(at, 512);
    memory_serial_feed(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
    serial_input_poll();
  }
  for (int i = 0; i < 4; ++i) serial_input_poll();
}

TEST(HeadlessGps, EveryRecordedDeviceLogReplaysToWhatTheReceiverMakesOfIt) {
  if (!fs::is_directory(corpus_dir() / "gpsd")) GTEST_SKIP() << "no NMEA corpus at " << corpus_dir() << "; skipped";
  scratch_dir dir;
  int logs = 0;
  for (const auto& entry : fs::directory_iterator(corpus_dir() / "gpsd")) {
    if (entry.path().extension() != ".log") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++logs;
    const std::string bytes = without_comments(read_bytes(entry.path()));
    // At 9600 baud: 960 bytes a second, and two seconds more for the last line.
    const std::string seconds = std::to_string(bytes.size() / 960 + 2);
    const auto r = run_program({"--replay", entry.path().string(), "--set", "GPS NAV SRC=NMEA1 9600", "--seconds",
                                seconds, "--state", "state.json"},
                               dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const state_json s = final_state(dir.file("state.json"));
    const state_json& gps = s["gps"];
    EXPECT_GE(gps["gps_track"].get<int>(), 0);
    EXPECT_LE(gps["gps_track"].get<int>(), 360);
    EXPECT_GE(gps["gps_ground_speed"].get<int>(), 0);
    EXPECT_LE(gps["gps_ground_speed"].get<int>(), 999);
    EXPECT_LE(std::abs(gps["gps_magnetic_variation"].get<int>()), 90);

    receive_directly(bytes);
    EXPECT_EQ(gps["gps_track"], gps_nav_data.gps_track);
    EXPECT_EQ(gps["gps_ground_speed"], gps_nav_data.gps_ground_speed);
    EXPECT_EQ(gps["gps_magnetic_variation"], gps_nav_data.gps_magnetic_variation);
    EXPECT_EQ(gps["gps_nav_valid"], gps_nav_data.gps_nav_valid);
    EXPECT_EQ(gps["gps_waypoint_id"], std::string(gps_nav_data.gps_waypoint_id));
    EXPECT_EQ(s["serial"]["lines_handed_over"], serial_input.lines_handed_over);
    EXPECT_EQ(s["serial"]["lines_bad_checksum"], serial_input.lines_bad_checksum);
    EXPECT_EQ(s["serial"]["lines_too_long"], serial_input.lines_too_long);
    if (entry.path().filename() == "gp-320fw-2019-04-07-coldboot.log") {
      EXPECT_GT(serial_input.lines_bad_checksum, 0u);  // the corrupted stream is caught
    }
    if (entry.path().filename() == "humminbird-M37.log" || entry.path().filename() == "st-teseo-liv4f.log") {
      EXPECT_EQ(gps_nav_data.gps_nav_valid, 1);  // other talkers, doubled "$": still taken
    }
  }
  EXPECT_EQ(logs, 25);
}

TEST(HeadlessGps, ScriptBytesReachTheDataBlock) {
  scratch_dir dir;
  const auto r = run_program(
      {"-e", "serial \"$\\r\\n$GPRMC,,A,,,,,85.5,090.0,,2.0,W\\r\\n\"", "-e", "wait 1.1", "-e",
       "serial \"$GPRMB,A,0.25,R,,KAB\\x2D1,,,,,12.5,100\\x2a00\\r\\n\"", "-e", "wait 0.1", "--state", "state.json"},
      dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json gps = final_state(dir.file("state.json"))["gps"];
  EXPECT_EQ(gps["gps_ground_speed"], 85);
  EXPECT_EQ(gps["gps_track"], 90);  // no variation before this sentence
  EXPECT_EQ(gps["gps_magnetic_variation"], 2);
  EXPECT_EQ(gps["gps_speed_fresh"], 1);
  EXPECT_EQ(gps["gps_waypoint_id"], "");  // "*00" is a wrong checksum: the RMB is refused
  EXPECT_EQ(final_state(dir.file("state.json"))["serial"]["lines_bad_checksum"], 1);
}

TEST(HeadlessGps, SerialTextEscapes) {
  const struct {
    const char* text;
    const char* bytes;  // nullptr: refused
  } cases[] = {
      {"a\\r\\n", "a\r\n"}, {"\\x24\\x2a", "$*"}, {"\\\\", "\\"},   {"\\t", "\t"},
      {"\\x4", nullptr},    {"\\x4g", nullptr},   {"\\q", nullptr}, {"end\\", nullptr},
  };
  for (const auto& c : cases) {
    std::string bytes;
    std::string why;
    const bool ok = headless::decode_serial_text(c.text, &bytes, &why);
    EXPECT_EQ(ok, c.bytes != nullptr) << c.text;
    if (ok && c.bytes != nullptr) {
      EXPECT_EQ(bytes, c.bytes) << c.text;
    }
  }
}

TEST(HeadlessGps, SourcesThatCannotBeOpenedAreBadInput) {
  scratch_dir dir;
  headless_test::write_text(dir.file("plain.txt"), "not a terminal\n");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--serial", "/dev/no-such-tty"}, "cannot open serial device '/dev/no-such-tty': No such file"},
      {{"--serial", "plain.txt"}, "it is not a terminal"},
      {{"--replay", "missing.log"}, "cannot read replay file 'missing.log'"},
      {{"--gpsd", "localhost:99999"}, "give HOST or HOST:PORT"},
      {{"--replay", "plain.txt", "--gpsd", "localhost"}, "only one of --serial, --replay and --gpsd"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--state", "state.json"});
    const auto r = run_program(args, dir.path());
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(headless_test::line_count(r.err), 1) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("state.json"))) << c.says;
  }
}

TEST(HeadlessGps, BytesWrittenToAPseudoTerminalReachTheDataBlock) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string slave = ::ptsname(master);
  scratch_dir dir;
  std::thread writer([master] {
    // Once the runner has the device open; then a sentence a second, as a receiver sends.
    for (int i = 0; i < 4; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
      const std::string line = "$GPRMC,,A,,,,,42.0,123.0\r\n";
      EXPECT_EQ(::write(master, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
  });
  const auto r = run_program({"--serial", slave, "--seconds", "3", "--state", "state.json"}, dir.path());
  writer.join();
  ::close(master);
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json gps = final_state(dir.file("state.json"))["gps"];
  EXPECT_EQ(gps["gps_ground_speed"], 42);
  EXPECT_EQ(gps["gps_track"], 123);
  EXPECT_EQ(gps["serial_rx_fresh"], 1);
}

TEST(HeadlessGps, GpsdServingARecordedLogReachesTheDataBlock) {
  if (std::system("command -v gpsfake >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gpsfake (Debian's gpsd-clients) is not installed; skipped";
  }
  const fs::path log = corpus_dir() / "gpsd" / "garmin48.log";
  if (!fs::exists(log)) GTEST_SKIP() << "no NMEA corpus at " << corpus_dir() << "; skipped";
  const std::string port = std::to_string(20000 + ::getpid() % 9000);
  const pid_t feeder = ::fork();
  ASSERT_GE(feeder, 0);
  if (feeder == 0) {
    ::setpgid(0, 0);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execlp("timeout", "timeout", "-s", "KILL", "40", "gpsfake", "-1", "-P", port.c_str(), "-c", "0.05", log.c_str(),
             nullptr);
    ::_exit(127);
  }
  scratch_dir dir;
  // The runner connects when gpsd is up (and retries until then).
  const auto r = run_program({"--gpsd", "localhost:" + port, "--seconds", "8", "--state", "state.json"}, dir.path());
  ::kill(-feeder, SIGKILL);  // gpsfake does not end on SIGTERM
  ::waitpid(feeder, nullptr, 0);
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json s = final_state(dir.file("state.json"));
  EXPECT_EQ(s["gps"]["gps_nav_valid"], 1) << r.err;
  EXPECT_EQ(s["gps"]["gps_magnetic_variation"], -24);  // the log's "24.?,E"
  EXPECT_GT(s["serial"]["lines_handed_over"].get<int>(), 5);
}

}  // namespace
