// Wire entries field by field: what each record field becomes on the way out, what a reply
// becomes on the way in, and the values the wire cannot carry.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/code_pages.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"
#include "section_test_util.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;
using test::SectionReply;

QByteArray Blanks(int n) {
  return QByteArray(n, ' ');
}

// ---------------------------------------------------------------- relays

TEST(RelayEntries, FieldByField) {
  RelayBlockBuffer block{};
  const RelayRecord r(block.data() + RelayRecord::kSize);  // entry 1 of the block
  r.SetNumber(2);
  r.Name().SetBytes("FAN 2");
  r.SetTimeType(4);
  r.SetTimeTa(65535);
  r.SetTimeTb(300);
  r.SetRegulatorType(6);
  r.SetChannelWord(0x00AB0E02);  // bytes 54-55 do not travel
  r.SetRegulatorOffset(-125);    // -12.5
  r.SetRegulatorWindow(5);       // 0.5
  r.SetLowerHysteresis(0);
  r.SetUpperHysteresis(255);
  const EncodedMessage m = RelayBlockWriteMessage(3, block, kCodePageStandard);
  ASSERT_TRUE(m.ok()) << m.error->Message().toStdString();
  ASSERT_EQ(m.message.body.size(), 1 + 6 * 40);
  EXPECT_EQ(Hex(m.message.body.left(1)), "03");
  EXPECT_EQ(m.message.body.mid(41, 14), "FAN 2" + Blanks(9));
  EXPECT_EQ(Hex(m.message.body.mid(55, 26)),
            "00 04 ff ff 01 2c 00 06 02 0e ff ff cf 2c 00 00 01 f4 00 00 00 00 00 00 63 9c");
}

TEST(RelayEntries, ReplyFillsZeroedRecords) {
  // Entry 0: every field set; the rest of the block zero.
  QByteArray data = FromHex("02");
  data += QByteArray("PUMP\0\0  ", 8) + Blanks(6);
  data += FromHex("00 03 ff fe 00 0a 00 05 03 11 ff ff cf 2c 00 00 00 fa 00 00 01 5e ff ff ff 06");
  RelayBlockBuffer block;
  block.fill(0x5A);
  ASSERT_EQ(DecodeRelayBlock(SectionReply(data, 252), 2, block, kCodePageStandard), kLinkOk);
  const ConstRelayRecord r(block.data());
  EXPECT_EQ(r.Number(), 13);
  EXPECT_EQ(r.Name().Bytes(), "PUMP");  // 0x00 skipped, blanks trimmed
  EXPECT_EQ(r.TimeType(), 3);
  EXPECT_EQ(r.TimeTa(), 65534);  // read unsigned
  EXPECT_EQ(r.TimeTb(), 10);
  EXPECT_EQ(r.RegulatorType(), 5);
  EXPECT_EQ(r.ChannelWord(), 0x1103);  // bytes 54-55 become 0
  EXPECT_EQ(r.RegulatorOffset(), -125);
  EXPECT_EQ(r.RegulatorWindow(), 2);   // 250 -> 2.5 -> 2
  EXPECT_EQ(r.LowerHysteresis(), 4);   // 350 -> 3.5 -> 4
  EXPECT_EQ(r.UpperHysteresis(), -2);  // -250 -> -2.5 -> -2
  // Reserved bytes and padding come back zero; numbers 13..18.
  for (std::size_t i = RelayRecord::kReserved2Offset; i < RelayRecord::kSize; ++i) {
    EXPECT_EQ(block[i], 0) << i;
  }
  EXPECT_EQ(block[RelayRecord::kPaddingOffset], 0);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(ConstRelayRecord(block.data() + k * RelayRecord::kSize).Number(), 13 + k);
  }
}

TEST(RelayEntries, WrongBlockByteStoresNothing) {
  RelayBlockBuffer block;
  block.fill(0x5A);
  const RelayBlockBuffer before = block;
  EXPECT_EQ(DecodeRelayBlock(SectionReply(FromHex("03"), 252), 2, block, 0), kLinkUnexpectedReply);
  EXPECT_EQ(block, before);
  // Too short to hold a block: nothing read, nothing stored.
  EXPECT_EQ(DecodeRelayBlock(SectionReply(FromHex("02"), 251), 2, block, 0), kLinkShortReply);
  EXPECT_EQ(DecodeRelayBlock(QByteArray(), 2, block, 0), kLinkShortReply);
  EXPECT_EQ(block, before);
}

TEST(RelayEntries, WriteBlocksAndFillers) {
  ProjectImage image;
  for (int n = 1; n <= kRelayCount; ++n) Relay(image, n).SetNumber(n);
  const RelayBlockBuffer last = BuildRelayWriteBlock(image, 5);
  const int expected[] = {31, 32, 1, 1, 1, 1};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(ConstRelayRecord(last.data() + k * RelayRecord::kSize).Number(), expected[k]);
  }
  EXPECT_EQ(ConstRelayRecord(BuildRelayWriteBlock(image, 2).data()).Number(), 13);
}

