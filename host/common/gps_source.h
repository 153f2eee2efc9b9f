// Where the simulators' serial bytes come from: a terminal device, a recorded byte stream played
// at the line rate, or the raw NMEA of a running gpsd. Each source hands its bytes to a sink (the
// headless runner's memory port, the window's pseudo-terminal) as they become due.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace gps_sources {

// Takes bytes; returns how many it accepted (the rest is offered again later).
using byte_sink = std::function<std::size_t(const std::uint8_t*, std::size_t)>;

class source {
 public:
  virtual ~source() = default;
  // Hands over what is due at `now_ms` of instrument time, the line running at `baud`.
  virtual void pump(std::int64_t now_ms, int baud, const byte_sink& sink) = 0;
  // Data arrives in real time: the instrument's clock has to keep in step with the wall clock.
  virtual bool live() const = 0;
  // One line about the source's health when it changed since the last call (lost, back), else "".
  virtual std::string take_notice() { return {}; }
};

// The line rate of "GPS NAV SRC": 9600 for LK1 and NMEA 9600, 4800 otherwise (also for no
// protocol and the transponder link, which read no bytes: the port is opened at 4800 then).
int line_baud(int gps_nav_src);

// A terminal device, raw 8N1 at `baud`, reads that never wait. Null with one line on failure.
std::unique_ptr<source> open_device(const std::string& device, int baud, std::string* error);

// A recorded stream; lines starting with "#" are comments and are skipped. Played at the line
// rate: baud / 10 bytes per second of instrument time (8N1 puts ten bits on the wire a byte).
std::unique_ptr<source> open_replay(const std::string& path, std::string* error);
// The same from bytes in memory.
std::unique_ptr<source> replay_from_text(const std::string& bytes);

// "HOST[:PORT]" (port 2947 when left out; [v6-address]:port for IPv6). False with a reason.
bool parse_host_port(const std::string& text, std::string* host, std::string* port, std::string* error);
// Raw NMEA from gpsd. Connects in the background and reconnects after a loss; lost data shows as
// data going stale. Null only for a malformed HOST[:PORT].
std::unique_ptr<source> open_gpsd(const std::string& host_port, std::string* error);

}  // namespace gps_sources
