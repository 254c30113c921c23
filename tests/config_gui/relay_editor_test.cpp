// The relay editor and its two pickers, headless: what it shows for a record, the channel
// lists switching with the regulator type, the checks of the four value fields, the word at
// offset 52, names, and that nothing reaches the caller's relay unless "Save" is pressed.
#include "config/relay_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "config/relay_type_dialog.h"
#include "support/typing.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

using Bytes = RecordBytes<RelayRecord>;

class RelayEditorTest : public ::testing::Test, public WindowFixture {
 protected:
  RelayEditorTest() {
    const RelayRecord r(record_.data());
    r.SetNumber(7);
    r.Name().SetBytes(QByteArray("FAN"));
    r.SetTimeType(4);
    r.SetTimeTa(30);
    r.SetTimeTb(90);
    r.SetRegulatorType(5);
    r.SetChannelWord(2 * 256 + 3);  // set value entry 2, channel entry 3
    r.SetRegulatorOffset(-125);
    r.SetRegulatorWindow(255);
    r.SetLowerHysteresis(5);
    r.SetUpperHysteresis(15);
    // Bytes the editor does not own.
    record_[35] = 0xA5;
    for (std::size_t i = 56; i < 60; ++i) record_[i] = 0x5A;
    for (std::size_t i = 76; i < 92; ++i) record_[i] = static_cast<std::uint8_t>(i);
  }

  std::unique_ptr<TFEditParPrzek> Open() {
    auto e = std::make_unique<TFEditParPrzek>(*context, record_);
    e->SetPickers([this](int current, QWidget*) { return Pick(timePicks_, current); },
                  [this](int current, QWidget*) { return Pick(regulatorPicks_, current); });
    return e;
  }
  // Saves and returns what the editor handed back.
  Bytes SaveAndCollect(TFEditParPrzek& e) {
    e.OnSave();
    EXPECT_TRUE(e.saved());
    Bytes out{};
    std::copy(e.working().begin(), e.working().end(), out.begin());
    return out;
  }
  std::optional<int> Pick(std::vector<std::optional<int>>& picks, int current) {
    seenCurrent_.push_back(current);
    if (picks.empty()) return std::nullopt;
    const auto p = picks.front();
    picks.erase(picks.begin());
    return p;
  }

  Bytes record_{};
  std::vector<std::optional<int>> timePicks_;
  std::vector<std::optional<int>> regulatorPicks_;
  std::vector<int> seenCurrent_;
};

TEST_F(RelayEditorTest, OpensOnTheRecord) {
  auto e = Open();
  EXPECT_EQ(e->windowTitle(), QStringLiteral("Editing relay parameters"));
  EXPECT_EQ(e->relayGroup()->title(), QStringLiteral("Relay No. 7"));
  EXPECT_EQ(e->nameField()->text(), QStringLiteral("FAN"));
  EXPECT_EQ(e->timeTypeButton()->text(), QStringLiteral("Pulse generator"));
  EXPECT_EQ(e->taField()->value(), 30);
  EXPECT_EQ(e->tbField()->value(), 90);
  EXPECT_EQ(e->regulatorTypeButton()->text(), QStringLiteral("Counter"));
  // Regulator type 5 with channel byte 3: the input list, labelled "IN", on "3 - IN 4".
  QComboBox* in = e->channelList(ChannelList::CounterInput);
  EXPECT_EQ(e->visibleChannelList(), in);
  EXPECT_FALSE(in->isHidden());
  EXPECT_TRUE(e->channelList(ChannelList::Measurement)->isHidden());
  EXPECT_TRUE(e->channelList(ChannelList::Pid)->isHidden());
  EXPECT_EQ(e->channelLabel()->text(), QStringLiteral("IN"));
  EXPECT_EQ(in->currentText(), QStringLiteral("3 - IN 4"));
  EXPECT_EQ(e->channelList(ChannelList::Measurement)->currentIndex(), -1);
  EXPECT_EQ(e->channelList(ChannelList::Pid)->currentIndex(), 0);
  EXPECT_EQ(e->setValueList()->currentIndex(), 2);
  EXPECT_EQ(e->valueField(8)->text(), QStringLiteral("1.5"));
  EXPECT_EQ(e->valueField(7)->text(), QStringLiteral("0.5"));
  EXPECT_EQ(e->valueField(5)->text(), QStringLiteral("-12.5"));
  EXPECT_EQ(e->valueField(6)->text(), QStringLiteral("25.5"));
  EXPECT_EQ(e->warningLabel()->text(),
            QStringLiteral(
                "WARNING! For panels older than 4.28 set value MUST be 1.chamber temperature"));
  EXPECT_EQ(e->button(SectionAction::Save)->toolTip(), QStringLiteral("Save"));
  EXPECT_EQ(e->button(SectionAction::Cancel)->toolTip(), QStringLiteral("Cancel"));
  // The relay editor moves nothing to the controller or the disk.
  EXPECT_EQ(e->button(SectionAction::ReadController), nullptr);
  EXPECT_EQ(e->button(SectionAction::ReadDisk), nullptr);
}

