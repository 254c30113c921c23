// The list windows' and editors' controller transfers, run against the emulated controller on
// the direct path and through the communication module: blocks and fillers on the wire,
// renumbering, what a read stores and what it leaves alone, cancel, STOP mode, answers that
// never become ready, values the wire cannot carry, program pages by program version, and the
// reset offer after writes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "files/project_defaults.h"
#include "config/section_transfer_fixture.h"
#include "link/program_transactions.h"

namespace qdx::test {
namespace {

constexpr std::uint8_t kRead = kClassRead;
constexpr std::uint8_t kWrite = kClassWrite;

QByteArray Name(const char* prefix, int n) {
  return QByteArray(prefix) + QByteArray::number(n);
}

// The 14-byte text at the start of a wire entry, blanks trimmed.
QByteArray WireName(const QByteArray& params, int offset) {
  return params.mid(offset, 14).trimmed();
}

ProjectImage Snapshot(const ProjectImage& image) {
  return image;
}

// How a section made of blocks travels, for the table-driven tests.
struct BlockCase {
  const char* name;
  SectionId section;
  std::uint8_t command;
  int perBlock;
  int entrySize;
  int records;
  SectionId region;
  std::function<TextField(ProjectImage&, int)> nameOf;
  std::function<void(ProjectImage&, int, std::int32_t)> setNumber;
  std::function<std::int32_t(const ProjectImage&, int)> number;
};

const BlockCase kBlockCases[] = {
    {"Relays", SectionId::Relays, 0x0C, 6, 40, 32, SectionId::Relays,
     [](ProjectImage& im, int n) { return Relay(im, n).Name(); },
     [](ProjectImage& im, int n, std::int32_t v) { Relay(im, n).SetNumber(v); },
     [](const ProjectImage& im, int n) { return Relay(im, n).Number(); }},
    {"Alarms", SectionId::Alarms, 0x0F, 12, 22, 21, SectionId::Alarms,
     [](ProjectImage& im, int n) { return Alarm(im, n).Name(); },
     [](ProjectImage& im, int n, std::int32_t v) { Alarm(im, n).SetNumber(v); },
     [](const ProjectImage& im, int n) { return Alarm(im, n).Number(); }},
    {"Processes", SectionId::Processes, 0x0D, 8, 19, 16, SectionId::Processes,
     [](ProjectImage& im, int n) { return Process(im, ProcessSet::Normal, n).Name(); },
     [](ProjectImage& im, int n, std::int32_t v) {
       Process(im, ProcessSet::Normal, n).SetNumber(v);
     },
     [](const ProjectImage& im, int n) { return Process(im, ProcessSet::Normal, n).Number(); }},
    {"WashingProcesses", SectionId::WashingProcesses, 0x10, 8, 19, 16,
     SectionId::WashingProcesses,
     [](ProjectImage& im, int n) { return Process(im, ProcessSet::Washing, n).Name(); },
     [](ProjectImage& im, int n, std::int32_t v) {
       Process(im, ProcessSet::Washing, n).SetNumber(v);
     },
     [](const ProjectImage& im, int n) { return Process(im, ProcessSet::Washing, n).Number(); }},
};

using BlockParam = std::tuple<Path, int>;

class BlockSections : public testing::TestWithParam<BlockParam>, public TransferFixture {
 protected:
  BlockSections() : TransferFixture(std::get<0>(GetParam())) {}
  const BlockCase& c() const { return kBlockCases[std::get<1>(GetParam())]; }
  int Blocks() const { return (c().records + c().perBlock - 1) / c().perBlock; }
};

// Every block goes out with its block byte; positions beyond the last record carry record 1
// again; numbers are the slot numbers by then, whatever they were.
TEST_P(BlockSections, WriteSendsBlocksWithFillersAndRenumbers) {
  for (int n = 1; n <= c().records; ++n) {
    c().nameOf(image(), n).SetBytes(Name("N", n));
    c().setNumber(image(), n, 1000 + n);
  }
  const TransferResult r = transfer->WriteList(c().section);
  ASSERT_EQ(r.outcome, TransferOutcome::Completed) << dialogs.messages().join("|").toStdString();
  EXPECT_EQ(r.blocksDone, r.blocksTotal);
  EXPECT_TRUE(dialogs.messages().isEmpty());

  const auto blocks = Sent(kWrite, c().command);
  ASSERT_EQ(static_cast<int>(blocks.size()), Blocks());
  for (int b = 0; b < Blocks(); ++b) {
    const SentMessage& m = blocks[static_cast<std::size_t>(b)];
    EXPECT_EQ(m.posted, session.moduleFlag);
    ASSERT_EQ(m.params.size(), 1 + c().perBlock * c().entrySize);
    EXPECT_EQ(static_cast<int>(m.params[0]), b);
    for (int k = 0; k < c().perBlock; ++k) {
      const int n = b * c().perBlock + k + 1;
      EXPECT_EQ(WireName(m.params, 1 + k * c().entrySize), Name("N", n <= c().records ? n : 1))
          << "block " << b << " position " << k;
    }
  }
  for (int n = 1; n <= c().records; ++n) EXPECT_EQ(c().number(image(), n), n);
  EXPECT_FALSE(progress.visible());
}

// A read stores exactly records 1..N: the filler positions of the last block reach no other
// region, and every byte outside the section stays as it was.
TEST_P(BlockSections, ReadFillsTheSlotsAndDropsFillerPositions) {
  for (int n = 1; n <= c().records; ++n) c().nameOf(image(), n).SetBytes(Name("C", n));
  ASSERT_TRUE(transfer->WriteList(c().section).completed());

  const SectionLayout layout = LayoutOf(c().region);
  for (int n = 1; n <= c().records; ++n) c().nameOf(image(), n).SetBytes("OLD");
  std::fill_n(image().data(), layout.offset, std::uint8_t{0x5A});
  std::fill(image().data() + layout.offset + layout.size(), image().data() + image().size(),
            std::uint8_t{0xA5});
  const ProjectImage before = Snapshot(image());

  const TransferResult r = transfer->ReadList(c().section);
  ASSERT_TRUE(r.completed()) << dialogs.messages().join("|").toStdString();
  EXPECT_TRUE(r.imageChanged);
  for (int n = 1; n <= c().records; ++n) {
    EXPECT_EQ(c().nameOf(image(), n).Bytes(), Name("C", n));
    EXPECT_EQ(c().number(image(), n), n);
  }
  EXPECT_TRUE(std::equal(image().data(), image().data() + layout.offset, before.data()));
  EXPECT_TRUE(std::equal(image().data() + layout.offset + layout.size(),
                         image().data() + image().size(),
                         before.data() + layout.offset + layout.size()));
  EXPECT_FALSE(progress.visible());
}

INSTANTIATE_TEST_SUITE_P(BothPaths, BlockSections,
                         testing::Combine(testing::Values(Path::Direct, Path::Module),
                                          testing::Range(0, 4)),
                         [](const testing::TestParamInfo<BlockParam>& info) {
                           return std::string(PathName(std::get<0>(info.param))) +
                                  kBlockCases[std::get<1>(info.param)].name;
                         });

class ListTransfers : public testing::TestWithParam<Path>, public TransferFixture {
 protected:
  ListTransfers() : TransferFixture(GetParam()) {}
  QByteArray ControllerRelayName(int n) const {
    return emulator.Memory().sections.relays.mid((n - 1) * 40, 14).trimmed();
  }
};

// Module path: a read whose answer never becomes ready fails with "No communication" and leaves
// the project, and an editor's working record, as they were.
TEST_P(ListTransfers, ReadWhoseAnswerNeverBecomesReadyChangesNothing) {
  if (!session.moduleFlag) GTEST_SKIP() << "the direct path has no answer to wait for";
  emulator.Faults().SetPersistent(Fault::NeverReady);
  const auto before = std::make_unique<ProjectBlocks>(session.blocks);
  for (const SectionId s : {SectionId::Relays, SectionId::Processes, SectionId::Programs,
                            SectionId::AnalogOutputs, SectionId::Pid}) {
    const TransferResult r = transfer->ReadList(s);
    EXPECT_EQ(r.outcome, TransferOutcome::Failed) << static_cast<int>(s);
    EXPECT_FALSE(r.imageChanged) << static_cast<int>(s);
  }
  std::array<std::uint8_t, AlarmRecord::kSize> working;
  working.fill(0x5A);
  const auto kept = working;
  EXPECT_EQ(transfer->ReadAlarm(3, AlarmRecord(working.data())).outcome, TransferOutcome::Failed);
  EXPECT_EQ(working, kept);
  EXPECT_TRUE(session.blocks.image == before->image);
  EXPECT_TRUE(session.blocks.pid == before->pid);
  EXPECT_TRUE(dialogs.messages().contains(kNoCommunication));
  EXPECT_FALSE(progress.visible());
}

// "Cancel" after the second block: those two blocks stay in the project, the rest is untouched,
// and nothing is said.
TEST_P(ListTransfers, CancelMidReadKeepsWhatWasRead) {
  for (int n = 1; n <= kRelayCount; ++n) Relay(image(), n).Name().SetBytes("OLD");
  progress.CancelAtStep(3);  // the position after block 1
  const TransferResult r = transfer->ReadList(SectionId::Relays);
  EXPECT_EQ(r.outcome, TransferOutcome::Cancelled);
  EXPECT_EQ(r.blocksDone, 2);
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(Relay(image(), n).Name().Bytes(), ControllerRelayName(n)) << n;
    EXPECT_NE(Relay(image(), n).Name().Bytes(), "OLD");
  }
  for (int n = 13; n <= kRelayCount; ++n) EXPECT_EQ(Relay(image(), n).Name().Bytes(), "OLD") << n;
  EXPECT_TRUE(dialogs.messages().isEmpty());
  EXPECT_EQ(progress.hideCount(), 1);
  EXPECT_EQ(Sent(kRead, 0x0C).size(), 3u - (session.moduleFlag ? 0u : 1u));
}

// Every transfer takes the main window's connection fields afresh when it starts.
TEST_P(ListTransfers, TakesTheConnectionFieldsAtTheStart) {
  session.stationAddress = 9;  // no controller answers there
  int asked = 0;
  session.readConnection = [&asked](LinkContext& context) {
    ++asked;
    context.stationAddress = 1;
  };
  EXPECT_TRUE(transfer->ReadList(SectionId::Alarms).completed());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(session.stationAddress, 1);
}

// The process list reads its bodies, then the set's preset table.
TEST_P(ListTransfers, ProcessReadTakesPresetsFromTheTable) {
  auto& presets = emulator.Memory().sections.presets[1];
  presets[7 * 10 + 2] = 0x12;  // washing process 8, SP2 = 0x1234
  presets[7 * 10 + 3] = 0x34;
  const TransferResult r = transfer->ReadList(SectionId::WashingProcesses);
  ASSERT_TRUE(r.completed());
  EXPECT_EQ(r.blocksDone, 3);
  EXPECT_EQ(Process(image(), ProcessSet::Washing, 8).Preset(2), 0x1234);
  const auto tables = Sent(kRead, 0x13);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].params, QByteArray(1, '\1'));
}

