#include "tests/host/headless_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host/headless/runner.h"

namespace headless_test {

const std::vector<std::pair<const char*, int>>& default_settings() {
  static const std::vector<std::pair<const char*, int>> defaults = {
      {"CFG_FIELD_PAGE", 0}, {"CFG_HDG_BUG", 0},       {"CFG_SET_ALT", 0},       {"CFG_DEMO_MODE", 1},
      {"CFG_SERIAL2", 1},    {"CFG_UNIT_FUNCTION", 0}, {"CFG_FUNCTION_LOCK", 0}, {"CFG_PITCH_TRIM", 0},
      {"CFG_ROLL_TRIM", 0},  {"CFG_SLIP_TRIM", 0},     {"CFG_OAT_TRIM", 0},      {"CFG_IAS_TRIM", 0},
      {"CFG_IAS_VSO", 60},   {"CFG_IAS_VS1", 50},      {"CFG_IAS_VFE", 100},     {"CFG_IAS_VNO", 150},
      {"CFG_IAS_VNE", 175},  {"CFG_ALT_TRIM", 0},      {"CFG_IAS_UNITS", 0},     {"CFG_BARO_UNITS", 0},
      {"CFG_TEMP_UNITS", 0}, {"CFG_GPS_NAV_SRC", 2},   {"CFG_UI_STYLE", 0},      {"CFG_UI_FONT", 0},
      {"CFG_AUDIO_VOL", 5},  {"CFG_AOA_ALERT", 0},     {"CFG_AOA_HIGH_LIM", 15}, {"CFG_AOA_LOW_LIM", 5},
      {"CFG_G_ALERT", 0},    {"CFG_G_POS_LIM", 2},     {"CFG_ROLL_ALERT", 0},    {"CFG_ROLL_LIM", 35},
      {"CFG_TRAK_STAB", 0},
  };
  return defaults;
}
namespace fs = std::filesystem;

scratch_dir::scratch_dir() {
  std::string pattern = (fs::temp_directory_path() / "vesper-headless-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

scratch_dir::~scratch_dir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::vector<std::string> scratch_dir::entries() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string read_text(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << file.rdbuf();
  return buffer.str();
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
}

run_result run_in_process(const std::vector<std::string>& args, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  run_result r;
  r.status = headless::headless_main(args, in, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::vector<state_json> snapshots_of(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"--state", "-"};
  all.insert(all.end(), args.begin(), args.end());
  const run_result r = run_in_process(all);
  EXPECT_EQ(r.status, 0) << r.err;
  if (r.status != 0) return {};
  std::vector<state_json> snaps;
  const state_json doc = state_json::parse(r.out);
  for (const state_json& s : doc["snapshots"]) snaps.push_back(s);
  return snaps;
}

namespace {
std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}
}  // namespace

run_result run_program(const std::vector<std::string>& args, const fs::path& dir) {
  const std::string out_file = (dir / ".stdout").string();
  const std::string err_file = (dir / ".stderr").string();
  std::string command = "cd " + shell_quote(dir.string()) + " && " + shell_quote(VESPER_HEADLESS_PROGRAM);
  for (const std::string& a : args) command += " " + shell_quote(a);
  command += " </dev/null >" + shell_quote(out_file) + " 2>" + shell_quote(err_file);
  const int raw = std::system(command.c_str());
  run_result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_text(out_file);
  r.err = read_text(err_file);
  fs::remove(out_file);
  fs::remove(err_file);
  return r;
}

int line_count(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace headless_test
