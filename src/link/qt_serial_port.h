// The real serial port: QSerialPort for open, settings and buffered I/O, plus the few
// terminal calls Qt does not offer (RS-485 driver mode, drain, one-byte writes).
#pragma once

#include <QSerialPort>
#include <memory>

#include "link/serial_port.h"

namespace qdx {

class QtSerialPort : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;

  bool Open(const QString& device) override;
  void Close() override;
  bool IsOpen() const override;
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
  void ClearError() override;
  bool ForceNoParity() override;
  bool HasModemLines() const override { return modemLines_; }

 private:
  void SetError(PortError error, const QString& text);
  // Turns the port's own error into ours; true when it broke the port.
  bool TakePortError();
  void RestoreRs485();

  std::unique_ptr<QSerialPort> port_;
  QString device_;
  int readTimeoutConstant_ = 2500;
  bool modemLines_ = false;
  bool rs485Changed_ = false;
  std::unique_ptr<unsigned char[]> savedRs485_;  // the driver's RS-485 settings before ours
  PortError error_ = PortError::None;
  QString errorText_;
};

// The readable reason for an error of device, telling the user what to do next.
QString PortErrorText(PortError error, const QString& device, const QString& systemText = {});

}  // namespace qdx
