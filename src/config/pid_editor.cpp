#include "config/pid_editor.h"

#include <QComboBox>
#include <QFormLayout>

#include "config/choice_lists.h"
#include "config/pid_section.h"
#include "link/section_wire.h"
#include "model/pid_record.h"

namespace qdx {

TFUstawPID::TFUstawPID(SectionWindowContext& context, std::span<const std::uint8_t> record,
                       QWidget* parent)
    : SectionEditor(PidSection(), context, record, {false, false, true}, parent) {
  setWindowTitle(QStringLiteral("PID"));
  auto* form = new QFormLayout(body());
  form->setContentsMargins(4, 2, 4, 2);
  type_ = MakeChoiceList(PidRegulatorTypeList(), body());
  channel_ = MakeChoiceList(MeasurementChannelList(), body());
  setValue_ = MakeChoiceList(SetValueSourceList(), body());
  const QString sample = QStringLiteral("Sample");
  tp_ = new IntegerField({kPidSampleMin, kPidSampleMax, sample, context.dialogs}, body());
  xp_ = new RealField(context.dialogs, 1, body());  // percent on screen, tenths in the record
  ti_ = new RealField(context.dialogs, 0, body());
  td_ = new RealField(context.dialogs, 0, body());
  to_ = new RealField(context.dialogs, 0, body());
  form->addRow(QStringLiteral("Typ"), type_);
  form->addRow(QStringLiteral("Measurement channel"), channel_);
  form->addRow(QStringLiteral("Set value"), setValue_);
  const int width = fontMetrics().horizontalAdvance(QStringLiteral("-9999.999")) + 12;
  const std::pair<QString, QLineEdit*> values[] = {
      {sample, tp_},
      {QStringLiteral("Gain"), xp_},
      {QStringLiteral("Czas ca\u0142kowania Ti [s]"), ti_},
      {QStringLiteral("Czas r\u00F3\u017Cniczkowania Td [s]"), td_},
      {QStringLiteral("Period"), to_},
  };
  for (const auto& [caption, field] : values) {
    field->setFixedWidth(width);
    form->addRow(caption, field);
  }
  FillControls();
}

void TFUstawPID::FillControls() {
  const ConstPidRecord r(working().data());
  SelectChoice(type_, r.RegulatorType());
  SelectChoice(channel_, r.Channel());
  SelectChoice(setValue_, r.SetValue());
  tp_->SetValue(WholeNumberForField(r.SamplePeriod()));
  xp_->SetReal(r.ProportionalBand());
  ti_->SetReal(r.IntegralTime());
  td_->SetReal(r.DerivativeTime());
  to_->SetReal(r.PulsePeriod());
}

bool TFUstawPID::StoreControls() {
  if (!tp_->Validate()) return false;
  for (RealField* field : {xp_, ti_, td_, to_}) {
    if (!field->Validate()) return false;
  }
  const PidRecord r(working().data());
  r.SetChannel(static_cast<std::uint16_t>(KeptChoice(channel_->currentIndex(), r.Channel())));
  r.SetSetValue(static_cast<std::uint16_t>(KeptChoice(setValue_->currentIndex(), r.SetValue())));
  r.SetSamplePeriod(tp_->Value());
  // Tenths of a percent are whole: the typed percentage times 10, a half to the even number.
  r.SetProportionalBand(RoundHalfEven(xp_->Real()));
  r.SetIntegralTime(ti_->Real());
  r.SetDerivativeTime(td_->Real());
  r.SetPulsePeriod(to_->Real());
  r.SetRegulatorType(
      static_cast<std::uint16_t>(KeptChoice(type_->currentIndex(), r.RegulatorType())));
  return true;
}

bool EditPid(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent) {
  TFUstawPID editor(context, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