// Names travel through the code page and the 14-byte field rules.
TEST(RelayEntries, NamesThroughTheCodePage) {
  struct Case {
    int codePage;
    QByteArray name;
    QByteArray wire;  // first bytes of the field
    QByteArray back;  // as read back
  };
  const Case cases[] = {
      {kCodePagePolish, FromHex("a3 d3 44 8f"), FromHex("9d e0 44 8d"), FromHex("a3 d3 44 8f")},
      {kCodePageStandard, FromHex("a3 d3 44 8f"), FromHex("a3 d3 44 8f"), FromHex("a3 d3 44 8f")},
      // The Cyrillic conversion drops A0 before the field is cut.
      {kCodePageCyrillic, FromHex("c0 a0 c1"), FromHex("80 81 20"), FromHex("c0 c1")},
      // Cut to 14 bytes.
      {kCodePageStandard, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN"},
  };
  for (const Case& c : cases) {
    RelayBlockBuffer block{};
    RelayRecord(block.data()).Name().SetBytes(c.name);
    const EncodedMessage m = RelayBlockWriteMessage(0, block, c.codePage);
    ASSERT_TRUE(m.ok());
    const QByteArray field = m.message.body.mid(1, 14);
    EXPECT_EQ(field.left(c.wire.size()), c.wire) << c.name.toHex().toStdString();
    EXPECT_EQ(field.mid(c.wire.size()), Blanks(14 - c.wire.size()));
    RelayBlockBuffer back{};
    ASSERT_EQ(DecodeRelayBlock(SectionReply(m.message.body, 252), 0, back, c.codePage), kLinkOk);
    EXPECT_EQ(ConstRelayRecord(back.data()).Name().Bytes(), c.back);
  }
}

// ---------------------------------------------------------------- alarms

TEST(AlarmEntries, BothWays) {
  AlarmBlockBuffer block{};
  const AlarmRecord a(block.data() + 11 * AlarmRecord::kSize);
  a.SetNumber(12);
  a.Message().SetBytes("DOOR OPEN");
  a.SetDelayTime(65000);
  a.SetAlarmStatus(2);
  a.SetRelayLogic(-1);  // nothing selected in the editor
  a.Outputs().SetOn(1, true);
  a.Outputs().SetOn(32, true);
  const EncodedMessage m = AlarmBlockWriteMessage(1, block, 0);
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.message.body.size(), 1 + 12 * 22);
  const QByteArray e = m.message.body.mid(1 + 11 * 22, 22);
  EXPECT_EQ(e.left(14), "DOOR OPEN" + Blanks(5));
  EXPECT_EQ(Hex(e.mid(14)), "fd e8 02 ff 01 00 00 80");

  AlarmBlockBuffer back;
  back.fill(0x33);
  ASSERT_EQ(DecodeAlarmBlock(SectionReply(m.message.body, 276), 1, back, 0), kLinkOk);
  const ConstAlarmRecord b(back.data() + 11 * AlarmRecord::kSize);
  EXPECT_EQ(b.Number(), 24);
  EXPECT_EQ(b.Message().Bytes(), "DOOR OPEN");
  EXPECT_EQ(b.DelayTime(), 65000);
  EXPECT_EQ(b.AlarmStatus(), 2);
  EXPECT_EQ(b.RelayLogic(), 255);  // one byte, read unsigned
  EXPECT_TRUE(b.Outputs().IsOn(1) && b.Outputs().IsOn(32) && !b.Outputs().IsOn(2));
  EXPECT_EQ(back[11 * AlarmRecord::kSize + AlarmRecord::kReservedOffset], 0);
  EXPECT_EQ(DecodeAlarmBlock(SectionReply(m.message.body, 276), 0, back, 0), kLinkUnexpectedReply);

  // The single write carries the index, then the same entry.
  const EncodedMessage one = AlarmWriteMessage(20, a, 0);
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(Hex(one.message.Encode().left(5)), "47 17 00 1b 14");
  EXPECT_EQ(one.message.body.mid(1), e);
}

TEST(AlarmEntries, SecondBlockCarriesThreeCopiesOfAlarmOne) {
  ProjectImage image;
  for (int n = 1; n <= kAlarmCount; ++n) Alarm(image, n).SetNumber(n);
  const AlarmBlockBuffer b = BuildAlarmWriteBlock(image, 1);
  for (int k = 0; k < 12; ++k) {
    EXPECT_EQ(ConstAlarmRecord(b.data() + k * AlarmRecord::kSize).Number(), k < 9 ? 13 + k : 1);
  }
}

// ---------------------------------------------------------------- special statuses

TEST(SpecialStatusEntries, BothWays) {
  std::array<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize> recs{};
  const SpecialStatusRecord s(recs.data() + 2 * SpecialStatusRecord::kSize);
  s.SetNumber(3);
  s.Name().SetBytes("F1");  // names do not travel
  s.SetSwitchOffTime(-1);
  s.SetRelayLogic(1);
  s.Outputs().SetOn(9, true);
  const EncodedMessage m = SpecialStatusesWriteMessage(recs);
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.message.body.size(), 42);
  EXPECT_EQ(Hex(m.message.body.mid(14, 7)), "ff ff 01 00 01 00 00");
  EXPECT_EQ(Hex(SpecialStatusWriteMessage(5, s).message.Encode()),
            "47 16 00 0c 05 ff ff 01 00 01 00 00");

  std::array<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize> back;
  back.fill(0x44);
  ASSERT_EQ(DecodeSpecialStatuses(SectionReply(m.message.body, 53), back), kLinkOk);
  const ConstSpecialStatusRecord b(back.data() + 2 * SpecialStatusRecord::kSize);
  EXPECT_EQ(b.Number(), 3);
  EXPECT_EQ(b.SwitchOffTime(), -1);  // read signed
  EXPECT_EQ(b.RelayLogic(), 1);
  EXPECT_TRUE(b.Outputs().IsOn(9));
  EXPECT_EQ(b.Name().Length(), 0u);  // zeroed, names are the window's business
  EXPECT_EQ(DecodeSpecialStatuses(SectionReply({}, 52), back), kLinkShortReply);
}

// ---------------------------------------------------------------- processes

TEST(ProcessEntries, BodiesBothWays) {
  ProcessBlockBuffer block{};
  const ProcessRecord p(block.data() + 7 * ProcessRecord::kSize);
  p.SetNumber(16);
  p.Name().SetBytes("SMOKING");
  p.SetStepEndCondition(24);
  p.Outputs().SetOn(1, true);
  p.Outputs().SetOn(32, true);
  p.SetPreset(1, 1234);  // presets do not travel with the body
  const EncodedMessage m = ProcessBlockWriteMessage(ProcessSet::Washing, 1, block, 0);
  ASSERT_TRUE(m.ok());
  EXPECT_EQ(Hex(m.message.Encode().left(5)), "47 10 00 9d 01");
  const QByteArray e = m.message.body.mid(1 + 7 * 19, 19);
  EXPECT_EQ(e.left(14), "SMOKING" + Blanks(7));
  EXPECT_EQ(Hex(e.mid(14)), "18 01 00 00 80");

  ProcessBlockBuffer back;
  back.fill(0x77);
  ASSERT_EQ(DecodeProcessBlock(SectionReply(m.message.body, 164), 1, back, 0), kLinkOk);
  const ConstProcessRecord b(back.data() + 7 * ProcessRecord::kSize);
  EXPECT_EQ(b.Number(), 16);
  EXPECT_EQ(b.Name().Bytes(), "SMOKING");
  EXPECT_EQ(b.StepEndCondition(), 24);
  EXPECT_TRUE(b.Outputs().IsOn(1) && b.Outputs().IsOn(32));
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(b.Preset(k), 0);
  for (std::size_t i = ProcessRecord::kReserved1Offset; i < ProcessRecord::kPresetsOffset; ++i) {
    EXPECT_EQ(back[7 * ProcessRecord::kSize + i], 0);
  }
  EXPECT_EQ(DecodeProcessBlock(SectionReply(m.message.body, 164), 0, back, 0),
            kLinkUnexpectedReply);
}

