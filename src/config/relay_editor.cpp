#include "config/relay_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "config/relay_type_dialog.h"
#include "model/relay_record.h"

namespace qdx {

namespace {

const QString kWarning =
    QStringLiteral("WARNING! For panels older than 4.28 set value MUST be 1.chamber temperature");

// Selects entry `index` of a list, or none when the list has no such entry.
void SelectEntry(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

QComboBox* MakeList(const QStringList& entries, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->addItems(entries);
  box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  box->setMaxVisibleItems(20);
  return box;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

RegulatorCharacteristicView::RegulatorCharacteristicView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize RegulatorCharacteristicView::sizeHint() const {
  return QSize(static_cast<int>(kCharacteristicWidth), static_cast<int>(kCharacteristicHeight));
}

QSize RegulatorCharacteristicView::minimumSizeHint() const {
  return sizeHint();
}

void RegulatorCharacteristicView::PlaceField(int n, QWidget* field) {
  field->setParent(this);
  fields_[static_cast<std::size_t>(n - 5)] = field;
  Reposition();
}

void RegulatorCharacteristicView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintRegulatorCharacteristic(painter, QRectF(rect()));
}

void RegulatorCharacteristicView::resizeEvent(QResizeEvent*) {
  Reposition();
}

void RegulatorCharacteristicView::Reposition() {
  const qreal scale = std::min(width() / kCharacteristicWidth, height() / kCharacteristicHeight);
  const QPointF origin((width() - kCharacteristicWidth * scale) / 2,
                       (height() - kCharacteristicHeight * scale) / 2);
  for (int n = 5; n <= 8; ++n) {
    QWidget* field = fields_[static_cast<std::size_t>(n - 5)];
    if (!field) continue;
    field->adjustSize();
    field->move((origin + RegulatorFieldAnchor(n) * scale).toPoint());
  }
}

// ---------------------------------------------------------------------------------------------

TFEditParPrzek::TFEditParPrzek(SectionWindowContext& context, std::span<const std::uint8_t> record,
                               QWidget* parent)
    : SectionEditor(RelaySection(), context, record, {false, false, true}, parent),
      pickTimeType_(TFTypPrzekTable::Pick),
      pickRegulatorType_(TFTypReglerTable::Pick) {
  setWindowTitle(QStringLiteral("Editing relay parameters"));
  auto* grid = new QGridLayout(body());
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(8);

  // Number and name.
  relayGroup_ = new QGroupBox(body());
  auto* relayRow = new QHBoxLayout(relayGroup_);
  numberPicture_ = new QLabel(relayGroup_);
  numberPicture_->setFixedSize(44, 44);
  relayRow->addWidget(numberPicture_);
  name_ = new NameField(relayGroup_);
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 22);
  relayRow->addWidget(name_);
  relayRow->addStretch(1);
  grid->addWidget(relayGroup_, 0, 0);

  // Time type and the two times.
  auto* timeGroup = new QGroupBox(QStringLiteral("Time parameters"), body());
  auto* timeGrid = new QGridLayout(timeGroup);
  timeTypeButton_ = new QToolButton(timeGroup);
  timeTypeButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  timeTypeButton_->setIconSize(QSize(150, 90));
  timeTypeButton_->setMinimumWidth(176);
  connect(timeTypeButton_, &QToolButton::clicked, this, &TFEditParPrzek::OnTimeTypeClicked);
  timeGrid->addWidget(timeTypeButton_, 0, 0);
  auto addTime = [&](int column, const QString& p, const QString& caption, BoundedSpinBox*& spin) {
    auto* box = new QWidget(timeGroup);
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    auto* top = new QLabel(p, box);
    top->setAlignment(Qt::AlignCenter);
    QFont bold = top->font();
    bold.setBold(true);
    top->setFont(bold);
    auto* label = new QLabel(caption, box);
    label->setAlignment(Qt::AlignCenter);
    // The controller takes both times as unsigned 16-bit numbers.
    spin = new BoundedSpinBox({kRelayTimeMin, kRelayTimeMax, caption, context.dialogs}, box);
    spin->setAlignment(Qt::AlignRight);
    spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("655350")) + 30);
    stack->addWidget(top);
    stack->addWidget(label);
    stack->addWidget(spin);
    timeGrid->addWidget(box, 0, column, Qt::AlignVCenter);
  };
  addTime(1, QStringLiteral("P1"), QStringLiteral("Ta"), ta_);
  addTime(2, QStringLiteral("P2"), QStringLiteral("Tb"), tb_);
  timeGrid->setColumnStretch(3, 1);
  grid->addWidget(timeGroup, 1, 0);

