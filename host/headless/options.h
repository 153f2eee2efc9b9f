// The command line of vesper-headless.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace headless {

// Script lines come from files, standard input and -e, in the order the command line gives them.
struct script_source {
  enum kind_t { file, standard_input, line } kind = file;
  std::string text;  // the file name, or the -e line itself
};

struct options {
  bool help = false;
  bool seconds_given = false;
  std::int64_t run_ms = 0;  // instrument time after the script (see effective_run_ms)
  std::vector<script_source> scripts;
  std::vector<std::string> sets;     // NAME=VALUE, in order
  std::vector<std::string> sensors;  // NAME=VALUE of a desk sensor, in order
  std::vector<std::string> faults;   // --fault NAME, each a name of the fault table
  std::string png;
  std::string frames_dir;
  int every = 1;
  bool every_given = false;
  std::string layers_dir;
  std::string state;  // "-" = standard output
  // At most one source of serial bytes.
  std::string serial_device;
  std::string replay_file;
  std::string gpsd;       // HOST[:PORT]
  std::string play_file;  // a recording of the window, played instead of a script
};

// Default run time: ten seconds without a script, none after one.
std::int64_t effective_run_ms(const options& o);

// Parses the arguments after the program name. False with a one-line reason.
bool parse_command_line(const std::vector<std::string>& args, options* out, std::string* error);

std::string help_text();

}  // namespace headless
