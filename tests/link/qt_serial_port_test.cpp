// The QSerialPort backend against a pseudo-terminal: the far end is the master side.
#include "link/qt_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "model/line_settings.h"
#include "link/link.h"
#include "link/system_clock.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;
using test::WithCrc;

class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    slave_ = QString::fromLocal8Bit(::ptsname(master_));
  }
  ~Pty() {
    if (master_ >= 0) ::close(master_);
  }
  bool ok() const { return !slave_.isEmpty(); }
  QString slave() const { return slave_; }
  void Send(const QByteArray& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), bytes.size());
  }
  // Whatever arrives within ms milliseconds, up to count bytes.
  QByteArray Receive(int count, int ms) {
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.size() < count && t.elapsed() < ms) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
        char buf[512];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) out.append(buf, n);
      }
    }
    return out;
  }

 private:
  int master_ = -1;
  QString slave_;
};

class QtSerialPortTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!pty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
    ASSERT_TRUE(port.Open(pty.slave())) << port.LastErrorText().toStdString();
    ASSERT_TRUE(port.Configure(38400));
  }
  Pty pty;
  QtSerialPort port;
};

TEST_F(QtSerialPortTest, PseudoTerminalHasNoModemLinesNorRs485) {
  EXPECT_FALSE(port.HasModemLines());
  EXPECT_FALSE(port.EnableDriverRs485());
  EXPECT_TRUE(port.ForceNoParity());
  EXPECT_EQ(port.LastError(), PortError::None);
}

TEST_F(QtSerialPortTest, WriteTransmitAndDrain) {
  EXPECT_EQ(port.Write(FromHex("01 46 00 00 07 4d 4a")), 7);
  EXPECT_EQ(Hex(pty.Receive(7, 1000)), "01 46 00 00 07 4d 4a");
  for (const char c : FromHex("0a 0b"))
    EXPECT_TRUE(port.TransmitByte(static_cast<std::uint8_t>(c)));
  port.Drain();
  EXPECT_EQ(Hex(pty.Receive(2, 1000)), "0a 0b");
}

TEST_F(QtSerialPortTest, ReadWaitsForTheCountOrTheTotalTimeout) {
  // A long timeout that the reads below must not wait for.
  port.SetReadTimeoutConstant(3000);
  // Everything there: returns at once.
  pty.Send(FromHex("01 02 03 04"));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Hex(port.Read(4)), "01 02 03 04");
  EXPECT_LT(t.elapsed(), 1500);
  // Bytes arriving in pieces are gathered against one deadline.
  std::thread later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.Send(FromHex("05 06"));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.Send(FromHex("07"));
  });
  t.restart();
  EXPECT_EQ(Hex(port.Read(3)), "05 06 07");
  later.join();
  EXPECT_LT(t.elapsed(), 1500);
  // Too few: what arrived, after count x 1 ms + the constant.
  port.SetReadTimeoutConstant(150);
  pty.Send(FromHex("08"));
  t.restart();
  EXPECT_EQ(Hex(port.Read(50)), "08");
  EXPECT_GE(t.elapsed(), 195);
  EXPECT_LT(t.elapsed(), 2000);
  EXPECT_EQ(port.LastError(), PortError::None);  // a timeout is no error
}

TEST_F(QtSerialPortTest, PurgeDropsWaitingInput) {
  pty.Send(FromHex("ee ee"));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  port.Purge();
  port.SetReadTimeoutConstant(20);
  EXPECT_TRUE(port.Read(2).isEmpty());
}

TEST_F(QtSerialPortTest, SecondOpenOfTheSameDeviceIsBusy) {
  QtSerialPort other;
  EXPECT_FALSE(other.Open(pty.slave()));
  EXPECT_EQ(other.LastError(), PortError::Busy);
  EXPECT_TRUE(other.LastErrorText().contains("another program"));
  port.Close();
  EXPECT_TRUE(other.Open(pty.slave()));
}

TEST(QtSerialPortOpen, MissingDeviceAndPermission) {
  QtSerialPort port;
  EXPECT_FALSE(port.Open("/dev/qdx-no-such-port"));
  EXPECT_EQ(port.LastError(), PortError::NoSuchDevice);
  EXPECT_TRUE(port.LastErrorText().contains("no such device"));
  EXPECT_FALSE(port.IsOpen());

  Pty pty;
  if (!pty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  if (::geteuid() == 0) GTEST_SKIP() << "root may open anything";
  const QByteArray path = pty.slave().toLocal8Bit();
  ASSERT_EQ(::chmod(path.constData(), 0), 0);
  EXPECT_FALSE(port.Open(pty.slave()));
  EXPECT_EQ(port.LastError(), PortError::PermissionDenied);
  EXPECT_TRUE(port.LastErrorText().contains("dialout"));
}

TEST(PortErrorTexts, SayWhatToDo) {
  EXPECT_TRUE(PortErrorText(PortError::PermissionDenied, "/dev/ttyS0").contains("dialout group"));
  EXPECT_TRUE(PortErrorText(PortError::Busy, "/dev/ttyS0").contains("another program"));
  EXPECT_TRUE(PortErrorText(PortError::NoSuchDevice, "/dev/ttyS9").startsWith("/dev/ttyS9"));
  EXPECT_TRUE(PortErrorText(PortError::Unplugged, "x", "Input/output error")
                  .endsWith("(Input/output error)"));
  EXPECT_TRUE(PortErrorText(PortError::None, "x").isEmpty());
}

// A whole exchange through the real backend, answered from the master side.
TEST(QtSerialPortLink, ExchangeOverAPseudoTerminal) {
  Pty pty;
  if (!pty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  LineSettings settings;
  SystemClock clock;
  Link link(std::make_unique<QtSerialPort>(), clock, settings);
  link.SetReadTimeoutConstant(200);
  LinkSettings ls;
  ls.device = pty.slave();
  const QByteArray reply = WithCrc(FromHex("01 47 09 00 07"));
  std::thread controller([&] {
    const QByteArray request = pty.Receive(7, 2000);
    if (request == FromHex("01 46 00 00 07 4d 4a")) pty.Send(reply);
  });
  const TransactResult r = link.Transact(FromHex("01 46 00 00 07 4d 4a"), 7, ls);
  controller.join();
  EXPECT_EQ(r.result, kLinkOk);
  EXPECT_EQ(r.reply, reply);
  // A pseudo-terminal cannot drive RTS: frames go out in one call.
  EXPECT_EQ(link.CurrentTransmitMode(), TransmitMode::OneCall);
  // Nobody answers now: no reply within the timeout.
  EXPECT_EQ(link.Transact(FromHex("01 46 00 00 07 4d 4a"), 7, ls).result, kLinkNoReply);
}

}  // namespace
}  // namespace qdx
