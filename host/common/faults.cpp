#include "host/common/faults.h"

#include <cstdint>

#include "host/common/desk_platform.h"
#include "transponder/transponder.h"

namespace {

// A fault makes up to two of the desk's answers false, or sets a bit in the link status.
struct fault_action {
  bool desk_platform_state::*flags[2];
  std::uint8_t status_bit;
};

const fault_action actions[FAULT_COUNT] = {
    {{&desk_platform_state::sensors_valid, nullptr}, 0},
    {{&desk_platform_state::aoa_available, nullptr}, 0},
    {{&desk_platform_state::altitude_valid, &desk_platform_state::density_altitude_valid}, 0},
    {{&desk_platform_state::vertical_speed_valid, nullptr}, 0},
    {{&desk_platform_state::ias_valid, &desk_platform_state::tas_valid}, 0},
    {{&desk_platform_state::oat_sensor_fitted, &desk_platform_state::oat_valid}, 0},
    {{&desk_platform_state::heading_valid, nullptr}, 0},
    {{nullptr, nullptr}, TXP_STATUS_TIMEOUT},
    {{nullptr, nullptr}, TXP_STATUS_FAIL},
    {{nullptr, nullptr}, TXP_STATUS_NO_POSITION},
    {{nullptr, nullptr}, TXP_STATUS_FAULT},
    {{&desk_platform_state::txp_replying, nullptr}, 0},
    {{nullptr, nullptr}, 0},  // the GPS faults act on the serial bytes
    {{nullptr, nullptr}, 0},
};

struct faults_state {
  bool active[FAULT_COUNT] = {};
  bool saved[FAULT_COUNT][2] = {};  // the answers a fault replaced, given back when it goes off
};
faults_state faults;

}  // namespace

void set_fault(int id, bool on) {
  if (id < 0 || id >= FAULT_COUNT || faults.active[id] == on) return;
  faults.active[id] = on;
  const fault_action& a = actions[id];
  for (int k = 0; k < 2; ++k) {
    if (a.flags[k] == nullptr) continue;
    bool& answer = desk.*a.flags[k];
    if (on) {
      faults.saved[id][k] = answer;
      answer = false;
    } else {
      answer = faults.saved[id][k];
    }
  }
  set_gps_byte_faults(faults.active[FAULT_GPS_SILENT], faults.active[FAULT_GPS_NO_NAV]);
  if (a.status_bit != 0) {
    desk.txp_status = static_cast<std::uint8_t>(on ? desk.txp_status | a.status_bit : desk.txp_status & ~a.status_bit);
  }
}

bool fault_active(int id) { return id >= 0 && id < FAULT_COUNT && faults.active[id]; }

std::string active_fault_names() {
  std::string names;
  for (int i = 0; i < FAULT_COUNT; ++i) {
    if (!faults.active[i]) continue;
    if (!names.empty()) names += ", ";
    names += fault_table[i].name;
  }
  return names;
}

void clear_faults() {
  for (int i = 0; i < FAULT_COUNT; ++i) set_fault(i, false);
}

void faults_power_on() {
  faults = faults_state{};
  set_gps_byte_faults(false, false);
}
