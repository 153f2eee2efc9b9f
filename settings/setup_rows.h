// The rows of the SETUP and INSTALL pages as data: label, setting, limits and option texts, and
// the writer that stores a value exactly as the setup page does.
#pragma once

inline constexpr int SETUP_ROW_COUNT = 35;
inline constexpr int SETUP_FIRST_USER_ROW = 23;  // INSTALL rows 0..22, SETUP rows 23..34

struct setup_row_def {
  const char* label;
  int setting;  // -1 for the read-only rows
  bool is_byte;
  int min;
  int max;
  const char* const* options;  // value texts for choice rows, nullptr for numbers
  int option_count;
};
extern const setup_row_def setup_rows[SETUP_ROW_COUNT];

int setup_row_by_label(const char* label);          // -1 when no row has that label
int setup_row_by_setting(int setting);              // -1 when no row edits it
int setup_option_value(int row, const char* text);  // option index by its text, -1 when none
bool setup_value_allowed(int row, int value);       // within the row's limits and the pair rule
// Stores the value with the setting's own writer and runs the row's side effects; false (and
// nothing written) when the value is not allowed.
bool setup_write(int row, int value);
