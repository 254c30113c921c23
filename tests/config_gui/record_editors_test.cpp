// The alarm and special-status editors headless against the emulated controller: what they
// show, what "Save" stores, their bounded fields, their one-record controller and disk
// transfers, and that only "Save" reaches the project.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "config/alarm_editor.h"
#include "config/alarm_list_window.h"
#include "config/special_status_editor.h"
#include "link/alarm_transactions.h"
#include "link/special_status_transactions.h"
#include "support/typing.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

template <typename View>
RecordBytes<View> Copy(View view) {
  return CopyRecord(view);
}

class AlarmEditorTest : public ::testing::TestWithParam<Path>, public WindowFixture {
 protected:
  AlarmEditorTest() : WindowFixture(GetParam()) {
    for (int n = 1; n <= kAlarmCount; ++n) {
      const AlarmRecord a = Alarm(image(), n);
      a.SetNumber(n);
      a.Name().SetBytes(QByteArray("AL ") + QByteArray::number(n));
      a.SetDelayTime(100 + n);
      a.SetAlarmStatus(n % 3);
      a.SetRelayLogic((n + 1) % 3);
      a.Outputs().SetOn(n, true);
    }
  }
};

TEST_P(AlarmEditorTest, OpensOnTheRecordWithRelayNamesAsHints) {
  Relay(image(), 3).Name().SetBytes(QByteArray("PUMP"));
  auto bytes = Copy(Alarm(image(), 5));
  AlarmRecord(bytes.data()).Outputs().data()[7] = 5;  // any non-zero byte counts as on
  TFAlarmy e(*context, bytes);
  e.show();
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Alarm"));
  EXPECT_EQ(e.messageField()->text(), QStringLiteral("AL 5"));
  EXPECT_EQ(e.delayField()->text(), QStringLiteral("105"));
  EXPECT_EQ(e.statusList()->currentText(),
            QStringLiteral("2 - Alarm not interrupting the process"));
  EXPECT_EQ(e.logicList()->currentIndex(), 0);
  EXPECT_EQ(e.outputs()->title(), QStringLiteral("Relay outputs condition"));
  EXPECT_EQ(e.outputs()->Switch(3)->toolTip(), QStringLiteral("PUMP"));
  EXPECT_EQ(e.outputs()->Switch(17)->text(), QStringLiteral("17"));
  EXPECT_GT(e.outputs()->Switch(17)->y(), e.outputs()->Switch(16)->y());  // two rows of 16
  for (int n = 1; n <= 32; ++n) EXPECT_EQ(e.outputs()->Switch(n)->isChecked(), n == 5 || n == 8);
  const char* hints[] = {"Read from controller", "Write to controller", "Read from disk",
                         "Write to disk", "Save"};
  const SectionAction actions[] = {SectionAction::ReadController, SectionAction::WriteController,
                                   SectionAction::ReadDisk, SectionAction::WriteDisk,
                                   SectionAction::Save};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(e.button(actions[i])->toolTip(), hints[i]);
  EXPECT_EQ(e.button(SectionAction::Cancel), nullptr);

  e.OnSave();
  const ConstAlarmRecord saved(e.working().data());
  EXPECT_EQ(saved.Outputs().Raw(8), 1);  // stored as exactly 1
  EXPECT_EQ(saved.Outputs().Raw(9), 0);
}

TEST_P(AlarmEditorTest, StatusOutsideTheListOpensEmptyAndSavesMinusOne) {
  auto bytes = Copy(Alarm(image(), 2));
  AlarmRecord(bytes.data()).SetAlarmStatus(7);
  AlarmRecord(bytes.data()).SetRelayLogic(-4);
  TFAlarmy e(*context, bytes);
  EXPECT_EQ(e.statusList()->currentIndex(), -1);
  EXPECT_EQ(e.statusList()->currentText(), QString());
  EXPECT_EQ(e.logicList()->currentIndex(), -1);
  e.OnSave();
  EXPECT_EQ(ConstAlarmRecord(e.working().data()).AlarmStatus(), -1);
  EXPECT_EQ(ConstAlarmRecord(e.working().data()).RelayLogic(), -1);
  // A chosen entry is stored by its position.
  TFAlarmy f(*context, bytes);
  f.logicList()->setCurrentIndex(2);
  f.statusList()->setCurrentIndex(1);
  f.OnSave();
  EXPECT_EQ(ConstAlarmRecord(f.working().data()).RelayLogic(), 2);
  EXPECT_EQ(ConstAlarmRecord(f.working().data()).AlarmStatus(), 1);
}

