// Every operation of the section catalogue: its frame header and inner header, its total
// length, the reply length it reads, and that it succeeds on a well-formed answer.
#include <gtest/gtest.h>

#include <functional>

#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"
#include "link_fixture.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;

// Buffers the operations read into and write from (all zero: every value fits its field).
struct Buffers {
  RelayBlockBuffer relays{};
  AlarmBlockBuffer alarms{};
  ProcessBlockBuffer processes{};
  std::array<std::uint8_t, kProcessCount * ProcessRecord::kSize> processSet{};
  std::array<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize> statuses{};
  RecordBytes<ProgramRecord> program{};      // written
  RecordBytes<ProgramRecord> programRead{};  // read into
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> outputs{};
  std::array<std::uint8_t, pid::kSize> pids{};
  std::array<std::uint8_t, image::kSetupSize> setup{};
  std::array<std::uint8_t, passwords::kSize> passwords{};

  Buffers() {
    // Program 5 goes out as program index 4.
    ProgramRecord(program.data()).SetNumber(5);
  }
};

Buffers& B() {
  static Buffers b;
  return b;
}

ConstProgramRecord Prog() {
  return ConstProgramRecord(B().program.data());
}
ProgramRecord ProgIn() {
  return ProgramRecord(B().programRead.data());
}
ConstAlarmRecord OneAlarm() {
  return ConstAlarmRecord(B().alarms.data());
}
ConstSpecialStatusRecord OneStatus() {
  return ConstSpecialStatusRecord(B().statuses.data());
}
ConstProcessRecord OneProcess() {
  return ConstProcessRecord(B().processes.data());
}
// The session's code page, which the requests convert names with.
int Cp(LinkOperations& o) {
  return o.context().codePageIndex;
}

struct RequestCase {
  const char* name;
  std::function<LinkResult(LinkOperations&)> op;
  const char* prefix;  // frame bytes from the station on
  int frameLength;
  int replyLength;
  const char* answer = "";  // reply data from offset 9 (block or page byte)
};

class SectionRequests : public test::LinkFixture,
                        public testing::WithParamInterface<RequestCase> {};

TEST_P(SectionRequests, FrameAndReplyLength) {
  const RequestCase& c = GetParam();
  module.answerData = FromHex(c.answer);
  ASSERT_EQ(c.op(*ops), kLinkOk);
  ASSERT_EQ(port->frames().size(), 1u);
  const QByteArray frame = port->frames().back();
  EXPECT_EQ(frame.size(), c.frameLength);
  const QByteArray prefix = FromHex(c.prefix);
  EXPECT_EQ(Hex(frame.left(prefix.size())), Hex(prefix));
  EXPECT_TRUE(HasValidChecksum(frame));
  EXPECT_EQ(port->events().filter("read").last(), QStringLiteral("read %1").arg(c.replyLength));
}

