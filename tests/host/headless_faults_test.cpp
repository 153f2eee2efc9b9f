// Injected faults: each changes exactly the answers it names, off gives back what was there, and
// both the command line and the script switch them in a run.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/platform.h"
#include "host/common/desk_platform.h"
#include "host/common/faults.h"
#include "host/common/memory_serial.h"
#include "host/headless/script.h"
#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

using Faults = PowerOn;

// Every answer a fault may touch, read through the platform as the firmware reads it.
struct answers {
  bool sensors, aoa, altitude, density_altitude, vertical_speed, ias, tas, oat_fitted, oat_ok, heading, replying;
  int status;
  bool operator==(const answers&) const = default;
};
answers read_answers() {
  return {sensors_valid(),          aoa_available(),        altitude_valid(),
          density_altitude_valid(), vertical_speed_valid(), ias_valid(),
          true_airspeed_valid(),    oat_sensor_fitted(),    oat_valid(),
          heading_valid(),          txp_replying(),         txp_status_bits()};
}

TEST_F(Faults, EachChangesOnlyItsAnswers) {
  struct row {
    const char* name;
    std::function<void(answers&)> expect;  // the healthy answers as the fault leaves them
  };
  const row rows[] = {
      {"sensors_invalid", [](answers& a) { a.sensors = false; }},
      {"aoa_unavailable", [](answers& a) { a.aoa = false; }},
      {"altitude_invalid", [](answers& a) { a.altitude = a.density_altitude = false; }},
      {"vertical_speed_invalid", [](answers& a) { a.vertical_speed = false; }},
      {"ias_invalid", [](answers& a) { a.ias = a.tas = false; }},
      {"oat_absent", [](answers& a) { a.oat_fitted = a.oat_ok = false; }},
      {"heading_invalid", [](answers& a) { a.heading = false; }},
      {"txp_timeout", [](answers& a) { a.status = 0x01; }},
      {"txp_fail", [](answers& a) { a.status = 0x02; }},
      {"txp_no_position", [](answers& a) { a.status = 0x04; }},
      {"txp_fault", [](answers& a) { a.status = 0x80; }},
      {"txp_not_replying", [](answers& a) { a.replying = false; }},
      {"gps_silent", [](answers&) {}},  // these act on the serial bytes alone
      {"gps_no_nav", [](answers&) {}},
  };
  ASSERT_EQ(std::size(rows), static_cast<std::size_t>(FAULT_COUNT));
  const answers healthy = read_answers();
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const int id = find_fault(r.name);
    ASSERT_GE(id, 0);
    answers want = healthy;
    r.expect(want);
    set_fault(id, true);
    set_fault(id, true);  // twice on is once on: off still gives back the healthy answer
    EXPECT_TRUE(want == read_answers());
    EXPECT_EQ(active_fault_names(), r.name);
    set_fault(id, false);
    EXPECT_TRUE(healthy == read_answers());
    EXPECT_EQ(active_fault_names(), "");
  }
}

TEST_F(Faults, OffGivesBackWhatWasThereAndBitsCombine) {
  desk.txp_replying = false;  // a desk already set up so
  desk.txp_status = 0x10;
  set_fault(FAULT_TXP_NOT_REPLYING, true);
  set_fault(FAULT_TXP_TIMEOUT, true);
  set_fault(FAULT_TXP_NO_POSITION, true);
  EXPECT_EQ(txp_status_bits(), 0x15);
  EXPECT_EQ(active_fault_names(), "txp_timeout, txp_no_position, txp_not_replying");
  set_fault(FAULT_TXP_TIMEOUT, false);
  EXPECT_EQ(txp_status_bits(), 0x14);
  clear_faults();
  EXPECT_EQ(txp_status_bits(), 0x10);
  EXPECT_FALSE(txp_replying());
  EXPECT_EQ(find_fault("txp_timeout "), -1);
  EXPECT_EQ(find_fault(""), -1);
}

// The serial port the firmware reads: silence loses the bytes, no navigation blanks them.
TEST_F(Faults, GpsFaultsActOnTheSerialBytes) {
  struct row {
    int fault;  // -1: none
    std::vector<int> read;
  };
  const row rows[] = {
      {-1, {'$', 'G', 'P'}},
      {FAULT_GPS_SILENT, {}},
      {FAULT_GPS_NO_NAV, {0, 0, 0}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.fault);
    restore_power_on();
    if (r.fault >= 0) set_fault(r.fault, true);
    serial_open(1, 4800);
    const std::uint8_t bytes[] = {'$', 'G', 'P'};
    ASSERT_EQ(memory_serial_feed(bytes, 3), 3u);
    std::vector<int> got;
    for (int i = 0; i < 5; ++i) {
      int count = 0;
      const std::uint8_t b = serial_read_one(&count);
      if (count == 1) got.push_back(b);
    }
    EXPECT_EQ(got, r.read);
    EXPECT_EQ(memory_serial.rx_head, memory_serial.rx_tail);  // nothing left over for later
    clear_faults();
    ASSERT_EQ(memory_serial_feed(bytes, 1), 1u);
    int count = 0;
    EXPECT_EQ(serial_read_one(&count), '$');  // off: the bytes come through again
    EXPECT_EQ(count, 1);
  }
}

TEST(FaultScript, FaultCommand) {
  std::vector<headless::command> commands;
  std::string error;
  ASSERT_TRUE(headless::parse_script_text("fault txp_fail on\nfault oat_absent OFF\n", "f", 1, &commands, &error))
      << error;
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].kind, headless::command_kind::fault);
  EXPECT_EQ(commands[0].fault, FAULT_TXP_FAIL);
  EXPECT_TRUE(commands[0].on);
  EXPECT_EQ(commands[1].fault, FAULT_OAT_ABSENT);
  EXPECT_FALSE(commands[1].on);
}

// A run: --fault from the start, the script switches them, the snapshots name them and the
// transponder strip shows them.
TEST_F(Faults, RunSwitchesFaultsAndSnapshotsShowThem) {
  headless_test::scratch_dir dir;
  const std::string script =
      "wait 9\n"
      "snapshot start\n"
      "fault txp_timeout off\n"
      "fault txp_no_position on\n"
      "wait 0.1\n"
      "snapshot switched\n";
  headless_test::write_text(dir.file("run.txt"), script);
  const headless_test::run_result r = headless_test::run_in_process(
      {"--set", "SERIAL 2=TXP LINK", "--set", "CFG_FIELD_PAGE=3", "--fault", "txp_timeout", "--fault",
       "sensors_invalid", "--script", dir.file("run.txt"), "--state", dir.file("s.json")});
  ASSERT_EQ(r.status, 0) << r.err;
  const state_json s = state_json::parse(headless_test::read_text(dir.file("s.json")));
  const state_json& start = s["snapshots"][0];
  EXPECT_EQ(start["faults"], state_json({"sensors_invalid", "txp_timeout"}));
  EXPECT_EQ(start["transponder"]["strip"]["status"], "TMOUT");
  EXPECT_EQ(start["transponder"]["strip"]["squawk"], "- - -");
  EXPECT_EQ(start["transponder"]["strip"]["lower"], "");
  const state_json& switched = s["snapshots"][1];
  EXPECT_EQ(switched["faults"], state_json({"sensors_invalid", "txp_no_position"}));
  EXPECT_EQ(switched["transponder"]["strip"]["status"], "NOPOS");
  EXPECT_EQ(switched["transponder"]["strip"]["squawk"], "1200");
  EXPECT_EQ(switched["transponder"]["strip"]["lower"], "8190");
  EXPECT_EQ(switched["transponder"]["status_bits"], 4);
}

}  // namespace
