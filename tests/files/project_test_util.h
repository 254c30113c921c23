// Helpers for the project-file tests: patterned blocks and raw file access.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "files/project_files.h"

namespace qdx::testing_util {

// A byte pattern that differs between seeds and does not repeat with any record size.
inline std::uint8_t PatternByte(std::size_t i, unsigned seed) {
  return static_cast<std::uint8_t>((i * 7 + (i >> 8) * 3 + seed * 101 + 1) & 0xFF);
}

inline void FillPattern(std::span<std::uint8_t> bytes, unsigned seed) {
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = PatternByte(i, seed);
}

inline std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed) {
  std::vector<std::uint8_t> v(size);
  FillPattern(v, seed);
  return v;
}

inline void FillBlocks(ProjectBlocks& blocks, unsigned seed) {
  FillPattern(blocks.image.bytes(), seed);
  FillPattern(blocks.passwords.bytes(), seed + 1);
  FillPattern(blocks.pid.bytes(), seed + 2);
}

inline QByteArray ToByteArray(std::span<const std::uint8_t> bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

inline bool WriteFile(const QString& name, std::span<const std::uint8_t> bytes) {
  QFile f(name);
  if (!f.open(QIODevice::WriteOnly)) return false;
  return f.write(ToByteArray(bytes)) == static_cast<qint64>(bytes.size());
}

inline QByteArray ReadFile(const QString& name) {
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace qdx::testing_util