// Special statuses carry no names; the fixed names come back after every read.
TEST_P(ListTransfers, SpecialStatusReadRestoresFixedNames) {
  for (int n = 1; n <= kSpecialStatusCount; ++n) SpecialStatus(image(), n).Name().SetBytes("X");
  ASSERT_TRUE(transfer->ReadList(SectionId::SpecialStatuses).completed());
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    EXPECT_EQ(SpecialStatus(image(), n).Name().Bytes(), FixedSpecialStatusName(n));
  }
  // Three steps through the module (post, wait, fetch), one directly.
  EXPECT_EQ(progress.calls().back().maximum, session.moduleFlag ? 3 : 1);
}

// Writing the normal process list numbers both sets; the program list all 100 slots.
TEST_P(ListTransfers, RenumberingCoversTheRegionsTheListsName) {
  emulator.SetProgramVersion(500);
  for (int n = 1; n <= kProcessCount; ++n) {
    Process(image(), ProcessSet::Washing, n).SetNumber(-n);
    Process(image(), ProcessSet::Normal, n).SetNumber(77);
  }
  for (int n = 1; n <= kProgramSlots; ++n) Program(image(), n).SetNumber(0);
  ASSERT_TRUE(transfer->WriteList(SectionId::Processes).completed());
  ASSERT_TRUE(transfer->WriteList(SectionId::Programs).completed());
  for (int n = 1; n <= kProcessCount; ++n) {
    EXPECT_EQ(Process(image(), ProcessSet::Washing, n).Number(), n);
    EXPECT_EQ(Process(image(), ProcessSet::Normal, n).Number(), n);
  }
  for (int n = 1; n <= kProgramSlots; ++n) EXPECT_EQ(Program(image(), n).Number(), n);
  // Slot 100 is numbered but never sent: 99 programs of 2 pages.
  EXPECT_EQ(Sent(kWrite, 0x0B).size(), 198u);
  EXPECT_EQ(session.ileBlokProgram, 2);
}