TEST(ProcessEntries, PresetTableAndSinglePresets) {
  std::array<std::uint8_t, kProcessCount * ProcessRecord::kSize> set{};
  const ProcessRecord third(set.data() + 2 * ProcessRecord::kSize);
  third.SetPreset(1, -1);
  third.SetPreset(2, 32767);
  third.SetPreset(3, -32768);
  third.SetPreset(5, 300);
  const InnerMessage table = ProcessPresetTableWriteMessage(ProcessSet::Normal, set);
  ASSERT_EQ(table.body.size(), 161);
  EXPECT_EQ(Hex(table.body.left(1)), "00");
  EXPECT_EQ(Hex(table.body.mid(1 + 20, 10)), "ff ff 7f ff 80 00 00 00 01 2c");
  // The presets of washing process 3 go out with the index byte 102.
  EXPECT_EQ(Hex(ProcessPresetsWriteMessage(ProcessSet::Washing, 2, third).Encode()),
            "47 1a 00 0f 66 ff ff 7f ff 80 00 00 00 01 2c");
  EXPECT_EQ(Hex(ProcessPresetsWriteMessage(ProcessSet::Normal, 2, third).Encode().mid(4, 1)), "02");

  // Reading fills only the presets; the echo byte is not examined.
  std::array<std::uint8_t, kProcessCount * ProcessRecord::kSize> back;
  back.fill(0x66);
  QByteArray data = table.body;
  data[0] = 1;  // the washing selector, although the normal set was asked for
  ASSERT_EQ(DecodeProcessPresetTable(SectionReply(data, 172), back), kLinkOk);
  const ConstProcessRecord b(back.data() + 2 * ProcessRecord::kSize);
  EXPECT_EQ(b.Preset(1), -1);
  EXPECT_EQ(b.Preset(2), 32767);
  EXPECT_EQ(b.Preset(3), -32768);
  EXPECT_EQ(b.Preset(4), 0);
  EXPECT_EQ(b.Preset(5), 300);
  EXPECT_EQ(b.Number(), 0x66666666);
  EXPECT_EQ(back[2 * ProcessRecord::kSize + ProcessRecord::kReserved2Offset], 0x66);
  EXPECT_EQ(DecodeProcessPresetTable(SectionReply(data, 171), back), kLinkShortReply);
}

// ---------------------------------------------------------------- programs

TEST(ProgramLayouts, PagesStepsAndSizes) {
  const struct {
    int pages, steps, size, reply, inner;
  } cases[] = {{1, 30, 16, 507, 500}, {2, 15, 16, 267, 260}, {3, 10, 20, 227, 220},
               {4, 10, 20, 227, 220}, {5, 10, 20, 227, 220}, {20, 10, 20, 227, 220}};
  for (const auto& c : cases) {
    const auto l = ProgramLayout(c.pages);
    ASSERT_TRUE(l.has_value()) << c.pages;
    EXPECT_EQ(l->stepsPerPage, c.steps);
    EXPECT_EQ(l->stepSize, c.size);
    EXPECT_EQ(l->ReplyLength(), c.reply);
    RecordBytes<ProgramRecord> rec{};
    ProgramRecord(rec.data()).SetNumber(1);
    const EncodedMessage m = ProgramPageWriteMessage(ConstProgramRecord(rec.data()), 0, c.pages, 0);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m.message.Encode().size(), c.inner) << c.pages;
  }
  EXPECT_FALSE(ProgramLayout(0).has_value());
  EXPECT_FALSE(ProgramLayout(21).has_value());  // would reach past the 200 step slots

  const struct {
    std::int16_t version;
    int pages;
    std::int32_t steps;
  } versions[] = {{-1, 2, 30},  {500, 2, 30}, {501, 3, 30},
                  {899, 3, 30}, {900, 5, 50}, {32767, 5, 50}};
  for (const auto& v : versions) {
    EXPECT_EQ(ProgramPagesForVersion(v.version), v.pages) << v.version;
    EXPECT_EQ(ProgramStepCountForPages(ProgramPagesForVersion(v.version)), v.steps);
  }
}

void FillStep(ProgramStep s, int n) {
  s.SetProcessNumber(n % 17);
  s.SetChamberTemperature(-99 + n);
  s.SetAdditional1(-999 + n);
  s.SetCoreTemperature(400 - n);
  s.SetAdditional2(2000 - n);
  s.SetHumidity(n);
  s.SetFurtherValue(n + 100);
  s.SetDelta(n * 5);
  s.SetHours(n);
  s.SetMinutes(59 - n);
  s.SetOnOffDelta(n % 2);
  s.SetWorkTime(static_cast<std::uint16_t>(65000 - n));
  s.SetPauseTime(static_cast<std::uint16_t>(n * 1000));
}

TEST(ProgramEntries, StepFieldByField) {
  RecordBytes<ProgramRecord> rec{};
  const ProgramRecord p(rec.data());
  p.SetNumber(7);
  p.Name().SetBytes("HAM");
  const ProgramStep s = p.Step(11);  // page 1, first step at P = 3
  s.SetChamberTemperature(-99);
  s.SetAdditional1(2000);
  s.SetCoreTemperature(400);
  s.SetAdditional2(0);
  s.SetHumidity(99);
  s.SetFurtherValue(7);
  s.SetOnOffDelta(1);
  s.SetDelta(255);  // 25.5
  s.SetProcessNumber(1);
  s.SetHours(99);
  s.SetMinutes(59);
  s.SetWorkTime(65000);
  s.SetPauseTime(1);
  const EncodedMessage m3 = ProgramPageWriteMessage(p, 1, 3, 0);
  ASSERT_TRUE(m3.ok());
  EXPECT_EQ(Hex(m3.message.body.left(2)), "01 06");
  EXPECT_EQ(m3.message.body.mid(2, 14), "HAM" + Blanks(11));
  EXPECT_EQ(Hex(m3.message.body.mid(16, 20)),
            "ff 9d 07 d0 01 90 00 00 00 63 07 01 ff 00 63 3b fd e8 00 01");
  // With 16-byte steps (P = 2) step 11 is the 11th of page 0, without work and pause time.
  const EncodedMessage m2 = ProgramPageWriteMessage(p, 0, 2, 0);
  ASSERT_TRUE(m2.ok());
  EXPECT_EQ(Hex(m2.message.body.mid(16 + 10 * 16, 16)),
            "ff 9d 07 d0 01 90 00 00 00 63 07 01 ff 00 63 3b");
}

