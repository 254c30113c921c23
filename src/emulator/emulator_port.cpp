#include "emulator/emulator_port.h"

#include <algorithm>

namespace qdx {

EmulatorPort::EmulatorPort(Emulator& emulator, Clock& clock) : emulator_(emulator), clock_(clock) {}

void EmulatorPort::FailNextOpen(PortError error, const QString& text) {
  failOpen_ = error;
  failOpenText_ = text;
}

int EmulatorPort::PendingReplyBytes() const {
  int total = 0;
  for (const Chunk& chunk : replies_) total += static_cast<int>(chunk.bytes.size());
  return total;
}

bool EmulatorPort::Open(const QString& device) {
  if (failOpen_ != PortError::None) {
    error_ = failOpen_;
    errorText_ = failOpenText_;
    failOpen_ = PortError::None;
    return false;
  }
  open_ = true;
  device_ = device;
  ++openCount_;
  ClearError();
  return true;
}

void EmulatorPort::Close() {
  open_ = false;
  replies_.clear();
  assembler_.Clear();
}

bool EmulatorPort::Configure(int baudRate) {
  if (!open_) {
    NotOpen();
    return false;
  }
  if (baudRate <= 0) {
    error_ = PortError::Other;
    errorText_ = QStringLiteral("Unsupported speed %1").arg(baudRate);
    return false;
  }
  baud_ = baudRate;
  return true;
}

void EmulatorPort::Purge() {
  replies_.clear();
}

int EmulatorPort::Write(const QByteArray& bytes) {
  if (!open_) {
    NotOpen();
    return 0;
  }
  Deliver(bytes);
  return static_cast<int>(bytes.size());
}

bool EmulatorPort::TransmitByte(std::uint8_t byte) {
  if (!open_) {
    NotOpen();
    return false;
  }
  Deliver(QByteArray(1, static_cast<char>(byte)));
  return true;
}

void EmulatorPort::Deliver(const QByteArray& bytes) {
  const std::int64_t now = clock_.NowMicroseconds();
  assembler_.Append(bytes, now);
  while (const std::optional<QByteArray> frame = assembler_.Take()) {
    const std::optional<QByteArray> reply = emulator_.HandleFrame(*frame);
    if (!reply) continue;
    std::int64_t delay = 0;
    if (paceBaud_ >= 0) {
      delay = WireTimeMicroseconds(static_cast<int>(frame->size() + reply->size()),
                                   paceBaud_ == 0 ? baud_ : paceBaud_);
    }
    replies_.push_back({*reply, now + delay});
  }
}

void EmulatorPort::SleepUntil(std::int64_t microseconds) {
  const std::int64_t left = microseconds - clock_.NowMicroseconds();
  if (left > 0) clock_.SleepMilliseconds(static_cast<int>((left + 999) / 1000));
}

QByteArray EmulatorPort::Read(int count) {
  if (!open_) {
    NotOpen();
    return {};
  }
  if (count <= 0) return {};
  const std::int64_t deadline =
      clock_.NowMicroseconds() + (static_cast<std::int64_t>(count) + readTimeoutConstant_) * 1000;

  // When the count-th byte is there, if it ever comes.
  int queued = 0;
  std::int64_t complete = 0;
  for (const Chunk& chunk : replies_) {
    queued += static_cast<int>(chunk.bytes.size());
    complete = std::max(complete, chunk.availableAt);
    if (queued >= count) break;
  }
  const bool inTime = queued >= count && complete <= deadline;
  SleepUntil(inTime ? complete : deadline);

  // Hand out what has arrived by now, at most count bytes.
  const std::int64_t now = clock_.NowMicroseconds();
  QByteArray out;
  while (!replies_.empty() && out.size() < count && replies_.front().availableAt <= now) {
    Chunk& chunk = replies_.front();
    const qsizetype take = std::min<qsizetype>(count - out.size(), chunk.bytes.size());
    out.append(chunk.bytes.left(take));
    chunk.bytes.remove(0, take);
    if (chunk.bytes.isEmpty()) replies_.pop_front();
  }
  return out;
}

void EmulatorPort::ClearError() {
  error_ = PortError::None;
  errorText_.clear();
}

void EmulatorPort::NotOpen() {
  error_ = PortError::Other;
  errorText_ = QStringLiteral("The port is not open");
}

}  // namespace qdx