// The program list read: every program replaced whole, with its step count by page count.
TEST_P(ListTransfers, ProgramListReadSetsStepCounts) {
  emulator.SetProgramVersion(900);
  Program(image(), 40).SetStepCount(0);
  Program(image(), 40).Name().SetBytes("OLD");
  const TransferResult r = transfer->ReadList(SectionId::Programs);
  ASSERT_TRUE(r.completed()) << dialogs.messages().join("|").toStdString();
  EXPECT_EQ(r.blocksDone, 99 * 5);
  EXPECT_EQ(session.ileBlokProgram, 5);
  for (int n = 1; n <= kListedPrograms; ++n) {
    EXPECT_EQ(Program(image(), n).StepCount(), 50) << n;
    EXPECT_EQ(Program(image(), n).Number(), n);
  }
  EXPECT_EQ(Program(image(), 40).Name().Bytes(),
            emulator.Memory().sections.programs[39].name.trimmed());
  EXPECT_EQ(Sent(kRead, 0x0B).size(), 99u * 5u);
}

// Through the module even reading programs needs the controller stopped; directly it does not.
TEST_P(ListTransfers, ProgramListReadNeedsStopModeOnTheModulePath) {
  emulator.SetProgramVersion(500);
  emulator.SetRunning(true);
  const TransferResult r = transfer->ReadList(SectionId::Programs);
  if (!session.moduleFlag) {
    EXPECT_TRUE(r.completed());
    return;
  }
  EXPECT_EQ(r.outcome, TransferOutcome::Refused);
  EXPECT_EQ(r.refusal, TransferRefusal::StopMode);
  EXPECT_TRUE(Sent(kRead, 0x0B).empty());
  EXPECT_FALSE(r.imageChanged);
}

