// Fuzz target: any byte stream into the serial receive state machine, under every protocol. The
// first input byte picks the protocol and how the stream is cut into reads; the rest arrives on
// the port. Built with clang's libFuzzer and the address and undefined-behaviour sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/filters.h"
#include "core/platform.h"
#include "gfx/text.h"
#include "serial/gps_data.h"
#include "serial/serial_input.h"
#include "settings/settings.h"

namespace {

const std::uint8_t* port_bytes = nullptr;
std::size_t port_left = 0;
std::size_t read_budget = 0;  // bytes the port delivers before the next poll
int selected_source = 0;

}  // namespace

// The few outside operations the serial input calls, answered here so that the target needs only
// the serial code, the data ages and the number readers.
std::uint8_t serial_read_one(int* count) {
  if (port_left == 0 || read_budget == 0) {
    *count = 0;
    return 0;
  }
  --read_budget;
  --port_left;
  *count = 1;
  return *port_bytes++;
}
void serial_set_baud(int) {}
std::uint8_t cfg_get_byte(int) { return static_cast<std::uint8_t>(selected_source); }
void track_stab_restart() {}
void compact_track_stab_restart() {}
// The transponder link answers from the input too, so that every branch of its poll is reached.
std::uint8_t txp_status_bits() { return port_left > 0 ? static_cast<std::uint8_t>(port_bytes[0] & 0x05) : 0; }
int txp_mode() { return port_left > 1 ? port_bytes[1] % 3 : 2; }
int txp_ground_speed() { return port_left > 2 ? port_bytes[2] * 4 : 0; }
int txp_track() { return port_left > 3 ? port_bytes[3] * 2 - 20 : 0; }
const font_record font_table[FONT_COUNT] = {};
pixel_t mix_colour(pixel_t a, pixel_t, float) { return a; }
pixel_t get_pixel(const pixel_t*, int, int, int, int) { return 0; }
void put_pixel(pixel_t*, int, int, int, int, pixel_t) {}
// The text drawer marks the top layer's tiles it writes; the target draws nothing.
pixel_t top_layer[LAYER_PIXELS];
void mark_top_tiles(int, int, int, int) {}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  filters_power_on();
  gps_data_power_on();
  serial_input_power_on();
  selected_source = data[0] % 5;
  const std::size_t chunk = 1 + (data[0] / 5) * 13;  // 1 .. 664 bytes a poll
  port_bytes = data + 1;
  port_left = size - 1;
  serial_input_init();
  for (int guard = 0; port_left > 0 && guard < 1000000; ++guard) {
    read_budget = chunk;
    serial_input_poll();
    if (selected_source == 4) {  // the link reads no bytes: step through the input by hand
      const std::size_t step = port_left < 4 ? port_left : 4;
      port_bytes += step;
      port_left -= step;
    }
    if (guard % 97 == 0) age_data();
  }
  // Whatever arrived, the block's invariants hold.
  if (std::memchr(gps_nav_data.gps_waypoint_id, '\0', sizeof gps_nav_data.gps_waypoint_id) == nullptr) __builtin_trap();
  if (serial_input.rx_len < 0 || serial_input.rx_len > RX_LINE_CAPACITY) __builtin_trap();
  if (gps_nav_data.gps_track < 0 || gps_nav_data.gps_track > 360) __builtin_trap();
  (void)get_gps_track();
  (void)get_gps_bearing();
  return 0;
}
