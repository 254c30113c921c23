// Every configuration section written to the emulated controller and read back through the
// real link, on the direct path and through the communication module: what was sent comes
// back. Programs at the program versions that change their pages, analog outputs in both
// layouts, and the demo configuration a fresh controller holds.
#include <gtest/gtest.h>

#include <memory>

#include "support/test_session.h"
#include "model/records.h"
#include "emulator/demo_project.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::TestClock;

// Values that differ from the demo in every field, each within what its wire field carries.
class Values {
 public:
  explicit Values(std::uint32_t seed) : state_(seed) {}
  int In(int lo, int hi) {
    state_ = state_ * 1103515245u + 12345u;
    return lo + static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
  }
  QByteArray Name(const char* prefix) {
    return QByteArray(prefix) + QByteArray::number(In(10, 99)) + char('A' + In(0, 25));
  }

 private:
  std::uint32_t state_;
};

void Outputs(Values& v, RelayOutputStates o) {
  for (int n = 1; n <= 32; ++n) o.SetOn(n, v.In(0, 3) == 0);
}

void FillProject(ProjectImage& image, PidTable& pid, PasswordBlock& passwords) {
  Values v(7);
  for (int n = 1; n <= kRelayCount; ++n) {
    const RelayRecord r = Relay(image, n);
    r.SetNumber(n);
    r.Name().SetBytes(v.Name("R"));
    r.SetTimeType(v.In(0, 5));
    r.SetTimeTa(v.In(0, 65535));
    r.SetTimeTb(v.In(0, 65535));
    r.SetRegulatorType(v.In(0, 6));
    r.SetChannelIndex(static_cast<std::uint8_t>(v.In(0, 10)));
    r.SetSetValueIndex(static_cast<std::uint8_t>(v.In(0, 18)));
    r.SetRegulatorOffset(v.In(-125, 125));
    r.SetRegulatorWindow(v.In(0, 255));
    r.SetLowerHysteresis(v.In(0, 255));
    r.SetUpperHysteresis(v.In(-1000000, 1000000));
  }
  for (int n = 1; n <= kAlarmCount; ++n) {
    const AlarmRecord a = Alarm(image, n);
    a.SetNumber(n);
    a.Message().SetBytes(v.Name("AL "));
    a.SetDelayTime(v.In(0, 65535));
    a.SetAlarmStatus(v.In(0, 2));
    a.SetRelayLogic(v.In(0, 2));
    Outputs(v, a.Outputs());
  }
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    const SpecialStatusRecord s = SpecialStatus(image, n);
    s.SetNumber(n);
    s.SetSwitchOffTime(v.In(-32768, 32767));
    s.SetRelayLogic(v.In(0, 2));
    Outputs(v, s.Outputs());
  }
  for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int n = 1; n <= kProcessCount; ++n) {
      const ProcessRecord p = Process(image, set, n);
      p.SetNumber(n);
      p.Name().SetBytes(v.Name(set == ProcessSet::Washing ? "W" : "P"));
      p.SetStepEndCondition(v.In(0, 24));
      Outputs(v, p.Outputs());
      for (int k = 1; k <= 5; ++k) p.SetPreset(k, static_cast<std::int16_t>(v.In(-32768, 32767)));
    }
  }
  auto fillProgram = [&v](ProgramRecord p, std::int32_t number) {
    p.SetNumber(number);
    p.Name().SetBytes(v.Name("PROGRAM "));
    for (int s = 1; s <= 50; ++s) {
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
      st.SetWorkTime(static_cast<std::uint16_t>(v.In(0, 65000)));
      st.SetPauseTime(static_cast<std::uint16_t>(v.In(0, 65000)));
    }
  };
  for (int n = 1; n <= kProgramSlots; ++n) fillProgram(Program(image, n), n);
  fillProgram(WashingProgram(image), kWashingProgramNumber);
  for (int n = 1; n <= kAnalogOutputCount; ++n) {
    const AnalogOutputRecord a = AnalogOutput(image, n);
    a.Name().SetBytes(v.Name("AO "));
    a.SetOutputType(static_cast<std::uint16_t>(v.In(0, 2)));
    a.SetChannel(static_cast<std::uint16_t>(v.In(0, 9)));
    a.SetSetValue(static_cast<std::uint16_t>(v.In(0, 18)));
    a.SetPidNumber(static_cast<std::uint8_t>(v.In(0, 4)));
    a.SetValueAt0V(v.In(0, 9999));
    a.SetValueAt10V(v.In(0, 9999));
    a.SetStopSetValue(v.In(0, 9999));
    a.SetPauseSetValue(v.In(0, 9999));
    a.SetSamplePeriod(v.In(0, 9999));
    a.SetGain(v.In(-100000, 100000) / 100.0);
    a.SetIntegralTime(v.In(0, 100000) / 100.0);
    a.SetDerivativeTime(v.In(0, 100000) / 100.0);
    for (int k = 1; k <= 4; ++k) a.SetFunctionSetValue(k, v.In(0, 9999));
  }
  for (int n = 1; n <= kPidCount; ++n) {
    const PidRecord p = Pid(pid, n);
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
    for (int c = 0; c < 6; ++c) text.append(static_cast<char>(v.In(0, 255)));
    PasswordEntry(passwords, i).SetBytes(text);
  }
}

