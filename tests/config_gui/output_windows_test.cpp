// The analog-output and PID windows headless against the emulated controller: what the lists
// and editors show, what "Save" stores (whole numbers, Xp in tenths, drop-down codes outside
// their lists kept), the bytes the windows do not show, the ".aou" file, the analog-output
// layout by program version and the refused writes on both paths.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "config/analog_output_editor.h"
#include "config/analog_output_list_window.h"
#include "config/pid_editor.h"
#include "config/pid_list_window.h"
#include "files/project_files.h"
#include "link/analog_output_transactions.h"
#include "link/pid_transactions.h"
#include "link/setup_transactions.h"
#include "support/typing.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

QString CellText(const SectionListWindow& w, int row, int column) {
  return w.grid()->model()->index(row, column).data().toString();
}

Bytes Fill(std::span<std::uint8_t> record, std::uint8_t seed) {
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(seed + i);
  return Bytes(record.begin(), record.end());
}

class OutputWindows : public ::testing::TestWithParam<Path>, public WindowFixture {
 protected:
  OutputWindows() : WindowFixture(GetParam()) {}
  PidTable& pids() { return session.blocks.pid; }
};

// --- analog outputs ---

TEST_P(OutputWindows, AnalogListShowsFiveOutputsAndEditsByButtonOrDoubleClickOnly) {
  const AnalogOutputRecord out = AnalogOutput(image(), 3);
  out.Name().SetBytes(QByteArray("HEATER"));
  out.SetOutputType(2);
  out.SetStopSetValue(120);
  out.SetPidNumber(4);
  TfListaWyjAnal w(*context);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Analog OUT"));
  EXPECT_EQ(w.grid()->model()->rowCount(), 5);
  EXPECT_EQ(w.grid()->model()->columnCount(), 10);
  EXPECT_EQ(CellText(w, 2, 1), QStringLiteral("HEATER"));
  EXPECT_EQ(CellText(w, 2, 7), QStringLiteral("120"));
  EXPECT_EQ(CellText(w, 2, 9), QStringLiteral("4"));
  for (const auto a : {SectionAction::ReadDisk, SectionAction::WriteDisk}) {
    EXPECT_NE(w.button(a), nullptr);
  }

  std::vector<int> edited;
  w.SetEditRecord([&](std::span<std::uint8_t> copy, QWidget*) {
    edited.push_back(ConstAnalogOutputRecord(copy.data()).StopSetValue());
    AnalogOutputRecord(copy.data()).SetPauseSetValue(77);
    return true;
  });
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.SelectRow(3);
  QTest::keyClick(w.grid(), Qt::Key_Return);
  EXPECT_TRUE(edited.empty());  // not by Enter
  w.button(SectionAction::Edit)->click();
  const QPoint cell = w.grid()->visualRect(w.grid()->model()->index(1, 2)).center();
  QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
  QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
  EXPECT_EQ(edited, std::vector<int>({120, 0}));
  EXPECT_EQ(AnalogOutput(image(), 3).PauseSetValue(), 77);
  EXPECT_EQ(AnalogOutput(image(), 2).PauseSetValue(), 77);
  EXPECT_EQ(CellText(w, 2, 8), QStringLiteral("77"));
  QTest::keyClick(w.grid(), Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

TEST_P(OutputWindows, AnalogFileOfSevenRecordsFillsTheFiveOutputs) {
  const std::size_t size = AnalogOutputRecord::kSize;
  image().Fill(0x33);
  const ProjectImage before = image();
  QFile f(TempPath(QStringLiteral("seven.aou")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  for (int n = 1; n <= 7; ++n) f.write(QByteArray(static_cast<qsizetype>(size), char(n)));
  f.close();
  TfListaWyjAnal w(*context);
  dialogs.QueueOpenFileName(f.fileName());
  w.OnReadFromDisk();
  for (int n = 1; n <= kAnalogOutputCount; ++n) {
    EXPECT_EQ(AnalogOutput(image(), n).data()[size - 1], n) << n;
  }
  const std::size_t end = image::kAnalogOutputsOffset + 5 * size;
  EXPECT_TRUE(std::equal(image().data(), image().data() + image::kAnalogOutputsOffset,
                         before.data()));
  EXPECT_EQ(end, image::kSize);  // the fifth output ends the image

  dialogs.QueueSaveFileName(TempPath(QStringLiteral("five.aou")));
  w.OnWriteToDisk();
  EXPECT_EQ(dialogs.shown().back().filter, QStringLiteral("QDX (*.aou)"));
  EXPECT_EQ(QFile(TempPath(QStringLiteral("five.aou"))).size(), 1320);
}

TEST_P(OutputWindows, AnalogLayoutFollowsTheProgramVersion) {
  for (const std::int16_t version : {599, 600}) {
    emulator.SetProgramVersion(version);
    AnalogOutput(image(), 2).SetStopSetValue(9999);
    AnalogOutput(image(), 2).SetSamplePeriod(4);  // travels in the older layout only
    TfListaWyjAnal w(*context);
    sent.clear();
    w.OnWriteToController();
    InnerMessage write = AnalogOutputsReadMessage();
    write.classLetter = kClassWrite;
    ASSERT_EQ(Messages(write).size(), 1u) << version;
    EXPECT_EQ(Messages(write)[0].posted, GetParam() == Path::Module);
    EXPECT_EQ(Messages(write)[0].body.size(), 1 + 5 * (version < 600 ? 49 : 34)) << version;

    AnalogOutput(image(), 2).SetStopSetValue(0);
    w.OnReadFromController();
    EXPECT_FALSE(Messages(ReadSetupMessage()).empty());  // the setup first, for the version
    EXPECT_EQ(CellText(w, 1, 7), QStringLiteral("9999")) << version;
    EXPECT_EQ(AnalogOutput(image(), 2).SamplePeriod(), version < 600 ? 4.0 : 0.0) << version;
  }
}

TEST_P(OutputWindows, WritesTheWireCannotCarryAreRefusedBeforeTheFirstByte) {
  AnalogOutput(image(), 4).SetPauseSetValue(70000);
  TfListaWyjAnal analog(*context);
  analog.OnWriteToController();
  ASSERT_EQ(dialogs.messages().size(), 1);
  EXPECT_EQ(dialogs.messages()[0],
            InvalidValueMessage(ValidateAnalogOutputs(image(), AnalogOutputLayout::Current).at(0)));
  EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Analog output 4")));

  Pid(pids(), 5).SetIntegralTime(1e12);
  Tflistapid pid(*context);
  sent.clear();
  pid.OnWriteToController();
  ASSERT_EQ(dialogs.messages().size(), 2);
  EXPECT_EQ(dialogs.messages()[1],
            InvalidValueMessage(ValidatePidRegulators(pids().bytes()).at(0)));
  InnerMessage write = PidRegulatorsReadMessage();
  write.classLetter = kClassWrite;
  EXPECT_TRUE(Messages(write).empty());
}

TEST_P(OutputWindows, ZeroOutputOpensOnTheFirstEntries) {
  Bytes zero(AnalogOutputRecord::kSize, 0);
  TFkonfigwyjsc e(*context, zero);
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Analog OUT"));
  EXPECT_EQ(e.typeList()->currentText(), QStringLiteral("0- Switched OFF"));
  EXPECT_EQ(e.channelList()->currentIndex(), 0);
  EXPECT_EQ(e.setValueList()->currentIndex(), 0);
  EXPECT_EQ(e.pidList()->currentText(), QStringLiteral("0. PID 1"));
  EXPECT_EQ(e.pidList()->count(), 5);
  for (int i = 0; i < TFkonfigwyjsc::kValueCount; ++i) EXPECT_EQ(e.valueField(i)->text(), "0");
  EXPECT_TRUE(e.loopGroup()->isHidden());
  EXPECT_NE(e.button(SectionAction::Cancel), nullptr);
  EXPECT_EQ(e.button(SectionAction::ReadController), nullptr);
  EXPECT_EQ(e.button(SectionAction::ReadDisk), nullptr);
}

TEST_P(OutputWindows, AnalogValuesArePulledIntoTheirBounds) {
  Bytes record(AnalogOutputRecord::kSize, 0);
  TFkonfigwyjsc e(*context, record);
  const std::pair<const char*, const char*> left[] = {
      {"12000", "9999"}, {"-5", "0"}, {"", "0"}, {"+40", "40"}};
  for (const auto& [typed, shown] : left) {
    TypeAndLeave(e.valueField(3), QString::fromLatin1(typed));
    EXPECT_EQ(e.valueField(3)->text(), QString::fromLatin1(shown)) << typed;
  }
  TypeInto(e.valueField(0), QStringLiteral("-5"));  // not left before "Save"
  TypeInto(e.valueField(7), QStringLiteral("12000"));
  e.OnSave();
  const ConstAnalogOutputRecord saved(e.working().data());
  EXPECT_EQ(saved.ValueAt0V(), 0);
  EXPECT_EQ(saved.FunctionSetValue(4), 9999);

  // A stored value beyond the bounds is shown as it is and refused until corrected.
  AnalogOutputRecord(record.data()).SetValueAt10V(12000);
  TFkonfigwyjsc f(*context, record);
  EXPECT_EQ(f.valueField(1)->text(), QStringLiteral("12000"));
  f.OnSave();
  EXPECT_FALSE(f.saved());
  EXPECT_EQ(dialogs.messages(),
            QStringList({"Wrong parameter range ! Value for 10 V (20 mA) < 0..9999"}));
}

TEST_P(OutputWindows, AnalogSaveRoundsTheHiddenPeriodAndKeepsWhatItDoesNotShow) {
  Bytes copy(AnalogOutputRecord::kSize);
  Fill(copy, 9);  // padding and reserved bytes hold something
  const AnalogOutputRecord out(copy.data());
  out.Name().SetBytes(QByteArray(60, 'N') + "\xA3");  // longer than 14, with a Polish letter
  out.SetOutputType(65535);
  out.SetChannel(65535);
  out.SetSetValue(19);
  out.SetPidNumber(255);
  out.SetSamplePeriod(2.6);
  out.SetGain(0.1);
  out.SetIntegralTime(1.0 / 3.0);
  out.SetDerivativeTime(-7.25);
  for (const auto set : {&AnalogOutputRecord::SetValueAt0V, &AnalogOutputRecord::SetValueAt10V,
                         &AnalogOutputRecord::SetStopSetValue,
                         &AnalogOutputRecord::SetPauseSetValue}) {
    (out.*set)(5);
  }
  for (int k = 1; k <= 4; ++k) out.SetFunctionSetValue(k, k);

  TFkonfigwyjsc e(*context, copy);
  for (QComboBox* box : {e.typeList(), e.channelList(), e.setValueList(), e.pidList()}) {
    EXPECT_EQ(box->currentIndex(), -1);
  }
  e.OnSave();
  ASSERT_TRUE(e.saved());
  Bytes expected = copy;
  AnalogOutputRecord(expected.data()).SetSamplePeriod(3);  // the only change
  EXPECT_EQ(Bytes(e.working().begin(), e.working().end()), expected);

  TFkonfigwyjsc f(*context, copy);
  f.typeList()->setCurrentIndex(2);
  f.pidList()->setCurrentIndex(3);
  f.nameField()->selectAll();
  f.nameField()->insert(QStringLiteral("Pompa \u0141"));  // as typed: the field raises it
  f.OnSave();
  const ConstAnalogOutputRecord saved(f.working().data());
  EXPECT_EQ(saved.OutputType(), 2);
  EXPECT_EQ(saved.PidNumber(), 3);
  EXPECT_EQ(saved.Channel(), 65535);
  EXPECT_EQ(saved.Name().Bytes(), QByteArray("POMPA \xA3"));  // no letter folding
}

// --- PID regulators ---

TEST_P(OutputWindows, PidListHasNoDiskButtonsAndEscClosesIt) {
  Pid(pids(), 4).SetProportionalBand(125);
  Pid(pids(), 4).SetSamplePeriod(2.5);
  Tflistapid w(*context);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("PID"));
  EXPECT_EQ(w.grid()->model()->columnCount(), 9);
  EXPECT_EQ(CellText(w, 3, 5), QStringLiteral("12.5"));
  EXPECT_EQ(CellText(w, 3, 4), QStringLiteral("2.5"));
  EXPECT_EQ(w.button(SectionAction::ReadDisk), nullptr);
  EXPECT_EQ(w.button(SectionAction::WriteDisk), nullptr);
  for (const auto a : {SectionAction::ReadController, SectionAction::WriteController,
                       SectionAction::Edit, SectionAction::Save}) {
    EXPECT_NE(w.button(a), nullptr);
  }
  int edits = 0;
  w.SetEditRecord([&](std::span<std::uint8_t>, QWidget*) { return ++edits, false; });
  w.show();
  QTest::keyClick(w.grid(), Qt::Key_Return);
  EXPECT_EQ(edits, 0);
  QTest::keyClick(w.grid(), Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

TEST_P(OutputWindows, PidTableTravelsAsOneBlock) {
  Pid(pids(), 3).SetProportionalBand(125);
  Pid(pids(), 3).SetRegulatorType(1);
  Tflistapid w(*context);
  w.OnWriteToController();
  InnerMessage write = PidRegulatorsReadMessage();
  write.classLetter = kClassWrite;
  ASSERT_EQ(Messages(write).size(), 1u);
  EXPECT_EQ(Messages(write)[0].posted, GetParam() == Path::Module);
  Pid(pids(), 3).SetProportionalBand(0);
  w.OnReadFromController();
  EXPECT_EQ(Messages(PidRegulatorsReadMessage()).size(), 1u);
  EXPECT_EQ(CellText(w, 2, 5), QStringLiteral("12.5"));
  EXPECT_EQ(CellText(w, 2, 1), QStringLiteral("1"));
  EXPECT_EQ(dialogs.questions(), QStringList({"Reset device?"}));
}

TEST_P(OutputWindows, PidXpGoesInTenthsHalfToEven) {
  const std::pair<const char*, double> cases[] = {
      {"12.5", 125}, {"12.25", 122}, {"12.75", 128}, {"0.35", 4}, {"-1", -10}};
  Tflistapid list(*context);
  for (const auto& [typed, stored] : cases) {
    list.SetEditRecord([&](std::span<std::uint8_t> copy, QWidget* parent) {
      TFUstawPID e(*context, copy, parent);
      TypeInto(e.xpField(), QString::fromLatin1(typed));
      e.OnSave();
      std::copy(e.working().begin(), e.working().end(), copy.begin());
      return e.saved();
    });
    list.SelectRow(2);
    list.OnEdit();
    EXPECT_EQ(Pid(pids(), 2).ProportionalBand(), stored) << typed;
  }
  EXPECT_EQ(CellText(list, 1, 5), QStringLiteral("-1.0"));
}

TEST_P(OutputWindows, PidEditorShowsAndStoresItsFields) {
  Bytes record(PidRecord::kSize, 0);
  const PidRecord r(record.data());
  r.SetRegulatorType(1);
  r.SetChannel(2);
  r.SetSetValue(65535);
  r.SetSamplePeriod(2.5);
  r.SetProportionalBand(123.4);
  r.SetIntegralTime(0.1);
  r.SetPulsePeriod(1500);
  TFUstawPID e(*context, record);
  EXPECT_EQ(e.windowTitle(), QStringLiteral("PID"));
  EXPECT_EQ(e.typeList()->currentText(), QStringLiteral("1 - Cooling"));
  EXPECT_EQ(e.channelList()->currentIndex(), 2);
  EXPECT_EQ(e.setValueList()->currentIndex(), -1);
  EXPECT_EQ(e.tpField()->text(), QStringLiteral("2"));
  EXPECT_EQ(e.xpField()->text(), QStringLiteral("12.34"));
  EXPECT_EQ(e.tiField()->text(), QStringLiteral("0.1"));
  EXPECT_EQ(e.toField()->text(), QStringLiteral("1500"));

  TypeAndLeave(e.tpField(), QStringLiteral("12000"));
  EXPECT_EQ(e.tpField()->text(), QStringLiteral("9999"));
  TypeAndLeave(e.tdField(), QStringLiteral("1.2.3"));
  EXPECT_EQ(dialogs.messages(), QStringList({"This\u00A0is not numeric format"}));
  e.OnSave();
  EXPECT_FALSE(e.saved());  // not stored as 0
  TypeInto(e.tdField(), QStringLiteral("2.75"));
  e.OnSave();
  ASSERT_TRUE(e.saved());
  const ConstPidRecord saved(e.working().data());
  EXPECT_EQ(saved.SamplePeriod(), 9999);
  EXPECT_EQ(saved.ProportionalBand(), 123);  // untouched 12.34 % still goes whole
  EXPECT_EQ(saved.IntegralTime(), 0.1);
  EXPECT_EQ(saved.DerivativeTime(), 2.75);
  EXPECT_EQ(saved.SetValue(), 65535);
  EXPECT_EQ(saved.RegulatorType(), 1);

  TFUstawPID f(*context, record);
  f.OnSave();
  EXPECT_EQ(ConstPidRecord(f.working().data()).SamplePeriod(), 2);  // 2.5 goes to the even 2
}

TEST_P(OutputWindows, PidEditsKeepTheBytesTheyDoNotShow) {
  const Bytes original =
      Fill(std::span<std::uint8_t>(Pid(pids(), 1).data(), PidRecord::kSize), 40);
  Tflistapid list(*context);
  list.SetEditRecord([&](std::span<std::uint8_t> copy, QWidget* parent) {
    TFUstawPID e(*context, copy, parent);
    e.typeList()->setCurrentIndex(0);
    TypeInto(e.toField(), QStringLiteral("250"));
    e.OnSave();
    std::copy(e.working().begin(), e.working().end(), copy.begin());
    return e.saved();
  });
  for (int i = 0; i < 3; ++i) list.OnEdit();
  const std::uint8_t* now = Pid(pids(), 1).data();
  EXPECT_TRUE(std::equal(original.begin(), original.begin() + 102, now));  // the name
  EXPECT_TRUE(std::equal(original.begin() + 108, original.begin() + 128, now + 108));
  EXPECT_TRUE(std::equal(original.begin() + 168, original.end(), now + 168));
  EXPECT_EQ(ConstPidRecord(now).PulsePeriod(), 250);
  EXPECT_EQ(ConstPidRecord(now).RegulatorType(), 0);
}

TEST_P(OutputWindows, ProjectWithoutPidFileKeepsTheRegulatorsLoadedBefore) {
  Pid(pids(), 5).SetIntegralTime(42);
  const QString file = TempPath(QStringLiteral("p.qd3"));
  ASSERT_TRUE(SaveProjectFile(session.blocks, file));
  Pid(pids(), 5).SetIntegralTime(7);
  ASSERT_TRUE(SaveProjectFile(session.blocks, TempPath(QStringLiteral("q.qd3"))));
  ASSERT_TRUE(QFile::remove(TempPath(QStringLiteral("q.qd3pid"))));
  ASSERT_TRUE(LoadProjectFile(session.blocks, file));
  ASSERT_TRUE(LoadProjectFile(session.blocks, TempPath(QStringLiteral("q.qd3"))));
  Tflistapid w(*context);
  EXPECT_EQ(CellText(w, 4, 6), QStringLiteral("42"));
}

TEST_P(OutputWindows, MainWindowEntriesShowTheListsModally) {
  const std::pair<void (*)(SectionWindowContext&, QWidget*), const char*> entries[] = {
      {OpenAnalogOutputList, "Analog OUT"}, {OpenPidList, "PID"}};
  for (const auto& [open, title] : entries) {
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* w = qobject_cast<SectionListWindow*>(QApplication::activeModalWidget());
      ASSERT_NE(w, nullptr);
      shown = w->windowTitle();
      EXPECT_EQ(w->memproj().size(), 5u);
      w->OnSave();
    });
    open(*context, nullptr);
    EXPECT_EQ(shown, QString::fromLatin1(title));
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, OutputWindows, ::testing::Values(Path::Direct, Path::Module),
                         [](const ::testing::TestParamInfo<Path>& info) {
                           return std::string(info.param == Path::Module ? "Module" : "Direct");
                         });

}  // namespace
}  // namespace qdx::test