// Analog outputs: 49-byte entries below program version 600, 34-byte entries from it.
TEST_P(ListTransfers, AnalogOutputLayoutFollowsTheProgramVersion) {
  for (const std::int16_t version : {599, 600}) {
    sent.clear();
    emulator.SetProgramVersion(version);
    AnalogOutput(image(), 2).SetStopSetValue(9999);
    ASSERT_TRUE(transfer->WriteList(SectionId::AnalogOutputs).completed()) << version;
    const auto writes = Sent(kWrite, 0x12);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].params.size(), 1 + 5 * (version < 600 ? 49 : 34)) << version;
    AnalogOutput(image(), 2).SetStopSetValue(0);
    ASSERT_TRUE(transfer->ReadList(SectionId::AnalogOutputs).completed());
    EXPECT_EQ(AnalogOutput(image(), 2).StopSetValue(), 9999) << version;
  }
}

TEST_P(ListTransfers, PidTableRoundTrip) {
  Pid(session.blocks.pid, 3).SetProportionalBand(125);
  ASSERT_TRUE(transfer->WriteList(SectionId::Pid).completed());
  Pid(session.blocks.pid, 3).SetProportionalBand(0);
  ASSERT_TRUE(transfer->ReadList(SectionId::Pid).completed());
  EXPECT_EQ(Pid(session.blocks.pid, 3).ProportionalBand(), 125);
}

// A second transfer started from a window message while one runs sends nothing.
TEST_P(ListTransfers, ASecondTransferDuringOneIsRefused) {
  std::optional<TransferResult> nested;
  transfer = std::make_unique<SectionTransfer>(session, *ops, dialogs, progress, [&] {
    if (!nested) nested = transfer->ReadList(SectionId::Alarms);
  });
  ASSERT_TRUE(transfer->ReadList(SectionId::Relays).completed());
  if (session.moduleFlag) {
    EXPECT_FALSE(nested.has_value());  // the module path pumps inside the link's wait
    return;
  }
  ASSERT_TRUE(nested.has_value());
  EXPECT_EQ(nested->outcome, TransferOutcome::Refused);
  EXPECT_EQ(nested->refusal, TransferRefusal::Busy);
  EXPECT_TRUE(Sent(kRead, 0x0F).empty());
  EXPECT_FALSE(transfer->Running());
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ListTransfers, testing::Values(Path::Direct, Path::Module),
                         [](const auto& info) { return std::string(PathName(info.param)); });

// --- every write, for the rules they share ---

struct WriteAction {
  const char* name;
  bool stopChecked;  // the module path refuses it while the controller runs
  std::function<TransferResult(TransferFixture&)> run;
};

TransferResult WriteProgramEditor(TransferFixture& f) {
  auto copy = CopyRecord(ConstProgramRecord(Program(f.image(), 3)));
  ProgramRecord(copy.data()).SetNumber(3);
  return f.transfer->WriteProgram(ConstProgramRecord(copy.data()));
}
TransferResult WriteProcessEditor(TransferFixture& f) {
  auto copy = CopyRecord(ConstProcessRecord(Process(f.image(), ProcessSet::Normal, 5)));
  return f.transfer->WriteProcess(ProcessSet::Normal, 5, ConstProcessRecord(copy.data()));
}
TransferResult WriteAlarmEditor(TransferFixture& f) {
  auto copy = CopyRecord(ConstAlarmRecord(Alarm(f.image(), 13)));
  return f.transfer->WriteAlarm(13, ConstAlarmRecord(copy.data()));
}
TransferResult WriteSpecialStatusEditor(TransferFixture& f) {
  auto copy = CopyRecord(ConstSpecialStatusRecord(SpecialStatus(f.image(), 4)));
  return f.transfer->WriteSpecialStatus(4, ConstSpecialStatusRecord(copy.data()));
}
std::function<TransferResult(TransferFixture&)> List(SectionId s) {
  return [s](TransferFixture& f) { return f.transfer->WriteList(s); };
}

const WriteAction kWrites[] = {
    {"RelayList", true, List(SectionId::Relays)},
    {"ProcessList", true, List(SectionId::Processes)},
    {"WashingProcessList", true, List(SectionId::WashingProcesses)},
    {"ProgramList", true, List(SectionId::Programs)},
    {"AlarmList", true, List(SectionId::Alarms)},
    {"SpecialStatusList", true, List(SectionId::SpecialStatuses)},
    {"AnalogOutputList", true, List(SectionId::AnalogOutputs)},
    {"PidList", true, List(SectionId::Pid)},
    {"ProcessEditor", true, WriteProcessEditor},
    {"ProgramEditor", true, WriteProgramEditor},
    {"AlarmEditor", true, WriteAlarmEditor},
    {"SpecialStatusEditor", true, WriteSpecialStatusEditor},
    {"SetupSend", false,
     [](TransferFixture& f) {
       std::array<std::uint8_t, image::kSetupSize> copy{};
       return f.transfer->SendSetup(copy);
     }},
    {"PasswordsSend", false,
     [](TransferFixture& f) {
       std::array<std::uint8_t, passwords::kSize> block{};
       return f.transfer->SendPasswords(block);
     }},
};

