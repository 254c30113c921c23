#include "emulator/frame_assembler.h"

#include "link/frame.h"

namespace qdx {

void FrameAssembler::Append(const QByteArray& bytes, std::int64_t nowMicroseconds) {
  if (bytes.isEmpty()) return;
  Expire(nowMicroseconds);
  buffer_.append(bytes);
  lastByteAt_ = nowMicroseconds;
}

void FrameAssembler::Expire(std::int64_t nowMicroseconds) {
  if (!buffer_.isEmpty() && nowMicroseconds - lastByteAt_ > kSilenceMicroseconds) {
    discarded_ += buffer_.size();
    buffer_.clear();
  }
}

std::optional<QByteArray> FrameAssembler::Take() {
  for (;;) {
    if (buffer_.size() < 2) return std::nullopt;
    const auto function = static_cast<std::uint8_t>(buffer_[1]);
    if (function != kFunction46 && function != kFunction47) {
      buffer_.remove(0, 1);
      ++discarded_;
      continue;
    }
    if (buffer_.size() < kFrameHeaderSize) return std::nullopt;
    const int length =
        (static_cast<std::uint8_t>(buffer_[3]) << 8) | static_cast<std::uint8_t>(buffer_[4]);
    if (length < kEmptyRequestSize || length > kMaxFrameSize) {
      buffer_.remove(0, 1);
      ++discarded_;
      continue;
    }
    if (buffer_.size() < length) return std::nullopt;
    QByteArray frame = buffer_.left(length);
    buffer_.remove(0, length);
    return frame;
  }
}

}  // namespace qdx
