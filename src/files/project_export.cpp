#include "files/project_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>
#include <cmath>

#include "model/record_text.h"
#include "model/records.h"

namespace qdx {
namespace {

// A small JSON writer that keeps keys in the order they are written (QJsonObject sorts them).
class JsonWriter {
 public:
  void BeginObject(const char* key = nullptr) { Open(key, '{'); }
  void EndObject() { Close('}'); }
  void BeginArray(const char* key = nullptr) { Open(key, '['); }
  void EndArray() { Close(']'); }

  void Value(const char* key, long long v) { Scalar(key, QString::number(v)); }
  void Value(const char* key, int v) { Value(key, static_cast<long long>(v)); }
  void Value(const char* key, double v) {
    // JSON has no NaN or infinity; a damaged double is shown as null rather than as an
    // invalid document.
    Scalar(key, std::isfinite(v) ? QString::number(v, 'g', 17) : QStringLiteral("null"));
  }
  void Value(const char* key, bool v) { Scalar(key, v ? "true" : "false"); }
  void Value(const char* key, const QString& v) {
    const QByteArray quoted = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    Scalar(key, QString::fromUtf8(quoted.mid(1, quoted.size() - 2)));
  }

  QString Text() const { return out_ + '\n'; }

 private:
  void Prefix(const char* key) {
    if (!first_.isEmpty()) {
      if (!first_.back()) out_ += ',';
      first_.back() = false;
      out_ += '\n' + QString(first_.size() * 2, ' ');
    }
    if (key) out_ += '"' + QString::fromLatin1(key) + "\": ";
  }
  void Open(const char* key, char bracket) {
    Prefix(key);
    out_ += bracket;
    first_.push_back(true);
  }
  void Close(char bracket) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) out_ += '\n' + QString(first_.size() * 2, ' ');
    out_ += bracket;
  }
  void Scalar(const char* key, const QString& text) {
    Prefix(key);
    out_ += text;
  }

  QString out_;
  QList<bool> first_;
};

class Exporter {
 public:
  Exporter(const ProjectBlocks& blocks, int codePage, const SetupParameterNaming& naming)
      : b_(blocks), codePage_(codePage), naming_(naming) {}

  QString Run() {
    w_.BeginObject();
    w_.Value("header", Text(Header(b_.image).Bytes()));
    w_.BeginArray("programs");
    for (int n = 1; n <= kProgramSlots; ++n) ProgramObject(Program(b_.image, n));
    w_.EndArray();
    w_.BeginObject("washingProgram");
    ProgramFields(WashingProgram(b_.image));
    w_.EndObject();
    Processes("processes", ProcessSet::Normal);
    Processes("washingProcesses", ProcessSet::Washing);
    Relays();
    SpecialStatuses();
    Alarms();
    Setup();
    SetupParameters();
    AnalogOutputs();
    Pids();
    Passwords();
    w_.EndObject();
    return w_.Text();
  }

 private:
  QString Text(const QByteArray& bytes) const { return DecodeRecordText(bytes, codePage_); }

  template <typename Outputs>
  void RelayOutputs(const Outputs& outputs) {
    w_.BeginArray("relayOutputs");
    for (int n = 1; n <= 32; ++n) w_.Value(nullptr, static_cast<int>(outputs.Raw(n)));
    w_.EndArray();
  }

  void ProgramObject(ConstProgramRecord program) {
    w_.BeginObject();
    ProgramFields(program);
    w_.EndObject();
  }

