#include "config/process_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <limits>

#include "config/choice_lists.h"

namespace qdx {

namespace {

// The presets are signed 16-bit in the record and on the wire.
constexpr std::int32_t kPresetMin = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kPresetMax = std::numeric_limits<std::int16_t>::max();

QString PresetName(int k) {
  return QStringLiteral("SP%1").arg(k);
}

}  // namespace

TFStanPrzekaznikow::TFStanPrzekaznikow(SectionWindowContext& context, ProcessSet set,
                                       std::span<const std::uint8_t> record, QWidget* parent)
    : SectionEditor(ProcessSection(set), context, record, {true, true, false}, parent),
      set_(set) {
  QString title = QStringLiteral("Manufacturing processes parameters");
  if (set == ProcessSet::Washing) title += QStringLiteral(" WASHING");
  setWindowTitle(title);
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setSpacing(8);

  name_ = new NameField();
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 24);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Name"), name_, body()), 0, 0);
  endCondition_ = MakeChoiceList(StepEndConditionList(), nullptr);
  grid->addWidget(MakeFieldGroup(QStringLiteral("Step end condition"), endCondition_, body()), 1, 0);
  outputs_ = new RelayOutputSwitches(body());
  grid->addWidget(outputs_, 2, 0);

  auto* presets = new QGroupBox(QStringLiteral("Step preset (SP)"), body());
  auto* row = new QHBoxLayout(presets);
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    auto* field = new QLineEdit(presets);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9+\\-]*")), field));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-327680")) + 12);
    auto* label = new QLabel(QString::number(k), presets);
    label->setBuddy(field);
    row->addWidget(label);
    row->addWidget(field);
    row->addSpacing(8);
    presets_[static_cast<std::size_t>(k - 1)] = field;
  }
  row->addStretch(1);
  grid->addWidget(presets, 3, 0);
  grid->setRowStretch(4, 1);

  outputs_->SetRelayNames(context.session.blocks.image, codePageIndex());
  FillControls();
}

void TFStanPrzekaznikow::FillControls() {
  const ConstProcessRecord process(working().data());
  name_->SetName(process.Name().Bytes(), codePageIndex());
  SelectChoice(endCondition_, process.StepEndCondition());
  outputs_->Load(process.Outputs());
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    presetField(k)->setText(QString::number(process.Preset(k)));
  }
}

bool TFStanPrzekaznikow::StoreControls() {
  // A preset that does not fit its 16 bits is refused, never stored as another number.
  std::array<std::int16_t, ProcessRecord::kPresetCount> values{};
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    const std::int32_t v =
        ClampIntegerField(presetField(k)->text(), std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max());
    if (!FieldBounds{kPresetMin, kPresetMax, PresetName(k), context().dialogs}.Accepts(v)) {
      presetField(k)->setFocus();
      return false;
    }
    values[static_cast<std::size_t>(k - 1)] = static_cast<std::int16_t>(v);
  }
  const ProcessRecord process(working().data());
  process.Name().SetBytes(name_->NameBytes());
  process.SetStepEndCondition(endCondition_->currentIndex());
  outputs_->Store(process.Outputs());
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    process.SetPreset(k, values[static_cast<std::size_t>(k - 1)]);
  }
  return true;
}

TransferResult TFStanPrzekaznikow::ReadFromController() {
  if (!SlotValid()) return {};
  return context().transfer.ReadProcess(set_, slot(), ProcessRecord(working().data()));
}

TransferResult TFStanPrzekaznikow::WriteToController() {
  if (!SlotValid()) return {};
  return context().transfer.WriteProcess(set_, slot(), ConstProcessRecord(working().data()));
}

bool EditProcess(SectionWindowContext& context, ProcessSet set, std::span<std::uint8_t> copy,
                 QWidget* parent) {
  TFStanPrzekaznikow editor(context, set, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