using WriteParam = std::tuple<Path, int>;

class EveryWrite : public testing::TestWithParam<WriteParam>, public TransferFixture {
 protected:
  EveryWrite() : TransferFixture(std::get<0>(GetParam())) {
    emulator.SetProgramVersion(500);  // two pages per program keep the program list short
  }
  const WriteAction& action() const { return kWrites[std::get<1>(GetParam())]; }
  TransferResult Run() { return action().run(*this); }
};

// Afterwards the controller may hold new configuration: "Reset device?", and Yes resets it.
TEST_P(EveryWrite, OffersTheResetAfterwards) {
  dialogs.QueueYes();
  const TransferResult r = Run();
  EXPECT_TRUE(r.completed()) << dialogs.messages().join("|").toStdString();
  EXPECT_EQ(dialogs.questions(), QStringList{kResetQuestion});
  EXPECT_EQ(emulator.Memory().resetCount, 1);
  EXPECT_FALSE(session.writePending);
  EXPECT_FALSE(progress.visible());
}

// An answer that never becomes ready is a write that did not arrive: the user is told.
TEST_P(EveryWrite, AnswerNeverReadyIsNoCommunication) {
  if (!session.moduleFlag) {
    emulator.Faults().SetPersistent(Fault::NoReply);
  } else {
    armNeverReadyOnWrite = true;
  }
  const TransferResult r = Run();
  EXPECT_EQ(r.outcome, TransferOutcome::Failed);
  EXPECT_TRUE(dialogs.messages().contains(kNoCommunication))
      << dialogs.messages().join("|").toStdString();
  EXPECT_FALSE(dialogs.messages().contains(kOperationCompleted));
  EXPECT_FALSE(progress.visible());
}

// Module path, controller running: the refusal is shown and no write leaves the PC. The direct
// path has no such check, nor have the setup and password sends: they go ahead.
TEST_P(EveryWrite, RunningControllerRefusesWhereChecked) {
  emulator.SetRunning(true);
  const TransferResult r = Run();
  if (!session.moduleFlag || !action().stopChecked) {
    EXPECT_TRUE(r.completed()) << dialogs.messages().join("|").toStdString();
    EXPECT_GT(SectionWrites(), 0);
    EXPECT_FALSE(dialogs.messages().contains(kStopModeRequired));
    return;
  }
  EXPECT_EQ(r.outcome, TransferOutcome::Refused);
  EXPECT_EQ(r.refusal, TransferRefusal::StopMode);
  EXPECT_EQ(r.blocksDone, 0);
  EXPECT_EQ(SectionWrites(), 0);
  EXPECT_EQ(emulator.Memory().sections.writes, 0);
  EXPECT_TRUE(dialogs.messages().contains(kStopModeRequired));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, EveryWrite,
                         testing::Combine(testing::Values(Path::Direct, Path::Module),
                                          testing::Range(0, static_cast<int>(std::size(kWrites)))),
                         [](const testing::TestParamInfo<WriteParam>& info) {
                           return std::string(PathName(std::get<0>(info.param))) +
                                  kWrites[std::get<1>(info.param)].name;
                         });

// --- values the wire cannot carry ---

struct InvalidCase {
  const char* name;
  std::function<TransferResult(TransferFixture&)> run;
  QString message;
};

const InvalidCase kInvalid[] = {
    {"RelayTa",
     [](TransferFixture& f) {
       Relay(f.image(), 7).SetTimeTa(70000);
       return f.transfer->WriteList(SectionId::Relays);
     },
     "Relay 7, Ta: 70000 is outside 0..65535. Correct it and write again."},
    {"AlarmListDelay",
     [](TransferFixture& f) {
       Alarm(f.image(), 15).SetDelayTime(70000);
       return f.transfer->WriteList(SectionId::Alarms);
     },
     "Alarm 15, delay time: 70000 is outside 0..65535. Correct it and write again."},
    {"AlarmEditorDelay",
     [](TransferFixture& f) {
       auto copy = CopyRecord(ConstAlarmRecord(Alarm(f.image(), 3)));
       AlarmRecord(copy.data()).SetDelayTime(-1);
       return f.transfer->WriteAlarm(3, ConstAlarmRecord(copy.data()));
     },
     "Alarm 3, delay time: -1 is outside 0..65535. Correct it and write again."},
    {"ProgramListMinutes",
     [](TransferFixture& f) {
       Program(f.image(), 5).Step(2).SetMinutes(300);
       return f.transfer->WriteList(SectionId::Programs);
     },
     "Program 5, step 2, minute: 300 is outside 0..255. Correct it and write again."},
    {"ProgramEditorOnOffDelta",
     [](TransferFixture& f) {
       auto copy = CopyRecord(ConstProgramRecord(Program(f.image(), 8)));
       ProgramRecord(copy.data()).SetNumber(8);
       ProgramRecord(copy.data()).Step(30).SetOnOffDelta(-5);
       return f.transfer->WriteProgram(ConstProgramRecord(copy.data()));
     },
     "Program 8, step 30, ON/OFF Delta: -5 is outside 0..255. Correct it and write again."},
};

