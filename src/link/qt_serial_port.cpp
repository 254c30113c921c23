#include "link/qt_serial_port.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace qdx {

namespace {

constexpr qint64 kBufferSize = 4096;

int WriteTimeoutMs(qsizetype count) {
  return static_cast<int>(count) * 100 + 1000;
}

}  // namespace

QString PortErrorText(PortError error, const QString& device, const QString& systemText) {
  QString text;
  switch (error) {
    case PortError::None:
      return {};
    case PortError::NoSuchDevice:
      text = QStringLiteral(
                 "%1: no such device. Check the port number, or map the port to a device in "
                 "the Ports section of ustawienia.ini (for example COM3=/dev/ttyUSB0).")
                 .arg(device);
      break;
    case PortError::PermissionDenied:
      text = QStringLiteral(
                 "%1: permission denied. The user must be in the dialout group "
                 "(sudo usermod -aG dialout $USER, then log in again).")
                 .arg(device);
      break;
    case PortError::Busy:
      text = QStringLiteral(
                 "%1 is busy: another program holds the port. Close that program "
                 "and try again.")
                 .arg(device);
      break;
    case PortError::Unplugged:
      text = QStringLiteral("%1 went away (unplugged?). Plug the adapter in again and retry.")
                 .arg(device);
      break;
    case PortError::Other:
      text = QStringLiteral("%1 cannot be used.").arg(device);
      break;
  }
  if (!systemText.isEmpty()) text += QStringLiteral(" (%1)").arg(systemText);
  return text;
}

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() {
  Close();
}

void QtSerialPort::SetError(PortError error, const QString& text) {
  error_ = error;
  errorText_ = text;
}

void QtSerialPort::ClearError() {
  SetError(PortError::None, {});
  if (port_) port_->clearError();
}

bool QtSerialPort::TakePortError() {
  if (!port_) return false;
  const QSerialPort::SerialPortError e = port_->error();
  if (e == QSerialPort::NoError || e == QSerialPort::TimeoutError) {
    port_->clearError();
    return false;
  }
  const QString systemText = port_->errorString();
  port_->clearError();
  if (e == QSerialPort::ResourceError) {
    SetError(PortError::Unplugged, PortErrorText(PortError::Unplugged, device_, systemText));
    return true;
  }
  // A failed read or write on a working port only shows in the byte counts.
  if (e == QSerialPort::ReadError || e == QSerialPort::WriteError) return false;
  SetError(PortError::Other, PortErrorText(PortError::Other, device_, systemText));
  return true;
}

bool QtSerialPort::Open(const QString& device) {
  Close();
  ClearError();
  device_ = device;
  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(device);
  if (port_->open(QIODevice::ReadWrite)) {
    port_->setReadBufferSize(kBufferSize);
#ifdef Q_OS_LINUX
    int lines = 0;
    modemLines_ = ::ioctl(port_->handle(), TIOCMGET, &lines) == 0;
#else
    modemLines_ = true;
#endif
    return true;
  }
  const QSerialPort::SerialPortError e = port_->error();
  const QString systemText = port_->errorString();
  PortError why = PortError::Other;
  if (e == QSerialPort::DeviceNotFoundError) {
    why = PortError::NoSuchDevice;
  } else if (e == QSerialPort::PermissionError) {
    // Qt reports a lock held by another program and missing rights alike; the rights of
    // the device file tell the two apart.
    why = PortError::Busy;
#ifdef Q_OS_UNIX
    const QByteArray path = QFileInfo(device).absoluteFilePath().toLocal8Bit();
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
      why = PortError::PermissionDenied;
    }
#endif
  } else if (e == QSerialPort::ResourceError) {
    why = PortError::Unplugged;
  }
#ifdef Q_OS_UNIX
  if (why == PortError::Other && !QFileInfo::exists(device)) why = PortError::NoSuchDevice;
#endif
  SetError(why, PortErrorText(why, device, systemText));
  port_.reset();
  return false;
}

void QtSerialPort::RestoreRs485() {
#ifdef Q_OS_LINUX
  if (rs485Changed_ && port_ && port_->isOpen() && savedRs485_) {
    ::ioctl(port_->handle(), TIOCSRS485, reinterpret_cast<serial_rs485*>(savedRs485_.get()));
  }
#endif
  rs485Changed_ = false;
  savedRs485_.reset();
}

void QtSerialPort::Close() {
  if (!port_) return;
  // The kernel keeps RS-485 mode after close; leave the port as we found it.
  RestoreRs485();
  if (port_->isOpen()) port_->close();
  port_.reset();
  modemLines_ = false;
}

bool QtSerialPort::IsOpen() const {
  return port_ && port_->isOpen();
}

