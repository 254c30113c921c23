// The whole-project send, read and comparison against the in-process emulated controller, on
// both paths and at the program versions that change the program pages and the analog-output
// layout.
#include "transfer/project_transfer.h"

#include <gtest/gtest.h>

#include "files/project_defaults.h"
#include "model/records.h"
#include "link/program_transactions.h"
#include "support/full_project.h"
#include "support/qt_printers.h"
#include "transfer/project_compare.h"
#include "transfer_fixture.h"

namespace qdx {
namespace {

using test::TransferFixture;

struct Case {
  bool module;
  std::int16_t version;
};

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return std::string(info.param.module ? "Module" : "Direct") + "Version" +
         std::to_string(info.param.version);
}

class WholeProject : public testing::TestWithParam<Case>, public TransferFixture {
 protected:
  WholeProject() : TransferFixture(GetParam().module, GetParam().version) {}
};

// Every row sent, then read into a different project: every compared field comes back; a
// comparison of the same controller is "OK" everywhere and changes nothing.
TEST_P(WholeProject, SendReadCompareReproducesTheProject) {
  const std::int16_t version = GetParam().version;
  test::FillFullProject(session->blocks, version);
  const RunSummary send = transfer->Send(AllRows());
  // As sent: the send numbered every record, program slot 100 included.
  auto sent = std::make_unique<ProjectBlocks>(session->blocks);
  for (const ProjectRow row : kProjectRows) {
    EXPECT_EQ(send[row].kind, RowOutcome::Ok)
        << RowSectionName(row).toStdString() << " " << send[row].reason.toStdString();
  }
  EXPECT_FALSE(send.stopped);
  EXPECT_EQ(listener.messages, QStringList{kOperationComplete});
  // Pages per program as the version asks for them; the washing program never gets 5.
  const int pages = ProgramPagesForVersion(version);
  const int washingPages = version <= 500 ? 2 : 3;
  EXPECT_EQ(static_cast<int>(Writes(0x0B).size()), 99 * pages + washingPages);

  // Into a different project.
  test::FillFullProject(session->blocks, version, 99);
  const RunSummary read = transfer->Read(AllRows(), false);
  for (const ProjectRow row : kProjectRows) {
    EXPECT_EQ(read[row].kind, RowOutcome::Ok) << RowSectionName(row).toStdString();
    const auto difference =
        CompareSection(row, sent->image, sent->pid, session->blocks.image, session->blocks.pid,
                       AnalogOutputLayoutForVersion(version), 0);
    EXPECT_FALSE(difference.has_value())
        << RowSectionName(row).toStdString() << ": " << difference->Text().toStdString();
  }
  EXPECT_EQ(Program(session->blocks.image, 42).StepCount(), version >= 900 ? 50 : 30);
  EXPECT_EQ(WashingProgram(session->blocks.image).Name().Bytes(), "WASHING");
  EXPECT_EQ(WashingProgram(session->blocks.image).Number(), 101);

  // Comparison: the controller holds exactly the project.
  auto before = std::make_unique<ProjectBlocks>(session->blocks);
  listener.messages.clear();
  const RunSummary compare = transfer->Read(AllRows(), true);
  for (const ProjectRow row : kProjectRows) {
    EXPECT_EQ(compare[row].kind, RowOutcome::Ok)
        << RowSectionName(row).toStdString() << " "
        << (compare[row].difference ? compare[row].difference->Text().toStdString() : "");
  }
  EXPECT_TRUE(session->blocks.image == before->image);
  EXPECT_TRUE(session->blocks.pid == before->pid);
  EXPECT_EQ(listener.messages, QStringList{kOperationComplete});
  EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(PathsAndVersions, WholeProject,
                         testing::Values(Case{false, 500}, Case{false, 501}, Case{false, 899},
                                         Case{false, 900}, Case{true, 500}, Case{true, 501},
                                         Case{true, 899}, Case{true, 900}),
                         CaseName);

class Comparison : public testing::TestWithParam<bool>, public TransferFixture {
 protected:
  Comparison() : TransferFixture(GetParam()) {
    test::FillFullProject(session->blocks, 900);
    EXPECT_EQ(transfer->Send(AllRows())[ProjectRow::Pid].kind, RowOutcome::Ok);
  }
  RowOutcome CompareOne(ProjectRow row) { return ReadOne(row, true); }
  // A read of the row alone, or its comparison, which must leave the project as it was.
  RowOutcome ReadOne(ProjectRow row, bool comparison) {
    RowSelection rows{};
    rows[RowIndex(row)] = true;
    auto before = std::make_unique<ProjectBlocks>(session->blocks);
    const RunSummary s = transfer->Read(rows, comparison);
    EXPECT_TRUE(session->blocks.image == before->image) << RowSectionName(row).toStdString();
    EXPECT_TRUE(session->blocks.pid == before->pid) << RowSectionName(row).toStdString();
    return s[row];
  }
};

TEST_P(Comparison, RulesOfTheCompare) {
  ProjectImage& image = session->blocks.image;
  // One relay named differently: the record and both values are reported.
  const QByteArray name = Relay(image, 7).Name().Bytes();
  Relay(image, 7).Name().SetBytes(name + " 2");
  RowOutcome o = CompareOne(ProjectRow::Relays);
  ASSERT_EQ(o.kind, RowOutcome::Difference);
  EXPECT_EQ(o.ResultText(), "Difference");
  EXPECT_EQ(o.difference->Text(),
            QStringLiteral("record 7 field name: project \"%1 2\", controller \"%1\"")
                .arg(QString::fromLatin1(name)));
  // Trailing and leading blanks do not count; letter case does.
  Relay(image, 7).Name().SetBytes("  " + name + "   ");
  EXPECT_EQ(CompareOne(ProjectRow::Relays).kind, RowOutcome::Ok);
  Relay(image, 7).Name().SetBytes(name.toLower());
  EXPECT_EQ(CompareOne(ProjectRow::Relays).kind, RowOutcome::Difference);
  Relay(image, 7).Name().SetBytes(name);

  // Setup word 80 is not compared; word 12 is.
  qdx::Setup(image).SetWord(80, static_cast<std::int16_t>(qdx::Setup(image).Word(80) + 1));
  EXPECT_EQ(CompareOne(ProjectRow::Setup).kind, RowOutcome::Ok);
  qdx::Setup(image).SetWord(12, static_cast<std::int16_t>(qdx::Setup(image).Word(12) + 1));
  o = CompareOne(ProjectRow::Setup);
  ASSERT_EQ(o.kind, RowOutcome::Difference);
  EXPECT_EQ(o.difference->field, "word 12");

  // A program differing only in its step count is equal; a step value is not.
  Program(image, 5).SetStepCount(30);
  EXPECT_EQ(CompareOne(ProjectRow::Programs).kind, RowOutcome::Ok);
  Program(image, 5).Step(3).SetHumidity(Program(image, 5).Step(3).Humidity() + 1);
  o = CompareOne(ProjectRow::Programs);
  ASSERT_EQ(o.kind, RowOutcome::Difference);
  EXPECT_EQ(o.difference->record, 5);
  EXPECT_EQ(o.difference->field, "step 3 humidity");

  // Doubles compare as numbers: -0 equals 0. A different Ti is a difference, and the PID
  // table is put back afterwards (checked in CompareOne).
  const PidRecord pid = Pid(session->blocks.pid, 2);
  const double ti = pid.IntegralTime();
  if (ti == 0) pid.SetIntegralTime(-0.0);
  EXPECT_EQ(CompareOne(ProjectRow::Pid).kind, RowOutcome::Ok);
  pid.SetIntegralTime(ti + 1);
  o = CompareOne(ProjectRow::Pid);
  ASSERT_EQ(o.kind, RowOutcome::Difference);
  EXPECT_EQ(o.difference->field, "Ti");
  EXPECT_EQ(o.difference->record, 2);

  // The analog outputs' own PID values do not travel in the current layout.
  AnalogOutput(image, 3).SetGain(123.5);
  EXPECT_EQ(CompareOne(ProjectRow::AnalogOutputs).kind, RowOutcome::Ok);
  AnalogOutput(image, 3).SetPidNumber(
      static_cast<std::uint8_t>(AnalogOutput(image, 3).PidNumber() ^ 1));
  EXPECT_EQ(CompareOne(ProjectRow::AnalogOutputs).kind, RowOutcome::Difference);
}

// A comparison whose read fails shows "Error", never the verdict on what little arrived.
// Module path: rows whose answers never become ready end in "Error", never in a verdict, and
// the project stays as it was, whether the rows are read or compared.
TEST_P(Comparison, AnswerNeverReadyIsAnErrorOnEveryRow) {
  if (!GetParam()) GTEST_SKIP() << "the direct path has no answer to wait for";
  emulator.Faults().SetPersistent(Fault::NeverReady);
  for (const bool comparison : {false, true}) {
    for (const ProjectRow row : {ProjectRow::Setup, ProjectRow::Relays, ProjectRow::Processes,
                                 ProjectRow::SpecialStatuses, ProjectRow::Pid}) {
      const RowOutcome o = ReadOne(row, comparison);
      EXPECT_EQ(o.kind, RowOutcome::Error) << RowSectionName(row).toStdString() << comparison;
      EXPECT_EQ(o.reason, "No communication: the module's answer never became ready")
          << RowSectionName(row).toStdString() << comparison;
    }
  }
}

TEST_P(Comparison, FailedReadIsAnErrorNotAVerdict) {
  emulator.AddHandler(kClassRead, 0x0C, 0, 8,
                      [](const InnerRequest& r) -> std::optional<QByteArray> {
                        if (!r.params.isEmpty() && r.params.back() == 3)
                          return std::nullopt;  // block 3 is lost
                        return std::nullopt;
                      });
  const RowOutcome o = CompareOne(ProjectRow::Relays);
  EXPECT_EQ(o.kind, RowOutcome::Error);
  EXPECT_TRUE(o.reason.startsWith("No communication")) << o.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Paths, Comparison, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& i) {
                           return i.param ? "Module" : "Direct";
                         });

class SendRun : public testing::Test, public TransferFixture {
 protected:
  SendRun() : TransferFixture(false) { test::FillFullProject(session->blocks, 900); }
};

TEST_F(SendRun, NothingTickedCompletesAtOnceAndOffersTheReset) {
  session->settings.pytajOReset = true;
  dialogs.QueueNo();
  const RunSummary s = transfer->Send(RowSelection{});
  EXPECT_EQ(listener.messages, QStringList{kOperationComplete});
  EXPECT_EQ(dialogs.questions(), QStringList{"Reset device?"});
  EXPECT_TRUE(requests.empty());
  EXPECT_FALSE(s.stopped);
}

TEST_F(SendRun, RenumbersAndFillsTheLastBlocksWithRecordOne) {
  ProjectImage& image = session->blocks.image;
  for (int n = 1; n <= kRelayCount; ++n) Relay(image, n).SetNumber(77);
  for (int n = 1; n <= kAlarmCount; ++n) Alarm(image, n).SetNumber(-1);
  for (int n = 1; n <= kProgramSlots; ++n) Program(image, n).SetNumber(0);
  WashingProgram(image).SetNumber(3);
  RowSelection rows{};
  rows[RowIndex(ProjectRow::Relays)] = rows[RowIndex(ProjectRow::Alarms)] = true;
  rows[RowIndex(ProjectRow::WashingProgram)] = rows[RowIndex(ProjectRow::Programs)] = true;
  transfer->Send(rows);
  for (int n = 1; n <= kRelayCount; ++n) EXPECT_EQ(Relay(image, n).Number(), n);
  for (int n = 1; n <= kAlarmCount; ++n) EXPECT_EQ(Alarm(image, n).Number(), n);
  for (int n = 1; n <= kProgramSlots; ++n) EXPECT_EQ(Program(image, n).Number(), n);
  EXPECT_EQ(WashingProgram(image).Number(), 101);

  // Relay block 5: relays 31, 32, then four copies of relay 1 (40-byte entries after b).
  const auto relays = Writes(0x0C);
  ASSERT_EQ(relays.size(), 6u);
  const QByteArray relay1 = relays[0].params.mid(1, 40);
  const QByteArray& last = relays[5].params;
  EXPECT_EQ(static_cast<std::uint8_t>(last[0]), 5);
  EXPECT_NE(last.mid(1, 40), relay1);
  for (int k = 2; k < 6; ++k) EXPECT_EQ(last.mid(1 + 40 * k, 40), relay1) << k;
  // Alarm block 1: alarms 13..21, then three copies of alarm 1 (22-byte entries).
  const auto alarms = Writes(0x0F);
  ASSERT_EQ(alarms.size(), 2u);
  const QByteArray alarm1 = alarms[0].params.mid(1, 22);
  for (int k = 9; k < 12; ++k) EXPECT_EQ(alarms[1].params.mid(1 + 22 * k, 22), alarm1) << k;
  EXPECT_NE(alarms[1].params.mid(1 + 22 * 8, 22), alarm1);
  // Program pages carry the program index (number - 1); the washing program is index 100.
  const auto pages = Writes(0x0B);
  ASSERT_EQ(pages.size(), 99u * 5 + 3);
  EXPECT_EQ(static_cast<std::uint8_t>(pages[5 * 41].params[1]), 41);
  EXPECT_EQ(static_cast<std::uint8_t>(pages.back().params[1]), 100);
  EXPECT_EQ(static_cast<std::uint8_t>(pages.back().params[0]), 2);
}

TEST_F(SendRun, AFailingRowShowsErrorAndTheRunGoesOn) {
  emulator.AddHandler(
      kClassWrite, 0x0C, 0, 1000,
      [](const InnerRequest&) -> std::optional<QByteArray> { return std::nullopt; });
  const RunSummary s = transfer->Send(AllRows());
  EXPECT_EQ(s[ProjectRow::Relays].kind, RowOutcome::Error);
  EXPECT_EQ(s[ProjectRow::Relays].ResultText(), "Error");
  EXPECT_EQ(s[ProjectRow::Relays].Summary(), "Error: No communication: no reply");
  for (const ProjectRow row : kProjectRows) {
    if (row != ProjectRow::Relays) {
      EXPECT_EQ(s[row].kind, RowOutcome::Ok) << RowSectionName(row).toStdString();
    }
  }
  EXPECT_TRUE(listener.events.contains("result relays Error"));
  // The run does not close as if it succeeded.
  EXPECT_EQ(listener.messages,
            QStringList{"1 of 10 sections failed: " + RowCaption(ProjectRow::Relays, false).trimmed() +
                        ".\nThe other sections are complete."});
}

TEST_F(SendRun, AFailedPresetTableIsNotReportedAsOk) {
  emulator.AddHandler(
      kClassWrite, 0x13, 0, 1000,
      [](const InnerRequest&) -> std::optional<QByteArray> { return std::nullopt; });
  RowSelection rows{};
  rows[RowIndex(ProjectRow::Processes)] = true;
  const RunSummary s = transfer->Send(rows);
  EXPECT_EQ(s[ProjectRow::Processes].kind, RowOutcome::Error);
  EXPECT_TRUE(s[ProjectRow::Processes].reason.startsWith("step presets"));
  EXPECT_EQ(listener.events.filter("result processes"),
            (QStringList{"result processes OK", "result processes Error"}));
}

// A value the wire cannot carry is found before the first byte of the section is sent.
TEST_F(SendRun, AValueTheWireCannotCarryStopsTheSectionBeforeItsFirstByte) {
  Relay(session->blocks.image, 7).SetTimeTa(70000);
  Program(session->blocks.image, 12).Step(4).SetDelta(300);
  const RunSummary s = transfer->Send(AllRows());
  EXPECT_EQ(s[ProjectRow::Relays].kind, RowOutcome::Invalid);
  EXPECT_EQ(s[ProjectRow::Relays].ResultText(), "Error");
  EXPECT_TRUE(Writes(0x0C).empty());
  EXPECT_TRUE(s[ProjectRow::Relays].reason.contains("Relay 7, Ta: 70000"))
      << s[ProjectRow::Relays].reason.toStdString();
  EXPECT_EQ(s[ProjectRow::Programs].kind, RowOutcome::Invalid);
  EXPECT_TRUE(s[ProjectRow::Programs].reason.contains("Program 12, step 4"))
      << s[ProjectRow::Programs].reason.toStdString();
  EXPECT_TRUE(Writes(0x0B).size() == 3u);  // the washing program only
  ASSERT_EQ(listener.messages.size(), 3);
  EXPECT_TRUE(listener.messages[0].contains("Relay 7, Ta"));
  EXPECT_EQ(s[ProjectRow::Alarms].kind, RowOutcome::Ok);
}

// The check before the first byte lists every refused value in row, record and field order; a
// message box shows the first of them and counts the rest; a send given the list holds back
// each refused row with its first value and sends the others.
TEST_F(SendRun, CheckListsEveryRefusedValue) {
  ProjectImage& image = session->blocks.image;
  for (int n = 1; n <= kRelayCount; ++n) Relay(image, n).SetTimeTb(-n);
  Alarm(image, 4).SetDelayTime(99999);
  Program(image, 12).Step(4).SetDelta(300);
  const std::vector<RowRefusal> refusals = transfer->CheckRows(AllRows());
  EXPECT_EQ(CountRequests(kClassWrite), 0);
  ASSERT_EQ(refusals.size(), 34u);
  for (int n = 1; n <= kRelayCount; ++n) {
    EXPECT_EQ(refusals[n - 1].row, ProjectRow::Relays);
    EXPECT_EQ(refusals[n - 1].error.Message(),
              QStringLiteral("Relay %1, Tb: -%1 is outside 0..65535").arg(n));
  }
  EXPECT_EQ(refusals[32].row, ProjectRow::Alarms);
  EXPECT_EQ(refusals[33].error.Message(), "Program 12, step 4, Delta: 30.0 is outside 0.0..25.5");

  const QStringList lines = RefusedValuesText(refusals).split('\n');
  ASSERT_EQ(lines.size(), 1 + kRefusedValuesShown + 1);
  EXPECT_EQ(lines[1], "Relays: Relay 1, Tb: -1 is outside 0..65535");
  EXPECT_EQ(lines[kRefusedValuesShown], "Relays: Relay 12, Tb: -12 is outside 0..65535");
  EXPECT_EQ(lines.back(), QStringLiteral("\u2026 and 22 more"));
  const std::vector<RowRefusal> fit(refusals.begin(), refusals.begin() + kRefusedValuesShown);
  EXPECT_EQ(RefusedValuesText(fit).split('\n').size(), 1 + kRefusedValuesShown);

  const RunSummary s = transfer->Send(AllRows(), refusals);
  EXPECT_EQ(s[ProjectRow::Relays].reason, refusals[0].error.Message());
  EXPECT_EQ(s[ProjectRow::Alarms].kind, RowOutcome::Invalid);
  EXPECT_EQ(s[ProjectRow::Programs].kind, RowOutcome::Invalid);
  EXPECT_EQ(s[ProjectRow::Pid].kind, RowOutcome::Ok);
  EXPECT_TRUE(Writes(0x0C).empty());
}

TEST_F(SendRun, StopDuringProgramsEndsAfterTheCurrentProgram) {
  session->settings.pytajOReset = true;
  dialogs.QueueNo();
  listener.onProgress = [this](ProjectRow row, int position) {
    if (row == ProjectRow::Programs && position == 3) transfer->RequestStop();
  };
  const RunSummary s = transfer->Send(AllRows());
  EXPECT_TRUE(s.stopped);
  EXPECT_EQ(s[ProjectRow::Programs].kind, RowOutcome::Stopped);
  EXPECT_EQ(Writes(0x0B).size(), 3u * 5);
  EXPECT_TRUE(Writes(0x38).empty());  // PID, after it, not sent
  EXPECT_TRUE(listener.messages.isEmpty());
  EXPECT_EQ(dialogs.questions(), QStringList{"Reset device?"});  // still offered
}

TEST_F(SendRun, StopIsCheckedBetweenBlocksOfAlarms) {
  listener.onProgress = [this](ProjectRow row, int position) {
    if (row == ProjectRow::Alarms && position == 1) transfer->RequestStop();
  };
  const RunSummary s = transfer->Send(AllRows());
  EXPECT_EQ(s[ProjectRow::Alarms].kind, RowOutcome::Stopped);
  EXPECT_EQ(Writes(0x0F).size(), 1u);
  EXPECT_TRUE(Writes(0x0E).empty());
}

TEST(SendRunModule, StopModeRefusesEveryWriteAndCancelAbandonsTheWait) {
  TransferFixture f(true);
  test::FillFullProject(f.session->blocks, 900);
  f.emulator.SetRunning(true);
  const RunSummary s = f.transfer->Send(AllRows());
  for (const ProjectRow row : kProjectRows) {
    EXPECT_EQ(s[row].kind, RowOutcome::Refused) << RowSectionName(row).toStdString();
    EXPECT_EQ(s[row].ResultText(), "");
  }
  EXPECT_EQ(f.CountRequests(kClassWrite), 0);
  EXPECT_EQ(f.emulator.Memory().sections.writes, 0);
  EXPECT_EQ(f.dialogs.messages().count("Controller must be in STOP mode"), 10);

  // Cancel while the module's answer is awaited: the row ends without a result and so does
  // the run.
  f.emulator.SetRunning(false);
  f.dialogs.ClearRecord();
  f.listener.messages.clear();
  // The window's close arrives while the first relay block's answer is awaited.
  bool armed = false;
  f.listener.onStart = [&armed](ProjectRow row) { armed = row == ProjectRow::Relays; };
  f.ops->SetEventPump([&] {
    if (armed) f.transfer->RequestCancel();
  });
  const RunSummary c = f.transfer->Send(AllRows());
  EXPECT_EQ(c[ProjectRow::Setup].kind, RowOutcome::Ok);
  EXPECT_EQ(c[ProjectRow::Relays].kind, RowOutcome::Cancelled);
  EXPECT_EQ(c[ProjectRow::Processes].kind, RowOutcome::NotRun);
  EXPECT_TRUE(c.stopped);
  EXPECT_TRUE(f.listener.messages.isEmpty());
}

TEST(SendRunModule, SetupGaugeFollowsPostWaitAndFetch) {
  TransferFixture f(true);
  RowSelection rows{};
  rows[RowIndex(ProjectRow::Setup)] = true;
  f.transfer->Send(rows);
  EXPECT_EQ(f.listener.events, (QStringList{"start setup 3", "progress setup 1", "progress setup 2",
                                            "progress setup 3", "result setup OK"}));
}

TEST(AnalogOutputLayout, FollowsTheControllerVersionReadOncePerRun) {
  for (const std::int16_t version : {599, 600}) {
    TransferFixture f(false, version);
    test::FillFullProject(f.session->blocks, version);
    RowSelection rows{};
    rows[RowIndex(ProjectRow::AnalogOutputs)] = rows[RowIndex(ProjectRow::Programs)] = true;
    rows[RowIndex(ProjectRow::WashingProgram)] = true;
    const RunSummary s = f.transfer->Send(rows);
    EXPECT_EQ(s[ProjectRow::AnalogOutputs].kind, RowOutcome::Ok);
    const auto writes = f.Writes(0x12);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].params.size(), 1 + 5 * (version < 600 ? 49 : 34)) << version;
    // One setup read for the three rows.
    int setupReads = 0;
    for (const auto& r : f.requests) setupReads += r.classLetter == kClassRead && r.command == 0x0A;
    EXPECT_EQ(setupReads, 1);
  }
}

