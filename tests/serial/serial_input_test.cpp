#include "serial/serial_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/filters.h"
#include "core/firmware.h"
#include "core/platform.h"
#include "host/common/desk_platform.h"
#include "host/common/memory_serial.h"
#include "nav/compact_heading.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"
#include "transponder/transponder.h"

namespace {

void feed(const std::string& bytes) {
  ASSERT_EQ(memory_serial_feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), bytes.size());
}

std::size_t waiting() {
  return (memory_serial.rx_tail + memory_serial_state::CAPACITY - memory_serial.rx_head) %
         memory_serial_state::CAPACITY;
}

class SerialInput : public Started {
 protected:
  void start(int source) {
    cfg_set_byte(CFG_GPS_NAV_SRC, source);
    serial_open(1, 4800);
    EXPECT_EQ(serial_input_init(), source);
  }
  // Polls until the port is drained (the hunting steps return as soon as they synchronise).
  void drain() {
    for (int i = 0; i < 8 && waiting() > 0; ++i) serial_input_poll();
  }
};

struct stream_case {
  const char* name;
  int source;
  std::string bytes;
  int speed;  // -1: nothing stored
  std::uint32_t handed_over;
};

TEST_F(SerialInput, StreamsAreCutIntoLines) {
  const stream_case cases[] = {
      {"NMEA: the first sentence after synchronisation is lost", 2, "$GPRMC,,A,,,,,11,\r\n$GPRMC,,A,,,,,22,\r\n", 22,
       2},
      {"NMEA: noise before the first dollar only refreshes the receive age", 3,
       "\x01\xff junk$GPRMC,,A,,,,,11\r\n"
       "$GPRMC,,A,,,,,33\n",
       33, 2},
      {"NMEA: CR CR LF line ends leave no extra line", 2, "$\r\r\n$GPRMC,,A,,,,,44\r\r\n", 44, 1},
      {"NMEA: a tilde and blanks are kept, breaking the number", 2, "$\n$GPRMC,,A,,,,,5 5\n$GPRMC,,A,,,,,6~6\n", 6, 2},
      {"LK1: nothing is stored before ETX STX", 1,
       "D123\r\n\x03\x02"
       "D045\r\n",
       45, 1},
      {"LK1: blanks and tildes are dropped, STX and ETX too", 1,
       "\x03\x02\x03\x02"
       "D 0~4\x02"
       "6\r\n",
       46, 1},
      {"LK1: a lone CR or LF is no line", 1, "\x03\x02\r\n\r\n", -1, 0},
      {"none: bytes are not read", 0, "$\n$GPRMC,,A,,,,,11\n", -1, 0},
  };
  for (const stream_case& c : cases) {
    SCOPED_TRACE(c.name);
    restore_power_on();
    firmware_init();
    start(c.source);
    feed(c.bytes);
    drain();
    EXPECT_EQ(gps_nav_data.gps_ground_speed, c.speed < 0 ? 0 : c.speed);
    EXPECT_EQ(gps_speed_age(), c.speed < 0 ? 0 : 5);
    EXPECT_EQ(serial_input.lines_handed_over, c.handed_over);
    EXPECT_EQ(serial_rx_age(), c.source == 0 ? 0 : 5);
    EXPECT_EQ(waiting(), c.source == 0 ? c.bytes.size() : 0u);
  }
}

