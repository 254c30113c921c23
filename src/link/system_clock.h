// The real clock: steady time, thread sleeps and a busy-wait on the steady clock.
#pragma once

#include "link/serial_port.h"

namespace qdx {

class SystemClock : public Clock {
 public:
  std::int64_t NowMicroseconds() const override;
  void SleepMilliseconds(int ms) override;
  void BusyWaitMilliseconds(int ms) override;
};

}  // namespace qdx
