#include "host/common/memory_serial.h"

#include "core/platform.h"
#include "host/common/faults.h"
#include "host/common/recording.h"

memory_serial_state memory_serial;

void memory_serial_power_on() { memory_serial = memory_serial_state{}; }

std::size_t memory_serial_feed(const std::uint8_t* bytes, std::size_t length) {
  std::size_t fed = 0;
  while (fed < length) {
    const std::size_t next = (memory_serial.rx_tail + 1) % memory_serial_state::CAPACITY;
    if (next == memory_serial.rx_head) {
      break;  // full
    }
    memory_serial.rx[memory_serial.rx_tail] = bytes[fed++];
    memory_serial.rx_tail = next;
  }
  return fed;
}

// A played recording is the port's only source, so the queue is all bytes as read.
void serial_feed_as_read(const std::uint8_t* bytes, std::size_t length) {
  memory_serial.as_read = true;
  memory_serial.open = true;
  memory_serial_feed(bytes, length);
}

bool serial_open(int port, int baud) {
  memory_serial.open = true;
  memory_serial.port = port;
  memory_serial.baud = baud;
  return true;
}

std::uint8_t serial_read_one(int* count) {
  while (memory_serial.open && memory_serial.rx_head != memory_serial.rx_tail) {
    std::uint8_t byte = memory_serial.rx[memory_serial.rx_head];
    memory_serial.rx_head = (memory_serial.rx_head + 1) % memory_serial_state::CAPACITY;
    if (memory_serial.as_read || gps_fault_pass_byte(&byte)) {
      *count = 1;
      return byte;
    }
  }
  *count = 0;
  return 0;
}

void serial_set_baud(int rate) { memory_serial.baud = rate; }

void serial_write(const std::uint8_t* buffer, int length) {
  for (int i = 0; i < length && memory_serial.tx_length < memory_serial_state::CAPACITY; ++i) {
    memory_serial.tx[memory_serial.tx_length++] = buffer[i];
  }
}

void serial_close() { memory_serial.open = false; }