enum class Path { Direct, Module };

class SectionRoundTrip : public testing::TestWithParam<Path> {
 protected:
  SectionRoundTrip() {
    session->settings.ports[1] = QStringLiteral("emulator");
    session->settings.timeoutStand = 100;
    session->link.portIndex = 0;
    session->moduleFlag = GetParam() == Path::Module;
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session->settings);
    ops = std::make_unique<LinkOperations>(*link, *session);
    FillProject(*sent, sentPid, sentPasswords);
  }

  bool Module() const { return session->moduleFlag; }
  int Cp() const { return session->codePageIndex; }

  // A write on the current path: direct, or post, wait, FetchWriteResult(4).
  LinkResult Write(const WriteRequest& request) {
    if (!Module()) return qdx::Write(*ops, request);
    if (const LinkResult r = PostWrite(*ops, request); r != kLinkOk) return r;
    if (ops->AwaitModuleAnswer() != AwaitResult::Ready) return static_cast<LinkResult>(-1);
    return ops->FetchWriteResult(kSectionWriteFetchCount);
  }
  // A read on the current path: direct, or post, wait, fetch.
  LinkResult Read(const ReadRequest& request) {
    if (!Module()) return qdx::Read(*ops, request);
    if (const LinkResult r = PostRead(*ops, request); r != kLinkOk) return r;
    if (ops->AwaitModuleAnswer() != AwaitResult::Ready) return static_cast<LinkResult>(-1);
    return Fetch(*ops, request);
  }

  void WriteProgram(ConstProgramRecord p, int pages) {
    for (int page = 0; page < pages; ++page) {
      ASSERT_EQ(Write(ProgramPageWrite(p, page, pages, Cp())), kLinkOk) << page;
    }
  }
  void ReadProgram(ProgramRecord p, int index, int pages) {
    for (int page = 0; page < pages; ++page) {
      ASSERT_EQ(Read(ProgramPageRead(p, index, page, pages, Cp())), kLinkOk) << page;
    }
  }
  // The pages the controller asks for, from its setup block.
  int ControllerPages() {
    std::array<std::uint8_t, image::kSetupSize> setup{};
    EXPECT_EQ(Read(SetupRead(setup)), kLinkOk);
    return ProgramPagesForVersion(ConstSetupBlock(setup.data()).ProgramVersion());
  }

  TestClock clock;
  Emulator emulator{clock};
  std::unique_ptr<TestSession> session = std::make_unique<TestSession>();
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
  std::unique_ptr<ProjectImage> sent = std::make_unique<ProjectImage>();
  std::unique_ptr<ProjectImage> got = std::make_unique<ProjectImage>();
  PidTable sentPid, gotPid;
  PasswordBlock sentPasswords, gotPasswords;
};

