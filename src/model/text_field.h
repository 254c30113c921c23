// Length-prefixed text inside a record: one length byte, then up to `capacity` 8-bit
// code-page characters. Bytes after the used length belong to nobody and are never touched.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/record_view.h"

namespace qdx {

template <RecordByte Byte>
class BasicTextField {
 public:
  BasicTextField(Byte* p, std::size_t capacity) : p_(p), capacity_(capacity) {
    Q_ASSERT(capacity <= 255);
  }
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicTextField(const BasicTextField<Other>& other)  // NOLINT: a writable field reads as well
      : p_(other.data()), capacity_(other.Capacity()) {}

  Byte* data() const { return p_; }
  // Characters the field can hold; the field occupies Capacity() + 1 bytes.
  std::size_t Capacity() const { return capacity_; }
  std::size_t FieldSize() const { return capacity_ + 1; }

  // The stored length byte as it is, possibly damaged (above the capacity).
  std::uint8_t LengthByte() const { return p_[0]; }
  // Characters in use. A length byte above the capacity counts as the capacity, so a damaged
  // record never makes a reader look past its field.
  std::size_t Length() const { return std::min<std::size_t>(p_[0], capacity_); }
  // The characters in use, as raw 8-bit bytes (no decoding).
  QByteArray Bytes() const { return QByteArray(reinterpret_cast<const char*>(p_ + 1), Length()); }

  // Stores at most Capacity() characters and their length; the bytes after them keep
  // whatever they held.
  void SetBytes(QByteArrayView text) const requires(!std::is_const_v<Byte>) {
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(text.size()), capacity_);
    p_[0] = static_cast<std::uint8_t>(n);
    std::copy_n(reinterpret_cast<const std::uint8_t*>(text.data()), n, p_ + 1);
  }
  void SetLengthByte(std::uint8_t length) const requires(!std::is_const_v<Byte>) { p_[0] = length; }

 private:
  Byte* p_;
  std::size_t capacity_;
};

using TextField = BasicTextField<std::uint8_t>;
using ConstTextField = BasicTextField<const std::uint8_t>;

}  // namespace qdx