TEST(ProgramEntries, ProcessNumbersZeroAndOneShareTheByte) {
  RecordBytes<ProgramRecord> rec{};
  const ProgramRecord p(rec.data());
  p.SetNumber(1);
  const std::int32_t numbers[] = {1, 0, 20, 16, 256, -1};
  const char* bytes[] = {"00", "00", "13", "0f", "ff", "ff"};
  const std::int32_t back[] = {1, 1, 20, 16, 256, 256};
  for (int i = 0; i < 6; ++i) p.Step(i + 1).SetProcessNumber(numbers[i]);
  const EncodedMessage m = ProgramPageWriteMessage(p, 0, 2, 0);
  ASSERT_TRUE(m.ok());
  RecordBytes<ProgramRecord> out{};
  ASSERT_EQ(
      DecodeProgramPage(SectionReply(m.message.body, 267), ProgramRecord(out.data()), 0, 2, 0),
      kLinkOk);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Hex(m.message.body.mid(16 + i * 16 + 13, 1)), bytes[i]) << numbers[i];
    EXPECT_EQ(ConstProgramRecord(out.data()).Step(i + 1).ProcessNumber(), back[i]);
  }
}

// Reading every page of a program at P pages fills exactly the steps those pages carry.
TEST(ProgramEntries, PagesFillTheirSteps) {
  for (const int pages : {1, 2, 3, 5}) {
    const auto layout = *ProgramLayout(pages);
    RecordBytes<ProgramRecord> src{};
    const ProgramRecord p(src.data());
    p.SetNumber(42);
    p.Name().SetBytes("BACON");
    for (int s = 1; s <= 50; ++s) FillStep(p.Step(s), s);
    RecordBytes<ProgramRecord> dst;
    dst.fill(0x11);
    const ProgramRecord d(dst.data());
    for (int page = 0; page < pages; ++page) {
      const EncodedMessage m = ProgramPageWriteMessage(p, page, pages, 0);
      ASSERT_TRUE(m.ok()) << m.error->Message().toStdString();
      const QByteArray reply = SectionReply(m.message.body, layout.ReplyLength());
      ASSERT_EQ(DecodeProgramPage(reply, d, page, pages, 0), kLinkOk);
    }
    EXPECT_EQ(d.Number(), 42);
    EXPECT_EQ(d.Name().Bytes(), "BACON");
    EXPECT_EQ(d.StepCount(), 0);  // cleared by page 0; the windows set it
    const int carried = layout.StepsCarried();
    for (int s = 1; s <= 50; ++s) {
      const ConstProgramStep got = d.Step(s);
      if (s > carried) {
        EXPECT_EQ(got.ChamberTemperature(), 0) << pages << " " << s;
        continue;
      }
      const ConstProgramStep want = p.Step(s);
      EXPECT_EQ(got.ProcessNumber(), want.ProcessNumber() == 0 ? 1 : want.ProcessNumber());
      EXPECT_EQ(got.ChamberTemperature(), want.ChamberTemperature());
      EXPECT_EQ(got.Additional1(), want.Additional1());
      EXPECT_EQ(got.CoreTemperature(), want.CoreTemperature());
      EXPECT_EQ(got.Additional2(), want.Additional2());
      EXPECT_EQ(got.Humidity(), want.Humidity());
      EXPECT_EQ(got.FurtherValue(), want.FurtherValue());
      EXPECT_EQ(got.Delta(), want.Delta());
      EXPECT_EQ(got.Hours(), want.Hours());
      EXPECT_EQ(got.Minutes(), want.Minutes());
      EXPECT_EQ(got.OnOffDelta(), want.OnOffDelta());
      // Work and pause time travel only in 20-byte steps.
      EXPECT_EQ(got.WorkTime(), layout.stepSize == 20 ? want.WorkTime() : 0);
      EXPECT_EQ(got.PauseTime(), layout.stepSize == 20 ? want.PauseTime() : 0);
    }
    // Slots beyond 50 and the reserved bytes are cleared by page 0.
    EXPECT_EQ(d.Step(51).Hours(), 0);
    EXPECT_EQ(dst[ProgramRecord::kReservedOffset], 0);
  }
}

TEST(ProgramEntries, PageCheckAndPageZeroClearing) {
  RecordBytes<ProgramRecord> rec;
  rec.fill(0x22);
  const RecordBytes<ProgramRecord> before = rec;
  const ProgramRecord p(rec.data());
  // A wrong page byte stores nothing, not even the clearing of page 0.
  EXPECT_EQ(DecodeProgramPage(SectionReply(FromHex("01 00"), 267), p, 0, 2, 0),
            kLinkUnexpectedReply);
  EXPECT_EQ(rec, before);
  EXPECT_EQ(DecodeProgramPage(SectionReply(FromHex("00 00"), 266), p, 0, 2, 0), kLinkShortReply);
  EXPECT_EQ(DecodeProgramPage(SectionReply(FromHex("00"), 267), p, 2, 2, 0), kLinkRequestInvalid);
  EXPECT_EQ(rec, before);
  // Page 1 keeps what is outside its steps.
  ASSERT_EQ(DecodeProgramPage(SectionReply(FromHex("01 04"), 267), p, 1, 2, 0), kLinkOk);
  EXPECT_EQ(p.Number(), 5);
  EXPECT_EQ(p.Step(1).Hours(), 0x22222222);
  EXPECT_EQ(p.Step(16).Hours(), 0);
  EXPECT_EQ(p.Step(31).Hours(), 0x22222222);
  EXPECT_EQ(p.StepCount(), 0x22222222);
}