class ReadRun : public testing::Test, public TransferFixture {
 protected:
  ReadRun() : TransferFixture(false) {
    test::FillFullProject(session->blocks, 900);
    transfer->Send(AllRows());
    listener.events.clear();
    listener.messages.clear();
    requests.clear();
  }
};

TEST_F(ReadRun, SpecialStatusesGetTheirFixedNamesAndPresetsComeFromTheTable) {
  ProjectImage& image = session->blocks.image;
  SpecialStatus(image, 3).Name().SetBytes("SOMETHING");
  const std::int16_t sp = Process(image, ProcessSet::Washing, 9).Preset(4);
  Process(image, ProcessSet::Washing, 9).SetPreset(4, 1);
  RowSelection rows{};
  rows[RowIndex(ProjectRow::SpecialStatuses)] = rows[RowIndex(ProjectRow::WashingProcesses)] = true;
  transfer->Read(rows, false);
  for (int n = 1; n <= kSpecialStatusCount; ++n)
    EXPECT_EQ(SpecialStatus(image, n).Name().Bytes(), FixedSpecialStatusName(n));
  EXPECT_EQ(Process(image, ProcessSet::Washing, 9).Preset(4), sp);
}

TEST_F(ReadRun, StopInRelaysEndsTheRunAndAStopFromWashingOnStillCompletes) {
  listener.onProgress = [this](ProjectRow row, int position) {
    if (row == ProjectRow::Relays && position == 2) transfer->RequestStop();
  };
  RunSummary s = transfer->Read(AllRows(), false);
  EXPECT_TRUE(s.stopped);
  EXPECT_EQ(s[ProjectRow::Relays].kind, RowOutcome::Stopped);
  EXPECT_EQ(s[ProjectRow::Processes].kind, RowOutcome::NotRun);
  EXPECT_TRUE(listener.messages.isEmpty());

  listener.onProgress = [this](ProjectRow row, int) {
    if (row == ProjectRow::WashingProgram) transfer->RequestStop();
  };
  s = transfer->Read(AllRows(), false);
  EXPECT_FALSE(s.stopped);
  EXPECT_EQ(s[ProjectRow::WashingProgram].kind, RowOutcome::Ok);
  EXPECT_EQ(s[ProjectRow::AnalogOutputs].kind, RowOutcome::Stopped);
  EXPECT_EQ(s[ProjectRow::Pid].kind, RowOutcome::Stopped);
  EXPECT_EQ(listener.messages, QStringList{kOperationComplete});
}

