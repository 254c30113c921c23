#include "emulator/faults.h"

namespace qdx {

QString FaultName(Fault fault) {
  switch (fault) {
    case Fault::NoReply:
      return QStringLiteral("no-reply");
    case Fault::CutShort:
      return QStringLiteral("cut-short");
    case Fault::BadChecksum:
      return QStringLiteral("bad-checksum");
    case Fault::OtherStation:
      return QStringLiteral("other-station");
    case Fault::WrongAcknowledgement:
      return QStringLiteral("wrong-ack");
    case Fault::LeadingZero:
      return QStringLiteral("leading-zero");
    case Fault::NeverReady:
      return QStringLiteral("never-ready");
    case Fault::Running:
      return QStringLiteral("running");
    case Fault::WrongBlock:
      return QStringLiteral("wrong-block");
  }
  return {};
}

std::optional<Fault> FaultFromName(const QString& name) {
  const QString wanted = name.trimmed().toLower();
  for (Fault fault : kAllFaults) {
    if (FaultName(fault) == wanted) return fault;
  }
  return std::nullopt;
}

QString FaultSetName(FaultSet faults) {
  QStringList names;
  for (Fault fault : kAllFaults) {
    if (faults.Has(fault)) names << FaultName(fault);
  }
  return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1Char('+'));
}

std::optional<FaultSet> FaultSetFromName(const QString& text) {
  if (text.trimmed().compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
    return FaultSet{};
  }
  FaultSet faults;
  const QStringList parts = text.split(QLatin1Char('+'));
  for (const QString& part : parts) {
    const std::optional<Fault> fault = FaultFromName(part);
    if (!fault) return std::nullopt;
    faults |= *fault;
  }
  return faults;
}

void FaultScript::Queue(FaultSet faults, int count) {
  for (int i = 0; i < count; ++i) queue_.push_back(faults);
}

void FaultScript::AddRule(std::int64_t frameNumber, FaultSet faults) {
  rules_[frameNumber] |= faults;
}

void FaultScript::Clear() {
  queue_.clear();
  rules_.clear();
  persistent_ = {};
}

FaultSet FaultScript::Take(std::int64_t frameNumber) {
  FaultSet faults = persistent_;
  if (!queue_.empty()) {
    faults |= queue_.front();
    queue_.pop_front();
  }
  // Rules for frames already gone can never apply; drop them with this one.
  while (!rules_.empty() && rules_.begin()->first <= frameNumber) {
    if (rules_.begin()->first == frameNumber) faults |= rules_.begin()->second;
    rules_.erase(rules_.begin());
  }
  return faults;
}

}  // namespace qdx