TEST_F(RelayEditorTest, SavingWithoutChangesGivesTheSameRecord) {
  auto e = Open();
  EXPECT_EQ(SaveAndCollect(*e), record_);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(RelayEditorTest, ValueFieldsCheckedWhenLeft) {
  struct Case {
    int field;
    const char* typed;
    const char* message;  // nullptr: accepted
    const char* shown;
    std::int32_t stored;
  };
  const Case cases[] = {
      {8, "25.5", nullptr, "25.5", 255},
      {8, "25.6", "Wrong parameter range ! < 0..25.4", "0", 0},
      {7, "-0.1", "Wrong parameter range ! < 0..25.4", "0", 0},
      {6, "abc", "This\u00A0is not numeric format", "0", 0},
      {6, "12,5", "This\u00A0is not numeric format", "0", 0},
      {5, "-12.5", nullptr, "-12.5", -125},
      {5, "12.6", "Wrong parameter range ! < -12.5 .. 12.5", "0", 0},
      {5, "0.35", nullptr, "0.35", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    dialogs.ClearRecord();
    auto e = Open();
    TypeAndLeave(e->valueField(c.field), QString::fromUtf8(c.typed));
    EXPECT_EQ(dialogs.messages(),
              c.message ? QStringList({QString::fromUtf8(c.message)}) : QStringList());
    EXPECT_EQ(e->valueField(c.field)->text(), QString::fromUtf8(c.shown));
    const Bytes savedBytes = SaveAndCollect(*e);
    const ConstRelayRecord saved(savedBytes.data());
    const std::int32_t stored = c.field == 5   ? saved.RegulatorOffset()
                                : c.field == 6 ? saved.RegulatorWindow()
                                : c.field == 7 ? saved.LowerHysteresis()
                                               : saved.UpperHysteresis();
    EXPECT_EQ(stored, c.stored);
  }
}

TEST_F(RelayEditorTest, BadTextAtSaveIsCheckedFirstAndNothingIsStored) {
  auto e = Open();
  TypeInto(e->valueField(6), QStringLiteral("x"));  // typed, never left
  e->OnSave();
  EXPECT_EQ(dialogs.messages(), QStringList({"This\u00A0is not numeric format"}));
  EXPECT_EQ(e->valueField(6)->text(), QStringLiteral("0"));
  EXPECT_FALSE(e->saved());
  EXPECT_TRUE(std::equal(record_.begin(), record_.end(), e->working().begin()));
  // The user sees the "0" and saves again.
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).RegulatorWindow(), 0);
}

TEST_F(RelayEditorTest, WordAtOffset52) {
  auto e = Open();
  regulatorPicks_ = {1};
  e->OnRegulatorTypeClicked();
  e->channelList(ChannelList::Measurement)->setCurrentIndex(2);
  e->setValueList()->setCurrentIndex(14);
  const Bytes savedBytes = SaveAndCollect(*e);
  const ConstRelayRecord saved(savedBytes.data());
  EXPECT_EQ(saved.ChannelWord(), 0x0E02);  // 3,586
  EXPECT_EQ(saved.RegulatorType(), 1);
}

TEST_F(RelayEditorTest, ChannelListsFollowTheRegulatorTypeAndKeepTheirSelections) {
  auto e = Open();
  regulatorPicks_ = {6, 0, 5};
  e->OnRegulatorTypeClicked();  // PID: its list starts on its first entry
  EXPECT_EQ(e->channelLabel()->text(), QStringLiteral("PID"));
  EXPECT_EQ(e->visibleChannelList()->currentText(), QStringLiteral("0 - PID 1"));
  EXPECT_EQ(e->regulatorTypeButton()->text(), QStringLiteral("PID"));
  e->visibleChannelList()->setCurrentIndex(4);
  e->OnRegulatorTypeClicked();  // control off: the measurement list, never set
  EXPECT_EQ(e->channelLabel()->text(), QStringLiteral("Measurement channel"));
  EXPECT_EQ(e->visibleChannelList()->currentIndex(), -1);
  e->OnRegulatorTypeClicked();  // back to the counter: still on "3 - IN 4"
  EXPECT_EQ(e->visibleChannelList()->currentIndex(), 3);
  EXPECT_EQ(seenCurrent_, std::vector<int>({5, 6, 0}));
  EXPECT_EQ(e->channelList(ChannelList::Pid)->currentIndex(), 4);
}

