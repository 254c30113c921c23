// The 37 entries of the PasswordBlock: entry i (1..37) at 11 x (i - 1), a length byte and
// up to 10 characters. Entries 1..7 are passwords, 8..37 user names. Bytes 407..549 are
// not used by the passwords window and are carried unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/text_field.h"

namespace qdx {

namespace passwords {
inline constexpr int kEntryCount = 37;
inline constexpr std::size_t kEntrySize = 11;
inline constexpr std::size_t kEntryCapacity = 10;
inline constexpr int kFirstUserNameEntry = 8;
inline constexpr std::size_t kUnusedOffset = 407;
inline constexpr std::size_t kUnusedSize = 143;
static_assert(kEntrySize == kEntryCapacity + 1);
static_assert(kEntryCount * kEntrySize == kUnusedOffset);
static_assert(kUnusedOffset + kUnusedSize == kSize);
}  // namespace passwords

using PasswordEntryField = TextField;
using ConstPasswordEntryField = ConstTextField;

// Entry n, 1..37.
inline PasswordEntryField PasswordEntry(PasswordBlock& block, int n) {
  detail::CheckRecordIndex("password entry", n, 1, passwords::kEntryCount);
  return TextField(block.data() + (n - 1) * passwords::kEntrySize, passwords::kEntryCapacity);
}
inline ConstPasswordEntryField PasswordEntry(const PasswordBlock& block, int n) {
  detail::CheckRecordIndex("password entry", n, 1, passwords::kEntryCount);
  return ConstTextField(block.data() + (n - 1) * passwords::kEntrySize, passwords::kEntryCapacity);
}

}  // namespace qdx