// Two records carry the same values when their wire entries are the same.
template <typename Encode>
void ExpectSameOnTheWire(Encode encode, const char* what) {
  const auto [a, b] = encode();
  ASSERT_TRUE(a.ok() && b.ok()) << what;
  EXPECT_EQ(a.message.body, b.message.body) << what;
}

TEST_P(SectionRoundTrip, Relays) {
  for (int b = 0; b < kRelayBlocks; ++b) {
    const RelayBlockBuffer block = BuildRelayWriteBlock(*sent, b);
    ASSERT_EQ(Write(RelayBlockWrite(b, block, Cp())), kLinkOk);
  }
  for (int b = 0; b < kRelayBlocks; ++b) {
    RelayBlockBuffer block{};
    ASSERT_EQ(Read(RelayBlockRead(b, block, Cp())), kLinkOk);
    for (int k = 0; k < kRelaysPerBlock && 6 * b + k < kRelayCount; ++k) {
      std::copy_n(block.data() + k * RelayRecord::kSize, RelayRecord::kSize,
                  Relay(*got, 6 * b + k + 1).data());
    }
  }
  for (int b = 0; b < kRelayBlocks; ++b) {
    ExpectSameOnTheWire(
        [&] {
          return std::pair{RelayBlockWriteMessage(b, BuildRelayWriteBlock(*sent, b), 0),
                           RelayBlockWriteMessage(b, BuildRelayWriteBlock(*got, b), 0)};
        },
        "relays");
  }
  EXPECT_EQ(Relay(*got, 32).Number(), 32);
  EXPECT_EQ(Relay(*got, 7).TimeTa(), Relay(*sent, 7).TimeTa());
  EXPECT_EQ(Relay(*got, 7).UpperHysteresis(), Relay(*sent, 7).UpperHysteresis());
  EXPECT_EQ(Relay(*got, 7).Name().Bytes(), Relay(*sent, 7).Name().Bytes());
}

TEST_P(SectionRoundTrip, AlarmsBlocksAndSingle) {
  for (int b = 0; b < kAlarmBlocks; ++b) {
    const AlarmBlockBuffer block = BuildAlarmWriteBlock(*sent, b);
    ASSERT_EQ(Write(AlarmBlockWrite(b, block, Cp())), kLinkOk);
  }
  // One alarm changed by its editor afterwards.
  Alarm(*sent, 13).SetDelayTime(65000);
  Alarm(*sent, 13).Message().SetBytes("CHANGED");
  ASSERT_EQ(Write(AlarmWrite(12, Alarm(*sent, 13), Cp())), kLinkOk);
  for (int b = 0; b < kAlarmBlocks; ++b) {
    AlarmBlockBuffer block{};
    ASSERT_EQ(Read(AlarmBlockRead(b, block, Cp())), kLinkOk);
    for (int k = 0; k < kAlarmsPerBlock && 12 * b + k < kAlarmCount; ++k) {
      std::copy_n(block.data() + k * AlarmRecord::kSize, AlarmRecord::kSize,
                  Alarm(*got, 12 * b + k + 1).data());
    }
  }
  for (int n = 1; n <= kAlarmCount; ++n) {
    ExpectSameOnTheWire(
        [&] {
          return std::pair{AlarmWriteMessage(0, Alarm(*sent, n), 0),
                           AlarmWriteMessage(0, Alarm(*got, n), 0)};
        },
        "alarm");
  }
  EXPECT_EQ(Alarm(*got, 13).DelayTime(), 65000);
  EXPECT_EQ(Alarm(*got, 13).Message().Bytes(), "CHANGED");
}

TEST_P(SectionRoundTrip, SpecialStatusesAllAndSingle) {
  ASSERT_EQ(Write(SpecialStatusesWrite(SpecialStatusRegion(*sent))), kLinkOk);
  SpecialStatus(*sent, 4).SetSwitchOffTime(-1);
  ASSERT_EQ(Write(SpecialStatusWrite(3, SpecialStatus(*sent, 4))), kLinkOk);
  ASSERT_EQ(Read(SpecialStatusesRead(SpecialStatusRegion(*got))), kLinkOk);
  ExpectSameOnTheWire(
      [&] {
        return std::pair{SpecialStatusesWriteMessage(SpecialStatusRegion(*sent)),
                         SpecialStatusesWriteMessage(SpecialStatusRegion(*got))};
      },
      "special statuses");
  EXPECT_EQ(SpecialStatus(*got, 4).SwitchOffTime(), -1);
  EXPECT_EQ(SpecialStatus(*got, 6).Number(), 6);
}

