// The relay editor: name, time type with its two times, regulator type with the channel and
// set-value lists, and the four regulator values over the regulator characteristic.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "config/choice_lists.h"
#include "config/section_editor.h"

class QComboBox;
class QGroupBox;
class QLabel;

namespace qdx {

// The regulator characteristic with the fields P5..P8 placed on it.
class RegulatorCharacteristicView : public QWidget {
  Q_OBJECT
 public:
  explicit RegulatorCharacteristicView(QWidget* parent = nullptr);
  // Places field n (5..8) on the picture, with its caption.
  void PlaceField(int n, QWidget* field);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Reposition();
  std::array<QWidget*, 4> fields_{};  // P5..P8
};

// Editor of one relay; "Save" stores every control into the relay, "Cancel" and the close box
// leave it as it was.
class TFEditParPrzek : public SectionEditor {
  Q_OBJECT
 public:
  // Opens a picker with the current code; the chosen code, or nothing.
  using Picker = std::function<std::optional<int>(int current, QWidget* parent)>;

  TFEditParPrzek(SectionWindowContext& context, std::span<const std::uint8_t> record,
                 QWidget* parent = nullptr);

  // The pickers the two type buttons open (the picture pickers unless replaced, as in tests).
  void SetPickers(Picker timeType, Picker regulatorType);

  int timeType() const { return timeType_; }
  int regulatorType() const { return regulatorType_; }
  QGroupBox* relayGroup() const { return relayGroup_; }
  NameField* nameField() const { return name_; }
  QToolButton* timeTypeButton() const { return timeTypeButton_; }
  QToolButton* regulatorTypeButton() const { return regulatorTypeButton_; }
  BoundedSpinBox* taField() const { return ta_; }
  BoundedSpinBox* tbField() const { return tb_; }
  QComboBox* channelList(ChannelList list) const { return channels_[static_cast<int>(list)]; }
  // The channel list shown for the current regulator type.
  QComboBox* visibleChannelList() const;
  QLabel* channelLabel() const { return channelLabel_; }
  QComboBox* setValueList() const { return setValue_; }
  QLabel* warningLabel() const { return warning_; }
  // The value field Pn, n = 5..8.
  TenthsField* valueField(int n) const { return values_.at(static_cast<std::size_t>(n - 5)); }

 public slots:
  void OnTimeTypeClicked();
  void OnRegulatorTypeClicked();

 protected:
  void FillControls() override;
  bool StoreControls() override;

 private:
  void ShowTimeType(int code);
  void ShowRegulatorType(int code);

  int timeType_ = 0;
  int regulatorType_ = 0;
  Picker pickTimeType_;
  Picker pickRegulatorType_;
  QGroupBox* relayGroup_ = nullptr;
  QLabel* numberPicture_ = nullptr;
  NameField* name_ = nullptr;
  QToolButton* timeTypeButton_ = nullptr;
  QToolButton* regulatorTypeButton_ = nullptr;
  BoundedSpinBox* ta_ = nullptr;
  BoundedSpinBox* tb_ = nullptr;
  std::array<QComboBox*, 3> channels_{};
  QLabel* channelLabel_ = nullptr;
  QComboBox* setValue_ = nullptr;
  QLabel* warning_ = nullptr;
  std::array<TenthsField*, 4> values_{};  // P5..P8
};

// Edits one relay; true when the user saved, copy then holding the edited relay.
bool EditRelay(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent);

}  // namespace qdx
