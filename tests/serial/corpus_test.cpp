// Real receivers' sentences from the shared NMEA corpus, parsed one by one and compared with the
// rules worked out here independently, on whole fields split at commas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "serial/gps_data.h"
#include "serial/parsers.h"
#include "tests/support/power_on.h"

namespace {

namespace fs = std::filesystem;

// Beside the repository, or where VESPER_CORPUS_DIR says.
fs::path corpus_dir() {
  if (const char* dir = std::getenv("VESPER_CORPUS_DIR"); dir != nullptr && dir[0] != '\0') return dir;
  const char* root = std::getenv("VESPER_SOURCE_DIR");
  return fs::path(root != nullptr ? root : ".") / ".." / "shared" / "corpus";
}

std::vector<std::string> tab_lines(const fs::path& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> split(const std::string& s, char at) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == at) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

// The sentence's data (between "$" and "*") when its checksum, if any, holds.
bool checked_body(const std::string& sentence, std::string* body) {
  const std::size_t star = sentence.find('*');
  *body = sentence.substr(1, star == std::string::npos ? std::string::npos : star - 1);
  if (star == std::string::npos) return true;
  unsigned sum = 0;
  for (char c : *body) sum ^= static_cast<unsigned char>(c);
  return sentence.size() == star + 3 && std::strtoul(sentence.substr(star + 1).c_str(), nullptr, 16) == sum;
}

// A field's number, when it starts with one.
bool number(const std::vector<std::string>& f, std::size_t n, double* v) {
  if (n >= f.size() || f[n].empty()) return false;
  char* end = nullptr;
  *v = std::strtod(f[n].c_str(), &end);
  return f[n].find_first_of("0123456789") < static_cast<std::size_t>(end - f[n].c_str());
}

constexpr int kMagvarBefore = 3;

using Corpus = PowerOn;

TEST_F(Corpus, EveryRecordedRmcSentence) {
  const std::vector<std::string> lines = tab_lines(corpus_dir() / "rmc_annotated.tsv");
  if (lines.empty()) GTEST_SKIP() << "the NMEA corpus is not at " << corpus_dir() << "; skipped";
  int checked = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> cols = split(lines[i], '\t');
    const std::string& sentence = cols[0];
    SCOPED_TRACE(sentence);
    restore_power_on();
    gps_nav_data.gps_track = 111;
    gps_nav_data.gps_ground_speed = 222;
    gps_nav_data.gps_magnetic_variation = kMagvarBefore;
    const line_result r = nmea_sentence_parse(sentence.c_str(), static_cast<int>(sentence.size()));

    std::string body;
    const bool ok = checked_body(sentence, &body);
    EXPECT_EQ(ok, cols[3].find("checksum:bad") == std::string::npos);
    EXPECT_EQ(r.used, ok);
    const std::vector<std::string> f = split(body, ',');
    int speed = 222;
    int track = 111;
    int magvar = kMagvarBefore;
    int nav = 0;
    double v = 0.0;
    if (ok && number(f, 7, &v) && v >= 0.0 && v <= 999.0) speed = static_cast<int>(v);
    if (ok && number(f, 8, &v) && v >= 0.0 && v <= 360.0) {
      track = (kMagvarBefore + static_cast<int>(v) + 360) % 360;
      if (track == 0 && kMagvarBefore + static_cast<int>(v) == 360) track = 360;
      nav = 1;
    }
    if (ok && number(f, 10, &v) && v >= -90.0 && v <= 90.0) {
      magvar = static_cast<int>(v);
      if (f.size() > 11 && !f[11].empty() && f[11][0] == 'E') magvar = -magvar;
    }
    EXPECT_EQ(gps_nav_data.gps_ground_speed, speed);
    EXPECT_EQ(gps_nav_data.gps_track, track);
    EXPECT_EQ(gps_nav_data.gps_magnetic_variation, magvar);
    EXPECT_EQ(gps_nav_data.gps_nav_valid, nav);
    ++checked;
  }
  EXPECT_EQ(checked, 300);
}

TEST_F(Corpus, EveryRecordedRmbSentence) {
  std::vector<std::string> lines = tab_lines(corpus_dir() / "rmb_pgrmh.txt");
  if (lines.empty()) GTEST_SKIP() << "the NMEA corpus is not at " << corpus_dir() << "; skipped";
  for (const std::string& l : tab_lines(corpus_dir() / "rmb_supplement.txt")) lines.push_back(l);
  int used = 0;
  for (const std::string& line : lines) {
    const std::string sentence = split(line, '\t')[0];
    SCOPED_TRACE(sentence);
    restore_power_on();
    std::strcpy(gps_nav_data.gps_waypoint_id, "OLDWP");
    gps_nav_data.gps_cross_track_error = 9.0f;
    gps_nav_data.gps_waypoint_distance = 9.0f;
    const line_result r = nmea_sentence_parse(sentence.c_str(), static_cast<int>(sentence.size()));
    std::string body;
    const bool ok = checked_body(sentence, &body);
    EXPECT_EQ(r.used, ok);
    if (!ok) continue;
    ++used;
    const std::vector<std::string> f = split(body, ',');
    EXPECT_EQ(std::string(gps_nav_data.gps_waypoint_id), f[5]);
    double v = 0.0;
    float xte = 9.0f;
    if (number(f, 2, &v)) xte = static_cast<float>(f[3] == "R" ? v : -v);
    EXPECT_FLOAT_EQ(gps_nav_data.gps_cross_track_error, xte);
    EXPECT_FLOAT_EQ(gps_nav_data.gps_waypoint_distance, number(f, 10, &v) ? static_cast<float>(v) : 9.0f);
  }
  EXPECT_EQ(used, static_cast<int>(lines.size()) - 1);  // one documented example has a wrong checksum
}

}  // namespace