TEST(ProgramEntries, NameSkipsZeroAndFF) {
  QByteArray data = FromHex("00 63");
  data += FromHex("ff 00 57 41 53 ff 48 00 49 4e 47 20 ff ff");  // "WASHING" in pieces
  RecordBytes<ProgramRecord> rec{};
  const ProgramRecord p(rec.data());
  ASSERT_EQ(DecodeProgramPage(SectionReply(data, 227), p, 0, 5, 0), kLinkOk);
  EXPECT_EQ(p.Name().Bytes(), "WASHING");
  EXPECT_EQ(p.Number(), 100);
}

// ---------------------------------------------------------------- analog outputs

TEST(AnalogOutputEntries, CurrentLayout) {
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> recs{};
  const AnalogOutputRecord a(recs.data() + AnalogOutputRecord::kSize);  // output 2
  a.Name().SetBytes("FLAP");
  a.SetOutputType(2);
  a.SetChannel(9);
  a.SetSetValue(65535);  // nothing selected
  a.SetPidNumber(4);
  a.SetValueAt0V(0);
  a.SetValueAt10V(9999);
  a.SetStopSetValue(9999);
  a.SetPauseSetValue(1);
  a.SetSamplePeriod(2.5);  // not in this layout
  for (int k = 1; k <= 4; ++k) a.SetFunctionSetValue(k, 1000 * k);
  const EncodedMessage m = AnalogOutputsWriteMessage(AnalogOutputLayout::Current, recs, 0);
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.message.body.size(), 1 + 5 * 34);
  const QByteArray e = m.message.body.mid(1 + 34, 34);
  EXPECT_EQ(e.left(14), "FLAP" + Blanks(10));
  EXPECT_EQ(Hex(e.mid(14)), "02 09 ff 04 00 00 27 0f 27 0f 00 01 03 e8 07 d0 0b b8 0f a0");

  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> back;
  back.fill(0x12);
  QByteArray data = m.message.body;
  data[1 + 34 + 22] = static_cast<char>(0xFF);  // Stop FF FF reads as 65535
  data[1 + 34 + 23] = static_cast<char>(0xFF);
  ASSERT_EQ(DecodeAnalogOutputs(SectionReply(data, 257), AnalogOutputLayout::Current, back, 0),
            kLinkOk);
  const ConstAnalogOutputRecord b(back.data() + AnalogOutputRecord::kSize);
  EXPECT_EQ(b.Name().Bytes(), "FLAP");
  EXPECT_EQ(b.OutputType(), 2);
  EXPECT_EQ(b.Channel(), 9);
  EXPECT_EQ(b.SetValue(), 255);
  EXPECT_EQ(b.PidNumber(), 4);
  EXPECT_EQ(b.ValueAt10V(), 9999);
  EXPECT_EQ(b.StopSetValue(), 65535);
  EXPECT_EQ(b.PauseSetValue(), 1);
  EXPECT_EQ(b.SamplePeriod(), 0.0);  // does not travel: zero
  EXPECT_EQ(b.FunctionSetValue(4), 4000);
  EXPECT_EQ(back[AnalogOutputRecord::kSize + AnalogOutputRecord::kReservedOffset], 0);
}

TEST(AnalogOutputEntries, LegacyLayout) {
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> recs{};
  const AnalogOutputRecord a(recs.data() + 4 * AnalogOutputRecord::kSize);  // output 5
  a.Name().SetBytes("OUT5");
  a.SetOutputType(1);
  a.SetChannel(3);
  a.SetSetValue(18);
  a.SetPidNumber(3);  // not in this layout
  a.SetValueAt0V(10);
  a.SetValueAt10V(20);
  a.SetStopSetValue(30);
  a.SetPauseSetValue(40);
  a.SetSamplePeriod(2.5);
  a.SetGain(0.125);
  a.SetIntegralTime(-1.5);
  a.SetDerivativeTime(300);
  for (int k = 1; k <= 4; ++k) a.SetFunctionSetValue(k, k);
  const EncodedMessage m = AnalogOutputsWriteMessage(AnalogOutputLayout::Legacy, recs, 0);
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.message.body.size(), 1 + 5 * 49);
  const QByteArray e = m.message.body.mid(1 + 4 * 49, 49);
  EXPECT_EQ(Hex(e.mid(14)),
            "01 03 12 00 0a 00 14 00 1e 00 28 00 00 00 fa 00 00 00 0c ff ff ff 6a 00 00 75 30 "
            "00 01 00 02 00 03 00 04");
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> back{};
  ASSERT_EQ(
      DecodeAnalogOutputs(SectionReply(m.message.body, 257), AnalogOutputLayout::Legacy, back, 0),
      kLinkOk);
  const ConstAnalogOutputRecord b(back.data() + 4 * AnalogOutputRecord::kSize);
  EXPECT_EQ(b.SamplePeriod(), 2.5);
  EXPECT_EQ(b.Gain(), 0.12);  // 12.5 went out as 12
  EXPECT_EQ(b.IntegralTime(), -1.5);
  EXPECT_EQ(b.DerivativeTime(), 300.0);
  EXPECT_EQ(b.PidNumber(), 0);  // not carried: zero
  EXPECT_EQ(b.Name().Bytes(), "OUT5");
  EXPECT_EQ(b.SetValue(), 18);
  EXPECT_EQ(b.PauseSetValue(), 40);
  EXPECT_EQ(b.FunctionSetValue(3), 3);
  EXPECT_EQ(AnalogOutputLayoutForVersion(599), AnalogOutputLayout::Legacy);
  EXPECT_EQ(AnalogOutputLayoutForVersion(600), AnalogOutputLayout::Current);
}

// ---------------------------------------------------------------- PID, setup, passwords