using InvalidParam = std::tuple<Path, int>;

class InvalidValues : public testing::TestWithParam<InvalidParam>, public TransferFixture {
 protected:
  InvalidValues() : TransferFixture(std::get<0>(GetParam())) {}
  const InvalidCase& c() const { return kInvalid[std::get<1>(GetParam())]; }
};

// Found before the first byte of the section: nothing is written, the user learns which record
// and field to correct, and no reset is offered for a write that never happened.
TEST_P(InvalidValues, NothingIsSentAndTheFieldIsNamed) {
  const TransferResult r = c().run(*this);
  EXPECT_EQ(r.outcome, TransferOutcome::Refused);
  EXPECT_EQ(r.refusal, TransferRefusal::InvalidValue);
  ASSERT_TRUE(r.invalid.has_value());
  EXPECT_EQ(dialogs.messages(), QStringList{c().message});
  EXPECT_EQ(SectionWrites(), 0);
  EXPECT_TRUE(dialogs.questions().isEmpty());
  EXPECT_FALSE(session.writePending);
  EXPECT_FALSE(progress.visible());
}

INSTANTIATE_TEST_SUITE_P(BothPaths, InvalidValues,
                         testing::Combine(testing::Values(Path::Direct, Path::Module),
                                          testing::Range(0, static_cast<int>(std::size(kInvalid)))),
                         [](const testing::TestParamInfo<InvalidParam>& info) {
                           return std::string(PathName(std::get<0>(info.param))) +
                                  kInvalid[std::get<1>(info.param)].name;
                         });

// --- editors ---

class Editors : public testing::TestWithParam<Path>, public TransferFixture {
 protected:
  Editors() : TransferFixture(GetParam()) {}
};

// The editor of alarm 13 reads block 1 and takes its first entry; the project stays as it was.
TEST_P(Editors, AlarmThirteenReadsBlockOne) {
  QByteArray& alarms = emulator.Memory().sections.alarms;
  alarms.replace(12 * 22, 14, QByteArray("ALARM 13      "));
  auto copy = CopyRecord(ConstAlarmRecord(Alarm(image(), 13)));
  const ProjectImage before = Snapshot(image());
  const TransferResult r = transfer->ReadAlarm(13, AlarmRecord(copy.data()));
  ASSERT_TRUE(r.completed());
  const auto reads = Sent(kRead, 0x0F);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].params, QByteArray(1, '\1'));
  EXPECT_EQ(ConstAlarmRecord(copy.data()).Name().Bytes(), "ALARM 13");
  EXPECT_EQ(ConstAlarmRecord(copy.data()).Number(), 13);
  EXPECT_TRUE(image() == before);
}

// The editor of F2 (status 4) takes entry 3 of the block and keeps its name.
TEST_P(Editors, SpecialStatusF2KeepsItsName) {
  ApplyFixedNames(image());
  QByteArray& specials = emulator.Memory().sections.specials;
  specials[3 * 7] = 0x01;  // switch-off time 300
  specials[3 * 7 + 1] = 0x2C;
  auto copy = CopyRecord(ConstSpecialStatusRecord(SpecialStatus(image(), 4)));
  const ProjectImage before = Snapshot(image());
  ASSERT_TRUE(transfer->ReadSpecialStatus(4, SpecialStatusRecord(copy.data())).completed());
  const ConstSpecialStatusRecord got(copy.data());
  EXPECT_EQ(got.Name().Bytes(), "F2");
  EXPECT_EQ(got.SwitchOffTime(), 300);
  EXPECT_EQ(got.Number(), 4);
  EXPECT_TRUE(image() == before);
}

// Washing process 9: body block 1 of the washing set, its first entry, presets from the table.
TEST_P(Editors, WashingProcessNineReadsBodyBlockOne) {
  QByteArray& bodies = emulator.Memory().sections.bodies[1];
  bodies.replace(8 * 19, 14, QByteArray("WASH 9        "));
  emulator.Memory().sections.presets[1][8 * 10 + 9] = 42;  // SP5 = 42
  auto copy = CopyRecord(ConstProcessRecord(Process(image(), ProcessSet::Washing, 9)));
  ASSERT_TRUE(
      transfer->ReadProcess(ProcessSet::Washing, 9, ProcessRecord(copy.data())).completed());
  const auto reads = Sent(kRead, 0x10);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].params, QByteArray(1, '\1'));
  EXPECT_EQ(ConstProcessRecord(copy.data()).Name().Bytes(), "WASH 9");
  EXPECT_EQ(ConstProcessRecord(copy.data()).Preset(5), 42);
}