  // Regulator type, channel and set value.
  auto* typeGroup = new QGroupBox(QStringLiteral("Regulator type"), body());
  auto* typeGrid = new QGridLayout(typeGroup);
  regulatorTypeButton_ = new QToolButton(typeGroup);
  regulatorTypeButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  regulatorTypeButton_->setIconSize(QSize(150, 90));
  regulatorTypeButton_->setMinimumWidth(176);
  connect(regulatorTypeButton_, &QToolButton::clicked, this,
          &TFEditParPrzek::OnRegulatorTypeClicked);
  typeGrid->addWidget(regulatorTypeButton_, 0, 0, 4, 1);
  channelLabel_ = new QLabel(typeGroup);
  typeGrid->addWidget(channelLabel_, 0, 1);
  auto* channelStack = new QWidget(typeGroup);
  auto* channelRow = new QHBoxLayout(channelStack);
  channelRow->setContentsMargins(0, 0, 0, 0);
  for (const ChannelList list :
       {ChannelList::Measurement, ChannelList::CounterInput, ChannelList::Pid}) {
    QComboBox* box = MakeList(ChannelListEntries(list), channelStack);
    channels_[static_cast<int>(list)] = box;
    channelRow->addWidget(box);
  }
  channelRow->addStretch(1);
  typeGrid->addWidget(channelStack, 1, 1);
  auto* setValueLabel = new QLabel(QStringLiteral("Set value"), typeGroup);
  typeGrid->addWidget(setValueLabel, 2, 1);
  setValue_ = MakeList(SetValueSourceList(), typeGroup);
  typeGrid->addWidget(setValue_, 3, 1, Qt::AlignLeft);
  warning_ = new QLabel(kWarning, typeGroup);
  warning_->setWordWrap(true);
  QPalette warningPalette = warning_->palette();
  warningPalette.setColor(QPalette::WindowText, QColor(0xC6, 0x28, 0x28));
  warning_->setPalette(warningPalette);
  QFont bold = warning_->font();
  bold.setBold(true);
  warning_->setFont(bold);
  // Two lines under both the button and the lists.
  warning_->setMinimumHeight(warning_->fontMetrics().lineSpacing() * 2 + 4);
  typeGrid->addWidget(warning_, 4, 0, 1, 2);
  typeGrid->setColumnStretch(1, 1);
  grid->addWidget(typeGroup, 2, 0);