TEST_P(AlarmEditorTest, DelayFieldStaysWithinItsBounds) {
  auto bytes = Copy(Alarm(image(), 1));
  TFAlarmy e(*context, bytes);
  const std::pair<const char*, const char*> cases[] = {
      {"70000", "65000"}, {"-3", "0"}, {"", "0"}, {"+40", "40"}, {"65000", "65000"}};
  for (const auto& [typed, shown] : cases) {
    TypeAndLeave(e.delayField(), QString::fromLatin1(typed));
    EXPECT_EQ(e.delayField()->text(), QString::fromLatin1(shown)) << typed;
  }
  // Only digits and signs can be typed.
  e.delayField()->clear();
  e.delayField()->insert(QStringLiteral("12a"));
  EXPECT_EQ(e.delayField()->text(), QString());
  // Not left before "Save": the stored value is still within the bounds.
  TypeInto(e.delayField(), QStringLiteral("99999"));
  e.OnSave();
  EXPECT_EQ(ConstAlarmRecord(e.working().data()).DelayTime(), 65000);
}

TEST_P(AlarmEditorTest, ReadFromControllerOfAlarm13ReadsBlockOneAndTakesItsFirstEntry) {
  ASSERT_TRUE(transfer->WriteList(SectionId::Alarms).completed());
  Alarm(image(), 13).Name().SetBytes(QByteArray("IMAGE"));
  const auto imageBefore = Copy(Alarm(image(), 13));
  auto bytes = Copy(Alarm(image(), 13));
  AlarmRecord(bytes.data()).SetDelayTime(1);
  TFAlarmy e(*context, bytes);
  sent.clear();
  dialogs.ClearRecord();
  e.OnReadFromController();
  EXPECT_EQ(Messages(AlarmBlockReadMessage(1)).size(), 1u);
  EXPECT_EQ(Messages(AlarmBlockReadMessage(1))[0].body, AlarmBlockReadMessage(1).body);
  EXPECT_NE(AlarmBlockReadMessage(1).body, AlarmBlockReadMessage(0).body);
  EXPECT_EQ(e.messageField()->text(), QStringLiteral("AL 13"));
  EXPECT_EQ(e.delayField()->text(), QStringLiteral("113"));
  EXPECT_EQ(ConstAlarmRecord(e.working().data()).Number(), 13);
  EXPECT_EQ(Copy(Alarm(image(), 13)), imageBefore);  // the project is not touched
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_P(AlarmEditorTest, WriteThenCloseBoxLeavesTheProjectWhileTheControllerHasTheRecord) {
  TFListaAlarmow list(*context);
  const auto before = Copy(Alarm(image(), 5));
  list.SetEditRecord([&](std::span<std::uint8_t> copy, QWidget* parent) {
    TFAlarmy e(*context, copy, parent);
    QTimer::singleShot(0, [&] {
      e.messageField()->setText(QStringLiteral("NEW TEXT"));
      e.delayField()->setText(QStringLiteral("7"));
      e.OnWriteToController();
      e.close();
    });
    return e.Edit(copy);
  });
  list.SelectRow(5);
  list.OnEdit();
  EXPECT_EQ(Copy(Alarm(image(), 5)), before);
  EXPECT_EQ(list.memproj()[4].Nazwa, QStringLiteral("AL 5"));
  EXPECT_EQ(dialogs.questions(), QStringList({"Reset device?"}));
  EXPECT_TRUE(session.writePending);

  RecordBytes<AlarmRecord> controller{};
  ASSERT_TRUE(transfer->ReadAlarm(5, AlarmRecord(controller.data())).completed());
  EXPECT_EQ(ConstAlarmRecord(controller.data()).Name().Bytes(), QByteArray("NEW TEXT"));
  EXPECT_EQ(ConstAlarmRecord(controller.data()).DelayTime(), 7);
}

TEST_P(AlarmEditorTest, ButtonsDisabledWhileItsTransferRuns) {
  auto bytes = Copy(Alarm(image(), 3));
  TFAlarmy e(*context, bytes);
  e.show();
  std::vector<bool> enabled;
  bool visible = false;
  progress.onShow = [&](int call) {
    if (call != 1) return;
    for (const auto a : {SectionAction::ReadController, SectionAction::WriteController,
                         SectionAction::ReadDisk, SectionAction::WriteDisk, SectionAction::Save}) {
      enabled.push_back(e.button(a)->isEnabled());
    }
    e.OnSave();
    e.close();
    visible = e.isVisible();
  };
  e.OnReadFromController();
  EXPECT_EQ(enabled, std::vector<bool>(5, false));
  EXPECT_TRUE(visible);
  EXPECT_FALSE(e.saved());
  EXPECT_TRUE(e.button(SectionAction::Save)->isEnabled());
}

TEST_P(AlarmEditorTest, DiskRoundTripKeepsTheAlarmNumber) {
  auto bytes = Copy(Alarm(image(), 9));
  TFAlarmy e(*context, bytes);
  const QString file = TempPath(QStringLiteral("nine.a1q"));
  e.messageField()->setText(QStringLiteral("FROM DISK"));
  dialogs.QueueSaveFileName(file);
  e.OnWriteToDisk();
  EXPECT_EQ(dialogs.shown().back().filter, QStringLiteral("QDX (*.a1q)"));
  EXPECT_EQ(dialogs.shown().back().defaultSuffix, QStringLiteral("a1q"));
  EXPECT_EQ(QFile(file).size(), 128);

  auto other = Copy(Alarm(image(), 2));
  TFAlarmy f(*context, other);
  dialogs.QueueOpenFileName(TempPath(QStringLiteral("missing.a1q")));  // ignored silently
  f.OnReadFromDisk();
  EXPECT_EQ(f.messageField()->text(), QStringLiteral("AL 2"));
  dialogs.QueueOpenFileName(file);
  f.OnReadFromDisk();
  EXPECT_EQ(f.messageField()->text(), QStringLiteral("FROM DISK"));
  EXPECT_EQ(f.delayField()->text(), QStringLiteral("109"));
  EXPECT_EQ(ConstAlarmRecord(f.working().data()).Number(), 2);
  EXPECT_TRUE(dialogs.errors().isEmpty());
  EXPECT_EQ(Copy(Alarm(image(), 2)), other);
}

INSTANTIATE_TEST_SUITE_P(Paths, AlarmEditorTest, ::testing::Values(Path::Direct, Path::Module),
                         [](const ::testing::TestParamInfo<Path>& info) {
                           return std::string(info.param == Path::Module ? "Module" : "Direct");
                         });

// --- special statuses ---

class SpecialStatusEditorTest : public ::testing::TestWithParam<Path>, public WindowFixture {
 protected:
  SpecialStatusEditorTest() : WindowFixture(GetParam()) {
    const char* names[] = {"Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
    for (int n = 1; n <= kSpecialStatusCount; ++n) {
      const SpecialStatusRecord s = SpecialStatus(image(), n);
      s.SetNumber(n);
      s.Name().SetBytes(QByteArray(names[n - 1]));
      s.SetSwitchOffTime(10 * n);
      s.SetRelayLogic(n % 3);
    }
  }
};

TEST_P(SpecialStatusEditorTest, OpensWithTheFixedName) {
  auto bytes = Copy(SpecialStatus(image(), 2));
  TFEdycjastanSpec e(*context, bytes);
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Special statuses"));
  EXPECT_EQ(e.nameLabel()->text(), QStringLiteral("Pause mode"));
  EXPECT_EQ(e.switchOffField()->text(), QStringLiteral("20"));
  EXPECT_EQ(e.logicList()->currentText(),
            QStringLiteral("2 - logic product of indicated relays and outputs \u2013 an output "
                           "switching off"));
  EXPECT_EQ(e.findChildren<QLineEdit*>().size(), 1);  // only the switch-off time is typed
}

TEST_P(SpecialStatusEditorTest, ReadOfF2TakesEntryThreeAndKeepsItsName) {
  ASSERT_TRUE(transfer->WriteList(SectionId::SpecialStatuses).completed());
  auto bytes = Copy(SpecialStatus(image(), 4));
  SpecialStatusRecord(bytes.data()).SetSwitchOffTime(0);
  TFEdycjastanSpec e(*context, bytes);
  sent.clear();
  e.OnReadFromController();
  EXPECT_EQ(Messages(SpecialStatusesReadMessage()).size(), 1u);
  EXPECT_EQ(e.switchOffField()->text(), QStringLiteral("40"));
  EXPECT_EQ(e.nameLabel()->text(), QStringLiteral("F2"));
  EXPECT_EQ(ConstSpecialStatusRecord(e.working().data()).Number(), 4);
}

TEST_P(SpecialStatusEditorTest, SwitchOffFieldStaysWithinWhatTheLinkCarries) {
  auto bytes = Copy(SpecialStatus(image(), 1));
  TFEdycjastanSpec e(*context, bytes);
  const std::pair<const char*, const char*> cases[] = {
      {"-5", "-1"}, {"65001", "32767"}, {"40000", "32767"}, {"-1", "-1"}, {"", "0"}};
  for (const auto& [typed, shown] : cases) {
    TypeAndLeave(e.switchOffField(), QString::fromLatin1(typed));
    EXPECT_EQ(e.switchOffField()->text(), QString::fromLatin1(shown)) << typed;
  }
  e.switchOffField()->setText(QStringLiteral("32767"));
  e.OnSave();
  EXPECT_EQ(ConstSpecialStatusRecord(e.working().data()).SwitchOffTime(), 32767);
}

TEST_P(SpecialStatusEditorTest, WriteSendsTheOneStatusAndLeavesTheProject) {
  const auto before = Copy(SpecialStatus(image(), 3));
  auto bytes = before;
  TFEdycjastanSpec e(*context, bytes);
  e.switchOffField()->setText(QStringLiteral("-1"));
  e.outputs()->Switch(32)->setChecked(true);
  e.OnWriteToController();
  EXPECT_EQ(Copy(SpecialStatus(image(), 3)), before);
  EXPECT_EQ(dialogs.questions(), QStringList({"Reset device?"}));
  RecordBytes<SpecialStatusRecord> controller = before;
  ASSERT_TRUE(transfer->ReadSpecialStatus(3, SpecialStatusRecord(controller.data())).completed());
  EXPECT_EQ(ConstSpecialStatusRecord(controller.data()).SwitchOffTime(), -1);
  EXPECT_TRUE(ConstSpecialStatusRecord(controller.data()).Outputs().IsOn(32));
}

TEST_P(SpecialStatusEditorTest, DiskReadTakesTheNameFromTheFileButKeepsTheNumber) {
  auto stop = Copy(SpecialStatus(image(), 1));
  TFEdycjastanSpec saver(*context, stop);
  const QString file = TempPath(QStringLiteral("stop.s1q"));
  dialogs.QueueSaveFileName(file);
  saver.OnWriteToDisk();
  ASSERT_EQ(QFile(file).size(), 144);

  auto f1 = Copy(SpecialStatus(image(), 3));
  TFEdycjastanSpec e(*context, f1);
  dialogs.QueueOpenFileName(file);
  e.OnReadFromDisk();
  EXPECT_EQ(e.nameLabel()->text(), QStringLiteral("Stop mode"));
  EXPECT_EQ(e.switchOffField()->text(), QStringLiteral("10"));
  e.OnSave();
  EXPECT_EQ(ConstSpecialStatusRecord(e.working().data()).Number(), 3);
  EXPECT_EQ(ConstSpecialStatusRecord(e.working().data()).Name().Bytes(), QByteArray("Stop mode"));
}

TEST_P(SpecialStatusEditorTest, SavedNameLosesPolishDiacriticsOnly) {
  auto bytes = Copy(SpecialStatus(image(), 2));
  SpecialStatusRecord(bytes.data()).Name().SetBytes(QByteArray("Pauza \xA3\xB9"));
  TFEdycjastanSpec e(*context, bytes);
  EXPECT_EQ(e.nameLabel()->text(), QStringLiteral("Pauza \u0141\u0105"));
  e.OnSave();
  EXPECT_EQ(ConstSpecialStatusRecord(e.working().data()).Name().Bytes(), QByteArray("Pauza La"));
}

INSTANTIATE_TEST_SUITE_P(Paths, SpecialStatusEditorTest,
                         ::testing::Values(Path::Direct, Path::Module),
                         [](const ::testing::TestParamInfo<Path>& info) {
                           return std::string(info.param == Path::Module ? "Module" : "Direct");
                         });

}  // namespace
}  // namespace qdx::test