TEST_P(SectionRoundTrip, ProcessesBothSets) {
  for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int b = 0; b < kProcessBlocks; ++b) {
      const ProcessBlockBuffer block = BuildProcessWriteBlock(*sent, set, b);
      ASSERT_EQ(Write(ProcessBlockWrite(set, b, block, Cp())), kLinkOk);
    }
    ASSERT_EQ(Write(ProcessPresetTableWrite(set, ProcessSetRegion(*sent, set))), kLinkOk);
  }
  // The editor of washing process 3 writes its body and presets alone.
  const ProcessRecord edited = Process(*sent, ProcessSet::Washing, 3);
  edited.Name().SetBytes("EDITED");
  edited.SetPreset(5, -12345);
  ASSERT_EQ(Write(ProcessWrite(ProcessSet::Washing, 2, edited, Cp())), kLinkOk);
  ASSERT_EQ(Write(ProcessPresetsWrite(ProcessSet::Washing, 2, edited)), kLinkOk);

  for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int b = 0; b < kProcessBlocks; ++b) {
      ProcessBlockBuffer block{};
      ASSERT_EQ(Read(ProcessBlockRead(set, b, block, Cp())), kLinkOk);
      std::copy(block.begin(), block.end(), Process(*got, set, 8 * b + 1).data());
    }
    ASSERT_EQ(Read(ProcessPresetTableRead(set, ProcessSetRegion(*got, set))), kLinkOk);
    for (int n = 1; n <= kProcessCount; ++n) {
      ExpectSameOnTheWire(
          [&] {
            return std::pair{ProcessWriteMessage(set, 0, Process(*sent, set, n), 0),
                             ProcessWriteMessage(set, 0, Process(*got, set, n), 0)};
          },
          "process body");
      for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(Process(*got, set, n).Preset(k), Process(*sent, set, n).Preset(k)) << n;
      }
    }
  }
  EXPECT_EQ(Process(*got, ProcessSet::Washing, 3).Name().Bytes(), "EDITED");
  EXPECT_EQ(Process(*got, ProcessSet::Washing, 3).Preset(5), -12345);
  EXPECT_NE(Process(*got, ProcessSet::Normal, 3).Name().Bytes(), "EDITED");
}

TEST_P(SectionRoundTrip, AnalogOutputsInTheLayoutOfTheVersion) {
  for (const std::int16_t version : {599, 600, 900}) {
    SCOPED_TRACE(version);
    emulator.SetProgramVersion(version);
    const AnalogOutputLayout layout = AnalogOutputLayoutForVersion(version);
    const bool legacy = layout == AnalogOutputLayout::Legacy;
    const auto records = AnalogOutputRegion(*sent);
    AnalogOutput(*sent, 2).SetStopSetValue(version);  // something new for each version
    ASSERT_EQ(Write(AnalogOutputsWrite(layout, records, Cp())), kLinkOk);
    const auto into = AnalogOutputRegion(*got);
    ASSERT_EQ(Read(AnalogOutputsRead(layout, into, Cp())), kLinkOk);
    ExpectSameOnTheWire(
        [&] {
          return std::pair{AnalogOutputsWriteMessage(layout, records, 0),
                           AnalogOutputsWriteMessage(layout, into, 0)};
        },
        "analog outputs");
    EXPECT_EQ(AnalogOutput(*got, 2).StopSetValue(), version);
    EXPECT_EQ(AnalogOutput(*got, 1).PidNumber(), legacy ? 0 : AnalogOutput(*sent, 1).PidNumber());
  }
}

