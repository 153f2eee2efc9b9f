// The desktop serial port against a pseudo-terminal: the test holds the master end, the port
// under test opens the slave end by its name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/platform.h"
#include "host/desktop/serial_posix.h"

namespace {

struct reported_message {
  std::string text;
  std::string caption;
};
std::vector<reported_message> reported;

void record_report(const char* text, const char* caption) { reported.push_back({text, caption}); }

class Pty {
 public:
  Pty() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
      name_ = name;
      // Keep the slave open here too, so the master sees no hang-up between tests' opens.
      slave_ = slave;
      // The master's own reads must not wait either.
      fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
  }
  ~Pty() {
    close_master();
    if (slave_ >= 0) close(slave_);
  }
  bool ok() const { return master_ >= 0; }
  const std::string& name() const { return name_; }
  void send(const std::string& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), (ssize_t)bytes.size()); }
  // What arrived at the master within the time allowed.
  std::string receive(std::size_t expected, int timeout_ms = 1000) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (got.size() < expected && std::chrono::steady_clock::now() < end) {
      char buf[64];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n > 0) {
        got.append(buf, static_cast<std::size_t>(n));
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    return got;
  }
  void close_master() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string name_;
};

// The pty's line discipline hands bytes over asynchronously: wait (briefly) for one to arrive.
int read_with_patience(std::uint8_t* byte, int timeout_ms = 1000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  int count = 0;
  do {
    *byte = serial_read_one(&count);
    if (count == 1) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } while (std::chrono::steady_clock::now() < end);
  return 0;
}

class SerialPort : public ::testing::Test {
 protected:
  void SetUp() override {
    serial_close();
    serial_clear_devices();
    serial_port = serial_posix_state{};
    reported.clear();
    serial_set_error_reporter(record_report);
    ASSERT_TRUE(pty_.ok());
    serial_set_device(1, pty_.name());
  }
  void TearDown() override {
    serial_close();
    serial_set_error_reporter(nullptr);
    serial_clear_devices();
  }
  Pty pty_;
};

TEST_F(SerialPort, BytesWrittenAtTheFarEndArriveOneByOne) {
  ASSERT_TRUE(serial_open(1, 9600));
  EXPECT_TRUE(reported.empty());
  pty_.send("$GP\r\n");
  std::string got;
  for (int i = 0; i < 5; ++i) {
    std::uint8_t b = 0;
    ASSERT_EQ(read_with_patience(&b), 1) << "byte " << i;
    got.push_back(static_cast<char>(b));
  }
  EXPECT_EQ(got, "$GP\r\n");  // raw: the carriage return is not turned into a newline
  int count = -1;
  EXPECT_EQ(serial_read_one(&count), 0);
  EXPECT_EQ(count, 0);
}

TEST_F(SerialPort, AllByteValuesPassUnchanged) {
  ASSERT_TRUE(serial_open(1, 9600));
  // Control characters a cooked line would act on: XOFF/XON, interrupt, end of file, DEL, 0xFF.
  const std::string bytes = std::string("\x00\x11\x13\x03\x04\x7f\xff\x0a", 8);
  pty_.send(bytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::uint8_t b = 0;
    ASSERT_EQ(read_with_patience(&b), 1) << "byte " << i;
    EXPECT_EQ(b, static_cast<std::uint8_t>(bytes[i])) << "byte " << i;
  }
}

TEST_F(SerialPort, ReadWithNothingWaitingReturnsAtOnce) {
  ASSERT_TRUE(serial_open(1, 4800));
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) {
    int count = -1;
    EXPECT_EQ(serial_read_one(&count), 0);
    ASSERT_EQ(count, 0);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // A read that waited even 1 ms would make this a second.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 200);
}

TEST_F(SerialPort, LineIsRaw8N1WithoutFlowControlAtTheRequestedRate) {
  ASSERT_TRUE(serial_open(1, 4800));
  termios t{};
  ASSERT_EQ(tcgetattr(serial_port.fd, &t), 0);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & PARENB, 0u);
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
  EXPECT_NE(t.c_cflag & CLOCAL, 0u);
  EXPECT_NE(t.c_cflag & CREAD, 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B4800));
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));
  EXPECT_NE(fcntl(serial_port.fd, F_GETFL) & O_NONBLOCK, 0);
  EXPECT_EQ(serial_port.port, 1);
  EXPECT_EQ(serial_port.baud, 4800);
}