  void ProgramFields(ConstProgramRecord program) {
    w_.Value("number", program.Number());
    w_.Value("name", Text(program.Name().Bytes()));
    w_.Value("stepCount", program.StepCount());
    w_.BeginArray("steps");
    for (int s = 1; s <= program.StepsInUse(); ++s) {
      const ConstProgramStep step = program.Step(s);
      w_.BeginObject();
      w_.Value("step", s);
      w_.Value("processNumber", step.ProcessNumber());
      w_.Value("chamberTemperature", step.ChamberTemperature());
      w_.Value("additionalValue1", step.Additional1());
      w_.Value("coreTemperature", step.CoreTemperature());
      w_.Value("additionalValue2", step.Additional2());
      w_.Value("humidity", step.Humidity());
      w_.Value("furtherValue", step.FurtherValue());
      w_.Value("deltaTenths", step.Delta());
      w_.Value("hours", step.Hours());
      w_.Value("minutes", step.Minutes());
      w_.Value("onOffDelta", step.OnOffDelta());
      w_.Value("workTime", static_cast<int>(step.WorkTime()));
      w_.Value("pauseTime", static_cast<int>(step.PauseTime()));
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Processes(const char* key, ProcessSet set) {
    w_.BeginArray(key);
    for (int n = 1; n <= static_cast<int>(image::kProcessCount); ++n) {
      const ConstProcessRecord p = Process(b_.image, set, n);
      w_.BeginObject();
      w_.Value("number", p.Number());
      w_.Value("name", Text(p.Name().Bytes()));
      w_.Value("stepEndCondition", p.StepEndCondition());
      RelayOutputs(p.Outputs());
      w_.BeginArray("presets");
      for (int k = 1; k <= ProcessRecord::kPresetCount; ++k)
        w_.Value(nullptr, static_cast<int>(p.Preset(k)));
      w_.EndArray();
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Relays() {
    w_.BeginArray("relays");
    for (int n = 1; n <= static_cast<int>(image::kRelayCount); ++n) {
      const ConstRelayRecord r = Relay(b_.image, n);
      w_.BeginObject();
      w_.Value("number", r.Number());
      w_.Value("name", Text(r.Name().Bytes()));
      w_.Value("timeType", r.TimeType());
      w_.Value("timeTa", r.TimeTa());
      w_.Value("timeTb", r.TimeTb());
      w_.Value("regulatorType", r.RegulatorType());
      w_.Value("channelIndex", static_cast<int>(r.ChannelIndex()));
      w_.Value("setValueIndex", static_cast<int>(r.SetValueIndex()));
      w_.Value("channelWord", r.ChannelWord());
      w_.Value("offsetTenths", r.RegulatorOffset());
      w_.Value("windowTenths", r.RegulatorWindow());
      w_.Value("lowerHysteresisTenths", r.LowerHysteresis());
      w_.Value("upperHysteresisTenths", r.UpperHysteresis());
      w_.EndObject();
    }
    w_.EndArray();
  }

  void SpecialStatuses() {
    w_.BeginArray("specialStatuses");
    for (int n = 1; n <= static_cast<int>(image::kSpecialStatusCount); ++n) {
      const ConstSpecialStatusRecord s = SpecialStatus(b_.image, n);
      w_.BeginObject();
      w_.Value("number", s.Number());
      w_.Value("name", Text(s.Name().Bytes()));
      w_.Value("switchOffTime", s.SwitchOffTime());
      w_.Value("relayLogic", s.RelayLogic());
      RelayOutputs(s.Outputs());
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Alarms() {
    w_.BeginArray("alarms");
    for (int n = 1; n <= static_cast<int>(image::kAlarmCount); ++n) {
      const ConstAlarmRecord a = Alarm(b_.image, n);
      w_.BeginObject();
      w_.Value("number", a.Number());
      w_.Value("message", Text(a.Message().Bytes()));
      w_.Value("delayTime", a.DelayTime());
      w_.Value("alarmStatus", a.AlarmStatus());
      w_.Value("relayLogic", a.RelayLogic());
      RelayOutputs(a.Outputs());
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Setup() {
    const ConstSetupBlock setup = qdx::Setup(b_.image);
    w_.BeginObject("setup");
    w_.BeginArray("words");
    for (int n = 0; n < static_cast<int>(image::kSetupWordCount); ++n)
      w_.Value(nullptr, static_cast<int>(setup.Word(n)));
    w_.EndArray();
    w_.Value("panelLayout", static_cast<int>(setup.PanelLayout()));
    w_.Value("programVersion", static_cast<int>(setup.ProgramVersion()));
    w_.EndObject();
  }

  void SetupParameters() {
    const ConstSetupBlock setup = qdx::Setup(b_.image);
    w_.BeginArray("setupParameters");
    for (int n = ConstSetupBlock::kFirstParameter; n <= ConstSetupBlock::kLastParameter; ++n) {
      const std::int16_t word = setup.Parameter(n);
      w_.BeginObject();
      w_.Value("parameter", n);
      w_.Value("name", naming_.name(n));
      w_.Value("word", static_cast<int>(word));
      w_.Value("text", naming_.valueText(n, word));
      w_.EndObject();
    }
    w_.EndArray();
  }

  template <typename Record>
  void SetValues(const Record& r) {
    w_.Value("valueAt0V", r.ValueAt0V());
    w_.Value("valueAt10V", r.ValueAt10V());
    w_.Value("stopSetValue", r.StopSetValue());
    w_.Value("pauseSetValue", r.PauseSetValue());
  }

  template <typename Record>
  void FunctionSetValues(const Record& r) {
    w_.BeginArray("functionSetValuesF1toF4");
    for (int k = 1; k <= 4; ++k) w_.Value(nullptr, r.FunctionSetValue(k));
    w_.EndArray();
  }

  void AnalogOutputs() {
    w_.BeginArray("analogOutputs");
    for (int n = 1; n <= static_cast<int>(image::kAnalogOutputCount); ++n) {
      const ConstAnalogOutputRecord a = AnalogOutput(b_.image, n);
      w_.BeginObject();
      w_.Value("output", n);
      w_.Value("name", Text(a.Name().Bytes()));
      w_.Value("outputType", static_cast<int>(a.OutputType()));
      w_.Value("channel", static_cast<int>(a.Channel()));
      w_.Value("setValue", static_cast<int>(a.SetValue()));
      SetValues(a);
      w_.Value("samplingPeriod", a.SamplePeriod());
      w_.Value("gain", a.Gain());
      w_.Value("integralTime", a.IntegralTime());
      w_.Value("derivativeTime", a.DerivativeTime());
      FunctionSetValues(a);
      w_.Value("pidNumber", static_cast<int>(a.PidNumber()));
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Pids() {
    w_.BeginArray("pid");
    for (int n = 1; n <= static_cast<int>(pid::kRecordCount); ++n) {
      const ConstPidRecord p = Pid(b_.pid, n);
      w_.BeginObject();
      w_.Value("regulator", n);
      w_.Value("name", Text(p.Name().Bytes()));
      w_.Value("regulatorType", static_cast<int>(p.RegulatorType()));
      w_.Value("channel", static_cast<int>(p.Channel()));
      w_.Value("setValue", static_cast<int>(p.SetValue()));
      SetValues(p);
      w_.Value("samplingPeriodTp", p.SamplePeriod());
      w_.Value("proportionalBandXpTenthsPercent", p.ProportionalBand());
      w_.Value("integralTimeTi", p.IntegralTime());
      w_.Value("derivativeTimeTd", p.DerivativeTime());
      w_.Value("pulsePeriodTo", p.PulsePeriod());
      FunctionSetValues(p);
      w_.Value("pidNumber", static_cast<int>(p.PidNumber()));
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Passwords() {
    w_.BeginArray("passwords");
    for (int n = 1; n <= passwords::kEntryCount; ++n) {
      w_.BeginObject();
      w_.Value("entry", n);
      w_.Value("kind", n < passwords::kFirstUserNameEntry ? QStringLiteral("password")
                                                          : QStringLiteral("userName"));
      // Passwords travel without conversion; show each byte as the Latin-1 character it is.
      w_.Value("text", QString::fromLatin1(PasswordEntry(b_.passwords, n).Bytes()));
      w_.EndObject();
    }
    w_.EndArray();
  }

  const ProjectBlocks& b_;
  int codePage_;
  const SetupParameterNaming& naming_;
  JsonWriter w_;
};

}  // namespace

QString ProjectToJson(const ProjectBlocks& blocks, int codePageIndex,
                      const SetupParameterNaming& naming) {
  return Exporter(blocks, codePageIndex, naming).Run();
}

QString ProjectSummary(const ProjectBlocks& blocks, const QString& fileName, int codePageIndex) {
  const auto text = [codePageIndex](const QByteArray& b) {
    return DecodeRecordText(b, codePageIndex);
  };
  QStringList lines;
  lines << QStringLiteral("Project: %1").arg(fileName);
  lines << QStringLiteral("Header: %1").arg(text(Header(blocks.image).Bytes()));
  lines << QStringLiteral("Controller program version (setup word 99): %1")
               .arg(Setup(blocks.image).ProgramVersion());
  lines << QString() << QStringLiteral("Programs with a name (slot, number, name, steps):");
  int unnamed = 0;
  for (int n = 1; n <= kProgramSlots; ++n) {
    const ConstProgramRecord p = Program(blocks.image, n);
    const QString name = text(p.Name().Bytes());
    if (name.trimmed().isEmpty()) {
      ++unnamed;
      continue;
    }
    lines << QStringLiteral("  %1  %2  %3  %4")
                 .arg(n, 3)
                 .arg(p.Number(), 3)
                 .arg(name, -50)
                 .arg(p.StepsInUse());
  }
  lines << QStringLiteral("  (%1 of %2 slots have no name)").arg(unnamed).arg(kProgramSlots);
  const ConstProgramRecord washing = WashingProgram(blocks.image);
  lines << QStringLiteral("  Washing program: %1, %2 steps")
               .arg(text(washing.Name().Bytes()))
               .arg(washing.StepsInUse());
  const auto named = [&](const QString& title, int count, auto nameOf) {
    lines << QString() << title;
    for (int n = 1; n <= count; ++n) lines << QStringLiteral("  %1  %2").arg(n, 2).arg(nameOf(n));
  };
  named(QStringLiteral("Relays:"), image::kRelayCount,
        [&](int n) { return text(Relay(blocks.image, n).Name().Bytes()); });
  named(QStringLiteral("Processes:"), image::kProcessCount,
        [&](int n) { return text(Process(blocks.image, ProcessSet::Normal, n).Name().Bytes()); });
  named(QStringLiteral("Washing processes:"), image::kProcessCount,
        [&](int n) { return text(Process(blocks.image, ProcessSet::Washing, n).Name().Bytes()); });
  named(QStringLiteral("Alarms:"), image::kAlarmCount,
        [&](int n) { return text(Alarm(blocks.image, n).Message().Bytes()); });
  return lines.join('\n') + '\n';
}

}  // namespace qdx