using O = LinkOperations;
constexpr auto W = ProcessSet::Washing;
constexpr auto N = ProcessSet::Normal;
constexpr auto kCurrent = AnalogOutputLayout::Current;
constexpr auto kLegacy = AnalogOutputLayout::Legacy;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, SectionRequests,
    testing::Values(
        // Relays.
        RequestCase{"ReadRelayBlock",
                    [](O& o) { return Read(o, RelayBlockRead(2, B().relays, Cp(o))); },
                    "01 46 08 00 0c 46 0c 00 05 02", 12, 252, "02"},
        RequestCase{"PostReadRelayBlock",
                    [](O& o) { return PostRead(o, RelayBlockRead(2, B().relays, Cp(o))); },
                    "01 47 09 00 0c 46 0c 00 05 02", 12, 7},
        RequestCase{"FetchRelayBlock",
                    [](O& o) { return Fetch(o, RelayBlockRead(5, B().relays, Cp(o))); },
                    "01 46 09 00 07", 7, 252, "05"},
        RequestCase{"WriteRelayBlock",
                    [](O& o) { return Write(o, RelayBlockWrite(1, B().relays, Cp(o))); },
                    "01 46 08 00 fc 47 0c 00 f5 01", 252, 11},
        RequestCase{"PostWriteRelayBlock",
                    [](O& o) { return PostWrite(o, RelayBlockWrite(1, B().relays, Cp(o))); },
                    "01 47 09 00 fc 47 0c 00 f5 01", 252, 7},
        // Alarms.
        RequestCase{"ReadAlarmBlock",
                    [](O& o) { return Read(o, AlarmBlockRead(1, B().alarms, Cp(o))); },
                    "01 46 08 00 0c 46 0f 00 05 01", 12, 276, "01"},
        RequestCase{"PostReadAlarmBlock",
                    [](O& o) { return PostRead(o, AlarmBlockRead(1, B().alarms, Cp(o))); },
                    "01 47 09 00 0c 46 0f 00 05 01", 12, 7},
        RequestCase{"FetchAlarmBlock",
                    [](O& o) { return Fetch(o, AlarmBlockRead(0, B().alarms, Cp(o))); },
                    "01 46 09 00 07", 7, 276, "00"},
        RequestCase{"WriteAlarmBlock",
                    [](O& o) { return Write(o, AlarmBlockWrite(1, B().alarms, Cp(o))); },
                    "01 46 08 01 14 47 0f 01 0d 01", 276, 11},
        RequestCase{"PostWriteAlarmBlock",
                    [](O& o) { return PostWrite(o, AlarmBlockWrite(0, B().alarms, Cp(o))); },
                    "01 47 09 01 14 47 0f 01 0d 00", 276, 7},
        RequestCase{"WriteAlarm", [](O& o) { return Write(o, AlarmWrite(20, OneAlarm(), Cp(o))); },
                    "01 46 08 00 22 47 17 00 1b 14", 34, 11},
        RequestCase{"PostWriteAlarm",
                    [](O& o) { return PostWrite(o, AlarmWrite(0, OneAlarm(), Cp(o))); },
                    "01 47 09 00 22 47 17 00 1b 00", 34, 7},
        // Special statuses.
        RequestCase{"ReadSpecialStatuses",
                    [](O& o) { return Read(o, SpecialStatusesRead(B().statuses)); },
                    "01 46 08 00 0b 46 0e 00 04", 11, 53},
        RequestCase{"PostReadSpecialStatuses",
                    [](O& o) { return PostRead(o, SpecialStatusesRead(B().statuses)); },
                    "01 47 09 00 0b 46 0e 00 04", 11, 7},
        RequestCase{"FetchSpecialStatuses",
                    [](O& o) { return Fetch(o, SpecialStatusesRead(B().statuses)); },
                    "01 46 09 00 07", 7, 53},
        RequestCase{"WriteSpecialStatuses",
                    [](O& o) { return Write(o, SpecialStatusesWrite(B().statuses)); },
                    "01 46 08 00 35 47 0e 00 2e", 53, 11},
        RequestCase{"PostWriteSpecialStatuses",
                    [](O& o) { return PostWrite(o, SpecialStatusesWrite(B().statuses)); },
                    "01 47 09 00 35 47 0e 00 2e", 53, 7},
        RequestCase{"WriteSpecialStatus",
                    [](O& o) { return Write(o, SpecialStatusWrite(5, OneStatus())); },
                    "01 46 08 00 13 47 16 00 0c 05", 19, 11},
        RequestCase{"PostWriteSpecialStatus",
                    [](O& o) { return PostWrite(o, SpecialStatusWrite(3, OneStatus())); },
                    "01 47 09 00 13 47 16 00 0c 03", 19, 7},
        // Process bodies.
        RequestCase{"ReadProcessBlockNormal",
                    [](O& o) { return Read(o, ProcessBlockRead(N, 1, B().processes, Cp(o))); },
                    "01 46 08 00 0c 46 0d 00 05 01", 12, 164, "01"},
        RequestCase{"ReadProcessBlockWashing",
                    [](O& o) { return Read(o, ProcessBlockRead(W, 0, B().processes, Cp(o))); },
                    "01 46 08 00 0c 46 10 00 05 00", 12, 164, "00"},
        RequestCase{"PostReadProcessBlock",
                    [](O& o) { return PostRead(o, ProcessBlockRead(W, 1, B().processes, Cp(o))); },
                    "01 47 09 00 0c 46 10 00 05 01", 12, 7},
        RequestCase{"FetchProcessBlock",
                    [](O& o) { return Fetch(o, ProcessBlockRead(N, 1, B().processes, Cp(o))); },
                    "01 46 09 00 07", 7, 164, "01"},
        RequestCase{"WriteProcessBlockNormal",
                    [](O& o) { return Write(o, ProcessBlockWrite(N, 1, B().processes, Cp(o))); },
                    "01 46 08 00 a4 47 0d 00 9d 01", 164, 11},
        RequestCase{
            "PostWriteProcessBlockWashing",
            [](O& o) { return PostWrite(o, ProcessBlockWrite(W, 0, B().processes, Cp(o))); },
            "01 47 09 00 a4 47 10 00 9d 00", 164, 7},
        RequestCase{"WriteProcessNormal",
                    [](O& o) { return Write(o, ProcessWrite(N, 15, OneProcess(), Cp(o))); },
                    "01 46 08 00 1f 47 15 00 18 0f", 31, 11},
        RequestCase{"PostWriteProcessWashing",
                    [](O& o) { return PostWrite(o, ProcessWrite(W, 2, OneProcess(), Cp(o))); },
                    "01 47 09 00 1f 47 18 00 18 02", 31, 7},
        // Process presets.
        RequestCase{"ReadProcessPresetTableWashing",
                    [](O& o) { return Read(o, ProcessPresetTableRead(W, B().processSet)); },
                    "01 46 08 00 0c 46 13 00 05 01", 12, 172},
        RequestCase{"PostReadProcessPresetTable",
                    [](O& o) { return PostRead(o, ProcessPresetTableRead(N, B().processSet)); },
                    "01 47 09 00 0c 46 13 00 05 00", 12, 7},
        RequestCase{"FetchProcessPresetTable",
                    [](O& o) { return Fetch(o, ProcessPresetTableRead(N, B().processSet)); },
                    "01 46 09 00 07", 7, 172},
        RequestCase{"WriteProcessPresetTable",
                    [](O& o) { return Write(o, ProcessPresetTableWrite(N, B().processSet)); },
                    "01 46 08 00 ac 47 13 00 a5 00", 172, 11},
        RequestCase{"PostWriteProcessPresetTable",
                    [](O& o) { return PostWrite(o, ProcessPresetTableWrite(W, B().processSet)); },
                    "01 47 09 00 ac 47 13 00 a5 01", 172, 7},
        RequestCase{"WriteProcessPresetsWashing3",
                    [](O& o) {
                      return Write(
                          o, ProcessPresetsWrite(W, 2, ConstProcessRecord(B().processSet.data())));
                    },
                    "01 46 08 00 16 47 1a 00 0f 66", 22, 11},
        RequestCase{"PostWriteProcessPresetsNormal",
                    [](O& o) {
                      return PostWrite(
                          o, ProcessPresetsWrite(N, 2, ConstProcessRecord(B().processSet.data())));
                    },
                    "01 47 09 00 16 47 1a 00 0f 02", 22, 7},
        // Programs.
        RequestCase{"ReadProgramP2",
                    [](O& o) { return Read(o, ProgramPageRead(ProgIn(), 4, 1, 2, Cp(o))); },
                    "01 46 08 00 0d 46 0b 00 06 01 04", 13, 267, "01"},
        RequestCase{"ReadProgramP1",
                    [](O& o) { return Read(o, ProgramPageRead(ProgIn(), 0, 0, 1, Cp(o))); },
                    "01 46 08 00 0d 46 0b 00 06 00 00", 13, 507, "00"},
        RequestCase{"ReadProgramP3",
                    [](O& o) { return Read(o, ProgramPageRead(ProgIn(), 98, 2, 3, Cp(o))); },
                    "01 46 08 00 0d 46 0b 00 06 02 62", 13, 227, "02"},
        RequestCase{"PostReadProgram",
                    [](O& o) { return PostRead(o, ProgramPageRead(ProgIn(), 100, 4, 5, Cp(o))); },
                    "01 47 09 00 0d 46 0b 00 06 04 64", 13, 7},
        RequestCase{"FetchProgramP5",
                    [](O& o) { return Fetch(o, ProgramPageRead(ProgIn(), 0, 4, 5, Cp(o))); },
                    "01 46 09 00 07", 7, 227, "04"},
        RequestCase{"WriteProgramP2",
                    [](O& o) { return Write(o, ProgramPageWrite(Prog(), 1, 2, Cp(o))); },
                    "01 46 08 01 0b 47 0b 01 04 01 04", 267, 11},
        RequestCase{"WriteProgramP1",
                    [](O& o) { return Write(o, ProgramPageWrite(Prog(), 0, 1, Cp(o))); },
                    "01 46 08 01 fb 47 0b 01 f4 00 04", 507, 11},
        RequestCase{"WriteProgramP3",
                    [](O& o) { return Write(o, ProgramPageWrite(Prog(), 2, 3, Cp(o))); },
                    "01 46 08 00 e3 47 0b 00 dc 02 04", 227, 11},
        RequestCase{"PostWriteProgramP5",
                    [](O& o) { return PostWrite(o, ProgramPageWrite(Prog(), 4, 5, Cp(o))); },
                    "01 47 09 00 e3 47 0b 00 dc 04 04", 227, 7},
        // Analog outputs.
        RequestCase{"ReadAnalogOutputs",
                    [](O& o) { return Read(o, AnalogOutputsRead(kCurrent, B().outputs, Cp(o))); },
                    "01 46 08 00 0c 46 12 00 05 00", 12, 257},
        RequestCase{"ReadAnalogOutputsLegacy",
                    [](O& o) { return Read(o, AnalogOutputsRead(kLegacy, B().outputs, Cp(o))); },
                    "01 46 08 00 0c 46 12 00 05 00", 12, 257},
        RequestCase{
            "PostReadAnalogOutputs",
            [](O& o) { return PostRead(o, AnalogOutputsRead(kCurrent, B().outputs, Cp(o))); },
            "01 47 09 00 0c 46 12 00 05 00", 12, 7},
        RequestCase{"FetchAnalogOutputs",
                    [](O& o) { return Fetch(o, AnalogOutputsRead(kCurrent, B().outputs, Cp(o))); },
                    "01 46 09 00 07", 7, 257},
        RequestCase{"FetchAnalogOutputsLegacy",
                    [](O& o) { return Fetch(o, AnalogOutputsRead(kLegacy, B().outputs, Cp(o))); },
                    "01 46 09 00 07", 7, 257},
        RequestCase{"WriteAnalogOutputs",
                    [](O& o) { return Write(o, AnalogOutputsWrite(kCurrent, B().outputs, Cp(o))); },
                    "01 46 08 00 b6 47 12 00 af 00", 182, 11},
        RequestCase{"WriteAnalogOutputsLegacy",
                    [](O& o) { return Write(o, AnalogOutputsWrite(kLegacy, B().outputs, Cp(o))); },
                    "01 46 08 01 01 47 12 00 fa 00", 257, 11},
        RequestCase{
            "PostWriteAnalogOutputs",
            [](O& o) { return PostWrite(o, AnalogOutputsWrite(kCurrent, B().outputs, Cp(o))); },
            "01 47 09 00 b6 47 12 00 af 00", 182, 7},
        RequestCase{
            "PostWriteAnalogOutputsLegacy",
            [](O& o) { return PostWrite(o, AnalogOutputsWrite(kLegacy, B().outputs, Cp(o))); },
            "01 47 09 01 01 47 12 00 fa 00", 257, 7},
        // PID regulators.
        RequestCase{"ReadPidRegulators", [](O& o) { return Read(o, PidRegulatorsRead(B().pids)); },
                    "01 46 08 00 0c 46 38 00 05 00", 12, 257},
        RequestCase{"PostReadPidRegulators",
                    [](O& o) { return PostRead(o, PidRegulatorsRead(B().pids)); },
                    "01 47 09 00 0c 46 38 00 05 00", 12, 7},
        RequestCase{"FetchPidRegulators",
                    [](O& o) { return Fetch(o, PidRegulatorsRead(B().pids)); }, "01 46 09 00 07", 7,
                    257},
        RequestCase{"WritePidRegulators",
                    [](O& o) { return Write(o, PidRegulatorsWrite(B().pids)); },
                    "01 46 08 00 7f 47 38 00 78 00", 127, 11},
        RequestCase{"PostWritePidRegulators",
                    [](O& o) { return PostWrite(o, PidRegulatorsWrite(B().pids)); },
                    "01 47 09 00 7f 47 38 00 78 00", 127, 7},
        // Setup.
        RequestCase{"WriteSetup", [](O& o) { return Write(o, SetupWrite(B().setup)); },
                    "01 46 08 00 d5 47 0a 00 ce 00 00", 213, 11},
        RequestCase{"PostWriteSetup", [](O& o) { return PostWrite(o, SetupWrite(B().setup)); },
                    "01 47 09 00 d5 47 0a 00 ce 00 00", 213, 7},
        // Passwords.
        RequestCase{"ReadPasswords", [](O& o) { return Read(o, PasswordsRead(B().passwords)); },
                    "01 46 08 00 0b 46 11 00 04", 11, 233},
        RequestCase{"PostReadPasswords",
                    [](O& o) { return PostRead(o, PasswordsRead(B().passwords)); },
                    "01 47 09 00 0b 46 11 00 04", 11, 7},
        RequestCase{"FetchPasswords", [](O& o) { return Fetch(o, PasswordsRead(B().passwords)); },
                    "01 46 09 00 07", 7, 233},
        RequestCase{"WritePasswords", [](O& o) { return Write(o, PasswordsWrite(B().passwords)); },
                    "01 46 08 00 e9 47 11 00 e2", 233, 11},
        RequestCase{"PostWritePasswords",
                    [](O& o) { return PostWrite(o, PasswordsWrite(B().passwords)); },
                    "01 47 09 00 e9 47 11 00 e2", 233, 7}),
    [](const auto& i) { return std::string(i.param.name); });