TEST(PidEntries, BothWays) {
  std::array<std::uint8_t, pid::kSize> table{};
  const PidRecord a(table.data());
  a.SetRegulatorType(1);
  a.SetChannel(2);
  a.SetSetValue(18);
  a.SetSamplePeriod(2.5);      // 2 (halves to even)
  a.SetProportionalBand(125);  // 12.5 % -> 1250
  a.SetIntegralTime(-3.5);     // -4
  a.SetDerivativeTime(100000);
  a.SetPulsePeriod(0.4);
  a.Name().SetBytes("KEPT?");  // does not travel
  const PidRecord second(table.data() + PidRecord::kSize);
  second.SetProportionalBand(12.34);  // 123.4 -> 123
  const EncodedMessage m = PidRegulatorsWriteMessage(table);
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.message.body.size(), 1 + 5 * 23);
  EXPECT_EQ(Hex(m.message.body.mid(1, 23)),
            "01 02 12 00 00 00 02 00 00 04 e2 ff ff ff fc 00 01 86 a0 00 00 00 00");
  EXPECT_EQ(Hex(m.message.body.mid(24 + 7, 4)), "00 00 00 7b");

  std::array<std::uint8_t, pid::kSize> back;
  back.fill(0x5C);
  ASSERT_EQ(DecodePidRegulators(SectionReply(m.message.body, 257), back), kLinkOk);
  const ConstPidRecord b(back.data());
  EXPECT_EQ(b.RegulatorType(), 1);
  EXPECT_EQ(b.Channel(), 2);
  EXPECT_EQ(b.SetValue(), 18);
  EXPECT_EQ(b.SamplePeriod(), 2.0);
  EXPECT_EQ(b.ProportionalBand(), 125.0);
  EXPECT_EQ(b.IntegralTime(), -4.0);
  EXPECT_EQ(b.DerivativeTime(), 100000.0);
  EXPECT_EQ(b.PulsePeriod(), 0.0);
  EXPECT_EQ(b.Name().Length(), 0u);  // the five records are zeroed first
  EXPECT_DOUBLE_EQ(ConstPidRecord(back.data() + PidRecord::kSize).ProportionalBand(), 12.3);
  EXPECT_EQ(back[pid::kSize - 1], 0);
}

TEST(SetupWords, BothWays) {
  std::array<std::uint8_t, image::kSetupSize> setup{};
  SetupBlock s(setup.data());
  s.SetWord(0, 7);
  s.SetWord(1, -1);
  s.SetWord(99, 900);
  s.SetWord(100, 1234);  // does not travel
  const InnerMessage m = WriteSetupMessage(setup);
  ASSERT_EQ(m.body.size(), 202);
  EXPECT_EQ(Hex(m.body.left(6)), "00 00 00 07 ff ff");
  EXPECT_EQ(Hex(m.body.mid(2 + 198, 2)), "03 84");
  std::array<std::uint8_t, image::kSetupSize> back;
  back.fill(0x99);
  DecodeSetup(SectionReply(m.body.mid(2), 211), back);
  const ConstSetupBlock b(back.data());
  EXPECT_EQ(b.Word(1), -1);
  EXPECT_EQ(b.Word(99), 900);
  EXPECT_EQ(b.Word(100), 0);
}

TEST(PasswordEntries, BothWays) {
  PasswordBlock block;
  block.Fill(0xEE);
  PasswordEntry(block, 1).SetBytes("AB");
  PasswordEntry(block, 2).SetBytes("12345678");
  PasswordEntry(block, 37).SetBytes(FromHex("a3 b3 00 20"));  // no code-page conversion
  PasswordEntry(block, 3).SetLengthByte(200);                 // damaged: counts as 10 characters
  const InnerMessage m = PasswordsWriteMessage(block.bytes());
  ASSERT_EQ(m.body.size(), 222);
  EXPECT_EQ(Hex(m.body.left(12)), "41 42 00 00 00 00 31 32 33 34 35 36");
  EXPECT_EQ(Hex(m.body.mid(12, 6)), "ee ee ee ee ee ee");
  EXPECT_EQ(Hex(m.body.mid(216)), "a3 b3 00 20 00 00");

  PasswordBlock back;
  back.Fill(0x55);
  ASSERT_EQ(DecodePasswords(SectionReply(m.body, 233), back.bytes()), kLinkOk);
  EXPECT_EQ(PasswordEntry(back, 1).Bytes(), QByteArray("AB\0\0\0\0", 6));
  EXPECT_EQ(PasswordEntry(back, 2).Bytes(), "123456");
  EXPECT_EQ(PasswordEntry(back, 37).Bytes(), FromHex("a3 b3 00 20 00 00"));
  // The whole block was zeroed first, the bytes after entry 37 included.
  for (std::size_t i = passwords::kUnusedOffset; i < passwords::kSize; ++i)
    EXPECT_EQ(back.data()[i], 0);
  EXPECT_EQ(back.data()[7], 0);  // entry 1 beyond its six characters
  EXPECT_EQ(DecodePasswords(SectionReply(m.body, 232), back.bytes()), kLinkShortReply);
}

// ---------------------------------------------------------------- refusals

struct RefusalCase {
  const char* name;
  std::function<std::optional<EncodeError>()> encode;
  const char* message;  // empty: accepted
};

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, ValuesTheWireCannotCarry) {
  const auto error = GetParam().encode();
  if (QByteArray(GetParam().message).isEmpty()) {
    EXPECT_FALSE(error.has_value()) << error->Message().toStdString();
  } else {
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Message(), GetParam().message);
  }
}

template <typename Set>
std::optional<EncodeError> RelayWith(Set set) {
  RelayBlockBuffer block{};
  const RelayRecord r(block.data() + 4 * RelayRecord::kSize);
  r.SetNumber(7);
  set(r);
  return RelayBlockWriteMessage(1, block, 0).error;
}

template <typename Set>
std::optional<EncodeError> StepWith(Set set, int pages = 3, std::int32_t number = 3) {
  RecordBytes<ProgramRecord> rec{};
  const ProgramRecord p(rec.data());
  p.SetNumber(number);
  set(p.Step(12));
  const auto layout = *ProgramLayout(pages);
  const int page = 11 / layout.stepsPerPage;
  const auto viaMessage = ProgramPageWriteMessage(p, page, pages, 0).error;
  // The validation finds the same value before anything is sent.
  const auto refused = ValidateProgram(p, pages);
  EXPECT_EQ(refused.empty(), !viaMessage.has_value());
  if (viaMessage && !refused.empty()) {
    EXPECT_EQ(refused.front(), *viaMessage);
  }
  return viaMessage;
}

template <typename Set>
std::optional<EncodeError> OutputWith(Set set, AnalogOutputLayout layout) {
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> recs{};
  set(AnalogOutputRecord(recs.data() + 2 * AnalogOutputRecord::kSize));
  return AnalogOutputsWriteMessage(layout, recs, 0).error;
}

template <typename Set>
std::optional<EncodeError> PidWith(Set set) {
  std::array<std::uint8_t, pid::kSize> table{};
  set(PidRecord(table.data() + PidRecord::kSize));
  return PidRegulatorsWriteMessage(table).error;
}

