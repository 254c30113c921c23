// The process list window over either set and the process editor, headless against the
// emulated controller: each window stays on its set, the reserved bytes after a list read,
// the renumbering of both sets, the outputs and presets the editor stores.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTableView>
#include <QToolButton>

#include "config/choice_lists.h"
#include "config/process_editor.h"
#include "config/process_list_window.h"
#include "link/process_transactions.h"
#include "support/typing.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

ProcessSet Other(ProcessSet set) {
  return set == ProcessSet::Normal ? ProcessSet::Washing : ProcessSet::Normal;
}

std::span<std::uint8_t> SetBytes(ProjectImage& image, ProcessSet set) {
  return {Process(image, set, 1).data(), std::size_t(kProcessCount) * ProcessRecord::kSize};
}

class ProcessWindows : public ::testing::TestWithParam<ProcessSet>, public WindowFixture {
 protected:
  ProcessWindows() {
    for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
      for (int n = 1; n <= kProcessCount; ++n) {
        const ProcessRecord p = Process(image(), set, n);
        p.SetNumber(n);
        p.Name().SetBytes((set == ProcessSet::Washing ? QByteArray("W") : QByteArray("N")) +
                          QByteArray::number(n));
        p.SetStepEndCondition(n);
        p.SetPreset(2, static_cast<std::int16_t>(-n));
      }
    }
  }
  ProcessSet set() const { return GetParam(); }
  bool washing() const { return set() == ProcessSet::Washing; }
};

TEST_P(ProcessWindows, ListShowsItsSetAndItsDiskActionsKeepToIt) {
  TfListakrokow w(*context, set());
  EXPECT_EQ(w.windowTitle(), washing() ? QStringLiteral("Processes WASHING")
                                       : QStringLiteral("Processes"));
  ASSERT_EQ(w.grid()->model()->rowCount(), 16);
  ASSERT_EQ(w.grid()->model()->columnCount(), 2);
  EXPECT_EQ(w.grid()->model()->index(8, 1).data().toString(),
            washing() ? QStringLiteral("W9") : QStringLiteral("N9"));

  const QString file = TempPath(QStringLiteral("set.klq"));
  dialogs.QueueSaveFileName(file);
  w.OnWriteToDisk();
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const std::span<std::uint8_t> mine = SetBytes(image(), set());
  EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char*>(mine.data()), qsizetype(mine.size())));
  EXPECT_EQ(dialogs.shown().back().defaultSuffix, QStringLiteral("klq"));

  const std::span<std::uint8_t> other = SetBytes(image(), Other(set()));
  const std::vector<std::uint8_t> otherBefore(other.begin(), other.end());
  Process(image(), set(), 4).Name().SetBytes(QByteArray("CHANGED"));
  dialogs.QueueOpenFileName(file);
  w.OnReadFromDisk();
  EXPECT_EQ(ConstProcessRecord(Process(image(), set(), 4)).Name().Bytes(),
            washing() ? QByteArray("W4") : QByteArray("N4"));
  EXPECT_TRUE(std::equal(other.begin(), other.end(), otherBefore.begin()));
}

TEST_P(ProcessWindows, ListReadFromControllerLeavesTheReservedBytesZero) {
  for (std::uint8_t& b : SetBytes(image(), set())) b = 0xAA;
  TfListakrokow w(*context, set());
  w.OnReadFromController();
  for (int n = 1; n <= kProcessCount; ++n) {
    const std::uint8_t* p = Process(image(), set(), n).data();
    for (int i = 72; i < 104; ++i) ASSERT_EQ(p[i], 0) << n << " " << i;
    for (int i = 114; i < 120; ++i) ASSERT_EQ(p[i], 0) << n << " " << i;
  }
  EXPECT_FALSE(Messages(ProcessBlockReadMessage(set(), 1)).empty());
  EXPECT_TRUE(Messages(ProcessBlockReadMessage(Other(set()), 0)).empty());
}

TEST_P(ProcessWindows, ListWriteRenumbersBothSets) {
  for (const ProcessSet s : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int n = 1; n <= kProcessCount; ++n) Process(image(), s, n).SetNumber(0);
  }
  TfListakrokow w(*context, set());
  w.OnWriteToController();
  for (const ProcessSet s : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int n = 1; n <= kProcessCount; ++n) EXPECT_EQ(Process(image(), s, n).Number(), n);
  }
}