TEST_F(RelayEditorTest, NoChannelSelectedKeepsTheChannelByte) {
  RelayRecord(record_.data()).SetRegulatorType(0);
  RelayRecord(record_.data()).SetChannelWord(1 * 256 + 2);
  auto e = Open();
  regulatorPicks_ = {5};
  e->OnRegulatorTypeClicked();  // the input list was never set: no entry selected
  ASSERT_EQ(e->visibleChannelList()->currentIndex(), -1);
  const Bytes savedBytes = SaveAndCollect(*e);
  const ConstRelayRecord saved(savedBytes.data());
  EXPECT_EQ(saved.RegulatorType(), 5);
  EXPECT_EQ(saved.ChannelWord(), 1 * 256 + 2);
}

TEST_F(RelayEditorTest, StoredIndexOutsideItsListOpensEmptyAndIsKept) {
  RelayRecord(record_.data()).SetChannelWord(25 * 256 + 40);
  auto e = Open();
  EXPECT_EQ(e->visibleChannelList()->currentIndex(), -1);
  EXPECT_EQ(e->setValueList()->currentIndex(), -1);
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).ChannelWord(), 25 * 256 + 40);
}

TEST_F(RelayEditorTest, TimeTypePickerChangesTheButtonOnlyWhenSomethingIsChosen) {
  auto e = Open();
  timePicks_ = {std::nullopt, 2};
  e->OnTimeTypeClicked();
  EXPECT_EQ(e->timeType(), 4);
  e->OnTimeTypeClicked();
  EXPECT_EQ(e->timeType(), 2);
  EXPECT_EQ(e->timeTypeButton()->text(), QStringLiteral("Switching on with delay"));
  EXPECT_EQ(seenCurrent_, std::vector<int>({4, 4}));
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).TimeType(), 2);
}

TEST_F(RelayEditorTest, TimesAreBoundedToWhatTheLinkCarries) {
  auto e = Open();
  EXPECT_EQ(e->taField()->minimum(), 0);
  EXPECT_EQ(e->taField()->maximum(), 65535);
  EXPECT_EQ(e->tbField()->maximum(), 65535);
  e->taField()->setValue(70000);
  e->tbField()->setValue(-3);
  const Bytes savedBytes = SaveAndCollect(*e);
  const ConstRelayRecord saved(savedBytes.data());
  EXPECT_EQ(saved.TimeTa(), 65535);
  EXPECT_EQ(saved.TimeTb(), 0);
}

TEST_F(RelayEditorTest, NamesUpperCaseFourteenCharactersWithoutPolishLetters) {
  auto e = Open();
  NameField* name = e->nameField();
  name->clear();
  name->insert(QStringLiteral("\u0142\u00F3d\u017A pump number one"));
  EXPECT_EQ(name->text(), QStringLiteral("\u0141\u00D3D\u0179 PUMP NUMB"));  // 14 characters
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).Name().Bytes(),
            QByteArray("LODZ PUMP NUMB"));
  name->clear();
  name->insert(QStringLiteral("A\u0416"));  // not in Windows-1250: refused
  EXPECT_EQ(name->text(), QString());
}

TEST_F(RelayEditorTest, LongerStoredNameIsNotCutByOpeningTheEditor) {
  RelayRecord(record_.data()).Name().SetBytes(QByteArray("A NAME OF TWENTY-FOUR CH"));
  auto e = Open();
  EXPECT_EQ(e->nameField()->text(), QStringLiteral("A NAME OF TWENTY-FOUR CH"));
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).Name().Bytes(),
            QByteArray("A NAME OF TWENTY-FOUR CH"));
}

TEST_F(RelayEditorTest, CyrillicNamesWhileTheCodePageIsCyrillic) {
  session.codePageIndex = 1;
  RelayRecord(record_.data()).Name().SetBytes(QByteArray("\xC6\xC0\xD0"));
  auto e = Open();
  EXPECT_EQ(e->nameField()->text(), QStringLiteral("\u0416\u0410\u0420"));
  e->nameField()->insert(QStringLiteral("\u0431"));  // typed in small letters, kept upper case
  EXPECT_EQ(e->nameField()->text(), QStringLiteral("\u0416\u0410\u0420\u0411"));
  EXPECT_EQ(ConstRelayRecord(SaveAndCollect(*e).data()).Name().Bytes(),
            QByteArray("\xC6\xC0\xD0\xC1"));
}

