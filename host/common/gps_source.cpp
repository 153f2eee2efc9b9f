#include "host/common/gps_source.h"

#include <fcntl.h>
#include <gps.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "host/common/serial_line.h"

namespace gps_sources {
namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

bool set_line(int fd, int baud) {
  termios tio{};
  return ::tcgetattr(fd, &tio) == 0 && raw_8n1_line(tio, baud) && ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Bytes read but not yet taken by the sink, offered first next time.
class pending_bytes {
 public:
  void add(const std::uint8_t* data, std::size_t n) { bytes_.append(reinterpret_cast<const char*>(data), n); }
  void offer(const byte_sink& sink) {
    if (bytes_.empty()) return;
    const std::size_t taken = sink(reinterpret_cast<const std::uint8_t*>(bytes_.data()), bytes_.size());
    bytes_.erase(0, taken);
  }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};

class device_source final : public source {
 public:
  device_source(int fd, int baud) : fd_(fd), baud_(baud) {}
  ~device_source() override { ::close(fd_); }

  void pump(std::int64_t, int baud, const byte_sink& sink) override {
    if (baud != baud_ && set_line(fd_, baud)) baud_ = baud;  // "GPS NAV SRC" changed the rate
    pending_.offer(sink);
    std::uint8_t buffer[4096];
    // Read only while the sink keeps up, so a stalled sink does not grow the pending bytes.
    while (pending_.size() == 0) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) {
        if (n == 0 || errno != EINTR) break;  // nothing waiting, or the other end hung up
        continue;
      }
      pending_.add(buffer, static_cast<std::size_t>(n));
      pending_.offer(sink);
    }
  }
  bool live() const override { return true; }

 private:
  int fd_;
  int baud_;
  pending_bytes pending_;
};

class replay_source final : public source {
 public:
  explicit replay_source(std::string bytes) : bytes_(std::move(bytes)) {}

  void pump(std::int64_t now_ms, int baud, const byte_sink& sink) override {
    if (now_ms > last_ms_) {
      credit_ += (now_ms - last_ms_) * (baud / 10);  // byte-milliseconds
      last_ms_ = now_ms;
    }
    std::size_t due = static_cast<std::size_t>(credit_ / 1000);
    if (due > bytes_.size() - sent_) due = bytes_.size() - sent_;
    if (due == 0) return;
    const std::size_t taken = sink(reinterpret_cast<const std::uint8_t*>(bytes_.data() + sent_), due);
    sent_ += taken;
    credit_ -= static_cast<std::int64_t>(taken) * 1000;
  }
  bool live() const override { return false; }

 private:
  std::string bytes_;
  std::size_t sent_ = 0;
  std::int64_t last_ms_ = 0;
  std::int64_t credit_ = 0;
};

std::string without_comment_lines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    if (text[start] != '#') out.append(text, start, end - start);
    start = end;
  }
  return out;
}

// gpsd in a thread of its own: connecting to an unreachable host may take long, and that must
// never hold up the instrument.
class gpsd_source final : public source {
 public:
  gpsd_source(std::string host, std::string port) : shared_(std::make_shared<shared>()) {
    shared_->host = std::move(host);
    shared_->port = std::move(port);
    std::thread(worker, shared_).detach();  // owns its share; may outlive this object
  }
  ~gpsd_source() override { shared_->stop = true; }

