// Helpers of the section catalogue tests: answers as a controller would send them.
#pragma once

#include <QByteArray>
#include <algorithm>

#include "link/frame.h"
#include "support/fake_serial_port.h"

namespace qdx::test {

// A valid reply of length bytes from station 1 whose data (from offset 9) begins with data.
inline QByteArray SectionReply(const QByteArray& data, int length) {
  QByteArray r(length - 2, '\0');
  r[0] = 1;
  r[1] = 0x46;
  r[2] = 0x08;
  r[3] = static_cast<char>(length >> 8);
  r[4] = static_cast<char>(length & 0xFF);
  const qsizetype room = std::max<qsizetype>(0, length - 11);
  r.replace(9, std::min(data.size(), room), data.left(room));
  return WithCrc(r);
}

}  // namespace qdx::test