TEST_F(ReadRun, StoppedComparisonPutsTheProjectBack) {
  auto before = std::make_unique<ProjectBlocks>(session->blocks);
  emulator.Memory().sections.relays[3] = 'X';  // the controller differs
  listener.onProgress = [this](ProjectRow row, int position) {
    if (row == ProjectRow::Programs && position == 10) transfer->RequestStop();
  };
  const RunSummary s = transfer->Read(AllRows(), true);
  EXPECT_TRUE(s.stopped);
  EXPECT_EQ(s[ProjectRow::Relays].kind, RowOutcome::Difference);
  EXPECT_TRUE(session->blocks.image == before->image);
  EXPECT_TRUE(session->blocks.pid == before->pid);
}

TEST_F(ReadRun, AFailedSetupReadSkipsTheProgramRowsWithoutAResult) {
  emulator.AddHandler(kClassRead, 0x0A, 0, 0, [](const InnerRequest&) -> std::optional<QByteArray> {
    return std::nullopt;
  });
  RowSelection rows{};
  rows[RowIndex(ProjectRow::Programs)] = rows[RowIndex(ProjectRow::Pid)] = true;
  const RunSummary s = transfer->Read(rows, true);
  EXPECT_EQ(s[ProjectRow::Programs].kind, RowOutcome::SetupUnavailable);
  EXPECT_EQ(s[ProjectRow::Programs].ResultText(), "");
  EXPECT_EQ(s[ProjectRow::Pid].kind, RowOutcome::Ok);
  EXPECT_EQ(dialogs.messages(), QStringList{"No communication"});
}

// A run in which a section failed does not close as if it succeeded: the message counts and
// names the failed sections.
TEST_F(ReadRun, ARunWithFailedRowsSaysWhichFailed) {
  emulator.AddHandler(kClassRead, 0x0C, 0, 0, [](const InnerRequest&) -> std::optional<QByteArray> {
    return std::nullopt;  // the relays never answer
  });
  RowSelection rows{};
  rows[RowIndex(ProjectRow::Relays)] = rows[RowIndex(ProjectRow::Alarms)] = true;
  rows[RowIndex(ProjectRow::Pid)] = true;
  const RunSummary s = transfer->Read(rows, false);
  EXPECT_EQ(s[ProjectRow::Relays].kind, RowOutcome::Error);
  EXPECT_EQ(s[ProjectRow::Alarms].kind, RowOutcome::Ok);
  EXPECT_EQ(listener.messages,
            QStringList{"1 of 3 sections failed: " + RowCaption(ProjectRow::Relays, true).trimmed() +
                        ".\nThe other sections are complete."});
}

}  // namespace
}  // namespace qdx
