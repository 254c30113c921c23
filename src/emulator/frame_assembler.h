// Cuts a byte stream into request frames by the total length in bytes 3..4, as a device on
// the bus does. Bytes that cannot start a frame are skipped one at a time, and a partial
// frame followed by silence is thrown away, so the stream recovers after any garbage.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace qdx {

class FrameAssembler {
 public:
  // Large enough for any request (the longest carries a program page of about 530 bytes).
  static constexpr int kMaxFrameSize = 2048;
  // A partial frame older than this when the next bytes come is dropped.
  static constexpr std::int64_t kSilenceMicroseconds = 50'000;

  // Bytes that arrived at nowMicroseconds.
  void Append(const QByteArray& bytes, std::int64_t nowMicroseconds);
  // The next complete frame, if there is one.
  std::optional<QByteArray> Take();
  // Drops a partial frame when nothing has come for the silence time.
  void Expire(std::int64_t nowMicroseconds);

  bool HasPartial() const { return !buffer_.isEmpty(); }
  std::int64_t LastByteMicroseconds() const { return lastByteAt_; }
  // Bytes thrown away so far (garbage and expired partial frames).
  std::int64_t Discarded() const { return discarded_; }
  void Clear() { buffer_.clear(); }

 private:
  QByteArray buffer_;
  std::int64_t lastByteAt_ = 0;
  std::int64_t discarded_ = 0;
};

}  // namespace qdx
