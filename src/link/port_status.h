// What the main window's status line says about the link: which device the chosen COM port
// is and why (a Ports entry, a running emulator, the standard serial device), and why the
// port last failed. A watching port wrapper reports every open and every port failure, so the
// line follows failures whichever window caused them.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "model/line_settings.h"
#include "link/port_names.h"
#include "link/serial_port.h"

namespace qdx {

// "COM3 = /dev/ttyUSB0 (Ports section of ustawienia.ini)", "COM1 = /dev/pts/4 (Emulator
// QDX)", "COM2 = /dev/ttyS1 (standard serial device)", with a note when the device is missing
// or when a Ports entry hides a running emulator's link.
QString DescribePortChoice(int portIndex, const LineSettings& settings);

// The status line's text: the chosen port and the last failure of its device.
class PortStatus {
 public:
  // A new choice of port (or new settings); a failure of another device is forgotten.
  void SetPort(int portIndex, const LineSettings& settings);
  // The port on device opened (error None: the failure kept for it is over) or failed.
  void Report(const QString& device, PortError error, const QString& text);

  PortError lastError() const { return error_; }
  QString Text() const;

 private:
  QString description_;
  QString device_;  // what the chosen port resolves to
  QString errorDevice_;
  PortError error_ = PortError::None;
  QString errorText_;
};

// A serial port that tells an observer about every open and every port failure, and passes
// everything else through unchanged.
class WatchedSerialPort : public SerialPort {
 public:
  // device; None with an empty text after a successful open, else the error and its reason.
  using Observer = std::function<void(const QString& device, PortError error, const QString& text)>;

  explicit WatchedSerialPort(std::unique_ptr<SerialPort> inner);
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  SerialPort& inner() { return *inner_; }

  bool Open(const QString& device) override;
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Configure(int baudRate) override;
  void SetReadTimeoutConstant(int milliseconds) override {
    inner_->SetReadTimeoutConstant(milliseconds);
  }
  void Purge() override;
  int Write(const QByteArray& bytes) override;
  bool TransmitByte(std::uint8_t byte) override;
  void Drain() override { inner_->Drain(); }
  void SetRts(bool on) override;
  bool EnableDriverRs485() override { return inner_->EnableDriverRs485(); }
  QByteArray Read(int count) override;
  PortError LastError() const override { return inner_->LastError(); }
  QString LastErrorText() const override { return inner_->LastErrorText(); }
  void ClearError() override { inner_->ClearError(); }
  bool ForceNoParity() override;
  bool HasModemLines() const override { return inner_->HasModemLines(); }

 private:
  // Reports the inner port's error, if it has one now.
  void Check();
  void Notify(PortError error, const QString& text);

  std::unique_ptr<SerialPort> inner_;
  Observer observer_;
  QString device_;
};

}  // namespace qdx
