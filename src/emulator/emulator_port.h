// A serial port with the emulated controller at the other end, inside the process: no file
// descriptors, no threads. Written bytes reach the emulator as soon as they form a frame;
// reads return its replies and wait out the read timeout on the injected clock, so tests of
// timeouts and retries run in no time.
#pragma once

#include <QByteArray>
#include <QString>
#include <deque>

#include "emulator/emulator.h"
#include "emulator/frame_assembler.h"
#include "link/serial_port.h"

namespace qdx {

class EmulatorPort : public SerialPort {
 public:
  // The clock must be the one the emulator measures its delays with.
  EmulatorPort(Emulator& emulator, Clock& clock);

  // The next Open fails with this error (once).
  void FailNextOpen(PortError error, const QString& text);
  // Replies take the time they would take on the wire (11 bits a byte, request and reply) at
  // baud; 0 uses the speed the port was configured with; a negative value turns pacing off.
  void SetPacing(int baud) { paceBaud_ = baud; }
  void SetHasModemLines(bool has) { hasModemLines_ = has; }
  void SetDriverRs485(bool available) { driverRs485_ = available; }

  QString OpenedDevice() const { return device_; }
  int OpenCount() const { return openCount_; }
  int ConfiguredBaud() const { return baud_; }
  int ReadTimeoutConstant() const { return readTimeoutConstant_; }
  bool Rts() const { return rts_; }
  // Reply bytes the port still holds (not read, not purged).
  int PendingReplyBytes() const;

  bool Open(const QString& device) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  bool Configure(int baudRate) override;
  void SetReadTimeoutConstant(int milliseconds) override { readTimeoutConstant_ = milliseconds; }
  void Purge() override;
  int Write(const QByteArray& bytes) override;
  bool TransmitByte(std::uint8_t byte) override;
  void Drain() override {}
  void SetRts(bool on) override { rts_ = on; }
  bool EnableDriverRs485() override { return open_ && driverRs485_; }
  QByteArray Read(int count) override;
  PortError LastError() const override { return error_; }
  QString LastErrorText() const override { return errorText_; }
  void ClearError() override;
  bool HasModemLines() const override { return hasModemLines_; }

 private:
  struct Chunk {
    QByteArray bytes;
    std::int64_t availableAt = 0;
  };

  void Deliver(const QByteArray& bytes);
  void SleepUntil(std::int64_t microseconds);
  void NotOpen();

  Emulator& emulator_;
  Clock& clock_;
  FrameAssembler assembler_;
  std::deque<Chunk> replies_;

  bool open_ = false;
  QString device_;
  int openCount_ = 0;
  int baud_ = 0;
  int readTimeoutConstant_ = 2500;
  int paceBaud_ = -1;
  bool rts_ = false;
  bool hasModemLines_ = true;
  bool driverRs485_ = true;
  PortError failOpen_ = PortError::None;
  QString failOpenText_;
  PortError error_ = PortError::None;
  QString errorText_;
};

}  // namespace qdx
