#include "config/analog_output_editor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "config/analog_output_section.h"
#include "config/choice_lists.h"
#include "model/analog_output_record.h"
#include "model/record_text.h"

namespace qdx {

namespace {

// One of the eight value fields: its caption and its place in the record.
struct ValueSlot {
  const char* caption;
  std::int32_t (*get)(const ConstAnalogOutputRecord&);
  void (*set)(const AnalogOutputRecord&, std::int32_t);
};

template <int k>
constexpr ValueSlot FunctionSlot(const char* caption) {
  return {caption, [](const ConstAnalogOutputRecord& r) { return r.FunctionSetValue(k); },
          [](const AnalogOutputRecord& r, std::int32_t v) { r.SetFunctionSetValue(k, v); }};
}

constexpr std::array<ValueSlot, TFkonfigwyjsc::kValueCount> kValueSlots = {{
    {"Value for 0 V (0 mA,4 mA)", [](const ConstAnalogOutputRecord& r) { return r.ValueAt0V(); },
     [](const AnalogOutputRecord& r, std::int32_t v) { r.SetValueAt0V(v); }},
    {"Value for 10 V (20 mA)", [](const ConstAnalogOutputRecord& r) { return r.ValueAt10V(); },
     [](const AnalogOutputRecord& r, std::int32_t v) { r.SetValueAt10V(v); }},
    {"Set value Stop", [](const ConstAnalogOutputRecord& r) { return r.StopSetValue(); },
     [](const AnalogOutputRecord& r, std::int32_t v) { r.SetStopSetValue(v); }},
    {"Set value Pause", [](const ConstAnalogOutputRecord& r) { return r.PauseSetValue(); },
     [](const AnalogOutputRecord& r, std::int32_t v) { r.SetPauseSetValue(v); }},
    FunctionSlot<1>("Value for F1"),
    FunctionSlot<2>("Value for F2"),
    FunctionSlot<3>("Value for F3"),
    FunctionSlot<4>("Value for F4"),
}};

}  // namespace

TFkonfigwyjsc::TFkonfigwyjsc(SectionWindowContext& context, std::span<const std::uint8_t> record,
                             QWidget* parent)
    : SectionEditor(AnalogOutputSection(), context, record, {false, false, true}, parent) {
  setWindowTitle(QStringLiteral("Analog OUT"));
  // Names and drop-downs on the left, the eight values on the right.
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setHorizontalSpacing(8);
  grid->setColumnMinimumWidth(2, 16);
  auto addRow = [this, grid](int row, int column, const QString& caption, QWidget* field) {
    grid->addWidget(new QLabel(caption, body()), row, column);
    grid->addWidget(field, row, column + 1);
  };

  name_ = new NameField(body(), static_cast<int>(AnalogOutputRecord::kNameCapacity));
  grid->addWidget(new QLabel(QStringLiteral("Name"), body()), 0, 0);
  grid->addWidget(name_, 0, 1, 1, 4);
  type_ = MakeChoiceList(AnalogOutputTypeList(), body());
  channel_ = MakeChoiceList(MeasurementChannelList(), body());
  setValue_ = MakeChoiceList(SetValueSourceList(), body());
  pid_ = MakeChoiceList(AnalogOutputPidList(), body());
  addRow(1, 0, QStringLiteral("Type"), type_);
  addRow(2, 0, QStringLiteral("Measurement channel"), channel_);
  addRow(3, 0, QStringLiteral("Set value"), setValue_);
  addRow(4, 0, QStringLiteral("Nr PID"), pid_);

  const int width = fontMetrics().horizontalAdvance(QStringLiteral("-99999")) + 12;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const QString caption = QString::fromLatin1(kValueSlots[i].caption);
    values_[i] =
        new IntegerField({kOutputValueMin, kOutputValueMax, caption, context.dialogs}, body());
    values_[i]->setFixedWidth(width);
    addRow(static_cast<int>(i) + 1, 3, caption, values_[i]);
  }

  // The output's own loop values are carried through the editor but never shown.
  loop_ = new QGroupBox(body());
  auto* loop = new QFormLayout(loop_);
  sample_ = new IntegerField({kOutputValueMin, kOutputValueMax, QStringLiteral("Sample"),
                              context.dialogs}, loop_);
  gain_ = new RealField(context.dialogs, 0, loop_);
  ti_ = new RealField(context.dialogs, 0, loop_);
  td_ = new RealField(context.dialogs, 0, loop_);
  loop->addRow(QStringLiteral("Sample"), sample_);
  loop->addRow(QStringLiteral("Gain"), gain_);
  loop->addRow(QStringLiteral("Time Ti"), ti_);
  loop->addRow(QStringLiteral("Time Td"), td_);
  loop_->hide();
  grid->addWidget(loop_, 9, 0, 1, 5);
  grid->setRowStretch(10, 1);

  FillControls();
}

void TFkonfigwyjsc::FillControls() {
  const ConstAnalogOutputRecord r(working().data());
  name_->SetName(r.Name().Bytes(), codePageIndex());
  SelectChoice(type_, r.OutputType());
  SelectChoice(channel_, r.Channel());
  SelectChoice(setValue_, r.SetValue());
  SelectChoice(pid_, r.PidNumber());
  for (std::size_t i = 0; i < values_.size(); ++i) values_[i]->SetValue(kValueSlots[i].get(r));
  sample_->SetValue(WholeNumberForField(r.SamplePeriod()));
  gain_->SetReal(r.Gain());
  ti_->SetReal(r.IntegralTime());
  td_->SetReal(r.DerivativeTime());
}

bool TFkonfigwyjsc::StoreControls() {
  for (IntegerField* field : values_) {
    if (!field->Validate()) return false;
  }
  const AnalogOutputRecord r(working().data());
  // Typed as shown, upper case, without the letter folding of the other editors' names.
  r.Name().SetBytes(EncodeRecordText(name_->text().toUpper(), codePageIndex()));
  r.SetOutputType(static_cast<std::uint16_t>(KeptChoice(type_->currentIndex(), r.OutputType())));
  r.SetChannel(static_cast<std::uint16_t>(KeptChoice(channel_->currentIndex(), r.Channel())));
  r.SetSetValue(static_cast<std::uint16_t>(KeptChoice(setValue_->currentIndex(), r.SetValue())));
  for (std::size_t i = 0; i < values_.size(); ++i) kValueSlots[i].set(r, values_[i]->Value());
  // The sampling period passes through a whole-number field; one beyond its bounds stays as
  // it was, since the user cannot see the field to correct it.
  const std::int32_t sample = WholeNumberForField(r.SamplePeriod());
  if (sample >= kOutputValueMin && sample <= kOutputValueMax) r.SetSamplePeriod(sample_->Value());
  r.SetGain(gain_->Real());
  r.SetIntegralTime(ti_->Real());
  r.SetDerivativeTime(td_->Real());
  r.SetPidNumber(static_cast<std::uint8_t>(KeptChoice(pid_->currentIndex(), r.PidNumber())));
  return true;
}

bool EditAnalogOutput(SectionWindowContext& context, std::span<std::uint8_t> copy,
                      QWidget* parent) {
  TFkonfigwyjsc editor(context, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
