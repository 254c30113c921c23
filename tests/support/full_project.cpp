#include "support/full_project.h"

#include <QByteArray>

#include "files/project_defaults.h"
#include "model/records.h"

namespace qdx::test {

namespace {

class Values {
 public:
  explicit Values(std::uint32_t seed) : state_(seed) {}
  int In(int lo, int hi) {
    state_ = state_ * 1103515245u + 12345u;
    return lo + static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
  }
  // At most 14 characters, the width of every name on the wire.
  QByteArray Name(const char* prefix) {
    return QByteArray(prefix) + QByteArray::number(In(10, 99)) + char('A' + In(0, 25));
  }

 private:
  std::uint32_t state_;
};

void Outputs(Values& v, RelayOutputStates o) {
  for (int n = 1; n <= 32; ++n) o.SetOn(n, v.In(0, 2) == 0);
}

void FillProgram(Values& v, ProgramRecord p, std::int32_t number, int steps, bool longSteps) {
  p.SetNumber(number);
  p.Name().SetBytes(number == kWashingProgramNumber ? QByteArray(kWashingProgramName)
                                                    : v.Name("PROGRAM "));
  for (int s = 1; s <= steps; ++s) {
    const ProgramStep st = p.Step(s);
    st.SetProcessNumber(v.In(1, 16));
    st.SetChamberTemperature(v.In(-99, 400));
    st.SetAdditional1(v.In(-999, 2000));
    st.SetCoreTemperature(v.In(-99, 400));
    st.SetAdditional2(v.In(0, 2000));
    st.SetHumidity(v.In(0, 99));
    st.SetFurtherValue(v.In(0, 255));
    st.SetDelta(v.In(0, 255));
    st.SetHours(v.In(0, 99));
    st.SetMinutes(v.In(0, 59));
    st.SetOnOffDelta(v.In(0, 1));
    if (longSteps) {
      st.SetWorkTime(static_cast<std::uint16_t>(v.In(0, 65000)));
      st.SetPauseTime(static_cast<std::uint16_t>(v.In(0, 65000)));
    }
  }
}

}  // namespace

void FillFullProject(ProjectBlocks& blocks, std::int16_t programVersion, std::uint32_t seed) {
  Values v(seed);
  ProjectImage& image = blocks.image;
  ApplyStartupDefaults(image);
  ApplyFixedNames(image);
  const SetupBlock setup = Setup(image);
  for (int w = 0; w < 98; ++w) setup.SetWord(w, static_cast<std::int16_t>(v.In(-32768, 32767)));
  for (int n = 1; n <= kRelayCount; ++n) {
    const RelayRecord r = Relay(image, n);
    r.Name().SetBytes(v.Name("RELAY "));
    r.SetTimeType(v.In(0, 5));
    r.SetTimeTa(v.In(0, 65535));
    r.SetTimeTb(v.In(0, 65535));
    r.SetRegulatorType(v.In(0, 6));
    r.SetChannelIndex(static_cast<std::uint8_t>(v.In(0, 9)));
    r.SetSetValueIndex(static_cast<std::uint8_t>(v.In(0, 18)));
    r.SetRegulatorOffset(v.In(-1250, 1250));
    r.SetRegulatorWindow(v.In(0, 2550));
    r.SetLowerHysteresis(v.In(0, 255));
    r.SetUpperHysteresis(v.In(-100000, 100000));
  }
  for (int n = 1; n <= kAlarmCount; ++n) {
    const AlarmRecord a = Alarm(image, n);
    a.Message().SetBytes(v.Name("ALARM "));
    a.SetDelayTime(v.In(0, 65535));
    a.SetAlarmStatus(v.In(0, 2));
    a.SetRelayLogic(v.In(0, 2));
    Outputs(v, a.Outputs());
  }
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    const SpecialStatusRecord s = SpecialStatus(image, n);
    s.SetSwitchOffTime(v.In(-1, 32767));
    s.SetRelayLogic(v.In(0, 2));
    Outputs(v, s.Outputs());
  }
  for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int n = 1; n <= kProcessCount; ++n) {
      const ProcessRecord p = Process(image, set, n);
      p.Name().SetBytes(v.Name(set == ProcessSet::Washing ? "WASH " : "PROC "));
      p.SetStepEndCondition(v.In(0, 24));
      Outputs(v, p.Outputs());
      for (int k = 1; k <= 5; ++k) p.SetPreset(k, static_cast<std::int16_t>(v.In(-32768, 32767)));
    }
  }
  const int steps = programVersion >= 900 ? 50 : 30;
  const bool longSteps = programVersion > 500;
  for (int n = 1; n <= kListedPrograms; ++n) {
    FillProgram(v, Program(image, n), n, steps, longSteps);
    Program(image, n).SetStepCount(steps);
  }
  FillProgram(v, WashingProgram(image), kWashingProgramNumber, 30, longSteps);
  const bool legacy = programVersion < 600;
  for (int n = 1; n <= kAnalogOutputCount; ++n) {
    const AnalogOutputRecord a = AnalogOutput(image, n);
    a.Name().SetBytes(v.Name("OUTPUT "));
    a.SetOutputType(static_cast<std::uint16_t>(v.In(0, 2)));
    a.SetChannel(static_cast<std::uint16_t>(v.In(0, 9)));
    a.SetSetValue(static_cast<std::uint16_t>(v.In(0, 18)));
    a.SetValueAt0V(v.In(0, 9999));
    a.SetValueAt10V(v.In(0, 9999));
    a.SetStopSetValue(v.In(0, 9999));
    a.SetPauseSetValue(v.In(0, 9999));
    for (int k = 1; k <= 4; ++k) a.SetFunctionSetValue(k, v.In(0, 9999));
    if (legacy) {
      a.SetSamplePeriod(v.In(0, 9999));
      a.SetGain(v.In(-100000, 100000) / 100.0);
      a.SetIntegralTime(v.In(0, 100000) / 100.0);
      a.SetDerivativeTime(v.In(0, 100000) / 100.0);
    } else {
      a.SetPidNumber(static_cast<std::uint8_t>(v.In(0, 4)));
    }
  }
  for (int n = 1; n <= kPidCount; ++n) {
    const PidRecord p = Pid(blocks.pid, n);
    p.SetRegulatorType(static_cast<std::uint16_t>(v.In(0, 1)));
    p.SetChannel(static_cast<std::uint16_t>(v.In(0, 9)));
    p.SetSetValue(static_cast<std::uint16_t>(v.In(0, 18)));
    p.SetSamplePeriod(v.In(0, 9999));
    p.SetProportionalBand(v.In(0, 100000) / 10.0);
    p.SetIntegralTime(v.In(-5000, 5000));
    p.SetDerivativeTime(v.In(0, 5000));
    p.SetPulsePeriod(v.In(0, 100000));
  }
  for (int i = 1; i <= passwords::kEntryCount; ++i) {
    QByteArray text;
    for (int c = 0; c < 6; ++c) text.append(static_cast<char>('0' + v.In(0, 9)));
    PasswordEntry(blocks.passwords, i).SetBytes(text);
  }
}

}  // namespace qdx::test