  // The four values on the characteristic.
  auto* valueGroup = new QGroupBox(QStringLiteral("Regulator parameters"), body());
  auto* valueLayout = new QVBoxLayout(valueGroup);
  auto* view = new RegulatorCharacteristicView(valueGroup);
  valueLayout->addWidget(view);
  struct ValueField {
    int n;
    const TenthsFieldRule* rule;
    const char* hint;
  };
  const ValueField valueFields[] = {{5, &RelayOffsetRule(), "Offset"},
                                    {6, &RelayWindowRule(), "Regulator window"},
                                    {7, &RelayWindowRule(), "Lower hysteresis"},
                                    {8, &RelayWindowRule(), "Upper hysteresis"}};
  for (const ValueField& value : valueFields) {
    auto* holder = new QWidget(view);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto* caption = new QLabel(QStringLiteral("P%1").arg(value.n), holder);
    QFont f = caption->font();
    f.setBold(true);
    caption->setFont(f);
    const QString hint = QString::fromLatin1(value.hint);
    auto* field = new TenthsField(*value.rule, hint, context.dialogs, holder);
    field->setToolTip(hint);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-12.50")) + 16);
    row->addWidget(caption);
    row->addWidget(field);
    values_[static_cast<std::size_t>(value.n - 5)] = field;
    view->PlaceField(value.n, holder);
  }
  auto* legend = new QLabel(QStringLiteral("P5 offset, P6 regulator window, P7 lower hysteresis, "
                                           "P8 upper hysteresis"),
                            valueGroup);
  legend->setAlignment(Qt::AlignCenter);
  legend->setWordWrap(true);
  valueLayout->addWidget(legend);
  grid->addWidget(valueGroup, 1, 1, 2, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(3, 1);

  // Keyboard order: name, times, lists, then the values as they read on the picture.
  setTabOrder(name_, ta_);
  setTabOrder(ta_, tb_);
  setTabOrder(tb_, setValue_);
  setTabOrder(setValue_, valueField(7));
  setTabOrder(valueField(7), valueField(8));
  setTabOrder(valueField(8), valueField(5));
  setTabOrder(valueField(5), valueField(6));

  FillControls();
}

void TFEditParPrzek::SetPickers(Picker timeType, Picker regulatorType) {
  pickTimeType_ = std::move(timeType);
  pickRegulatorType_ = std::move(regulatorType);
}

QComboBox* TFEditParPrzek::visibleChannelList() const {
  return channelList(ChannelListFor(regulatorType_));
}

void TFEditParPrzek::ShowTimeType(int code) {
  timeType_ = code;
  timeTypeButton_->setIcon(TimeTypeIcon(code));
  timeTypeButton_->setText(TimeTypeCaption(code));
}

void TFEditParPrzek::ShowRegulatorType(int code) {
  regulatorType_ = code;
  regulatorTypeButton_->setIcon(RegulatorTypeIcon(code));
  regulatorTypeButton_->setText(RegulatorTypeCaption(code));
  const ChannelList shown = ChannelListFor(code);
  for (const ChannelList list :
       {ChannelList::Measurement, ChannelList::CounterInput, ChannelList::Pid}) {
    channelList(list)->setVisible(list == shown);
  }
  channelLabel_->setText(ChannelListLabel(shown));
}

void TFEditParPrzek::FillControls() {
  const ConstRelayRecord relay(working().data());
  relayGroup_->setTitle(QStringLiteral("Relay No. %1").arg(relay.Number()));
  numberPicture_->setPixmap(
      RelayNumberIcon(relay.Number()).pixmap(numberPicture_->size(), devicePixelRatioF()));
  name_->SetName(relay.Name().Bytes(), codePageIndex());
  ShowTimeType(relay.TimeType());
  ta_->SetStoredValue(relay.TimeTa());
  tb_->SetStoredValue(relay.TimeTb());
  // The shown list starts on the stored channel; of the others the PID list starts on its
  // first entry and the rest on none.
  const ChannelList shown = ChannelListFor(relay.RegulatorType());
  for (const ChannelList list :
       {ChannelList::Measurement, ChannelList::CounterInput, ChannelList::Pid}) {
    SelectEntry(channelList(list), list == shown              ? relay.ChannelIndex()
                                   : list == ChannelList::Pid ? 0
                                                              : -1);
  }
  ShowRegulatorType(relay.RegulatorType());
  SelectEntry(setValue_, relay.SetValueIndex());
  valueField(8)->SetTenths(relay.UpperHysteresis());
  valueField(7)->SetTenths(relay.LowerHysteresis());
  valueField(5)->SetTenths(relay.RegulatorOffset());
  valueField(6)->SetTenths(relay.RegulatorWindow());
}

bool TFEditParPrzek::StoreControls() {
  // A field still holding a bad text (the toolbar does not take the focus, so it was never
  // left) is checked now, as on leaving it; nothing is stored until all four are numbers.
  for (const int n : {8, 7, 5, 6}) {
    if (!valueField(n)->Validate()) return false;
  }
  if (!ta_->Validate() || !tb_->Validate()) return false;
  const RelayRecord relay(working().data());
  relay.SetTimeType(timeType_);
  relay.SetRegulatorType(regulatorType_);
  relay.SetTimeTa(ta_->value());
  relay.SetTimeTb(tb_->value());
  relay.SetChannelWord(ComposeChannelWord(
      setValue_->currentIndex(), visibleChannelList()->currentIndex(), relay.ChannelWord()));
  relay.SetUpperHysteresis(valueField(8)->Tenths());
  relay.SetLowerHysteresis(valueField(7)->Tenths());
  relay.SetRegulatorOffset(valueField(5)->Tenths());
  relay.SetRegulatorWindow(valueField(6)->Tenths());
  relay.Name().SetBytes(name_->NameBytes());
  return true;
}

void TFEditParPrzek::OnTimeTypeClicked() {
  if (!pickTimeType_) return;
  if (const auto code = pickTimeType_(timeType_, this)) ShowTimeType(*code);
}

void TFEditParPrzek::OnRegulatorTypeClicked() {
  if (!pickRegulatorType_) return;
  // The lists keep their selections; the one that becomes visible shows what it last held.
  if (const auto code = pickRegulatorType_(regulatorType_, this)) ShowRegulatorType(*code);
}

bool EditRelay(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent) {
  TFEditParPrzek editor(context, copy, parent);
  return editor.Edit(copy);
}

}  // namespace qdx
