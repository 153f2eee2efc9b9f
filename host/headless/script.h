// The headless runner's script: one command a line, what a person at the bezel would do, plus
// snapshots and pictures.
//
//   wait S            let S seconds of instrument time pass (decimals allowed, whole ms)
//   press X           X = knob, left or right: the switch goes down (and stays down)
//   release X         the switch comes up
//   tap X             press, run until the decoder has taken the press, release
//   hold X S          press, wait S seconds, release
//   turn N            N detents of the knob before the next pass (negative = anticlockwise)
//   set NAME VALUE    a setting by CFG_ name or setup-row label; VALUE a number or option text
//   sensor NAME VALUE a desk sensor value or validity flag
//   snapshot [LABEL]  add the state to the snapshots
//   png FILE          write the last composed frame
//   serial TEXT       bytes arriving at the serial port (\r, \n, \t, \\, \xHH escapes)
//   fault NAME on|off inject a fault or take it away
//
// '#' starts a comment (outside double quotes); blank lines are ignored.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/common/desk_sensors.h"
#include "host/common/setting_input.h"

namespace headless {

using host_settings::setting_target;
using host_settings::setting_write;

enum class command_kind { wait, press, release, tap, hold, turn, set, snapshot, png, serial, sensor, fault };
enum class control_id { knob, left, right };

struct command {
  command_kind kind = command_kind::wait;
  std::string where;                      // "FILE:LINE" for messages and snapshots
  std::int64_t ms = 0;                    // wait, hold
  control_id control = control_id::knob;  // press, release, tap, hold
  int detents = 0;                        // turn
  setting_write setting;                  // set
  desk_sensor_write sensor;               // sensor
  std::string text;                       // png: the file; snapshot: the label (may be empty); serial: the bytes
  int fault = -1;                         // fault: which
  bool on = false;                        // fault: on or off
};

const char* control_name(control_id c);

// Seconds as given to --seconds, wait and hold: a non-negative decimal, rounded to whole
// milliseconds; false with a reason otherwise.
bool parse_seconds(std::string_view text, std::int64_t* ms, std::string* error);

// Splits a line into words; double quotes group words with blanks ("MODE 1") and keep '#'.
// False with a reason for an unterminated quote.
bool split_words(std::string_view line, std::vector<std::string>* words, std::string* error);

// The bytes of a serial text: \r, \n, \t, \\ and \xHH (two hex digits) are escapes. False with a
// reason for an unknown or cut-short escape.
bool decode_serial_text(std::string_view text, std::string* bytes, std::string* error);

// Parses one line. `where` names it in messages. Sets *has_command false for blank and comment
// lines. On error the message starts with `where`.
bool parse_script_line(std::string_view line, const std::string& where, command* out, bool* has_command,
                       std::string* error);

// Parses a whole text from `source`; lines are numbered from first_line. Appends the commands.
bool parse_script_text(std::string_view text, const std::string& source, int first_line, std::vector<command>* out,
                       std::string* error);

}  // namespace headless
