// Faults a person at the desk can inject to see what the instrument shows when things fail:
// sensors and air data that are not valid, a transponder link that reports trouble, GPS that
// falls silent or loses its navigation data. Each is switched on and off by name, and off again
// gives back what was there before.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

enum fault_id : int {
  FAULT_SENSORS_INVALID,
  FAULT_AOA_UNAVAILABLE,
  FAULT_ALTITUDE_INVALID,
  FAULT_VERTICAL_SPEED_INVALID,
  FAULT_IAS_INVALID,
  FAULT_OAT_ABSENT,
  FAULT_HEADING_INVALID,
  FAULT_TXP_TIMEOUT,
  FAULT_TXP_FAIL,
  FAULT_TXP_NO_POSITION,
  FAULT_TXP_FAULT,
  FAULT_TXP_NOT_REPLYING,
  FAULT_GPS_SILENT,
  FAULT_GPS_NO_NAV,
  FAULT_COUNT
};

struct fault_info {
  const char* name;  // as given to --fault and the script's fault command
  const char* what;  // one line for the help texts
};
extern const fault_info fault_table[FAULT_COUNT];

// The fault of that name (exactly as in the table), or -1.
int find_fault(std::string_view name);

void set_fault(int id, bool on);
bool fault_active(int id);
// The active faults' names, separated by ", "; empty when none is active.
std::string active_fault_names();
// Every fault off.
void clear_faults();

// Every name, separated by ", ", for messages about an unknown fault.
std::string fault_name_list();

// The help line of one fault: its name, then what it does, and a line end.
std::string fault_help_line(int id);
// Help lines listing every fault, each indented by `indent` blanks.
std::string fault_help(int indent);

// The hosts' serial ports pass every received byte through here. GPS silence loses it (false);
// GPS without navigation lets a byte arrive that no sentence or record can be made of, so the
// port stays alive while the navigation data go stale.
bool gps_fault_pass_byte(std::uint8_t* byte);
void set_gps_byte_faults(bool silent, bool no_navigation);

void faults_power_on();
