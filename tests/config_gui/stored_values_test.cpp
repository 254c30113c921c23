// Editors never change a stored value silently: a value outside an editor field's bounds that
// came from a file or the controller is shown as it is, "Save" refuses it with the range
// message naming the field, and what the user then types is stored.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <vector>

#include "config/alarm_editor.h"
#include "config/relay_editor.h"
#include "config/special_status_editor.h"
#include "support/typing.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

using Record = std::vector<std::uint8_t>;

// One field bounded narrower than its stored type, with the editor that shows it.
struct StoredValueCase {
  const char* field;
  // Stores the value into the project's record and returns a copy of the record.
  std::function<Record(ProjectImage&)> store;
  std::function<std::unique_ptr<SectionEditor>(SectionWindowContext&, const Record&)> open;
  std::function<QWidget*(SectionEditor&)> widget;
  std::function<std::int32_t(const std::uint8_t*)> read;
  const char* shown;    // as the editor opens
  const char* message;  // when "Save" is pressed without a correction
  const char* typed;    // the user's correction
  std::int32_t saved;   // what "Save" then stores
};

template <typename View>
Record Bytes(const View& view) {
  const auto copy = CopyRecord(view);
  return Record(copy.begin(), copy.end());
}

template <typename Editor>
auto Opens() {
  return [](SectionWindowContext& context, const Record& record) {
    return std::unique_ptr<SectionEditor>(std::make_unique<Editor>(context, record));
  };
}

template <typename Editor, typename Field>
auto FieldOf(Field* (Editor::*field)() const) {
  return [field](SectionEditor& e) -> QWidget* { return (static_cast<Editor&>(e).*field)(); };
}

auto RelayValue(int n) {
  return
      [n](SectionEditor& e) -> QWidget* { return static_cast<TFEditParPrzek&>(e).valueField(n); };
}

QString Shown(QWidget* w) {
  return w->property("text").toString();
}

void TypeOver(QWidget* w, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(w)) return TypeInto(line, text);
  static_cast<QAbstractSpinBox*>(w)->selectAll();
  QTest::keyClicks(w, text);
}

const StoredValueCase kCases[] = {
    {"relay Ta",
     [](ProjectImage& i) {
       Relay(i, 3).SetTimeTa(70000);
       return Bytes(Relay(i, 3));
     },
     Opens<TFEditParPrzek>(), FieldOf(&TFEditParPrzek::taField),
     [](const std::uint8_t* r) { return ConstRelayRecord(r).TimeTa(); }, "70000",
     "Wrong parameter range ! Ta < 0..65535", "65000", 65000},
    {"relay Tb",
     [](ProjectImage& i) {
       Relay(i, 3).SetTimeTb(-3);
       return Bytes(Relay(i, 3));
     },
     Opens<TFEditParPrzek>(), FieldOf(&TFEditParPrzek::tbField),
     [](const std::uint8_t* r) { return ConstRelayRecord(r).TimeTb(); }, "-3",
     "Wrong parameter range ! Tb < 0..65535", "0", 0},
    {"relay offset",
     [](ProjectImage& i) {
       Relay(i, 3).SetRegulatorOffset(-200);
       return Bytes(Relay(i, 3));
     },
     Opens<TFEditParPrzek>(), RelayValue(5),
     [](const std::uint8_t* r) { return ConstRelayRecord(r).RegulatorOffset(); }, "-20.0",
     "Wrong parameter range ! Offset < -12.5 .. 12.5", "-12.5", -125},
    {"relay window",
     [](ProjectImage& i) {
       Relay(i, 3).SetRegulatorWindow(300);
       return Bytes(Relay(i, 3));
     },
     Opens<TFEditParPrzek>(), RelayValue(6),
     [](const std::uint8_t* r) { return ConstRelayRecord(r).RegulatorWindow(); }, "30.0",
     "Wrong parameter range ! Regulator window < 0..25.4", "25.5", 255},
    {"relay upper hysteresis",
     [](ProjectImage& i) {
       Relay(i, 3).SetUpperHysteresis(-1);
       return Bytes(Relay(i, 3));
     },
     Opens<TFEditParPrzek>(), RelayValue(8),
     [](const std::uint8_t* r) { return ConstRelayRecord(r).UpperHysteresis(); }, "-0.1",
     "Wrong parameter range ! Upper hysteresis < 0..25.4", "1.5", 15},
    {"alarm delay",
     [](ProjectImage& i) {
       Alarm(i, 2).SetDelayTime(70000);
       return Bytes(Alarm(i, 2));
     },
     Opens<TFAlarmy>(), FieldOf(&TFAlarmy::delayField),
     [](const std::uint8_t* r) { return ConstAlarmRecord(r).DelayTime(); }, "70000",
     "Wrong parameter range ! Delay time < 0..65000", "64000", 64000},
    {"special-status switch-off time",
     [](ProjectImage& i) {
       SpecialStatus(i, 4).SetSwitchOffTime(40000);
       return Bytes(SpecialStatus(i, 4));
     },
     Opens<TFEdycjastanSpec>(), FieldOf(&TFEdycjastanSpec::switchOffField),
     [](const std::uint8_t* r) { return ConstSpecialStatusRecord(r).SwitchOffTime(); }, "40000",
     "Wrong parameter range ! Switch-off time < -1..32767", "-1", -1},
};

class StoredValues : public ::testing::TestWithParam<StoredValueCase>, public WindowFixture {};

TEST_P(StoredValues, ShownAsTheyAreAndRefusedUntilCorrected) {
  const StoredValueCase& c = GetParam();
  const Record record = c.store(image());
  auto e = c.open(*context, record);
  QWidget* field = c.widget(*e);
  EXPECT_EQ(Shown(field), QString::fromLatin1(c.shown));
  QTest::keyClick(field, Qt::Key_Return);  // finishing an untouched field changes nothing
  EXPECT_EQ(Shown(field), QString::fromLatin1(c.shown));

  e->button(SectionAction::Save)->click();
  EXPECT_FALSE(e->saved());
  EXPECT_EQ(dialogs.messages(), QStringList{QString::fromLatin1(c.message)});
  EXPECT_EQ(Shown(field), QString::fromLatin1(c.shown));
  EXPECT_TRUE(std::equal(record.begin(), record.end(), e->working().begin()));

  TypeOver(field, QString::fromLatin1(c.typed));
  e->button(SectionAction::Save)->click();
  EXPECT_TRUE(e->saved());
  EXPECT_EQ(dialogs.messages().size(), 1);
  EXPECT_EQ(c.read(e->working().data()), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Fields, StoredValues, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StoredValueCase>& info) {
                           std::string name = info.param.field;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace qdx::test
