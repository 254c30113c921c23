#include "link/link.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include "link/port_names.h"

namespace qdx {

namespace {

constexpr int kFrameGapMs = 10;
constexpr int kByteAttempts = 1000;

}  // namespace

PortTarget ResolvePortTarget(const LinkSettings& link, const LineSettings& settings) {
  if (!link.device.isEmpty()) return {link.device, false};
  return {ResolvePortDevice(link.portIndex, settings.ports).device,
          settings.MinusOffsetFor(link.portIndex + 1)};
}

QString TraceHex(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    out += QStringLiteral("%1 ").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
  }
  return out;
}

QString FormatTraceEntry(const QString& timestamp, const QByteArray& request,
                         const QByteArray& reply, LinkResult result) {
  return QStringLiteral(" \n%1\n \n  M: %2   [%3]\n  S: %4   [%5] %6\n")
      .arg(timestamp, TraceHex(request))
      .arg(request.size())
      .arg(TraceHex(reply))
      .arg(reply.size())
      .arg(LinkResultNumber(result));
}

Link::Link(std::unique_ptr<SerialPort> port, Clock& clock, const LineSettings& settings)
    : port_(std::move(port)), clock_(clock), settings_(settings) {}

Link::~Link() {
  Close();
}

void Link::Close() {
  if (port_->IsOpen()) port_->Close();
  openDevice_.clear();
}

bool Link::IsOpen() const {
  return port_->IsOpen();
}

void Link::SetReadTimeoutConstant(int milliseconds) {
  readTimeoutConstant_ = milliseconds;
  if (port_->IsOpen()) port_->SetReadTimeoutConstant(milliseconds);
}

TransmitMode Link::CurrentTransmitMode() const {
  if (driverRs485_) return TransmitMode::Driver;
  // Without modem lines (a pseudo-terminal) there is no RTS to drive.
  if (!modemLines_ || settings_.transmisjaNT) return TransmitMode::OneCall;
  return TransmitMode::ManualRts;
}

void Link::KeepPortError() {
  lastError_ = port_->LastError();
  lastErrorText_ = port_->LastErrorText();
  if (lastError_ != PortError::None && lastErrorText_.isEmpty()) {
    lastErrorText_ = QStringLiteral("%1: port error").arg(openDevice_);
  }
}

bool Link::EnsureOpen(const QString& device, std::uint8_t baudCode) {
  if (port_->IsOpen() && (device != openDevice_ || baudCode != openBaudCode_)) Close();
  if (port_->IsOpen()) return true;
  openDevice_.clear();
  port_->ClearError();
  if (!port_->Open(device)) {
    // The retries after an adapter was pulled out find no device: it is still unplugged.
    if (device == unpluggedDevice_ && port_->LastError() == PortError::NoSuchDevice) return false;
    KeepPortError();
    if (lastError_ == PortError::None) {
      lastError_ = PortError::Other;
      lastErrorText_ = QStringLiteral("%1 cannot be opened.").arg(device);
    }
    return false;
  }
  if (!port_->Configure(BaudRateOfCode(baudCode))) {
    KeepPortError();
    if (lastError_ == PortError::None) {
      lastError_ = PortError::Other;
      lastErrorText_ =
          QStringLiteral("%1 does not accept %2 baud.").arg(device).arg(BaudRateOfCode(baudCode));
    }
    port_->Close();
    return false;
  }
  port_->SetReadTimeoutConstant(readTimeoutConstant_);
  openDevice_ = device;
  openBaudCode_ = baudCode;
  modemLines_ = port_->HasModemLines();
  driverRs485_ = port_->EnableDriverRs485();
  if (!driverRs485_ && modemLines_) port_->SetRts(false);
  return true;
}

int Link::SendByteByByte(const QByteArray& request) {
  int lead = settings_.ileSleep == 10 ? 5 : settings_.ileSleep;
  if (lead < 0) lead = 0;
  if (lead > 0) clock_.SleepMilliseconds(lead);
  port_->SetRts(true);
  int written = 0;
  for (const char c : request) {
    bool sent = false;
    for (int attempt = 0; attempt < kByteAttempts && !sent; ++attempt) {
      sent = port_->TransmitByte(static_cast<std::uint8_t>(c));
    }
    if (!sent) break;
    ++written;
  }
  // RTS must stay up until the last stop bit has left the UART.
  port_->Drain();
  if (lead > 0) clock_.BusyWaitMilliseconds(lead);
  port_->SetRts(false);
  return written;
}

int Link::Send(const QByteArray& request) {
  if (CurrentTransmitMode() == TransmitMode::ManualRts) return SendByteByByte(request);
  const int written = port_->Write(request);
  return written < 0 ? 0 : written;
}

TransactResult Link::Transact(const QByteArray& request, int expectedLength,
                              const LinkSettings& link) {
  clock_.SleepMilliseconds(kFrameGapMs);
  if (expectedLength < 4) return {kLinkBadLength, {}};
  // A request without its station byte cannot be checked against a reply; never sent.
  if (request.isEmpty()) return {kLinkRequestInvalid, {}};

  const PortTarget target = ResolvePortTarget(link, settings_);
  if (!EnsureOpen(target.device, link.baudCode)) return {kLinkPortFailed, {}};

  TransactResult out;
  port_->ClearError();
  bool portBroken = !port_->ForceNoParity();
  if (!portBroken) {
    port_->Purge();
    portBroken = port_->LastError() != PortError::None;
  }
  if (!portBroken) {
    const int written = Send(request);
    if (port_->LastError() != PortError::None) {
      portBroken = true;
    } else if (written != request.size()) {
      lastError_ = PortError::None;
      lastErrorText_.clear();
      return {kLinkShortWrite, {}};
    }
  }
  if (!portBroken) {
    const int asked = target.minusOffset ? expectedLength + 1 : expectedLength;
    out.reply = port_->Read(asked);
    if (port_->LastError() != PortError::None) portBroken = true;
  }

  if (portBroken) {
    out.result = kLinkPortFailed;
    KeepPortError();
    // A port that went away stays broken until it is opened again, e.g. after the adapter
    // is plugged back in.
    if (lastError_ == PortError::Unplugged) {
      Close();
      unpluggedDevice_ = target.device;
    }
  } else {
    lastError_ = PortError::None;
    lastErrorText_.clear();
    unpluggedDevice_.clear();
    if (target.minusOffset && out.reply.size() == expectedLength + 1 && out.reply.at(0) == 0) {
      out.reply.remove(0, 1);
    }
    if (out.reply.size() != expectedLength) {
      out.result = out.reply.isEmpty() ? kLinkNoReply : kLinkShortReply;
    } else if (!HasValidChecksum(out.reply)) {
      out.result = kLinkBadChecksum;
    } else if (out.reply.at(0) != request.at(0)) {
      out.result = kLinkWrongStation;
    }
  }
  WriteTrace(request, out.reply, out.result);
  return out;
}

void Link::WriteTrace(const QByteArray& request, const QByteArray& reply, LinkResult result) {
  if (traceFile_.isEmpty()) return;
  QFile file(traceFile_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  const QString timestamp =
      QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  file.write(FormatTraceEntry(timestamp, request, reply, result).toLocal8Bit());
  file.flush();
  file.close();
}

}  // namespace qdx
