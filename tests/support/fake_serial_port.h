// Test doubles for the link: a clock that moves only when waited on, and a serial port whose
// replies are scripted and whose every call is recorded. Core only; any test may use them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "link/serial_port.h"

namespace qdx::test {

// Time stands still until someone sleeps or busy-waits; both are recorded.
class TestClock : public Clock {
 public:
  std::int64_t NowMicroseconds() const override { return now_; }
  void SleepMilliseconds(int ms) override;
  void BusyWaitMilliseconds(int ms) override;
  void Advance(std::int64_t microseconds) { now_ += microseconds; }
  std::int64_t NowMs() const { return now_ / 1000; }

  // "sleep N" and "busy N" in the order they happened.
  const QStringList& waits() const { return waits_; }
  void ClearWaits() { waits_.clear(); }

 private:
  std::int64_t now_ = 0;
  QStringList waits_;
};

// Hex of bytes as "01 46 00", and back (blanks ignored).
QString Hex(const QByteArray& bytes);
QByteArray FromHex(const QString& hex);
// bytes with their CRC-16 appended, low byte first.
QByteArray WithCrc(const QByteArray& bytes);

class FakeSerialPort : public SerialPort {
 public:
  explicit FakeSerialPort(TestClock* clock = nullptr) : clock_(clock) {}

  // --- scripting ---
  // Replies handed out by the following reads, one per read, in order.
  void QueueReply(const QByteArray& bytes) { replies_.push_back(bytes); }
  // Computes the reply from the frame just written and the number of bytes the link asks
  // for (used when no queued reply is left).
  void SetResponder(std::function<QByteArray(const QByteArray& frame, int count)> responder) {
    responder_ = std::move(responder);
  }
  void FailOpen(PortError error, const QString& text = {}) {
    openError_ = error;
    openErrorText_ = text;
  }
  void FailConfigure(bool fail) { failConfigure_ = fail; }
  // Write takes at most this many bytes (negative: all).
  void LimitWrite(int bytes) { writeLimit_ = bytes; }
  // TransmitByte refuses byte number index (0-based) this many times before taking it.
  void RefuseByte(int index, int times) { byteRefusals_[index] = times; }
  void FailParity(bool fail) { failParity_ = fail; }
  void FailPurge(PortError error) { purgeError_ = error; }
  // The next read reports this error (after delivering its bytes).
  void FailNextRead(PortError error) { readError_ = error; }
  void SetModemLines(bool on) { modemLines_ = on; }
  void SetDriverRs485(bool on) { driverRs485_ = on; }

  // --- what happened ---
  // "open DEV", "configure BAUD", "timeout MS", "parity", "purge", "write HEX", "rts 1",
  // "drain", "read N", "close", "rs485"; one-byte transmits are gathered into "bytes HEX".
  const QStringList& events() const { return events_; }
  // Events with the clock's milliseconds in front: "12 rts 1".
  const QStringList& timeline() const { return timeline_; }
  // Forgets events, timeline and frames.
  void ClearEvents() {
    events_.clear();
    timeline_.clear();
    frames_.clear();
  }
  // Every frame that reached the line (whole writes and byte-by-byte sends).
  const std::vector<QByteArray>& frames() const { return frames_; }
  int OpenCount() const { return openCount_; }
  QString device() const { return device_; }
  int baudRate() const { return baudRate_; }
  int readTimeoutConstant() const { return readTimeoutConstant_; }
  int transmitAttempts() const { return transmitAttempts_; }

  // --- SerialPort ---
  bool Open(const QString& device) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  bool Configure(int baudRate) override;
  void SetReadTimeoutConstant(int milliseconds) override;
  void Purge() override;
  int Write(const QByteArray& bytes) override;
  bool TransmitByte(std::uint8_t byte) override;
  void Drain() override;
  void SetRts(bool on) override;
  bool EnableDriverRs485() override;
  QByteArray Read(int count) override;
  PortError LastError() const override { return error_; }
  QString LastErrorText() const override { return errorText_; }
  void ClearError() override {
    error_ = PortError::None;
    errorText_.clear();
  }
  bool ForceNoParity() override;
  bool HasModemLines() const override { return modemLines_; }

 private:
  void Record(const QString& event);
  void FlushBytes();

  TestClock* clock_;
  std::deque<QByteArray> replies_;
  std::function<QByteArray(const QByteArray&, int)> responder_;
  PortError openError_ = PortError::None;
  QString openErrorText_;
  bool failConfigure_ = false;
  int writeLimit_ = -1;
  std::map<int, int> byteRefusals_;
  bool failParity_ = false;
  PortError purgeError_ = PortError::None;
  PortError readError_ = PortError::None;
  bool modemLines_ = true;
  bool driverRs485_ = false;

  bool open_ = false;
  QString device_;
  int baudRate_ = 0;
  int readTimeoutConstant_ = 0;
  int openCount_ = 0;
  int transmitAttempts_ = 0;
  QByteArray pendingBytes_;  // one-byte transmits of the frame being sent
  QByteArray lastFrame_;
  PortError error_ = PortError::None;
  QString errorText_;
  QStringList events_;
  QStringList timeline_;
  std::vector<QByteArray> frames_;
};

}  // namespace qdx::test
