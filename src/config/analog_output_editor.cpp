#include "config/analog_output_editor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>

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
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setHorizontalSpacing(16);

  name_ = new NameField(nullptr, static_cast<int>(AnalogOutputRecord::kNameCapacity));
  grid->addWidget(MakeFieldGroup(QStringLiteral("Name"), name_, body()), 0, 0, 1, 2);

  auto* choices = new QFormLayout();
  type_ = MakeChoiceList(AnalogOutputTypeList(), body());
  channel_ = MakeChoiceList(MeasurementChannelList(), body());
  setValue_ = MakeChoiceList(SetValueSourceList(), body());
  pid_ = MakeChoiceList(AnalogOutputPidList(), body());
  choices->addRow(QStringLiteral("Type"), type_);
  choices->addRow(QStringLiteral("Measurement channel"), channel_);
  choices->addRow(QStringLiteral("Set value"), setValue_);
  choices->addRow(QStringLiteral("Nr PID"), pid_);
  grid->addLayout(choices, 1, 0, Qt::AlignTop);

  auto* values = new QFormLayout();
  const int width = fontMetrics().horizontalAdvance(QStringLiteral("-99999")) + 12;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const QString caption = QString::fromLatin1(kValueSlots[i].caption);
    values_[i] = new IntegerField({kOutputValueMin, kOutputValueMax, caption, context.dialogs}, body());
    values_[i]->setFixedWidth(width);
    values->addRow(caption, values_[i]);
  }
  grid->addLayout(values, 1, 1, Qt::AlignTop);

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
  grid->addWidget(loop_, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);

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