TEST_P(SectionRoundTrip, PidRegulatorsAndPasswords) {
  ASSERT_EQ(Write(PidRegulatorsWrite(sentPid.bytes())), kLinkOk);
  ASSERT_EQ(Read(PidRegulatorsRead(gotPid.bytes())), kLinkOk);
  ExpectSameOnTheWire(
      [&] {
        return std::pair{PidRegulatorsWriteMessage(sentPid.bytes()),
                         PidRegulatorsWriteMessage(gotPid.bytes())};
      },
      "PID");
  EXPECT_DOUBLE_EQ(Pid(gotPid, 4).ProportionalBand(), Pid(sentPid, 4).ProportionalBand());

  ASSERT_EQ(Write(PasswordsWrite(sentPasswords.bytes())), kLinkOk);
  ASSERT_EQ(Read(PasswordsRead(gotPasswords.bytes())), kLinkOk);
  for (int i = 1; i <= passwords::kEntryCount; ++i) {
    EXPECT_EQ(PasswordEntry(gotPasswords, i).Bytes(), PasswordEntry(sentPasswords, i).Bytes()) << i;
  }
}

TEST_P(SectionRoundTrip, SetupWordsExceptTheFirmwareOnes) {
  std::array<std::uint8_t, image::kSetupSize> setup{};
  SetupBlock words(setup.data());
  for (int w = 0; w <= 100; ++w) words.SetWord(w, static_cast<std::int16_t>(w * 331 - 20000));
  words.SetWord(1, -1);
  ASSERT_EQ(Write(SetupWrite(setup)), kLinkOk);
  std::array<std::uint8_t, image::kSetupSize> back{};
  ASSERT_EQ(Read(SetupRead(back)), kLinkOk);
  const ConstSetupBlock b(back.data());
  for (int w = 0; w < 98; ++w) EXPECT_EQ(b.Word(w), words.Word(w)) << w;
  EXPECT_EQ(b.Word(99), 900);  // the controller's own program version
  EXPECT_EQ(b.Word(100), 0);   // does not travel
}

// Programs travel in the pages the controller's version asks for; the controller keeps 50
// steps of 20 bytes and cuts them by the version it reports when asked.
TEST_P(SectionRoundTrip, ProgramsAtEveryPageLayout) {
  for (const std::int16_t version : {500, 501, 899, 900}) {
    SCOPED_TRACE(version);
    emulator.SetProgramVersion(version);
    const int pages = ControllerPages();
    ASSERT_EQ(pages, ProgramPagesForVersion(version));
    Program(*sent, 7).Step(1).SetHours(version % 100);
    WriteProgram(Program(*sent, 7), pages);
    WriteProgram(WashingProgram(*sent), pages);
    for (const auto& [index, src, dst] :
         {std::tuple{6, Program(*sent, 7), Program(*got, 7)},
          std::tuple{100, WashingProgram(*sent), WashingProgram(*got)}}) {
      ReadProgram(dst, index, pages);
      ExpectSameOnTheWire(
          [&] {
            std::vector<EncodedMessage> a, b;
            QByteArray wa, wb;
            for (int page = 0; page < pages; ++page) {
              wa += ProgramPageWriteMessage(src, page, pages, 0).message.body;
              wb += ProgramPageWriteMessage(dst, page, pages, 0).message.body;
            }
            EncodedMessage ea, eb;
            ea.message.body = wa;
            eb.message.body = wb;
            return std::pair{ea, eb};
          },
          "program pages");
      EXPECT_EQ(dst.Number(), index + 1);
      const int carried = ProgramLayout(pages)->StepsCarried();
      EXPECT_EQ(dst.Step(carried).Minutes(), src.Step(carried).Minutes());
      EXPECT_EQ(dst.Step(carried + 1).Minutes(), 0);  // page 0 cleared the record
      EXPECT_EQ(dst.Step(1).WorkTime(), version <= 500 ? 0 : src.Step(1).WorkTime());
    }
    EXPECT_EQ(Program(*got, 7).Step(1).Hours(), version % 100);
  }
}

