// The top layer's tile marks over every golden run: at every clear and every whole-layer blend of
// the top layer, each pixel outside the marked tiles is 0x00000000. A writer that forgets to mark
// (or marks too little) leaves ink outside the marks in some page, style, pop-up or fault here.
#include <gtest/gtest.h>

#include <sstream>

#include "gfx/layers.h"
#include "host/headless/runner.h"
#include "tests/host/golden_cases.h"

namespace {

class TileMarks : public testing::TestWithParam<golden::golden_run> {
 protected:
  void TearDown() override { layer_audit = layer_audit_state{}; }
};

TEST_P(TileMarks, CoverEveryPixelTheTopLayerHolds) {
  const golden::golden_run& run = GetParam();
  std::vector<std::string> args = run.options;
  for (const std::string& line : run.script) {
    if (line.rfind("png ", 0) == 0) continue;  // the pictures are the golden test's business
    args.push_back("-e");
    args.push_back(line);
  }
  layer_audit = layer_audit_state{true, 0, 0};
  std::istringstream in;
  std::ostringstream out, err;
  ASSERT_EQ(headless::headless_main(args, in, out, err), 0) << run.name << ": " << err.str();
  EXPECT_GT(layer_audit.checks, 100) << run.name;
  EXPECT_EQ(layer_audit.failures, 0) << run.name << ": " << layer_audit.failures << " of " << layer_audit.checks
                                     << " checks found ink outside the marks (every writer into the top layer "
                                        "marks what it writes: mark_written in gfx/layers.h)";
}

INSTANTIATE_TEST_SUITE_P(Pages, TileMarks, testing::ValuesIn(golden::golden_runs()),
                         [](const testing::TestParamInfo<golden::golden_run>& info) {
                           std::string n = info.param.name;
                           for (char& c : n) {
                             if (c == '-') c = '_';
                           }
                           return n;
                         });

}  // namespace
