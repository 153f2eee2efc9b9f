// A serial port made of two in-memory queues: what the firmware reads is fed by the host, what it
// writes is kept for the host to look at. Fixed capacity, no allocation.
#pragma once
#include <cstddef>
#include <cstdint>

struct memory_serial_state {
  static constexpr std::size_t CAPACITY = 4096;
  bool open = false;
  int port = 0;
  int baud = 0;
  std::uint8_t rx[CAPACITY] = {};
  std::size_t rx_head = 0;
  std::size_t rx_tail = 0;
  std::uint8_t tx[CAPACITY] = {};
  std::size_t tx_length = 0;
  // The bytes queued were recorded as the firmware read them: the fault filter has had them.
  bool as_read = false;
};
extern memory_serial_state memory_serial;

// Queues bytes for the firmware to read; returns how many fitted.
std::size_t memory_serial_feed(const std::uint8_t* bytes, std::size_t length);
void memory_serial_power_on();