TEST_F(SerialInput, ALineTooLongForTheBufferIsDroppedWholeAndTheNextOneTaken) {
  const struct {
    int length;  // characters before the CR
    std::uint32_t too_long;
  } cases[] = {{RX_LINE_CAPACITY - 1, 0}, {RX_LINE_CAPACITY, 1}, {RX_LINE_CAPACITY + 1, 1}, {3000, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    restore_power_on();
    firmware_init();
    start(2);
    // The long line claims a speed of 77 at its start; only the line after it may count.
    std::string line = "$GPRMC,,A,,,,,77,";
    line.resize(static_cast<std::size_t>(c.length), '0');
    feed("$\n" + line.substr(0, 2000));
    drain();
    if (c.length > 2000) {
      feed(line.substr(2000));
      drain();
    }
    feed("\r\n$GPRMC,,A,,,,,12\r\n");
    drain();
    EXPECT_EQ(serial_input.lines_too_long, c.too_long);
    EXPECT_EQ(gps_nav_data.gps_ground_speed, 12);
    EXPECT_EQ(serial_input.lines_handed_over, c.too_long == 0 ? 2u : 1u);
  }
}

TEST_F(SerialInput, BadChecksumsAreCounted) {
  start(2);
  feed("$\n$GPRMC,,A,,,,,,19*0B\r\n$GPRMC,,A,,,,,,10*0B\r\n");
  drain();
  EXPECT_EQ(serial_input.lines_bad_checksum, 1u);
  EXPECT_EQ(gps_nav_data.gps_track, 10);
}

TEST_F(SerialInput, SelectingAProtocolKeepsTheSynchronisationAndInitRestartsIt) {
  start(2);
  feed("$GPRMC,,A,,,,,1");
  drain();
  serial_select_protocol(3);
  EXPECT_EQ(memory_serial.baud, 9600);
  feed("\n$GPRMC,,A,,,,,21\n");
  drain();
  EXPECT_EQ(gps_nav_data.gps_ground_speed, 21);
  EXPECT_EQ(serial_input.serial_protocol, 3);
  serial_input_init();
  EXPECT_EQ(serial_input.rx_synced, 0);
  EXPECT_EQ(gps_nav_data.gps_ground_speed, 0);
  EXPECT_EQ(memory_serial.baud, 4800);  // the setting still says 4800
  serial_select_protocol(9);
  EXPECT_EQ(serial_input.serial_protocol, 0);
}

TEST_F(SerialInput, NewTrackSamplesRestartTheTrackStabilisationOnBothDisplays) {
  const struct {
    int source;
    const char* bytes;
    bool restart;
  } cases[] = {
      {2, "$\n$GPRMC,,V,,,,,,,,,,N*53\r\n", true},  // every RMC, whatever it held
      {2, "$\n$GPRMC,,A,,,,,,10*0C\r\n", false},    // but not one refused for its checksum
      {2, "$\n$GPRMB,A,0.5,L\r\n", false},
      {1,
       "\x03\x02"
       "C090\r\n",
       true},
      {1,
       "\x03\x02"
       "C361\r\n",
       false},  // no track stored
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    restore_power_on();
    firmware_init();
    start(c.source);
    nav_page.track_stab_delta = 12.0f;
    compact.compact_track_stab_delta = 12.0f;
    feed(c.bytes);
    drain();
    EXPECT_EQ(nav_page.track_stab_delta, c.restart ? 0.0f : 12.0f);
    EXPECT_EQ(compact.compact_track_stab_delta, c.restart ? 0.0f : 12.0f);
  }
}

TEST_F(SerialInput, TransponderLinkPassesOnItsGpsWhileTheLinkIsUsable) {
  const struct {
    const char* name;
    int status;
    int mode;
    float heading;
    bool usable;
    int track;  // -1: the track is not stored
  } cases[] = {
      {"healthy", 0x00, 2, 123.7f, true, 123}, {"failure and fault bits do not matter", 0x82, 1, 10.5f, true, 10},
      {"time-out", 0x01, 2, 50.0f, false, -1}, {"no position", 0x04, 2, 50.0f, false, -1},
      {"standby", 0x00, 0, 50.0f, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restore_power_on();
    firmware_init();
    start(4);
    gps_nav_data.gps_track = 7;
    gps_nav_data.gps_nav_valid = 1;
    desk.txp_status = static_cast<std::uint8_t>(c.status);
    txp_set_mode(c.mode);
    desk.heading = c.heading;
    nav_page.track_stab_delta = 12.0f;
    serial_input_poll();
    EXPECT_EQ(gps_nav_data.gps_nav_valid, c.usable ? 1 : 0);
    EXPECT_EQ(serial_rx_age(), c.usable ? 5 : 0);
    EXPECT_EQ(gps_speed_age(), c.usable ? 5 : 0);
    EXPECT_EQ(gps_nav_data.gps_ground_speed, c.usable ? 85 : 0);
    EXPECT_EQ(gps_nav_data.gps_track, c.track < 0 ? 7 : c.track);
    EXPECT_EQ(gps_track_age(), c.track < 0 ? 0 : 5);
    EXPECT_EQ(nav_page.track_stab_delta, c.usable ? 0.0f : 12.0f);
  }
}

}  // namespace
