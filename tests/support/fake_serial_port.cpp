#include "fake_serial_port.h"

namespace qdx::test {

void TestClock::SleepMilliseconds(int ms) {
  waits_ << QStringLiteral("sleep %1").arg(ms);
  now_ += static_cast<std::int64_t>(ms) * 1000;
}

void TestClock::BusyWaitMilliseconds(int ms) {
  waits_ << QStringLiteral("busy %1").arg(ms);
  now_ += static_cast<std::int64_t>(ms) * 1000;
}

QString Hex(const QByteArray& bytes) {
  QStringList parts;
  for (const char c : bytes) {
    parts << QStringLiteral("%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
  }
  return parts.join(QLatin1Char(' '));
}

QByteArray FromHex(const QString& hex) {
  QString compact = hex;
  compact.remove(QLatin1Char(' '));
  return QByteArray::fromHex(compact.toLatin1());
}

QByteArray WithCrc(const QByteArray& bytes) {
  // Computed here rather than with the link's own function, so that test support needs no
  // link library and the tests check the link against an independent sum.
  std::uint16_t crc = 0xFFFF;
  for (const char c : bytes) {
    crc ^= static_cast<std::uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  QByteArray out = bytes;
  out.append(static_cast<char>(crc & 0xFF));
  out.append(static_cast<char>(crc >> 8));
  return out;
}

void FakeSerialPort::Record(const QString& event) {
  events_ << event;
  timeline_ << QStringLiteral("%1 %2").arg(clock_ ? clock_->NowMs() : 0).arg(event);
}

void FakeSerialPort::FlushBytes() {
  if (pendingBytes_.isEmpty()) return;
  Record(QStringLiteral("bytes %1").arg(Hex(pendingBytes_)));
  frames_.push_back(pendingBytes_);
  lastFrame_ = pendingBytes_;
  pendingBytes_.clear();
}

bool FakeSerialPort::Open(const QString& device) {
  Record(QStringLiteral("open %1").arg(device));
  if (openError_ != PortError::None) {
    error_ = openError_;
    errorText_ = openErrorText_;
    return false;
  }
  open_ = true;
  device_ = device;
  ++openCount_;
  return true;
}

void FakeSerialPort::Close() {
  FlushBytes();
  if (open_) Record(QStringLiteral("close"));
  open_ = false;
}

bool FakeSerialPort::Configure(int baudRate) {
  Record(QStringLiteral("configure %1").arg(baudRate));
  if (failConfigure_ || baudRate <= 0) {
    error_ = PortError::Other;
    errorText_ = QStringLiteral("cannot configure");
    return false;
  }
  baudRate_ = baudRate;
  return true;
}

void FakeSerialPort::SetReadTimeoutConstant(int milliseconds) {
  Record(QStringLiteral("timeout %1").arg(milliseconds));
  readTimeoutConstant_ = milliseconds;
}

bool FakeSerialPort::ForceNoParity() {
  Record(QStringLiteral("parity"));
  if (failParity_) {
    error_ = PortError::Other;
    errorText_ = QStringLiteral("parity failed");
    return false;
  }
  return true;
}

void FakeSerialPort::Purge() {
  Record(QStringLiteral("purge"));
  if (purgeError_ != PortError::None) {
    error_ = purgeError_;
    errorText_ = QStringLiteral("purge failed");
  }
}

int FakeSerialPort::Write(const QByteArray& bytes) {
  const QByteArray taken = writeLimit_ >= 0 ? bytes.left(writeLimit_) : bytes;
  Record(QStringLiteral("write %1").arg(Hex(taken)));
  frames_.push_back(taken);
  lastFrame_ = taken;
  return static_cast<int>(taken.size());
}

bool FakeSerialPort::TransmitByte(std::uint8_t byte) {
  ++transmitAttempts_;
  const int index = static_cast<int>(pendingBytes_.size());
  auto refusal = byteRefusals_.find(index);
  if (refusal != byteRefusals_.end() && refusal->second > 0) {
    --refusal->second;
    return false;
  }
  pendingBytes_.append(static_cast<char>(byte));
  return true;
}

void FakeSerialPort::Drain() {
  FlushBytes();
  Record(QStringLiteral("drain"));
}

void FakeSerialPort::SetRts(bool on) {
  FlushBytes();
  Record(QStringLiteral("rts %1").arg(on ? 1 : 0));
}

bool FakeSerialPort::EnableDriverRs485() {
  if (driverRs485_) Record(QStringLiteral("rs485"));
  return driverRs485_;
}

QByteArray FakeSerialPort::Read(int count) {
  FlushBytes();
  Record(QStringLiteral("read %1").arg(count));
  QByteArray reply;
  if (!replies_.empty()) {
    reply = replies_.front();
    replies_.pop_front();
  } else if (responder_ && !lastFrame_.isEmpty()) {
    reply = responder_(lastFrame_, count);
  }
  lastFrame_.clear();
  if (reply.size() >= count) {
    reply.truncate(count);
  } else if (clock_) {
    // Fewer bytes than asked for: the whole read timeout runs out.
    clock_->Advance((static_cast<std::int64_t>(count) + readTimeoutConstant_) * 1000);
  }
  if (readError_ != PortError::None) {
    error_ = readError_;
    errorText_ = QStringLiteral("read failed");
    readError_ = PortError::None;
  }
  return reply;
}

}  // namespace qdx::test