TEST_P(ProcessWindows, EditorShowsTheRecordAndStoresOutputsAndPresets) {
  Relay(image(), 32).Name().SetBytes(QByteArray("FAN"));
  auto bytes = CopyRecord(ConstProcessRecord(Process(image(), set(), 5)));
  TFStanPrzekaznikow e(*context, set(), bytes);
  EXPECT_EQ(e.windowTitle(), washing()
                                 ? QStringLiteral("Manufacturing processes parameters WASHING")
                                 : QStringLiteral("Manufacturing processes parameters"));
  EXPECT_EQ(e.nameField()->text(), washing() ? QStringLiteral("W5") : QStringLiteral("N5"));
  EXPECT_EQ(e.endConditionList()->count(), 25);
  EXPECT_EQ(e.endConditionList()->currentText(), StepEndConditionList()[5]);
  EXPECT_EQ(e.presetField(2)->text(), QStringLiteral("-5"));
  EXPECT_EQ(e.outputs()->Switch(32)->toolTip(), QStringLiteral("FAN"));

  e.outputs()->Switch(1)->setChecked(true);
  e.outputs()->Switch(32)->setChecked(true);
  TypeInto(e.presetField(1), QStringLiteral("-32768"));
  TypeInto(e.presetField(5), QStringLiteral("32767"));
  e.OnSave();
  ASSERT_TRUE(e.saved());
  const ConstProcessRecord saved(e.working().data());
  EXPECT_EQ(saved.data()[40], 1);
  EXPECT_EQ(saved.data()[71], 1);
  for (int i = 41; i < 71; ++i) EXPECT_EQ(saved.data()[i], 0) << i;
  EXPECT_EQ(saved.Preset(1), -32768);
  EXPECT_EQ(saved.Preset(5), 32767);
}

// A preset that does not fit 16 bits is refused with the range message, never stored.
TEST_P(ProcessWindows, EditorRefusesAPresetOutsideSixteenBits) {
  auto bytes = CopyRecord(ConstProcessRecord(Process(image(), set(), 2)));
  TFStanPrzekaznikow e(*context, set(), bytes);
  for (const char* typed : {"32768", "-32769", "99999999999"}) {
    dialogs.ClearRecord();
    TypeAndLeave(e.presetField(3), QString::fromUtf8(typed));
    e.OnSave();
    EXPECT_FALSE(e.saved()) << typed;
    ASSERT_EQ(dialogs.messages().size(), 1) << typed;
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Wrong parameter range ! ")));
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("SP3")));
    EXPECT_EQ(ConstProcessRecord(e.working().data()).Preset(3), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, ProcessWindows,
                         ::testing::Values(ProcessSet::Normal, ProcessSet::Washing),
                         [](const ::testing::TestParamInfo<ProcessSet>& info) {
                           return info.param == ProcessSet::Washing ? "Washing" : "Normal";
                         });

// Washing process 9: "Read from controller" reads body block 1 of the washing set and takes
// its first entry; the project is untouched until "Save".
TEST(ProcessEditor, WashingProcessNineReadsBodyBlockOne) {
  WindowFixture f;
  f.emulator.Memory().sections.bodies[1].replace(8 * 19, 14, QByteArray("WASH 9        "));
  const ProcessRecord nine = Process(f.image(), ProcessSet::Washing, 9);
  nine.SetNumber(9);
  auto bytes = CopyRecord(ConstProcessRecord(nine));
  TFStanPrzekaznikow e(*f.context, ProcessSet::Washing, bytes);
  QTest::mouseClick(e.button(SectionAction::ReadController), Qt::LeftButton);
  const auto reads = f.Messages(ProcessBlockReadMessage(ProcessSet::Washing, 1));
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].body, QByteArray(1, '\1'));
  EXPECT_EQ(e.nameField()->text(), QStringLiteral("WASH 9"));
  EXPECT_EQ(ConstProcessRecord(nine).Name().Bytes(), QByteArray());
}

}  // namespace
}  // namespace qdx::test