TEST_P(SectionRoundTrip, ProgramWrittenInFivePagesReadsBackInTwo) {
  emulator.SetProgramVersion(900);
  WriteProgram(Program(*sent, 3), 5);
  emulator.SetProgramVersion(500);
  ReadProgram(Program(*got, 3), 2, 2);
  for (int s = 1; s <= 30; ++s) {
    EXPECT_EQ(Program(*got, 3).Step(s).ChamberTemperature(),
              Program(*sent, 3).Step(s).ChamberTemperature())
        << s;
  }
  EXPECT_EQ(Program(*got, 3).Step(31).ChamberTemperature(), 0);
  // The 16-byte steps of version 500 leave the stored work times alone.
  WriteProgram(Program(*got, 3), 2);
  emulator.SetProgramVersion(900);
  ReadProgram(Program(*got, 3), 2, 5);
  EXPECT_EQ(Program(*got, 3).Step(10).WorkTime(), Program(*sent, 3).Step(10).WorkTime());
  EXPECT_EQ(Program(*got, 3).Step(40).Delta(), Program(*sent, 3).Step(40).Delta());
}

INSTANTIATE_TEST_SUITE_P(Paths, SectionRoundTrip, testing::Values(Path::Direct, Path::Module),
                         [](const auto& i) {
                           return std::string(i.param == Path::Direct ? "Direct" : "Module");
                         });

// --- The controller's side of the section requests ----------------------------------------

class SectionController : public testing::Test {
 protected:
  SectionController() {
    session->settings.ports[1] = QStringLiteral("emulator");
    session->settings.timeoutStand = 100;
    session->link.portIndex = 0;
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session->settings);
    ops = std::make_unique<LinkOperations>(*link, *session);
  }
  TestClock clock;
  Emulator emulator{clock};
  std::unique_ptr<TestSession> session = std::make_unique<TestSession>();
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
};

TEST_F(SectionController, FreshControllerHoldsTheDemoProject) {
  RelayBlockBuffer relays{};
  ASSERT_EQ(Read(*ops, RelayBlockRead(0, relays, 0)), kLinkOk);
  EXPECT_EQ(ConstRelayRecord(relays.data()).Name().Bytes(), "HEATER 1");
  AlarmBlockBuffer alarms{};
  ASSERT_EQ(Read(*ops, AlarmBlockRead(0, alarms, 0)), kLinkOk);
  EXPECT_EQ(ConstAlarmRecord(alarms.data() + AlarmRecord::kSize).Message().Bytes(), "DOOR OPEN");
  ProcessBlockBuffer processes{};
  ASSERT_EQ(Read(*ops, ProcessBlockRead(ProcessSet::Normal, 0, processes, 0)), kLinkOk);
  EXPECT_EQ(ConstProcessRecord(processes.data() + ProcessRecord::kSize).Name().Bytes(), "SMOKING");
  RecordBytes<ProgramRecord> program{};
  for (int page = 0; page < 5; ++page) {
    ASSERT_EQ(Read(*ops, ProgramPageRead(ProgramRecord(program.data()), 0, page, 5, 0)), kLinkOk);
  }
  const ConstProgramRecord ham(program.data());
  EXPECT_EQ(ham.Name().Bytes(), "HAM");
  EXPECT_EQ(ham.Step(3).ProcessNumber(), 3);
  EXPECT_EQ(ham.Step(3).CoreTemperature(), 72);
  for (int page = 0; page < 5; ++page) {
    ASSERT_EQ(Read(*ops, ProgramPageRead(ProgramRecord(program.data()), 100, page, 5, 0)), kLinkOk);
  }
  EXPECT_EQ(ham.Name().Bytes(), "WASHING");
  EXPECT_EQ(ham.Number(), kWashingProgramNumber);

  // What the controller holds is the demo project itself, field by field.
  auto demo = std::make_unique<ProjectImage>();
  PidTable pid, pidRead;
  PasswordBlock passwords, passwordsRead;
  BuildDemoProject(*demo, pid, passwords);
  EXPECT_EQ(RelayBlockWriteMessage(0, relays, 0).message.body,
            RelayBlockWriteMessage(0, BuildRelayWriteBlock(*demo, 0), 0).message.body);
  ASSERT_EQ(Read(*ops, PidRegulatorsRead(pidRead.bytes())), kLinkOk);
  EXPECT_EQ(PidRegulatorsWriteMessage(pidRead.bytes()).message.body,
            PidRegulatorsWriteMessage(pid.bytes()).message.body);
  ASSERT_EQ(Read(*ops, PasswordsRead(passwordsRead.bytes())), kLinkOk);
  EXPECT_EQ(PasswordEntry(passwordsRead, 8).Bytes(), " ADMIN");
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> outputs{};
  ASSERT_EQ(Read(*ops, AnalogOutputsRead(AnalogOutputLayout::Current, outputs, 0)), kLinkOk);
  EXPECT_EQ(ConstAnalogOutputRecord(outputs.data()).Name().Bytes(), "DAMPER");
  emulator.SetProgramVersion(599);
  ASSERT_EQ(Read(*ops, AnalogOutputsRead(AnalogOutputLayout::Legacy, outputs, 0)), kLinkOk);
  EXPECT_EQ(ConstAnalogOutputRecord(outputs.data()).Gain(), 1.5);
  // Every demo value fits the wire: the demo itself passes the validations.
  EXPECT_TRUE(ValidateRelays(*demo).empty());
  EXPECT_TRUE(ValidatePrograms(*demo, 5).empty());
  EXPECT_TRUE(ValidateWashingProgram(*demo, 5).empty());
  EXPECT_TRUE(ValidateAnalogOutputs(*demo, AnalogOutputLayout::Legacy).empty());
}

