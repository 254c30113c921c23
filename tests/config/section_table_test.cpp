// The section descriptions behind the list windows: the rows of `memproj`, what the columns
// show, the record slots, and the fixed lists the editors choose from.
#include "config/section_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "config/analog_output_section.h"
#include "config/choice_lists.h"
#include "config/pid_section.h"
#include "support/test_session.h"
#include "model/records.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

QStringList Titles(const SectionDescription& s) {
  QStringList titles;
  for (const SectionColumn& c : s.columns) titles << c.title;
  return titles;
}

QStringList RowTexts(const SectionDescription& s, const MemprojRow& row) {
  QStringList texts;
  for (const SectionColumn& c : s.columns) texts << c.text(row);
  return texts;
}

class SectionTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<TestSession> session_ = std::make_unique<TestSession>();
  ProjectImage& image() { return session_->blocks.image; }
};

TEST_F(SectionTableTest, RelayRowsAndColumns) {
  const SectionDescription& s = RelaySection();
  EXPECT_EQ(s.title, QStringLiteral("Relays"));
  EXPECT_EQ(Titles(s), QStringList({"No", "Name", "Time type", "Time Ta", "Time Tb",
                                    "Regulator type", "Measurement channel", "Set value", "Offset",
                                    "Regulator window", "Lower hysteresis", "Upper hysteresis"}));
  const RelayRecord r = Relay(image(), 7);
  r.SetNumber(99);  // the table numbers rows by slot, whatever the record holds
  r.Name().SetBytes(QByteArrayView("FAN \xA3\xD3"));
  r.SetTimeType(4);
  r.SetTimeTa(30);
  r.SetTimeTb(65535);
  r.SetRegulatorType(5);
  r.SetChannelWord(0x0E02);
  r.SetRegulatorOffset(-125);
  r.SetRegulatorWindow(255);
  r.SetLowerHysteresis(5);
  r.SetUpperHysteresis(-1);
  const MemprojRow row = MemprojRowOf(s, *session_, 7);
  EXPECT_EQ(row.nr, 7);
  EXPECT_EQ(row.p.size(), 10u);
  EXPECT_FALSE(row.P(10).has_value());  // p10 exists and stays empty
  EXPECT_EQ(row.P(5), 0x0E02);
  EXPECT_EQ(RowTexts(s, row),
            QStringList({"7", QStringLiteral("FAN \u0141\u00D3"), "4", "30", "65535", "5", "2",
                         "14", "-12.5", "25.5", "0.5", "-0.1"}));
}

TEST_F(SectionTableTest, NamesDecodeWithTheCodePage) {
  Relay(image(), 1).Name().SetBytes(QByteArrayView("\xC6\xC0"));
  session_->codePageIndex = 0;
  EXPECT_EQ(MemprojRowOf(RelaySection(), *session_, 1).Nazwa, QStringLiteral("\u0106\u0154"));
  session_->codePageIndex = 1;
  EXPECT_EQ(MemprojRowOf(RelaySection(), *session_, 1).Nazwa, QStringLiteral("\u0416\u0410"));
}

TEST_F(SectionTableTest, AlarmAndSpecialStatusRows) {
  const AlarmRecord a = Alarm(image(), 21);
  a.Name().SetBytes(QByteArrayView("DOOR"));
  a.SetDelayTime(65000);
  a.SetAlarmStatus(7);
  a.SetRelayLogic(2);
  EXPECT_EQ(Titles(AlarmSection()),
            QStringList({"No", "Name", "Delay time", "Alarm status", "Relay logics"}));
  EXPECT_EQ(RowTexts(AlarmSection(), MemprojRowOf(AlarmSection(), *session_, 21)),
            QStringList({"21", "DOOR", "65000", "7", "2"}));

  const SpecialStatusRecord st = SpecialStatus(image(), 6);
  st.Name().SetBytes(QByteArrayView("F4"));
  st.SetSwitchOffTime(-1);
  st.SetRelayLogic(1);
  EXPECT_EQ(Titles(SpecialStatusSection()),
            QStringList({"No", "Name", "Switch-off time", "Relay logics"}));
  EXPECT_EQ(RowTexts(SpecialStatusSection(), MemprojRowOf(SpecialStatusSection(), *session_, 6)),
            QStringList({"6", "F4", "-1", "1"}));
}

