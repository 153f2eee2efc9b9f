// Helpers of the headless runner's tests: scratch directories and runs of the program.
#pragma once
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "host/common/state_json.h"

namespace headless_test {

// A fresh empty directory, removed with everything in it when the object goes.
class scratch_dir {
 public:
  scratch_dir();
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> entries() const;  // names in it, sorted
 private:
  std::filesystem::path path_;
};

// The power-on value of every setting whose word and byte readings agree, by its name.
const std::vector<std::pair<const char*, int>>& default_settings();

std::string read_text(const std::string& path);
void write_text(const std::string& path, const std::string& text);

// The result of running something that talks on the two standard streams.
struct run_result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs headless_main in this process with the given arguments and standard input.
run_result run_in_process(const std::vector<std::string>& args, const std::string& input = "");

// Runs headless_main in this process with `--state -` and the given arguments, expects it to
// succeed, and returns the snapshots the run took, in order (none when it failed).
std::vector<state_json> snapshots_of(const std::vector<std::string>& args);

// Runs the built vesper-headless in `dir` (the shell quotes every argument).
run_result run_program(const std::vector<std::string>& args, const std::filesystem::path& dir);

// Number of lines of a text that ends each line with '\n'.
int line_count(const std::string& text);

}  // namespace headless_test
