// Common ground of the record views: a view is a pointer to the first byte of one record
// plus named accessors that read and write its fields little-endian at fixed offsets.
// A view over `std::uint8_t` may change the record; a view over `const std::uint8_t` only
// reads it. Views are cheap to copy and never own their bytes.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "model/bytes.h"

namespace qdx {

template <typename Byte>
concept RecordByte = std::is_same_v<std::remove_const_t<Byte>, std::uint8_t>;

namespace detail {

// A record number outside its section is a programming error; stopping here keeps a wrong
// number from reaching bytes of another region or outside the block.
[[noreturn]] inline void RecordIndexOutOfRange(const char* what, long long n, long long first,
                                               long long last) {
  qFatal("%s %lld is outside %lld..%lld", what, n, first, last);
}

inline void CheckRecordIndex(const char* what, long long n, long long first, long long last) {
  if (n < first || n > last) RecordIndexOutOfRange(what, n, first, last);
}

// Typed little-endian access at byte offsets from the start of one record.
template <RecordByte Byte>
class FieldAccess {
 public:
  static constexpr bool kWritable = !std::is_const_v<Byte>;

  explicit FieldAccess(Byte* p) : p_(p) {}
  Byte* data() const { return p_; }

 protected:
  std::uint8_t U8(std::size_t off) const { return p_[off]; }
  std::uint16_t U16(std::size_t off) const { return ReadLe16(p_ + off); }
  std::int16_t S16(std::size_t off) const { return ReadLeS16(p_ + off); }
  std::uint32_t U32(std::size_t off) const { return ReadLe32(p_ + off); }
  std::int32_t S32(std::size_t off) const { return ReadLeS32(p_ + off); }
  double F64(std::size_t off) const { return ReadLeDouble(p_ + off); }

  void SetU8(std::size_t off, std::uint8_t v) const requires kWritable { p_[off] = v; }
  void SetU16(std::size_t off, std::uint16_t v) const requires kWritable { WriteLe16(p_ + off, v); }
  void SetS16(std::size_t off, std::int16_t v) const requires kWritable {
    WriteLe16(p_ + off, static_cast<std::uint16_t>(v));
  }
  void SetU32(std::size_t off, std::uint32_t v) const requires kWritable { WriteLe32(p_ + off, v); }
  void SetS32(std::size_t off, std::int32_t v) const requires kWritable {
    WriteLe32(p_ + off, static_cast<std::uint32_t>(v));
  }
  void SetF64(std::size_t off, double v) const requires kWritable { WriteLeDouble(p_ + off, v); }

  Byte* p_;
};

}  // namespace detail

// The bytes of one record held on their own: an editor's working copy, a link buffer.
template <typename View>
using RecordBytes = std::array<std::uint8_t, View::kSize>;

// Copies the record a view shows into a free-standing buffer.
template <typename View>
RecordBytes<View> CopyRecord(const View& view) {
  RecordBytes<View> copy{};
  std::copy_n(view.data(), View::kSize, copy.begin());
  return copy;
}

// Writes a whole record back through a writable view (editor "Save", a received record).
template <typename View>
requires(
    !std::is_const_v<std::remove_pointer_t<
        decltype(std::declval<View>().data())>>) void StoreRecord(const View& view,
                                                                  const RecordBytes<View>& bytes) {
  std::copy(bytes.begin(), bytes.end(), view.data());
}

}  // namespace qdx
