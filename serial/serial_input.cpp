#include "serial/serial_input.h"

#include "core/filters.h"
#include "core/platform.h"
#include "nav/compact_heading.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "serial/parsers.h"
#include "settings/settings.h"
#include "transponder/transponder.h"

serial_input_state serial_input;

void serial_input_power_on() { serial_input = serial_input_state{}; }

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;

// Every new GPS track sample restarts the gyro's share of the track on both heading displays.
void restart_track_stabilisation() {
  track_stab_restart();
  compact_track_stab_restart();
}

void clear_line() {
  for (char& c : serial_input.rx_line) c = 0;
  serial_input.rx_len = 0;
}

using line_parser = line_result (*)(const char*, int);

// One received byte of a synchronised collector. `lowest` is the first printable byte kept (LK1
// drops the blank), and "~" is the first dropped above.
void collect(std::uint8_t byte, std::uint8_t lowest, std::uint8_t highest, line_parser parse) {
  data_received(AGE_SERIAL_RX);
  const bool line_end = byte == kCr || byte == kLf;
  const bool kept = byte == kCr || (byte >= lowest && byte <= highest);
  if (serial_input.rx_discarding != 0) {
    // The rest of a line too long for the buffer: dropped whole, up to its end.
    if (line_end) serial_input.rx_discarding = 0;
    return;
  }
  if (kept) {
    if (serial_input.rx_len == RX_LINE_CAPACITY) {
      // A line that fills the buffer without ending is garbage on the wire; it is dropped whole
      // and collecting starts again at the next line.
      serial_input.lines_too_long += 1;
      clear_line();
      serial_input.rx_discarding = byte == kCr ? 0 : 1;
      return;
    }
    serial_input.rx_line[serial_input.rx_len++] = static_cast<char>(byte);
  }
  if (line_end) {
    if (serial_input.rx_len > 1) {
      serial_input.lines_handed_over += 1;
      const line_result r = parse(serial_input.rx_line, serial_input.rx_len);
      if (r.bad_checksum) serial_input.lines_bad_checksum += 1;
      if (r.restart_track) restart_track_stabilisation();
    }
    clear_line();
  }
}

void lk1_receive() {
  int count = 0;
  for (;;) {
    const std::uint8_t byte = serial_read_one(&count);
    if (count != 1) return;
    if (serial_input.rx_synced == 0) {
      data_received(AGE_SERIAL_RX);
      if (byte == kStx && serial_input.rx_prev_byte == kEtx) {
        serial_input.rx_synced = 1;
        return;  // the bytes behind stay for the next call
      }
      serial_input.rx_prev_byte = byte;
      continue;
    }
    serial_input.rx_byte = byte;
    collect(byte, 0x21, 0x7D, lk1_record_parse);
  }
}

// The transponder passes on its GPS: usable only while the link is up, has a position and the
// transponder is not in standby.
void txp_link_poll() {
  if ((txp_status_bits() & 0x05) != 0 || txp_mode() == 0) {
    gps_nav_data.gps_nav_valid = 0;  // items and ages stay as they were
    return;
  }
  data_received(AGE_SERIAL_RX);
  gps_nav_data.gps_ground_speed = txp_ground_speed();
  data_received(AGE_GPS_SPEED);
  // The track is stored only when it is an angle, as from the other sources.
  const int track = txp_track();
  if (track >= 0 && track <= 360) {
    gps_nav_data.gps_track = track;
    data_received(AGE_GPS_TRACK);
  }
  gps_nav_data.gps_nav_valid = 1;
  restart_track_stabilisation();
}

}  // namespace

int serial_input_init() {
  clear_line();
  serial_input.rx_synced = 0;
  serial_input.rx_discarding = 0;
  gps_data_clear();
  const int value = cfg_get_byte(CFG_GPS_NAV_SRC);
  serial_select_protocol(value);
  return value;
}

void serial_select_protocol(int value) {
  switch (value) {
    case SERIAL_PROTOCOL_LK1:
      serial_input.serial_protocol = SERIAL_PROTOCOL_LK1;
      serial_set_baud(9600);
      break;
    case SERIAL_PROTOCOL_NMEA_4800:
      serial_input.serial_protocol = SERIAL_PROTOCOL_NMEA_4800;
      serial_set_baud(4800);
      break;
    case SERIAL_PROTOCOL_NMEA_9600:
      serial_input.serial_protocol = SERIAL_PROTOCOL_NMEA_9600;
      serial_set_baud(9600);
      break;
    case SERIAL_PROTOCOL_TXP_LINK:
      serial_input.serial_protocol = SERIAL_PROTOCOL_TXP_LINK;  // the rate is the link's
      break;
    default:
      serial_input.serial_protocol = SERIAL_PROTOCOL_NONE;
      break;
  }
}

void nmea_receive() {
  int count = 0;
  for (;;) {
    const std::uint8_t byte = serial_read_one(&count);
    if (count != 1) return;
    serial_input.nmea_byte = byte;
    if (serial_input.rx_synced == 0) {
      data_received(AGE_SERIAL_RX);
      if (byte == '$') {
        // This "$" is not stored, so the sentence it starts is lost; every later one brings its own.
        serial_input.rx_synced = 1;
        return;
      }
      continue;
    }
    collect(byte, 0x20, 0x7E, nmea_sentence_parse);
  }
}

void serial_input_poll() {
  switch (serial_input.serial_protocol) {
    case SERIAL_PROTOCOL_LK1:
      lk1_receive();
      break;
    case SERIAL_PROTOCOL_NMEA_4800:
    case SERIAL_PROTOCOL_NMEA_9600:
      nmea_receive();
      break;
    case SERIAL_PROTOCOL_TXP_LINK:
      txp_link_poll();
      break;
    default:
      break;
  }
}