TEST_F(SectionController, RequestsOutsideTheSectionsAreNotAnswered) {
  // Block, index and page numbers the controller does not have, and program pages of another
  // layout than its version's.
  struct Case {
    const char* name;
    InnerMessage message;
  };
  const Case cases[] = {
      {"relay block 6", RelayBlockReadMessage(6)},
      {"alarm block 2", AlarmBlockReadMessage(2)},
      {"process block 2", ProcessBlockReadMessage(ProcessSet::Washing, 2)},
      {"program page 5", ProgramPageReadMessage(0, 5)},
      {"program index 101", ProgramPageReadMessage(101, 0)},
      {"preset selector 2", {kClassRead, 0x13, QByteArray(1, '\2')}},
      {"presets index 16", {kClassWrite, 0x1A, QByteArray(11, '\x10')}},
      {"presets index 116", {kClassWrite, 0x1A, QByteArray(11, '\x74')}},
      {"alarm index 21", {kClassWrite, 0x17, QByteArray(23, '\x15')}},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(emulator.HandleFrame(BuildDirectRequest(1, c.message)).has_value()) << c.name;
  }
  // A page of 15 short steps does not fit a controller that asks for 10 long ones.
  RecordBytes<ProgramRecord> program{};
  ProgramRecord(program.data()).SetNumber(1);
  const EncodedMessage twoPages =
      ProgramPageWriteMessage(ConstProgramRecord(program.data()), 0, 2, 0);
  EXPECT_FALSE(emulator.HandleFrame(BuildDirectRequest(1, twoPages.message)).has_value());
  emulator.SetProgramVersion(500);
  EXPECT_TRUE(emulator.HandleFrame(BuildDirectRequest(1, twoPages.message)).has_value());
  EXPECT_EQ(emulator.Memory().sections.writes, 1);
}

TEST_F(SectionController, WrongBlockByteReachesTheCallerAsResultSeven) {
  emulator.Faults().Queue(Fault::WrongBlock, 3);
  RelayBlockBuffer relays;
  relays.fill(0x42);
  EXPECT_EQ(Read(*ops, RelayBlockRead(1, relays, 0)), kLinkUnexpectedReply);
  EXPECT_EQ(relays[0], 0x42);  // a failed read leaves the caller's records as they were
  EXPECT_EQ(Read(*ops, RelayBlockRead(1, relays, 0)), kLinkOk);
  EXPECT_EQ(ConstRelayRecord(relays.data()).Number(), 7);
}

}  // namespace
}  // namespace qdx
