#include <cstddef>

#include "host/common/faults.h"

namespace {

// Kept here, apart from the desk's answers, so that a serial port can be built without the desk.
struct gps_byte_fault_state {
  bool silent = false;
  bool no_navigation = false;
};
gps_byte_fault_state gps_byte_faults;

}  // namespace

bool gps_fault_pass_byte(std::uint8_t* byte) {
  if (gps_byte_faults.silent) return false;
  if (gps_byte_faults.no_navigation) *byte = 0x00;  // never part of a line
  return true;
}

void set_gps_byte_faults(bool silent, bool no_navigation) { gps_byte_faults = {silent, no_navigation}; }

const fault_info fault_table[FAULT_COUNT] = {
    {"sensors_invalid", "the attitude and air-data sensors report their readings not valid"},
    {"aoa_unavailable", "no angle-of-attack reading"},
    {"altitude_invalid", "altitude and pressure data not valid (density altitude with them)"},
    {"vertical_speed_invalid", "vertical speed not valid"},
    {"ias_invalid", "airspeed not valid (indicated and true)"},
    {"oat_absent", "no outside-air-temperature probe fitted"},
    {"heading_invalid", "the gyro heading is not valid"},
    {"txp_timeout", "transponder link status: time-out"},
    {"txp_fail", "transponder link status: failure"},
    {"txp_no_position", "transponder link status: no position"},
    {"txp_fault", "transponder link status: fault"},
    {"txp_not_replying", "the transponder stops replying to interrogations"},
    {"gps_silent", "the serial GPS bytes stop (NO DATA after five seconds)"},
    {"gps_no_nav", "serial GPS bytes arrive without navigation data (NO GPS)"},
};

int find_fault(std::string_view name) {
  for (int i = 0; i < FAULT_COUNT; ++i) {
    if (name == fault_table[i].name) return i;
  }
  return -1;
}

std::string fault_name_list() {
  std::string names;
  for (const fault_info& f : fault_table) {
    if (!names.empty()) names += ", ";
    names += f.name;
  }
  return names;
}

std::string fault_help_line(int id) {
  constexpr std::size_t kNameColumn = 24;
  if (id < 0 || id >= FAULT_COUNT) return "";
  const std::string name = fault_table[id].name;
  const std::size_t gap = name.size() < kNameColumn ? kNameColumn - name.size() : 1;
  return name + std::string(gap, ' ') + fault_table[id].what + "\n";
}

std::string fault_help(int indent) {
  std::string text;
  for (int i = 0; i < FAULT_COUNT; ++i) text += std::string(static_cast<std::size_t>(indent), ' ') + fault_help_line(i);
  return text;
}