TEST_F(SerialPort, SetBaudChangesNothing) {
  ASSERT_TRUE(serial_open(1, 9600));
  serial_set_baud(4800);
  termios t{};
  ASSERT_EQ(tcgetattr(serial_port.fd, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
}

TEST_F(SerialPort, WrittenBytesReachTheFarEnd) {
  ASSERT_TRUE(serial_open(1, 9600));
  const std::uint8_t msg[] = {'^', 'I', 'D', 0x00, 0xFF, '\n'};
  serial_write(msg, sizeof msg);
  // No translation of the newline into carriage return + newline on the way out.
  EXPECT_EQ(pty_.receive(sizeof msg), std::string(reinterpret_cast<const char*>(msg), sizeof msg));
  serial_write(msg, 0);
  serial_write(nullptr, 4);
  serial_write(msg, -3);
  EXPECT_EQ(pty_.receive(1, 50), "");
}

TEST_F(SerialPort, ClosedFarEndIsNoCrash) {
  ASSERT_TRUE(serial_open(1, 9600));
  pty_.close_master();
  for (int i = 0; i < 10; ++i) {
    int count = -1;
    EXPECT_EQ(serial_read_one(&count), 0);
    EXPECT_EQ(count, 0);
  }
  const std::uint8_t msg[] = {'x', 'y'};
  serial_write(msg, 2);  // the line is gone: dropped, no signal, no wait
  EXPECT_EQ(serial_port.bytes_dropped, 2);
  serial_close();
  EXPECT_EQ(serial_port.fd, -1);
}

TEST_F(SerialPort, MissingDeviceReportsOpenFailure) {
  serial_set_device(1, "/dev/no-such-serial-device");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(serial_open(1, 9600));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("COULD NOT OPEN SERIAL PORT"), std::string::npos) << err;
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, "COULD NOT OPEN SERIAL PORT");
  EXPECT_EQ(reported[0].caption, "");
  EXPECT_EQ(serial_port.fd, -1);
  int count = -1;
  serial_read_one(&count);
  EXPECT_EQ(count, 0);
}

TEST_F(SerialPort, SomethingThatIsNoTerminalIsRefused) {
  serial_set_device(1, "/dev/null");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(serial_open(1, 9600));
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, "COULD NOT OPEN SERIAL PORT");
  EXPECT_EQ(serial_port.fd, -1);
}

TEST_F(SerialPort, PortNumbersOutsideOneToNinetyNineDoNotOpen) {
  serial_set_device(0, pty_.name());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(serial_open(0, 9600));
  EXPECT_FALSE(serial_open(100, 9600));
  EXPECT_FALSE(serial_open(-1, 9600));
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(reported.size(), 3u);
  for (const auto& m : reported) EXPECT_EQ(m.text, "COULD NOT OPEN SERIAL PORT");
  EXPECT_TRUE(serial_open(99, 9600));  // the highest port number is still a port
}

TEST_F(SerialPort, UnsupportedRateReportsSetFailureAndCloses) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(serial_open(1, 12345));
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, "Could not SET serial parameters");
  EXPECT_EQ(reported[0].caption, "SERIAL INIT ERROR");
  EXPECT_NE(err.find("SERIAL INIT ERROR"), std::string::npos);
  EXPECT_NE(err.find("Could not SET serial parameters"), std::string::npos);
  EXPECT_EQ(serial_port.fd, -1);
  // The device was released: it opens again at a proper rate.
  EXPECT_TRUE(serial_open(1, 9600));
}

TEST_F(SerialPort, OpeningAgainReplacesTheOpenHandle) {
  Pty second;
  ASSERT_TRUE(second.ok());
  serial_set_device(2, second.name());
  ASSERT_TRUE(serial_open(1, 9600));
  ASSERT_TRUE(serial_open(2, 9600));
  EXPECT_EQ(serial_port.port, 2);
  pty_.send("a");
  second.send("b");
  std::uint8_t b = 0;
  ASSERT_EQ(read_with_patience(&b), 1);
  EXPECT_EQ(b, 'b');
  EXPECT_EQ(read_with_patience(&b, 50), 0);  // nothing from the first port any more
}

TEST_F(SerialPort, CloseIsSafeTwiceAndWithoutOpen) {
  serial_close();
  ASSERT_TRUE(serial_open(1, 9600));
  serial_close();
  serial_close();
  EXPECT_EQ(serial_port.fd, -1);
  const std::uint8_t msg[] = {'z'};
  serial_write(msg, 1);
  EXPECT_EQ(pty_.receive(1, 50), "");
  serial_read_one(nullptr);  // a missing count pointer is tolerated
}

TEST(SerialDevices, DefaultNamesCountFromZeroAndNamedDevicesWin) {
  serial_clear_devices();
  EXPECT_EQ(serial_device_for(1), "/dev/ttyUSB0");
  EXPECT_EQ(serial_device_for(3), "/dev/ttyUSB2");
  serial_set_device(0, "/dev/ttyS0");
  EXPECT_EQ(serial_device_for(1), "/dev/ttyS0");
  EXPECT_EQ(serial_device_for(2), "/dev/ttyS0");
  serial_set_device(2, "/dev/ttyACM0");
  EXPECT_EQ(serial_device_for(2), "/dev/ttyACM0");
  EXPECT_EQ(serial_device_for(1), "/dev/ttyS0");
  serial_clear_devices();
  EXPECT_EQ(serial_device_for(2), "/dev/ttyUSB1");
}

}  // namespace
