#include "link/port_status.h"

#include <QFileInfo>

namespace qdx {

namespace {

bool DevicePresent(const QString& device) {
#ifdef Q_OS_WIN
  Q_UNUSED(device);
  return true;  // COM names are not files
#else
  return QFileInfo::exists(device);
#endif
}

}  // namespace

QString DescribePortChoice(int portIndex, const LineSettings& settings) {
  const PortDevice d = ResolvePortDevice(portIndex, settings.ports);
  const QString name = ComPortName(portIndex);
  QString text;
  switch (d.source) {
    case PortSource::Configured:
      text = QStringLiteral("%1 = %2 (Ports section of ustawienia.ini)").arg(name, d.device);
      if (QFileInfo(EmulatorPortLink(portIndex + 1)).exists()) {
        text += QStringLiteral("; the running Emulator QDX is not used while this entry exists");
      } else if (!DevicePresent(d.device)) {
        text += QStringLiteral("; this device is not present");
      }
      return text;
    case PortSource::Emulator: {
      const QString target = QFileInfo(d.device).symLinkTarget();
      return QStringLiteral("%1 = %2 (Emulator QDX)")
          .arg(name, target.isEmpty() ? d.device : target);
    }
    case PortSource::Default:
      break;
  }
  text = QStringLiteral("%1 = %2 (standard serial device)").arg(name, d.device);
  if (!DevicePresent(d.device)) {
    text += QStringLiteral(
                "; not present: map %1 to a device in the Ports section of "
                "ustawienia.ini, or start Emulator QDX")
                .arg(name);
  }
  return text;
}

void PortStatus::SetPort(int portIndex, const LineSettings& settings) {
  description_ = DescribePortChoice(portIndex, settings);
  device_ = ResolvePortDevice(portIndex, settings.ports).device;
  // A failure of a device that is no longer the chosen one would only mislead.
  if (errorDevice_ != device_) error_ = PortError::None;
}

void PortStatus::Report(const QString& device, PortError error, const QString& text) {
  errorDevice_ = device;
  error_ = error;
  errorText_ = text;
}

QString PortStatus::Text() const {
  // The link may fail on a device the window no longer shows (a port chosen meanwhile).
  if (error_ == PortError::None || errorDevice_ != device_) return description_;
  // The device is named already; the reason follows without it, to fit the line.
  QString reason = errorText_;
  const QString prefix = errorDevice_ + QStringLiteral(": ");
  if (reason.startsWith(prefix)) reason.remove(0, prefix.size());
  return QStringLiteral("%1. Last failure: %2").arg(description_, reason);
}

WatchedSerialPort::WatchedSerialPort(std::unique_ptr<SerialPort> inner)
    : inner_(std::move(inner)) {}

void WatchedSerialPort::Notify(PortError error, const QString& text) {
  if (observer_) observer_(device_, error, text);
}

void WatchedSerialPort::Check() {
  const PortError error = inner_->LastError();
  if (error == PortError::None) return;
  QString text = inner_->LastErrorText();
  if (text.isEmpty()) text = QStringLiteral("%1: port error").arg(device_);
  Notify(error, text);
}

bool WatchedSerialPort::Open(const QString& device) {
  device_ = device;
  const bool ok = inner_->Open(device);
  if (ok) {
    Notify(PortError::None, {});
  } else if (inner_->LastError() == PortError::None) {
    Notify(PortError::Other, QStringLiteral("%1 cannot be opened.").arg(device));
  } else {
    Check();
  }
  return ok;
}

bool WatchedSerialPort::Configure(int baudRate) {
  const bool ok = inner_->Configure(baudRate);
  if (!ok && inner_->LastError() == PortError::None) {
    Notify(PortError::Other,
           QStringLiteral("%1 does not accept %2 baud.").arg(device_).arg(baudRate));
  } else if (!ok) {
    Check();
  }
  return ok;
}

void WatchedSerialPort::Purge() {
  inner_->Purge();
  Check();
}

int WatchedSerialPort::Write(const QByteArray& bytes) {
  const int written = inner_->Write(bytes);
  Check();
  return written;
}

bool WatchedSerialPort::TransmitByte(std::uint8_t byte) {
  const bool sent = inner_->TransmitByte(byte);
  if (!sent) Check();
  return sent;
}

void WatchedSerialPort::SetRts(bool on) {
  inner_->SetRts(on);
  Check();
}

QByteArray WatchedSerialPort::Read(int count) {
  QByteArray bytes = inner_->Read(count);
  Check();
  return bytes;
}

bool WatchedSerialPort::ForceNoParity() {
  const bool ok = inner_->ForceNoParity();
  if (!ok) Check();
  return ok;
}

}  // namespace qdx
