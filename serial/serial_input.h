// The serial receive state machine: turns "GPS NAV SRC" into a protocol and a rate, drains the
// bytes the host has received, finds the start of the data, cuts the stream into lines and hands
// each line to its parser; for the transponder link it reads the link's GPS status instead.
#pragma once
#include <cstdint>

inline constexpr int RX_LINE_CAPACITY = 1000;

enum : int {
  SERIAL_PROTOCOL_NONE = 0,
  SERIAL_PROTOCOL_LK1 = 1,
  SERIAL_PROTOCOL_NMEA_4800 = 2,
  SERIAL_PROTOCOL_NMEA_9600 = 3,
  SERIAL_PROTOCOL_TXP_LINK = 4,
};

struct serial_input_state {
  int serial_protocol = SERIAL_PROTOCOL_NONE;
  char rx_line[RX_LINE_CAPACITY] = {};
  int rx_len = 0;
  int rx_synced = 0;
  std::uint8_t rx_byte = 0;       // last byte of the LK1 collector
  std::uint8_t rx_prev_byte = 0;  // the byte before it, while hunting for ETX STX
  std::uint8_t nmea_byte = 0;     // last byte of the NMEA collector
  int rx_discarding = 0;          // the line outgrew the buffer: drop bytes up to its end
  // Counters for the simulator's state snapshots.
  std::uint32_t lines_handed_over = 0;
  std::uint32_t lines_bad_checksum = 0;
  std::uint32_t lines_too_long = 0;
};
extern serial_input_state serial_input;

// Restarts the receiver and clears the data block; returns the "GPS NAV SRC" setting byte.
int serial_input_init();
// Changes protocol and rate, keeping the synchronisation and the line.
void serial_select_protocol(int value);
// One pass: drains every byte the host has waiting.
void serial_input_poll();
void nmea_receive();

void serial_input_power_on();