// Body and presets of one process, addressed by its index; the washing presets 100 higher.
TEST_P(Editors, ProcessWriteAddressesBodyAndPresets) {
  auto copy = CopyRecord(ConstProcessRecord(Process(image(), ProcessSet::Washing, 3)));
  ProcessRecord(copy.data()).SetPreset(1, -7);
  ASSERT_TRUE(
      transfer->WriteProcess(ProcessSet::Washing, 3, ConstProcessRecord(copy.data())).completed());
  const auto body = Sent(kWrite, 0x18);
  const auto presets = Sent(kWrite, 0x1A);
  ASSERT_EQ(body.size(), 1u);
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(body[0].params.at(0), 2);
  EXPECT_EQ(static_cast<std::uint8_t>(presets[0].params.at(0)), 102);
  EXPECT_EQ(emulator.Memory().sections.presets[1].mid(2 * 10, 2), QByteArray::fromHex("fff9"));
}

// A failed read leaves the editor's copy exactly as it was.
TEST_P(Editors, FailedReadLeavesTheCopy) {
  emulator.Faults().SetPersistent(Fault::NoReply);
  std::array<std::uint8_t, ProcessRecord::kSize> copy{};
  copy.fill(0x77);
  const auto before = copy;
  EXPECT_EQ(transfer->ReadProcess(ProcessSet::Normal, 2, ProcessRecord(copy.data())).outcome,
            TransferOutcome::Failed);
  EXPECT_EQ(copy, before);
  EXPECT_EQ(dialogs.messages(), QStringList{kNoCommunication});
  EXPECT_FALSE(progress.visible());
}

// The washing program is program index 100 on the wire and keeps its name.
TEST_P(Editors, WashingProgramReadKeepsItsName) {
  auto copy = CopyRecord(ConstProgramRecord(WashingProgram(image())));
  ProgramRecord(copy.data()).SetNumber(kWashingProgramNumber);
  ASSERT_TRUE(transfer->ReadProgram(ProgramRecord(copy.data())).completed());
  const auto reads = Sent(kRead, 0x0B);
  ASSERT_FALSE(reads.empty());
  for (const SentMessage& m : reads) EXPECT_EQ(static_cast<std::uint8_t>(m.params.at(1)), 100);
  EXPECT_EQ(ConstProgramRecord(copy.data()).Name().Bytes(), kWashingProgramName);
  EXPECT_EQ(ConstProgramRecord(copy.data()).Number(), kWashingProgramNumber);
}

// Setup and passwords: a read that fails leaves the window's copy as it was; a send copies the
// window's block into the project and confirms.
TEST_P(Editors, SetupAndPasswordsWindows) {
  std::array<std::uint8_t, image::kSetupSize> setup{};
  ASSERT_TRUE(transfer->ReadSetup(setup).completed());
  EXPECT_EQ(ConstSetupBlock(setup.data()).ProgramVersion(), emulator.Memory().ProgramVersion());
  EXPECT_EQ(progress.calls().back().position, 3);

  std::array<std::uint8_t, passwords::kSize> block{};
  block.fill('7');
  ASSERT_TRUE(transfer->SendPasswords(block).completed());
  EXPECT_TRUE(std::equal(block.begin(), block.end(), session.blocks.passwords.data()));
  EXPECT_EQ(dialogs.messages(), QStringList{kOperationCompleted});

  emulator.Faults().SetPersistent(Fault::NoReply);
  setup.fill(0x11);
  block.fill(0x22);
  const auto setupBefore = setup;
  const auto blockBefore = block;
  EXPECT_EQ(transfer->ReadSetup(setup).outcome, TransferOutcome::Failed);
  EXPECT_EQ(transfer->ReadPasswords(block).outcome, TransferOutcome::Failed);
  EXPECT_EQ(setup, setupBefore);
  EXPECT_EQ(block, blockBefore);
  EXPECT_EQ(dialogs.messages().count(kNoCommunication), 2);
}

// "Send" stores each entry as six characters, blanks in front, and leaves the bytes after the
// entries alone; qdx sends through the same engine.
TEST_P(Editors, PasswordsSendNormalisesTheEntries) {
  std::array<std::uint8_t, passwords::kSize> block{};
  block.fill(0x5A);
  const QByteArray typed[] = {"1234", "12345678", ""};
  for (int i = 0; i < passwords::kEntryCount; ++i) {
    TextField(block.data() + i * passwords::kEntrySize, passwords::kEntryCapacity)
        .SetBytes(typed[std::min(i, 2)]);
  }
  ASSERT_TRUE(transfer->SendPasswords(block).completed());
  const PasswordBlock& sent = session.blocks.passwords;
  EXPECT_EQ(PasswordEntry(sent, 1).Bytes(), "  1234");
  EXPECT_EQ(PasswordEntry(sent, 2).Bytes(), "123456");
  EXPECT_EQ(PasswordEntry(sent, passwords::kEntryCount).Bytes(), "      ");
  EXPECT_EQ(sent.data()[passwords::kUnusedOffset], 0x5A);
  EXPECT_EQ(sent.data()[passwords::kSize - 1], 0x5A);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), sent.data()));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, Editors, testing::Values(Path::Direct, Path::Module),
                         [](const auto& info) { return std::string(PathName(info.param)); });