class SectionOps : public test::LinkFixture {};

// Posted reads want the acknowledgement 0x47 0x09; posted writes take any valid reply.
TEST_F(SectionOps, PostedReadsNeedTheAcknowledgementPostedWritesDoNot) {
  module.ack = FromHex("47 08");
  EXPECT_EQ(PostRead(*ops, RelayBlockRead(0, B().relays, 0)), kLinkUnexpectedReply);
  EXPECT_EQ(port->frames().size(), 3u);  // retried like any failure
  EXPECT_EQ(PostRead(*ops, ProgramPageRead(ProgIn(), 0, 0, 2, 0)), kLinkUnexpectedReply);
  EXPECT_EQ(PostWrite(*ops, RelayBlockWrite(0, B().relays, 0)), kLinkOk);
  EXPECT_EQ(PostWrite(*ops, SetupWrite(B().setup)), kLinkOk);
  EXPECT_EQ(PostWrite(*ops, PasswordsWrite(B().passwords)), kLinkOk);
}

// Block, index and page numbers outside their sections are refused before anything is sent.
TEST_F(SectionOps, AddressesOutsideTheSectionSendNothing) {
  const std::function<LinkResult()> refused[] = {
      [&] { return Read(*ops, RelayBlockRead(6, B().relays, 0)); },
      [&] { return PostRead(*ops, RelayBlockRead(-1, B().relays, 0)); },
      [&] { return Write(*ops, RelayBlockWrite(6, B().relays, 0)); },
      [&] { return Read(*ops, AlarmBlockRead(2, B().alarms, 0)); },
      [&] { return Write(*ops, AlarmWrite(21, OneAlarm(), 0)); },
      [&] { return Write(*ops, SpecialStatusWrite(6, OneStatus())); },
      [&] { return Read(*ops, ProcessBlockRead(N, 2, B().processes, 0)); },
      [&] { return Write(*ops, ProcessWrite(W, 16, OneProcess(), 0)); },
      [&] { return Write(*ops, ProcessPresetsWrite(W, -1, OneProcess())); },
      [&] { return Read(*ops, ProgramPageRead(ProgIn(), 0, 2, 2, 0)); },
      [&] { return Read(*ops, ProgramPageRead(ProgIn(), 256, 0, 2, 0)); },
      [&] { return Read(*ops, ProgramPageRead(ProgIn(), 0, 0, 0, 0)); },
      [&] { return Fetch(*ops, ProgramPageRead(ProgIn(), 0, 0, 21, 0)); },
      [&] { return Write(*ops, ProgramPageWrite(Prog(), 5, 5, 0)); },
      [&] { return PostRead(*ops, ProgramPageRead(ProgIn(), -1, 0, 2, 0)); },
  };
  for (const auto& op : refused) EXPECT_EQ(op(), kLinkRequestInvalid);
  EXPECT_TRUE(port->frames().empty());
}

// A value its field cannot carry is refused on both paths: the caller learns which, and
// nothing is sent. An address outside the section is refused without a value to name.
TEST_F(SectionOps, RefusedValuesSendNothingAndSayWhich) {
  RelayBlockBuffer relays{};
  const RelayRecord relay(relays.data() + RelayRecord::kSize);
  relay.SetNumber(2);
  relay.SetTimeTa(70000);
  for (const auto send : {&Write, &PostWrite}) {
    EncodeError refusal;
    EXPECT_EQ(send(*ops, RelayBlockWrite(0, relays, 0), &refusal), kLinkRequestInvalid);
    EXPECT_EQ(refusal.Message(), "Relay 2, Ta: 70000 is outside 0..65535");
    EncodeError untouched;
    EXPECT_EQ(send(*ops, RelayBlockWrite(6, relays, 0), &untouched), kLinkRequestInvalid);
    EXPECT_EQ(untouched, EncodeError{});
    EXPECT_EQ(send(*ops, RelayBlockWrite(0, relays, 0), nullptr), kLinkRequestInvalid);
  }
  EXPECT_TRUE(port->frames().empty());
}

}  // namespace
}  // namespace qdx
