// The serial port as the link needs it. The QSerialPort backend drives real devices; the
// emulator offers an in-process port for tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace qdx {

// Why a port could not be opened or used, kept for the trace, qdx and the status line.
enum class PortError {
  None,
  NoSuchDevice,      // the device does not exist
  PermissionDenied,  // the user is not in the "dialout" group
  Busy,              // another program holds the port
  Unplugged,         // the device went away during a transfer
  Other,
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Exclusive open of a device (a path on Linux, a COM name on Windows).
  virtual bool Open(const QString& device) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // 8 data bits, no parity, 2 stop bits, no handshake, DTR inactive.
  virtual bool Configure(int baudRate) = 0;
  // Total read timeout = count x 1 ms + constant; write timeout = count x 100 ms + 1000 ms.
  virtual void SetReadTimeoutConstant(int milliseconds) = 0;
  virtual void Purge() = 0;
  // Writes the whole buffer; returns the number of bytes written.
  virtual int Write(const QByteArray& bytes) = 0;
  // Transmits one byte at once; may fail while the previous byte is still pending.
  virtual bool TransmitByte(std::uint8_t byte) = 0;
  // Waits until every written byte has left the transmitter.
  virtual void Drain() = 0;
  virtual void SetRts(bool on) = 0;
  // Lets the driver raise RTS while it transmits (RS-485 direction); false where the port
  // cannot do it.
  virtual bool EnableDriverRs485() = 0;
  // Reads up to count bytes, waiting until they arrived or the total read timeout expired.
  virtual QByteArray Read(int count) = 0;

  // Errors are those of Open and Configure, and errors that break the port during use (the
  // device went away). A read that times out or a write the port does not take completely is
  // not an error: the byte counts tell the link.
  virtual PortError LastError() const = 0;
  // The system's words for the last error, for the trace and the status line.
  virtual QString LastErrorText() const = 0;

  // Forgets the last error, so that an error of the next call can be told apart.
  virtual void ClearError() {}
  // Re-applies "no parity" before every exchange; false on a port error.
  virtual bool ForceNoParity() { return true; }
  // False for a port without modem-control lines (a pseudo-terminal): RTS cannot be driven,
  // so frames go out in one call.
  virtual bool HasModemLines() const { return true; }
};

// Monotonic time and sleeping, so tests can run the link's waits without waiting.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMicroseconds() const = 0;
  virtual void SleepMilliseconds(int ms) = 0;
  // Waits by watching the clock instead of sleeping, for delays that must not be stretched by
  // the scheduler (the RTS lag after a frame, the pause after a failed attempt).
  virtual void BusyWaitMilliseconds(int ms) {
    const std::int64_t start = NowMicroseconds();
    while (NowMicroseconds() - start < static_cast<std::int64_t>(ms) * 1000) {
    }
  }
};

}  // namespace qdx
