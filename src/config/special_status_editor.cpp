#include "config/special_status_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "link/code_pages.h"
#include "model/record_text.h"
#include "model/special_status_record.h"

namespace qdx {

TFEdycjastanSpec::TFEdycjastanSpec(SectionWindowContext& context,
                                   std::span<const std::uint8_t> record, QWidget* parent)
    : SectionEditor(SpecialStatusSection(), context, record, {true, true, false}, parent) {
  setWindowTitle(QStringLiteral("Special statuses"));
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setSpacing(8);

  name_ = new QLabel();
  QFont bold = name_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  name_->setFont(bold);
  name_->setTextFormat(Qt::PlainText);
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 20);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Name"), name_, body()), 0, 0);
  const QString switchOffCaption = QStringLiteral("Switch-off time");
  switchOff_ =
      new IntegerField({kSwitchOffTimeMin, kSwitchOffTimeMax, switchOffCaption, context.dialogs});
  switchOff_->setFixedWidth(
      switchOff_->fontMetrics().horizontalAdvance(QStringLiteral("-3276700")) + 12);
  grid->addWidget(MakeFieldGroup(switchOffCaption, switchOff_, body()), 0, 1);
  logic_ = MakeChoiceList(RelayLogicList(), nullptr);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Relay logics"), logic_, body()), 1, 0, 1, 2);
  outputs_ = new RelayOutputSwitches(body());
  grid->addWidget(outputs_, 2, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(3, 1);

  outputs_->SetRelayNames(context.session.blocks.image, codePageIndex());
  FillControls();
}

void TFEdycjastanSpec::FillControls() {
  const ConstSpecialStatusRecord status(working().data());
  nameBytes_ = status.Name().Bytes();
  name_->setText(DecodeRecordText(nameBytes_, codePageIndex()));
  switchOff_->SetValue(status.SwitchOffTime());
  SelectChoice(logic_, status.RelayLogic());
  outputs_->Load(status.Outputs());
}

bool TFEdycjastanSpec::StoreControls() {
  if (!switchOff_->Validate()) return false;
  const SpecialStatusRecord status(working().data());
  status.SetRelayLogic(logic_->currentIndex());
  status.SetSwitchOffTime(switchOff_->Value());
  // The name cannot be edited: its own bytes go back, only without Polish diacritics.
  status.Name().SetBytes(StripPolishDiacritics(nameBytes_, codePageIndex()));
  outputs_->Store(status.Outputs());
  return true;
}

TransferResult TFEdycjastanSpec::ReadFromController() {
  if (slot() < 1 || slot() > kSpecialStatusCount) return {};
  return context().transfer.ReadSpecialStatus(slot(), SpecialStatusRecord(working().data()));
}

TransferResult TFEdycjastanSpec::WriteToController() {
  if (slot() < 1 || slot() > kSpecialStatusCount) return {};
  return context().transfer.WriteSpecialStatus(slot(), ConstSpecialStatusRecord(working().data()));
}

bool EditSpecialStatus(SectionWindowContext& context, std::span<std::uint8_t> copy,
                       QWidget* parent) {
  TFEdycjastanSpec editor(context, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
