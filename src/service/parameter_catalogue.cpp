#include "service/parameter_catalogue.h"

#include <array>
#include <cmath>

namespace qdx {
namespace {

using Kind = ParameterKind;

// One parameter's entry of the catalogue.
struct ParameterEntry {
  const char* name;
  Kind kind;
  int lower;
  int upper;
};

constexpr ParameterEntry kUnnamed = {"", Kind::Integer, 0, 999};

// F01..F97 in order. The names are the controller's own texts, blanks included.
constexpr std::array<ParameterEntry, kParameterCount> kCatalogue = {{
    {"Address RS-485", Kind::Integer, 1, 32},
    {"Baud rate", Kind::Choice, 0, 1},
    {"Menu info", Kind::Integer, 0, 11},
    {"End condition time", Kind::Integer, 0, 99},
    {"Pause status", Kind::Integer, 0, 2},
    {"Alarm BEEP", Kind::Integer, 0, 9},
    {"Temperature unit", Kind::Choice, 0, 1},
    {"Plate temperature", Kind::Integer, -99, 999},
    {"Smoke temperature", Kind::Integer, -99, 999},
    {"Delta status", Kind::Integer, 0, 3},
    {"Sample rate (min):", Kind::Integer, 0, 99},  // F11
    {"TIME FOR RESTART", Kind::Integer, 0, 200},
    {"CHAMBER MAX. PRESET TEMP.", Kind::Integer, -99, 999},
    {"CORE MAX. PRESET TEMP.", Kind::Integer, -99, 999},
    {"HUM.MEAS.TYPE", Kind::Integer, 0, 2},
    {"TIME TO WASHING", Kind::Integer, 0, 999},
    {"START FROM PC", Kind::Integer, 0, 1},
    {"ID ON/OFF", Kind::Integer, 0, 1},
    {"OPERATOR ON/OFF", Kind::Integer, 0, 1},
    {"KEYBOARD SOUND", Kind::Integer, 0, 20},
    {"MAX.CHAMBER TEMP.", Kind::Integer, -99, 999},  // F21
    {"MAX.CORE TEMP.", Kind::Integer, -99, 999},
    {"MAX.PLATE TEMP.", Kind::Integer, -99, 999},
    {"MAX.SMOKE TEMP", Kind::Integer, -99, 999},
    {"MAX.HUMIDITY", Kind::Integer, 0, 99},
    {" CHAM.T.CORRECTION S", Kind::OneDecimal, -200, 200},
    {" CHAM.T.CORRECTION M", Kind::OneDecimal, -200, 200},
    {"CORE T.CORRECTION", Kind::OneDecimal, -200, 200},
    {"PLATE T.CORRECTION", Kind::OneDecimal, -200, 200},
    {"SMOKE T.CORRECTION", Kind::OneDecimal, -200, 200},
    {"HUMIDITY CORRECTION", Kind::Integer, -200, 200},  // F31
    {"TYPE OF DIG.INPUTS", Kind::Integer, 0, 1},
    {"END RELEASE", Kind::Integer, 0, 1},
    {"END RELEASE NO.", Kind::Integer, 0, 32},
    {"Min preset chamber temp.", Kind::Integer, -199, 999},
    {"CORE MIN. PRESET TEMP.", Kind::Integer, -199, 999},
    {"Min. preset humidity", Kind::Integer, -199, 999},
    {"Max. preset humidity", Kind::Integer, -199, 999},
    {"Min. preset additional 1", Kind::Integer, -999, 3000},
    {"Max. preset additional 1", Kind::Integer, -999, 3000},
    {"Min. preset additional 2", Kind::Integer, -999, 3000},  // F41
    {"Max. preset additional 2", Kind::Integer, -999, 3000},
    {"Smoking relay", Kind::Integer, 0, 32},
    {"Set value 6", Kind::Integer, -200, 800},
    {"Set value 7", Kind::Integer, -200, 800},
    {"Set value 8", Kind::Integer, -200, 800},
    {"Set value 9", Kind::Integer, -200, 800},
    {"Set value 10", Kind::Integer, -200, 800},
    {"Set value 11", Kind::Integer, -200, 800},
    {"Set value 12", Kind::Integer, -200, 800},
    {"CORRECTION CHANNEL 6", Kind::OneDecimal, -200, 800},  // F51
    {"CORRECTION CHANNEL 7", Kind::OneDecimal, -200, 800},
    {"CORRECTION CHANNEL 8", Kind::OneDecimal, -200, 800},
    {"CORRECTION CHANNEL 9", Kind::OneDecimal, -200, 200},
    {"CORRECTION CHANNEL 10", Kind::OneDecimal, -200, 200},
    {"CORRECTION CHANNEL 11", Kind::OneDecimal, -200, 200},
    {"CORRECTION CHANNEL 12", Kind::OneDecimal, -200, 200},
    {"FORWARD/BACK Time", Kind::Integer, 0, 1},
    {"Manual control", Kind::Integer, 0, 1},
    {"Additional set", Kind::Integer, 0, 1},
    {"INFO OFF TIME", Kind::Integer, 0, 13},  // F61
    {"PSYCHRO. TYPE", Kind::Integer, 0, 6},
    {"", Kind::Integer, -200, 200},
    {"Max. card error", Kind::Integer, 0, 9},
    {"Weight taring", Kind::Integer, 0, 3},
    {"Counter taring", Kind::Integer, 0, 5},
    {"Vacuum pulse length", Kind::Integer, 0, 9999},
    {"Vacuum pulse spacing interval", Kind::Integer, 0, 9999},
    {"Counter constant", Kind::Integer, 0, 9999},
    {"LOOP PROG.STEPS.", Kind::Integer, -1, 200},
    {"RH 1 FILTER", Kind::Integer, 0, 20},  // F71
    {"RH 2 FILTER", Kind::Integer, 0, 5},
    {"STEPS LIST", Kind::Integer, 0, 1},
    {"QDX MAS MODULE", Kind::Integer, 0, 999},
    {"SET ACCURACY", Kind::Integer, 0, 999},
    {"READ ACCURACY", Kind::Integer, 0, 999},
    kUnnamed,
    kUnnamed,
    {"PANEL MODE", Kind::Choice, 0, 2},
    {"STAT AL. MAX TCH", Kind::Integer, 0, 999},
    {"STAT AL. MAX TCO", Kind::Integer, 0, 999},  // F81
    {"STAT AL. MAX HUM", Kind::Integer, 0, 999},
    {"STAT AL. MAX TS", Kind::Integer, 0, 999},
    {"STAT AL. MAX TPL", Kind::Integer, 0, 999},
    {"MAX FREEZE TIME", Kind::Integer, 0, 999},
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,  // F86..F91
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,
    kUnnamed,  // F92..F97
}};

const ParameterEntry* Entry(int n) {
  if (n < 1 || n > kParameterCount) return nullptr;
  return &kCatalogue[static_cast<std::size_t>(n - 1)];
}

QString OneDecimal(double value) {
  return QString::asprintf("%1.1f", value);
}

bool InLimits(int n, long long word) {
  const ParameterRange r = ParameterLimits(n);
  return word >= r.lower && word <= r.upper;
}

std::optional<long long> ParseStoredWord(int n, const QString& text) {
  const QString t = text.trimmed();
  bool ok = false;
  switch (ParameterKindOf(n)) {
    case Kind::Choice: {
      const qsizetype position = ParameterChoices(n).indexOf(text);
      if (position >= 0) return position;
      [[fallthrough]];
    }
    case Kind::Integer: {
      const long long word = t.toLongLong(&ok);
      if (ok) return word;
      return std::nullopt;
    }
    case Kind::OneDecimal: {
      const double value = t.toDouble(&ok);
      if (!ok || !std::isfinite(value) || std::fabs(value) > 1e9) return std::nullopt;
      return static_cast<long long>(std::nearbyint(value * 10.0));
    }
  }
  return std::nullopt;
}

}  // namespace

QString ParameterName(int n) {
  const ParameterEntry* e = Entry(n);
  return e ? QString::fromLatin1(e->name) : QString();
}

ParameterKind ParameterKindOf(int n) {
  const ParameterEntry* e = Entry(n);
  return e ? e->kind : Kind::Integer;
}

ParameterRange ParameterLimits(int n) {
  const ParameterEntry* e = Entry(n);
  return e ? ParameterRange{e->lower, e->upper} : ParameterRange{-999, 999};
}

QStringList ParameterChoices(int n) {
  switch (n) {
    case 2:
      return {QStringLiteral("0 - 9600 [b/s]"), QStringLiteral("1 - 19200 [b/s]")};
    case 7:
      return {QStringLiteral("0 -  Celsius"), QStringLiteral("1 -  Fahrenheit")};
    case 79:
      return {QStringLiteral("Single"), QStringLiteral("Master"), QStringLiteral("Slave")};
    default:
      return {};
  }
}

QString ParameterValueText(int n, std::int16_t word) {
  switch (ParameterKindOf(n)) {
    case Kind::Choice: {
      const QStringList choices = ParameterChoices(n);
      if (word >= 0 && word < choices.size()) return choices[word];
      break;
    }
    case Kind::OneDecimal:
      return OneDecimal(word / 10.0);
    case Kind::Integer:
      break;
  }
  return QString::number(word);
}

std::optional<std::int16_t> ParseParameterValue(int n, const QString& text) {
  const std::optional<long long> word = ParseStoredWord(n, text);
  if (!word || !InLimits(n, *word)) return std::nullopt;
  return static_cast<std::int16_t>(*word);
}

QString ParameterLimitsText(int n) {
  const ParameterRange r = ParameterLimits(n);
  switch (ParameterKindOf(n)) {
    case Kind::Choice: {
      QStringList positions;
      const QStringList choices = ParameterChoices(n);
      for (qsizetype i = 0; i < choices.size(); ++i)
        positions << QStringLiteral("%1 (\"%2\")").arg(i).arg(choices[i]);
      return positions.join(QStringLiteral(", "));
    }
    case Kind::OneDecimal:
      return OneDecimal(r.lower / 10.0) + QStringLiteral("..") + OneDecimal(r.upper / 10.0);
    case Kind::Integer:
      break;
  }
  return QStringLiteral("%1..%2").arg(r.lower).arg(r.upper);
}

}  // namespace qdx
