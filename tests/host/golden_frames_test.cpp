// The golden frames: every page of both units, in every look and font, with demo motion, pop-ups
// and injected faults, compared pixel for pixel with the references in tests/golden. A mismatch
// leaves the actual frame, a copy of the reference and a difference picture in the build folder.
// VESPER_GOLDEN_UPDATE=1 writes the frames as the new references instead (a reviewed commit).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "host/common/png_io.h"
#include "host/headless/runner.h"
#include "tests/host/golden_cases.h"
#include "tests/host/golden_compare.h"

namespace {

namespace fs = std::filesystem;
using golden::picture;

const fs::path reference_dir = fs::path(VESPER_SOURCE_ROOT) / "tests" / "golden";
const fs::path output_dir = fs::path(VESPER_GOLDEN_OUT);

bool updating() {
  const char* v = std::getenv("VESPER_GOLDEN_UPDATE");
  return v != nullptr && std::string(v) == "1";
}

bool load(const fs::path& path, picture* p, std::string* error) {
  return read_png(path.string(), &p->pixels, &p->w, &p->h, error);
}

class GoldenFrames : public testing::TestWithParam<golden::golden_run> {};

TEST_P(GoldenFrames, MatchTheReferences) {
  const golden::golden_run& run = GetParam();
  const fs::path dir = output_dir / run.name;
  fs::remove_all(dir);
  fs::create_directories(dir);

  std::vector<std::string> args = run.options;
  for (const std::string& line : run.script) {
    args.push_back("-e");
    args.push_back(line.rfind("png ", 0) == 0 ? "png " + (dir / (run.name + "-" + line.substr(4) + ".png")).string()
                                              : line);
  }
  std::istringstream in;
  std::ostringstream out, err;
  ASSERT_EQ(headless::headless_main(args, in, out, err), 0) << run.name << ": " << err.str();

  for (const std::string& name : golden::frame_names(run)) {
    const fs::path actual_path = dir / (name + ".png");
    const fs::path reference_path = reference_dir / (name + ".png");
    if (updating()) {
      fs::copy_file(actual_path, reference_path, fs::copy_options::overwrite_existing);
      continue;
    }
    picture actual, expected;
    std::string error;
    ASSERT_TRUE(load(actual_path, &actual, &error)) << name << ": " << error;
    if (!load(reference_path, &expected, &error)) {
      ADD_FAILURE() << name << ": no reference " << reference_path.string()
                    << " (VESPER_GOLDEN_UPDATE=1 writes it; the actual frame is " << actual_path.string() << ")";
      continue;
    }
    const golden::frame_difference d = golden::compare_frames(expected, actual);
    if (d.identical()) continue;
    fs::copy_file(reference_path, dir / (name + ".expected.png"), fs::copy_options::overwrite_existing);
    if (d.same_size) {
      const picture diff = golden::difference_picture(expected, actual);
      EXPECT_TRUE(write_png((dir / (name + ".diff.png")).string(), diff.pixels.data(), diff.w, diff.h, false, &error))
          << error;
    }
    ADD_FAILURE() << golden::describe(name, d) << "\n  actual " << actual_path.string() << ", difference "
                  << (dir / (name + ".diff.png")).string();
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenFrames, testing::ValuesIn(golden::golden_runs()),
                         [](const testing::TestParamInfo<golden::golden_run>& info) {
                           std::string n = info.param.name;
                           for (char& c : n) {
                             if (c == '-') c = '_';
                           }
                           return n;
                         });

// Every frame name is unique and every reference belongs to a frame of the table: a reference
// no case writes would be kept and reviewed for nothing. Updating takes such references away.
TEST(GoldenReferences, BelongToTheTable) {
  std::set<std::string> names;
  for (const golden::golden_run& run : golden::golden_runs()) {
    for (const std::string& name : golden::frame_names(run)) EXPECT_TRUE(names.insert(name).second) << name << " twice";
  }
  EXPECT_GE(names.size(), 100u);
  ASSERT_TRUE(fs::is_directory(reference_dir));
  for (const fs::directory_entry& e : fs::directory_iterator(reference_dir)) {
    if (e.path().extension() != ".png") continue;
    if (names.count(e.path().stem().string()) != 0) continue;
    if (updating()) {
      fs::remove(e.path());
    } else {
      ADD_FAILURE() << e.path().string() << " is written by no golden case";
    }
  }
}

}  // namespace