bool QtSerialPort::Configure(int baudRate) {
  if (!IsOpen()) {
    SetError(PortError::Other, PortErrorText(PortError::Other, device_, "not open"));
    return false;
  }
  if (baudRate <= 0) {
    SetError(PortError::Other,
             PortErrorText(PortError::Other, device_, QStringLiteral("unsupported speed")));
    return false;
  }
  bool ok = port_->setBaudRate(baudRate) && port_->setDataBits(QSerialPort::Data8) &&
            port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::TwoStop) &&
            port_->setFlowControl(QSerialPort::NoFlowControl);
  if (ok && modemLines_) ok = port_->setDataTerminalReady(false);
  if (!ok) {
    const QString systemText = port_->errorString();
    port_->clearError();
    SetError(PortError::Other, PortErrorText(PortError::Other, device_, systemText));
  }
  return ok;
}

void QtSerialPort::SetReadTimeoutConstant(int milliseconds) {
  readTimeoutConstant_ = milliseconds < 0 ? 0 : milliseconds;
}

bool QtSerialPort::ForceNoParity() {
  if (!IsOpen()) return false;
  if (port_->parity() == QSerialPort::NoParity) return true;
  if (port_->setParity(QSerialPort::NoParity)) return true;
  TakePortError();
  return false;
}

void QtSerialPort::Purge() {
  if (!IsOpen()) return;
  if (!port_->clear(QSerialPort::AllDirections)) TakePortError();
}

int QtSerialPort::Write(const QByteArray& bytes) {
  if (!IsOpen()) return 0;
  const qint64 accepted = port_->write(bytes);
  if (accepted < 0) {
    TakePortError();
    return 0;
  }
  QElapsedTimer timer;
  timer.start();
  const int timeout = WriteTimeoutMs(bytes.size());
  while (port_->bytesToWrite() > 0) {
    const qint64 left = timeout - timer.elapsed();
    if (left <= 0) break;
    if (!port_->waitForBytesWritten(static_cast<int>(left))) {
      if (TakePortError()) break;
      if (timer.elapsed() >= timeout) break;
    }
  }
  const qint64 written = accepted - port_->bytesToWrite();
  return static_cast<int>(written < 0 ? 0 : written);
}

bool QtSerialPort::TransmitByte(std::uint8_t byte) {
  if (!IsOpen()) return false;
#ifdef Q_OS_UNIX
  // Straight to the driver: a full driver buffer refuses the byte (the port is non-blocking),
  // so the caller offers it again.
  const ssize_t n = ::write(port_->handle(), &byte, 1);
  if (n == 1) return true;
  if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
    const QString systemText = QString::fromLocal8Bit(std::strerror(errno));
    const PortError why = (errno == EIO || errno == ENXIO || errno == ENODEV) ? PortError::Unplugged
                                                                              : PortError::Other;
    SetError(why, PortErrorText(why, device_, systemText));
  }
  return false;
#else
  const char c = static_cast<char>(byte);
  if (port_->write(&c, 1) != 1) return false;
  return port_->waitForBytesWritten(WriteTimeoutMs(1));
#endif
}

void QtSerialPort::Drain() {
  if (!IsOpen()) return;
#ifdef Q_OS_UNIX
  port_->flush();
  ::tcdrain(port_->handle());
#else
  port_->waitForBytesWritten(WriteTimeoutMs(port_->bytesToWrite()));
#endif
}

void QtSerialPort::SetRts(bool on) {
  if (!IsOpen() || !modemLines_) return;
  if (!port_->setRequestToSend(on)) TakePortError();
}

bool QtSerialPort::EnableDriverRs485() {
#ifdef Q_OS_LINUX
  if (!IsOpen()) return false;
  const int fd = port_->handle();
  serial_rs485 before{};
  if (::ioctl(fd, TIOCGRS485, &before) != 0) return false;
  serial_rs485 wanted{};
  wanted.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
  if (::ioctl(fd, TIOCSRS485, &wanted) != 0) return false;
  savedRs485_ = std::make_unique<unsigned char[]>(sizeof(serial_rs485));
  std::memcpy(savedRs485_.get(), &before, sizeof before);
  rs485Changed_ = true;
  // The kernel clears what the driver cannot do instead of failing: only the read-back
  // says whether the driver really toggles RTS around transmissions.
  serial_rs485 actual{};
  const bool ok = ::ioctl(fd, TIOCGRS485, &actual) == 0 &&
                  (actual.flags & SER_RS485_ENABLED) != 0 &&
                  (actual.flags & SER_RS485_RTS_ON_SEND) != 0;
  if (!ok) RestoreRs485();
  return ok;
#else
  return false;
#endif
}

QByteArray QtSerialPort::Read(int count) {
  QByteArray out;
  if (!IsOpen() || count <= 0) return out;
  QElapsedTimer timer;
  timer.start();
  const qint64 deadline = static_cast<qint64>(count) + readTimeoutConstant_;
  while (out.size() < count) {
    if (port_->bytesAvailable() > 0) {
      out.append(port_->read(count - out.size()));
      continue;
    }
    const qint64 left = deadline - timer.elapsed();
    if (left <= 0) break;
    if (!port_->waitForReadyRead(static_cast<int>(left))) {
      if (TakePortError()) break;
      if (port_->bytesAvailable() == 0 && timer.elapsed() >= deadline) break;
    }
  }
  return out;
}

}  // namespace qdx
