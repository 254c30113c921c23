#include "config/alarm_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "model/alarm_record.h"

namespace qdx {

TFAlarmy::TFAlarmy(SectionWindowContext& context, std::span<const std::uint8_t> record,
                   QWidget* parent)
    : SectionEditor(AlarmSection(), context, record, {true, true, false}, parent) {
  setWindowTitle(QStringLiteral("Alarm"));
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setSpacing(8);

  message_ = new NameField();
  message_->setMinimumWidth(message_->fontMetrics().averageCharWidth() * 24);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Alarm message"), message_, body()), 0, 0);
  const QString delayCaption = QStringLiteral("Delay time");
  delay_ = new IntegerField({kAlarmDelayMin, kAlarmDelayMax, delayCaption, context.dialogs});
  delay_->setFixedWidth(delay_->fontMetrics().horizontalAdvance(QStringLiteral("6500000")) + 12);
  grid->addWidget(MakeFieldGroup(delayCaption, delay_, body()), 0, 1);
  status_ = MakeChoiceList(AlarmStatusList(), nullptr);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Alarm status"), status_, body()), 1, 0, 1, 2);
  logic_ = MakeChoiceList(RelayLogicList(), nullptr);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Relay logics"), logic_, body()), 2, 0, 1, 2);
  outputs_ = new RelayOutputSwitches(body());
  grid->addWidget(outputs_, 3, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(4, 1);
  status_->setMinimumWidth(logic_->sizeHint().width());

  outputs_->SetRelayNames(context.session.blocks.image, codePageIndex());
  FillControls();
}

void TFAlarmy::FillControls() {
  const ConstAlarmRecord alarm(working().data());
  message_->SetName(alarm.Message().Bytes(), codePageIndex());
  delay_->SetValue(alarm.DelayTime());
  SelectChoice(status_, alarm.AlarmStatus());
  SelectChoice(logic_, alarm.RelayLogic());
  outputs_->Load(alarm.Outputs());
}

bool TFAlarmy::StoreControls() {
  if (!delay_->Validate()) return false;
  const AlarmRecord alarm(working().data());
  alarm.SetRelayLogic(logic_->currentIndex());
  alarm.SetAlarmStatus(status_->currentIndex());
  alarm.SetDelayTime(delay_->Value());
  alarm.Message().SetBytes(message_->NameBytes());
  outputs_->Store(alarm.Outputs());
  return true;
}

TransferResult TFAlarmy::ReadFromController() {
  if (slot() < 1 || slot() > kAlarmCount) return {};
  return context().transfer.ReadAlarm(slot(), AlarmRecord(working().data()));
}

TransferResult TFAlarmy::WriteToController() {
  if (slot() < 1 || slot() > kAlarmCount) return {};
  return context().transfer.WriteAlarm(slot(), ConstAlarmRecord(working().data()));
}

bool EditAlarm(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent) {
  TFAlarmy editor(context, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