TEST_F(SectionTableTest, SectionsPlaceAndFiles) {
  struct Case {
    const SectionDescription* s;
    int count;
    std::size_t offset, recordSize;
    const char* list;
    const char* single;
    SectionId transfer;
  };
  const Case cases[] = {
      {&RelaySection(), 32, 0x1B4B90, 92, "rlq", "", SectionId::Relays},
      {&AlarmSection(), 21, 0x1B5A70, 128, "alq", "a1q", SectionId::Alarms},
      {&SpecialStatusSection(), 6, 0x1B5710, 144, "slq", "s1q", SectionId::SpecialStatuses},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s->title.toStdString());
    EXPECT_EQ(c.s->slotCount, c.count);
    EXPECT_EQ(c.s->recordSize, c.recordSize);
    EXPECT_EQ(c.s->listExtension, QString::fromLatin1(c.list));
    EXPECT_EQ(c.s->editorExtension, QString::fromLatin1(c.single));
    EXPECT_EQ(c.s->transfer, c.transfer);
    const auto region = c.s->region(*session_);
    EXPECT_EQ(region.data(), image().data() + c.offset);
    EXPECT_EQ(region.size(), c.recordSize * static_cast<std::size_t>(c.count));
    // The last slot ends where the region ends; numbers live in the first four bytes.
    const auto last = SectionRecord(*c.s, *session_, c.count);
    EXPECT_EQ(last.data() + last.size(), region.data() + region.size());
    c.s->setNumber(last, 1234);
    EXPECT_EQ(c.s->number(last), 1234);
    EXPECT_EQ(ReadLeS32(last.data()), 1234);
    const std::vector<MemprojRow> rows = FillMemproj(*c.s, *session_);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.count));
    for (int n = 1; n <= c.count; ++n) EXPECT_EQ(rows[static_cast<std::size_t>(n - 1)].nr, n);
  }
}

TEST(ChoiceLists, SizesAndTheTextsRecordsIndex) {
  EXPECT_EQ(MeasurementChannelList().size(), 10);
  EXPECT_EQ(SetValueSourceList().size(), 19);
  EXPECT_EQ(CounterInputList().size(), 11);
  EXPECT_EQ(PidChoiceList().size(), 5);
  EXPECT_EQ(RelayLogicList().size(), 3);
  EXPECT_EQ(AlarmStatusList().size(), 3);
  EXPECT_EQ(CounterInputList().at(3), QStringLiteral("3 - IN 4"));
  EXPECT_EQ(SetValueSourceList().at(14), QStringLiteral("15 - Step preset SP1"));
  // Entries 0 and 2 of the relay logic carry an en dash, entry 1 only hyphens.
  EXPECT_TRUE(RelayLogicList().at(0).contains(QChar(0x2013)));
  EXPECT_FALSE(RelayLogicList().at(1).contains(QChar(0x2013)));
  EXPECT_TRUE(RelayLogicList().at(2).contains(QChar(0x2013)));
  EXPECT_EQ(AlarmStatusList().at(0), QStringLiteral("0 - Alarm disabled !"));
}

TEST(ChoiceLists, TypesAndTheirChannelLists) {
  const struct {
    int type;
    ChannelList list;
    const char* label;
    const char* caption;
  } cases[] = {
      {0, ChannelList::Measurement, "Measurement channel", "Control off"},
      {4, ChannelList::Measurement, "Measurement channel", "Cooling hysteresis"},
      {5, ChannelList::CounterInput, "IN", "Counter"},
      {6, ChannelList::Pid, "PID", "PID"},
      {7, ChannelList::Measurement, "Measurement channel", ""},
      {-1, ChannelList::Measurement, "Measurement channel", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChannelListFor(c.type), c.list) << c.type;
    EXPECT_EQ(ChannelListLabel(ChannelListFor(c.type)), QString::fromLatin1(c.label));
    EXPECT_EQ(RegulatorTypeCaption(c.type), QString::fromLatin1(c.caption));
  }
  EXPECT_EQ(&ChannelListEntries(ChannelList::CounterInput), &CounterInputList());
  EXPECT_EQ(TimeTypeCaption(4), TimeTypeCaption(5));  // told apart only by their pictures
  EXPECT_EQ(TimeTypeCaption(6), QString());
  EXPECT_EQ(TimeTypePickerLabel(5), QStringLiteral("Time type 5"));
  EXPECT_EQ(RegulatorTypePickerLabel(6), QStringLiteral("Algorithm 6"));
}

