// The owner of the one serial port: opens it on demand, re-opens it when the port or the speed
// changes, sends a request in the port's transmit mode, reads and checks the reply, and writes
// the traffic trace.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "model/line_settings.h"
#include "link/frame.h"
#include "link/link_settings.h"
#include "link/serial_port.h"

namespace qdx {

// How a frame reaches the line.
enum class TransmitMode {
  Driver,     // the driver raises RTS while it transmits (RS-485 mode); one write call
  OneCall,    // one write call, RTS left inactive (converters that switch by themselves)
  ManualRts,  // RTS raised by hand around a byte-by-byte send
};

struct TransactResult {
  LinkResult result = kLinkOk;
  QByteArray reply;  // meaningful only with kLinkOk; otherwise whatever arrived
};

// The device an exchange uses, and whether its replies carry one leading byte to strip.
struct PortTarget {
  QString device;
  bool minusOffset = false;
};

// COM<index+1> through the "Ports" mapping with its MinusOffset key, or a direct device path
// (which never strips a byte).
PortTarget ResolvePortTarget(const LinkSettings& link, const LineSettings& settings);

// The trace's five lines for one exchange (the timestamp passed in).
QString FormatTraceEntry(const QString& timestamp, const QByteArray& request,
                         const QByteArray& reply, LinkResult result);

// "%2.2x " for each byte: lower-case hex, every byte followed by one blank.
QString TraceHex(const QByteArray& bytes);

class Link {
 public:
  // settings is read live (the shell reads the settings file after the link exists).
  Link(std::unique_ptr<SerialPort> port, Clock& clock, const LineSettings& settings);
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // One exchange: request (checksum included) out, expectedLength bytes back, checked.
  TransactResult Transact(const QByteArray& request, int expectedLength, const LinkSettings& link);

  // Closes the port (errors ignored); the next exchange opens it again.
  void Close();
  // The constant part of the total read timeout, for the open or the next-opened port.
  void SetReadTimeoutConstant(int milliseconds);
  int ReadTimeoutConstant() const { return readTimeoutConstant_; }

  // Appends every exchange to this file; empty switches the trace off.
  void SetTraceFile(const QString& path) { traceFile_ = path; }
  QString TraceFile() const { return traceFile_; }

  // The mode the next frame goes out in on the open port.
  TransmitMode CurrentTransmitMode() const;
  bool IsOpen() const;
  QString OpenDevice() const { return openDevice_; }

  // Why the port last failed (open, configure, or a broken port during an exchange); None
  // after an exchange that reached the line without a port error.
  PortError LastPortError() const { return lastError_; }
  QString LastPortErrorText() const { return lastErrorText_; }

  Clock& clock() { return clock_; }
  const LineSettings& settings() const { return settings_; }
  SerialPort& port() { return *port_; }

 private:
  bool EnsureOpen(const QString& device, std::uint8_t baudCode);
  int Send(const QByteArray& request);
  int SendByteByByte(const QByteArray& request);
  void KeepPortError();
  void WriteTrace(const QByteArray& request, const QByteArray& reply, LinkResult result);

  std::unique_ptr<SerialPort> port_;
  Clock& clock_;
  const LineSettings& settings_;
  QString openDevice_;
  std::uint8_t openBaudCode_ = 0;
  bool driverRs485_ = false;
  bool modemLines_ = true;
  int readTimeoutConstant_ = 2500;
  QString traceFile_;
  PortError lastError_ = PortError::None;
  QString unpluggedDevice_;  // the device that went away during an exchange, until one succeeds
  QString lastErrorText_;
};

}  // namespace qdx