  void pump(std::int64_t, int, const byte_sink& sink) override {
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      pending_.add(reinterpret_cast<const std::uint8_t*>(shared_->bytes.data()), shared_->bytes.size());
      shared_->bytes.clear();
    }
    pending_.offer(sink);
  }
  bool live() const override { return true; }
  std::string take_notice() override {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    std::string n;
    n.swap(shared_->notice);
    return n;
  }

 private:
  struct shared {
    std::string host;
    std::string port;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::string bytes;
    std::string notice;
  };

  static void say(shared& s, const std::string& text) {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.notice = text;
  }

  static void worker(std::shared_ptr<shared> s) {
    const std::string where = s->host + ":" + s->port;
    bool was_connected = true;  // so that a first failure is reported
    while (!s->stop) {
      gps_data_t data{};
      if (::gps_open(s->host.c_str(), s->port.c_str(), &data) != 0) {
        if (was_connected) say(*s, "gpsd at " + where + ": " + ::gps_errstr(errno) + "; retrying");
        was_connected = false;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        continue;
      }
      ::gps_stream(&data, WATCH_ENABLE | WATCH_NMEA, nullptr);
      say(*s, "gpsd at " + where + ": connected");
      was_connected = true;
      char message[8192];
      while (!s->stop) {
        if (!::gps_waiting(&data, 250000)) continue;
        const int n = ::gps_read(&data, message, sizeof message - 1);
        if (n < 0) break;  // the connection is gone
        const int len = static_cast<int>(::strnlen(message, sizeof message - 1));
        // gpsd's own JSON replies ("{...}") are not NMEA; only sentences go on the line.
        if (len > 0 && message[0] != '{') {
          std::lock_guard<std::mutex> lock(s->mutex);
          if (s->bytes.size() < (1u << 20)) s->bytes.append(message, static_cast<std::size_t>(len));
        }
      }
      ::gps_close(&data);
      if (!s->stop) {
        say(*s, "gpsd at " + where + ": connection lost; retrying");
        std::this_thread::sleep_for(std::chrono::seconds(1));
      }
    }
  }

  std::shared_ptr<shared> shared_;
  pending_bytes pending_;
};

}  // namespace

int line_baud(int gps_nav_src) { return gps_nav_src == 1 || gps_nav_src == 3 ? 9600 : 4800; }

std::unique_ptr<source> open_device(const std::string& device, int baud, std::string* error) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = "cannot open serial device " + quoted(device) + ": " + std::strerror(errno);
    return nullptr;
  }
  if (!::isatty(fd)) {
    ::close(fd);
    *error = "cannot use " + quoted(device) + " as a serial device: it is not a terminal";
    return nullptr;
  }
  if (!set_line(fd, baud)) {
    const int e = errno;
    ::close(fd);
    *error = "cannot set " + quoted(device) + " to " + std::to_string(baud) + " baud 8N1: " + std::strerror(e);
    return nullptr;
  }
  return std::make_unique<device_source>(fd, baud);
}

std::unique_ptr<source> replay_from_text(const std::string& bytes) {
  return std::make_unique<replay_source>(without_comment_lines(bytes));
}

std::unique_ptr<source> open_replay(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read replay file " + quoted(path) + ": " + std::strerror(errno);
    return nullptr;
  }
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) {
    *error = "cannot read replay file " + quoted(path);
    return nullptr;
  }
  return replay_from_text(buffer.str());
}

bool parse_host_port(const std::string& text, std::string* host, std::string* port, std::string* error) {
  std::string h = text;
  std::string p = DEFAULT_GPSD_PORT;
  if (!h.empty() && h.front() == '[') {
    const std::size_t close = h.find(']');
    if (close == std::string::npos) {
      *error = "--gpsd " + quoted(text) + ": unclosed '['";
      return false;
    }
    if (close + 1 < h.size()) {
      if (h[close + 1] != ':') {
        *error = "--gpsd " + quoted(text) + ": expected ':' after ']'";
        return false;
      }
      p = h.substr(close + 2);
    }
    h = h.substr(1, close - 1);
  } else if (const std::size_t colon = h.rfind(':'); colon != std::string::npos) {
    p = h.substr(colon + 1);
    h = h.substr(0, colon);
  }
  bool digits = !p.empty() && p.size() <= 5;
  for (char c : p) digits = digits && c >= '0' && c <= '9';
  if (h.empty() || !digits || std::stoi(p) < 1 || std::stoi(p) > 65535) {
    *error = "--gpsd " + quoted(text) + ": give HOST or HOST:PORT with a port 1..65535, as in --gpsd localhost:2947";
    return false;
  }
  *host = h;
  *port = p;
  return true;
}

std::unique_ptr<source> open_gpsd(const std::string& host_port, std::string* error) {
  std::string host;
  std::string port;
  if (!parse_host_port(host_port, &host, &port, error)) return nullptr;
  return std::make_unique<gpsd_source>(host, port);
}

}  // namespace gps_sources