// --- program pages by program version ---

using PageParam = std::tuple<Path, int>;

class ProgramPages : public testing::TestWithParam<PageParam>, public TransferFixture {
 protected:
  ProgramPages() : TransferFixture(std::get<0>(GetParam())) {
    emulator.SetProgramVersion(static_cast<std::int16_t>(std::get<1>(GetParam())));
  }
};

struct PageExpectation {
  int pages;
  int stepsPerPage;
  int stepSize;
  int stepCount;
};

PageExpectation Expected(int version) {
  if (version <= 500) return {2, 15, 16, 30};
  if (version <= 899) return {3, 10, 20, 30};
  return {5, 10, 20, 50};
}

TEST_P(ProgramPages, EditorWriteAndReadByVersion) {
  const PageExpectation e = Expected(std::get<1>(GetParam()));
  auto program = CopyRecord(ConstProgramRecord(Program(image(), 7)));
  const ProgramRecord p(program.data());
  p.SetNumber(7);
  p.Name().SetBytes("PAGES");
  for (int s = 1; s <= 50; ++s) {
    p.Step(s).SetChamberTemperature(s);
    p.Step(s).SetWorkTime(static_cast<std::uint16_t>(1000 + s));
  }
  ASSERT_TRUE(transfer->WriteProgram(ConstProgramRecord(p)).completed());
  EXPECT_EQ(session.ileBlokProgram, e.pages);
  const auto writes = Sent(kWrite, 0x0B);
  ASSERT_EQ(static_cast<int>(writes.size()), e.pages);
  for (int page = 0; page < e.pages; ++page) {
    const SentMessage& m = writes[static_cast<std::size_t>(page)];
    EXPECT_EQ(m.posted, session.moduleFlag);
    EXPECT_EQ(m.params.size(), 16 + e.stepsPerPage * e.stepSize);
    EXPECT_EQ(m.params.at(0), page);
    EXPECT_EQ(m.params.at(1), 6);
  }

  progress = FakeProgress();
  auto back = CopyRecord(ConstProgramRecord(Program(image(), 7)));
  ProgramRecord(back.data()).SetNumber(7);
  ASSERT_TRUE(transfer->ReadProgram(ProgramRecord(back.data())).completed());
  const ConstProgramRecord got(back.data());
  EXPECT_EQ(got.StepCount(), e.stepCount);
  EXPECT_EQ(got.Name().Bytes(), "PAGES");
  const int carried = e.pages * e.stepsPerPage;
  for (int s = 1; s <= carried; ++s) {
    EXPECT_EQ(got.Step(s).ChamberTemperature(), s) << s;
    EXPECT_EQ(got.Step(s).WorkTime(), e.stepSize == 20 ? 1000 + s : 0) << s;
  }
  for (int s = carried + 1; s <= 50; ++s) EXPECT_EQ(got.Step(s).ChamberTemperature(), 0) << s;
  EXPECT_EQ(static_cast<int>(Sent(kRead, 0x0B).size()), e.pages);
  // Two positions per page.
  EXPECT_EQ(progress.calls().back().maximum, 2 * e.pages);
  EXPECT_EQ(progress.calls().back().position, 2 * e.pages);
}

INSTANTIATE_TEST_SUITE_P(Versions, ProgramPages,
                         testing::Combine(testing::Values(Path::Direct, Path::Module),
                                          testing::Values(500, 501, 899, 900)),
                         [](const testing::TestParamInfo<PageParam>& info) {
                           return std::string(PathName(std::get<0>(info.param))) +
                                  std::to_string(std::get<1>(info.param));
                         });

// --- failures in the second stage of a process list transfer ---

// Once the body blocks have gone through, a preset table that does not arrive is reported: the
// bodies stay, and the user knows the presets were not transferred.
TEST(ProcessPresetStage, FailureIsReported) {
  for (const bool write : {false, true}) {
    TransferFixture f(Path::Direct);
    f.emulator.SetObserver([&f](const FrameEvent& e) {
      const auto m = MessageOf(e.request);
      if (m && (m->command == 0x0D) && m->params.at(0) == 1) {
        f.emulator.Faults().SetPersistent(Fault::NoReply);
      }
    });
    const TransferResult r = write ? f.transfer->WriteList(SectionId::Processes)
                                   : f.transfer->ReadList(SectionId::Processes);
    EXPECT_EQ(r.outcome, TransferOutcome::Failed) << write;
    EXPECT_EQ(r.blocksDone, 2) << write;
    EXPECT_EQ(f.dialogs.messages(), QStringList{kNoCommunication}) << write;
    EXPECT_FALSE(f.progress.visible());
  }
}

}  // namespace
}  // namespace qdx::test