const auto kCur = AnalogOutputLayout::Current;
const auto kOld = AnalogOutputLayout::Legacy;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Refusals,
    testing::Values(
        RefusalCase{"RelayTa", [] { return RelayWith([](RelayRecord r) { r.SetTimeTa(70000); }); },
                    "Relay 7, Ta: 70000 is outside 0..65535"},
        RefusalCase{"RelayTbNegative",
                    [] { return RelayWith([](RelayRecord r) { r.SetTimeTb(-1); }); },
                    "Relay 7, Tb: -1 is outside 0..65535"},
        RefusalCase{"RelayTaMax",
                    [] { return RelayWith([](RelayRecord r) { r.SetTimeTa(65535); }); }, ""},
        RefusalCase{"RelayTimeType",
                    [] { return RelayWith([](RelayRecord r) { r.SetTimeType(65536); }); },
                    "Relay 7, time type: 65536 is outside 0..65535"},
        RefusalCase{
            "RelayOffsetHundredfold",
            [] { return RelayWith([](RelayRecord r) { r.SetRegulatorOffset(-21474837); }); },
            "Relay 7, offset: -2147483.7 is outside -2147483.6..2147483.6"},
        RefusalCase{"RelayWindowLargestThatFits",
                    [] { return RelayWith([](RelayRecord r) { r.SetRegulatorWindow(21474836); }); },
                    ""},
        RefusalCase{"AlarmDelay",
                    [] {
                      AlarmBlockBuffer b{};
                      AlarmRecord(b.data()).SetNumber(4);
                      AlarmRecord(b.data()).SetDelayTime(65536);
                      return AlarmBlockWriteMessage(0, b, 0).error;
                    },
                    "Alarm 4, delay time: 65536 is outside 0..65535"},
        RefusalCase{"AlarmStatusCode",
                    [] {
                      RecordBytes<AlarmRecord> a{};
                      AlarmRecord(a.data()).SetNumber(13);
                      AlarmRecord(a.data()).SetAlarmStatus(258);  // would become 2
                      return AlarmWriteMessage(12, AlarmRecord(a.data()), 0).error;
                    },
                    "Alarm 13, alarm status: 258 is outside 0..255"},
        RefusalCase{"AlarmNothingSelected",
                    [] {
                      RecordBytes<AlarmRecord> a{};
                      AlarmRecord(a.data()).SetAlarmStatus(-1);
                      AlarmRecord(a.data()).SetRelayLogic(-1);
                      return AlarmWriteMessage(0, AlarmRecord(a.data()), 0).error;
                    },
                    ""},
        RefusalCase{"SpecialStatusTime",
                    [] {
                      RecordBytes<SpecialStatusRecord> s{};
                      SpecialStatusRecord(s.data()).SetNumber(2);
                      SpecialStatusRecord(s.data()).SetSwitchOffTime(40000);
                      return SpecialStatusWriteMessage(1, SpecialStatusRecord(s.data())).error;
                    },
                    "Special status 2, switch-off time: 40000 is outside -32768..32767"},
        RefusalCase{
            "ProcessEndCondition",
            [] {
              RecordBytes<ProcessRecord> p{};
              ProcessRecord(p.data()).SetNumber(9);
              ProcessRecord(p.data()).SetStepEndCondition(300);
              return ProcessWriteMessage(ProcessSet::Washing, 8, ProcessRecord(p.data()), 0).error;
            },
            "Washing process 9, step end condition: 300 is outside 0..255"},
        RefusalCase{"ProgramDelta", [] { return StepWith([](ProgramStep s) { s.SetDelta(300); }); },
                    "Program 3, step 12, Delta: 30.0 is outside 0.0..25.5"},
        RefusalCase{"ProgramDeltaLargest",
                    [] { return StepWith([](ProgramStep s) { s.SetDelta(255); }); }, ""},
        RefusalCase{"ProgramOnOffDeltaNegative",
                    [] { return StepWith([](ProgramStep s) { s.SetOnOffDelta(-5); }); },
                    "Program 3, step 12, ON/OFF Delta: -5 is outside 0..255"},
        RefusalCase{"ProgramHours", [] { return StepWith([](ProgramStep s) { s.SetHours(256); }); },
                    "Program 3, step 12, Hour: 256 is outside 0..255"},
        RefusalCase{"ProgramMinutesNegative",
                    [] { return StepWith([](ProgramStep s) { s.SetMinutes(-1); }); },
                    "Program 3, step 12, minute: -1 is outside 0..255"},
        RefusalCase{"ProgramChamber",
                    [] { return StepWith([](ProgramStep s) { s.SetChamberTemperature(40000); }); },
                    "Program 3, step 12, Chamber temp.: 40000 is outside -32768..32767"},
        RefusalCase{"ProgramFurtherValue",
                    [] { return StepWith([](ProgramStep s) { s.SetFurtherValue(-2); }); },
                    "Program 3, step 12, step value at byte 24: -2 is outside 0..255"},
        RefusalCase{"ProgramProcess",
                    [] { return StepWith([](ProgramStep s) { s.SetProcessNumber(257); }); },
                    "Program 3, step 12, process: 257 is outside 1..256"},
        RefusalCase{"ProgramProcessBelowZeroAsItsLowByte",
                    [] { return StepWith([](ProgramStep s) { s.SetProcessNumber(-300); }); }, ""},
        RefusalCase{"WashingProgramHours",
                    [] {
                      return StepWith([](ProgramStep s) { s.SetHours(1000); }, 5,
                                      kWashingProgramNumber);
                    },
                    "Washing program, step 12, Hour: 1000 is outside 0..255"},
        RefusalCase{"ProgramStepBeyondThePagesIsNotSent",
                    [] {
                      RecordBytes<ProgramRecord> rec{};
                      ProgramRecord(rec.data()).SetNumber(1);
                      ProgramRecord(rec.data()).Step(31).SetDelta(999);
                      const auto refused = ValidateProgram(ConstProgramRecord(rec.data()), 2);
                      return refused.empty() ? std::nullopt : std::optional(refused.front());
                    },
                    ""},
        RefusalCase{
            "AnalogStop",
            [] { return OutputWith([](AnalogOutputRecord a) { a.SetStopSetValue(70000); }, kCur); },
            "Analog output 3, Stop: 70000 is outside 0..65535"},
        RefusalCase{"AnalogF4Negative",
                    [] {
                      return OutputWith([](AnalogOutputRecord a) { a.SetFunctionSetValue(4, -1); },
                                        kOld);
                    },
                    "Analog output 3, F4: -1 is outside 0..65535"},
        RefusalCase{
            "AnalogTypeNoneSelected",
            [] { return OutputWith([](AnalogOutputRecord a) { a.SetOutputType(65535); }, kCur); },
            ""},
        RefusalCase{
            "AnalogChannelCode",
            [] { return OutputWith([](AnalogOutputRecord a) { a.SetChannel(258); }, kCur); },
            "Analog output 3, measurement channel: 258 is outside 0..255"},
        RefusalCase{"AnalogLegacyGain",
                    [] { return OutputWith([](AnalogOutputRecord a) { a.SetGain(3e7); }, kOld); },
                    "Analog output 3, gain: 30000000 is outside -21474836.48..21474836.47"},
        RefusalCase{"AnalogGainNotSentInCurrentLayout",
                    [] { return OutputWith([](AnalogOutputRecord a) { a.SetGain(3e7); }, kCur); },
                    ""},
        RefusalCase{"PidTpNaN",
                    [] { return PidWith([](PidRecord p) { p.SetSamplePeriod(std::nan("")); }); },
                    "PID 2, Tp: nan is outside -2147483648..2147483647"},
        RefusalCase{"PidXp",
                    [] { return PidWith([](PidRecord p) { p.SetProportionalBand(3e8); }); },
                    "PID 2, Xp: 300000000 is outside -214748364.8..214748364.7"}),
    [](const auto& i) { return std::string(i.param.name); });

