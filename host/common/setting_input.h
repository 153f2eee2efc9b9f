// Settings named on either program's command line or in a headless script: found by their CFG_ name or their setup-row
// label, values given as numbers or option texts, checked against the limits the setup page
// keeps, and written the way the setup page writes them.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace host_settings {

struct setting_target {
  int setting = -1;  // CFG_ index
  int row = -1;      // setup row that edits it, -1 for the settings the setup pages do not show
  int min = 0;
  int max = 0;
  std::string name;  // as the user will recognise it: the row label, else the CFG_ name
};

// One write of a setting, with where it came from for messages ("run.txt:4", "--set").
struct setting_write {
  setting_target target;
  int value = 0;
  std::string where;
};

// Finds a setting by CFG_ name or setup-row label (letter case ignored). False with a reason for
// unknown names and for the read-only rows.
bool find_setting(std::string_view name, setting_target* target, std::string* error);

// The longest CFG_ name or row label that `text` starts with, followed by a blank or the end;
// returns its length (0 when none), so that "set DEMO MODE MODE 1" needs no quotes.
std::size_t match_setting_prefix(std::string_view text);

// Reads a value: a whole number, or one of the row's option texts (letter case ignored). Checks
// the row's limits; false with a reason naming the allowed values otherwise.
bool parse_setting_value(const setting_target& target, std::string_view text, int* value, std::string* error);

// Reads the NAME=VALUE of a --set option into a write whose `where` is "--set 'NAME=VALUE'".
// False with a reason that starts with that.
bool parse_set_option(const std::string& text, setting_write* write, std::string* error);

// Runs the writes in order against a scratch copy of the default settings, so that rules that
// depend on another setting (the two angle-of-attack limits) are checked before anything runs.
// The settings table is left exactly as it was. False with the first failing write's reason.
bool check_setting_writes(const std::vector<setting_write>& writes, std::string* error);

// Writes one setting now: through the setup page's writer for the settings it shows, otherwise
// with the setting's own accessor. False with a reason when the firmware refuses the value.
bool apply_setting_write(const setting_write& write, std::string* error);

}  // namespace host_settings