TEST_F(SectionTableTest, AnalogOutputRowsAndColumns) {
  const SectionDescription& s = AnalogOutputSection();
  EXPECT_EQ(s.title, QStringLiteral("Analog OUT"));
  EXPECT_EQ(s.slotCount, 5);
  EXPECT_EQ(s.recordSize, 264u);
  EXPECT_EQ(s.listExtension, QStringLiteral("aou"));
  EXPECT_FALSE(s.editOnEnter);
  EXPECT_FALSE(s.setNumber);  // no number field
  EXPECT_EQ(Titles(s), QStringList({"No", "Name", "Type", "Measurement channel", "Set value",
                                    "0 V", "10 V", "Stop", "Pause", "PID"}));
  const AnalogOutputRecord r = AnalogOutput(session_->blocks.image, 5);
  r.Name().SetBytes(QByteArray("FAN"));
  r.SetOutputType(2);
  r.SetChannel(65535);
  r.SetSetValue(18);
  r.SetValueAt0V(1);
  r.SetValueAt10V(9999);
  r.SetStopSetValue(3);
  r.SetPauseSetValue(4);
  r.SetSamplePeriod(2.6);
  r.SetFunctionSetValue(4, 44);
  r.SetPidNumber(4);
  const MemprojRow row = MemprojRowOf(s, *session_, 5);
  EXPECT_EQ(RowTexts(s, row), QStringList({"5", "FAN", "2", "65535", "18", "1", "9999", "3",
                                           "4", "4"}));
  EXPECT_EQ(row.P(15), 44);
  EXPECT_EQ(row.Real(8), 2.6);
  EXPECT_FALSE(row.P(8).has_value());
}

TEST_F(SectionTableTest, PidRowsShowXpInPercent) {
  const SectionDescription& s = PidSection();
  EXPECT_EQ(s.title, QStringLiteral("PID"));
  EXPECT_TRUE(s.listExtension.isEmpty());  // no disk buttons
  EXPECT_FALSE(s.editOnEnter);
  EXPECT_EQ(s.region(*session_).data(), session_->blocks.pid.data());
  EXPECT_EQ(Titles(s), QStringList({"No", "Type", "Measurement channel", "Set value", "Tp [s]",
                                    "Xp [%]", "Ti [s]", "Td [s]", "To [ms]"}));
  const std::pair<double, const char*> xp[] = {{125, "12.5"}, {123.4, "12.3"}, {122.5, "12.2"},
                                               {-5, "-0.5"}};
  for (const auto& [stored, shown] : xp) {
    const PidRecord r = Pid(session_->blocks.pid, 2);
    r.SetRegulatorType(1);
    r.SetChannel(3);
    r.SetSetValue(4);
    r.SetSamplePeriod(2.5);
    r.SetProportionalBand(stored);
    r.SetIntegralTime(60);
    r.SetDerivativeTime(0.25);
    r.SetPulsePeriod(1500);
    r.SetFunctionSetValue(1, 7);
    EXPECT_EQ(RowTexts(s, MemprojRowOf(s, *session_, 2)),
              QStringList({"2", "1", "3", "4", "2.5", shown, "60", "0.25", "1500"}));
  }
  EXPECT_EQ(MemprojRowOf(s, *session_, 2).P(12), 7);
  EXPECT_EQ(MemprojRowOf(s, *session_, 2).Real(17), 1500);
}

}  // namespace
}  // namespace qdx