QStringList Messages(const std::vector<EncodeError>& refused) {
  QStringList out;
  for (const EncodeError& e : refused) out << e.Message();
  return out;
}

// The section validations list every refused value of the project before any block is sent:
// each named by its slot, in record and field order.
TEST(SectionValidation, ListsEveryRefusedValueBySlot) {
  ProjectImage image;
  PidTable table;
  const struct {
    const char* section;
    std::function<void()> refuse;  // puts values the wire cannot carry into the section
    std::function<std::vector<EncodeError>()> check;
    QStringList expected;
  } cases[] = {
      {"relays",
       [&] {
         Relay(image, 32).SetTimeTb(-5);  // the number field still says 0: the slot is reported
         Relay(image, 4).SetUpperHysteresis(30000000);
         Relay(image, 4).SetTimeTa(70000);
       },
       [&] { return ValidateRelays(image); },
       {"Relay 4, Ta: 70000 is outside 0..65535",
        "Relay 4, upper hysteresis: 3000000.0 is outside -2147483.6..2147483.6",
        "Relay 32, Tb: -5 is outside 0..65535"}},
      {"alarms",
       [&] {
         Alarm(image, 21).SetDelayTime(99999);
         Alarm(image, 2).SetAlarmStatus(300);
       },
       [&] { return ValidateAlarms(image); },
       {"Alarm 2, alarm status: 300 is outside 0..255",
        "Alarm 21, delay time: 99999 is outside 0..65535"}},
      {"special statuses",
       [&] {
         SpecialStatus(image, 6).SetSwitchOffTime(65000);
         SpecialStatus(image, 1).SetRelayLogic(256);
       },
       [&] { return ValidateSpecialStatuses(image); },
       {"Special status 1, relay logic: 256 is outside 0..255",
        "Special status 6, switch-off time: 65000 is outside -32768..32767"}},
      {"washing processes",
       [&] {
         Process(image, ProcessSet::Washing, 16).SetStepEndCondition(1000);
         Process(image, ProcessSet::Washing, 2).SetStepEndCondition(300);
       },
       [&] { return ValidateProcesses(image, ProcessSet::Washing); },
       {"Washing process 2, step end condition: 300 is outside 0..255",
        "Washing process 16, step end condition: 1000 is outside 0..255"}},
      {"processes", [] {}, [&] { return ValidateProcesses(image, ProcessSet::Normal); }, {}},
      {"programs",
       [&] {
         Program(image, 99).Step(50).SetHours(300);
         Program(image, 99).Step(50).SetDelta(300);
         Program(image, 1).Step(2).SetMinutes(999);
       },
       [&] { return ValidatePrograms(image, 5); },
       {"Program 1, step 2, minute: 999 is outside 0..255",
        "Program 99, step 50, Delta: 30.0 is outside 0.0..25.5",
        "Program 99, step 50, Hour: 300 is outside 0..255"}},
      // Step 50 travels only at 5 pages.
      {"programs on 3 pages", [] {}, [&] { return ValidatePrograms(image, 3); },
       {"Program 1, step 2, minute: 999 is outside 0..255"}},
      {"washing program",
       [&] {
         WashingProgram(image).Step(3).SetHumidity(40000);
         WashingProgram(image).Step(1).SetDelta(400);
       },
       [&] { return ValidateWashingProgram(image, 2); },
       {"Washing program, step 1, Delta: 40.0 is outside 0.0..25.5",
        "Washing program, step 3, Humidity: 40000 is outside -32768..32767"}},
      {"analog outputs",
       [&] {
         AnalogOutput(image, 5).SetValueAt0V(-1);
         AnalogOutput(image, 2).SetFunctionSetValue(3, 70000);
       },
       [&] { return ValidateAnalogOutputs(image, kCur); },
       {"Analog output 2, F3: 70000 is outside 0..65535",
        "Analog output 5, value for 0 V: -1 is outside 0..65535"}},
      {"PID regulators",
       [&] {
         Pid(table, 5).SetPulsePeriod(-3e9);
         Pid(table, 1).SetProportionalBand(3e8);
       },
       [&] { return ValidatePidRegulators(table.bytes()); },
       {"PID 1, Xp: 300000000 is outside -214748364.8..214748364.7",
        "PID 5, To: -3000000000 is outside -2147483648..2147483647"}},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.check().empty()) << c.section;
  for (const auto& c : cases) c.refuse();
  for (const auto& c : cases) EXPECT_EQ(Messages(c.check()), c.expected) << c.section;
  // A page count no layout has is one refusal, not one per program.
  EXPECT_EQ(Messages(ValidatePrograms(image, 0)),
            QStringList{"Program 1, page count: 0 is outside 1..20"});
}

}  // namespace
}  // namespace qdx