TEST_F(RelayEditorTest, CancelAndCloseBoxLeaveTheCallersRelay) {
  for (const bool viaCancel : {true, false}) {
    Bytes caller = record_;
    TFEditParPrzek e(*context, caller);
    QTimer::singleShot(0, [&] {
      e.nameField()->setText(QStringLiteral("CHANGED"));
      if (viaCancel) {
        e.OnCancel();
      } else {
        e.close();
      }
    });
    EXPECT_FALSE(e.Edit(caller));
    EXPECT_EQ(caller, record_);
  }
  Bytes caller = record_;
  TFEditParPrzek e(*context, caller);
  QTimer::singleShot(0, [&] {
    e.nameField()->setText(QStringLiteral("CHANGED"));
    e.OnSave();
  });
  EXPECT_TRUE(e.Edit(caller));
  EXPECT_EQ(ConstRelayRecord(caller.data()).Name().Bytes(), QByteArray("CHANGED"));
}

// --- pickers ---

TEST(RelayPickers, TimeTypePicker) {
  TFTypPrzekTable picker(3);
  EXPECT_EQ(picker.windowTitle(), QStringLiteral("Time parameters"));
  ASSERT_EQ(picker.count(), 6);
  picker.show();
  for (int code = 0; code < 6; ++code) {
    EXPECT_EQ(picker.typeButton(code)->isChecked(), code == 3) << code;
    EXPECT_EQ(picker.typeButton(code)->text(), TimeTypeCaption(code));
    if (code > 0) {
      EXPECT_GT(picker.typeButton(code)->x(), picker.typeButton(code - 1)->x());
    }
    EXPECT_EQ(picker.typeButton(code)->y(), picker.typeButton(0)->y());
  }
  EXPECT_EQ(picker.findChildren<QLabel*>().first()->text(), QStringLiteral("Time type 0"));
  EXPECT_EQ(picker.closeButton()->toolTip(), QStringLiteral("Close"));
  picker.typeButton(5)->click();
  EXPECT_EQ(picker.chosen(), 5);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
}

TEST(RelayPickers, RegulatorTypePickerTwoRows) {
  TFTypReglerTable picker(6);
  EXPECT_EQ(picker.windowTitle(), QStringLiteral("Regulator type"));
  ASSERT_EQ(picker.count(), 7);
  picker.show();
  EXPECT_TRUE(picker.typeButton(6)->isChecked());
  for (int code = 1; code <= 3; ++code) {
    EXPECT_EQ(picker.typeButton(code)->y(), picker.typeButton(0)->y());
  }
  EXPECT_GT(picker.typeButton(4)->y(), picker.typeButton(3)->y());
  EXPECT_EQ(picker.typeButton(4)->x(), picker.typeButton(0)->x());
  EXPECT_EQ(picker.typeButton(6)->y(), picker.typeButton(4)->y());
  QStringList labels;
  for (QLabel* l : picker.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.contains(QStringLiteral("Algorithm 6")));
  picker.closeButton()->click();
  EXPECT_FALSE(picker.chosen().has_value());
}

TEST(RelayPickers, ClosingWithoutChoosingLeavesTheCode) {
  std::optional<int> picked = 99;
  QTimer::singleShot(0, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  picked = TFTypPrzekTable::Pick(2, nullptr);
  EXPECT_FALSE(picked.has_value());
}

TEST(RelayPictures, EveryCodeDrawsSomethingAndOthersOnlyTheFrame) {
  auto ink = [](const QIcon& icon) {
    const QImage image = icon.pixmap(QSize(120, 72)).toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        count += c.alpha() > 0 && c.saturation() > 80 ? 1 : 0;  // coloured lines, not paper
      }
    }
    return count;
  };
  for (int code = 0; code < 6; ++code) EXPECT_GT(ink(TimeTypeIcon(code)), 50) << code;
  for (int code = 0; code < 7; ++code) EXPECT_GT(ink(RegulatorTypeIcon(code)), 50) << code;
  EXPECT_EQ(ink(TimeTypeIcon(6)), 0);
  EXPECT_EQ(ink(RegulatorTypeIcon(-1)), 0);
  // Pictures are drawn for the size asked, not scaled from a small bitmap.
  const QPixmap big = TimeTypeIcon(4).pixmap(QSize(600, 360));
  EXPECT_EQ(big.size(), QSize(600, 360));
  EXPECT_NE(TimeTypeIcon(4).pixmap(QSize(120, 72)).toImage(),
            TimeTypeIcon(5).pixmap(QSize(120, 72)).toImage());
}

}  // namespace
}  // namespace qdx::test
