// The analog-output editor: the output's name, what it follows, its eight set values, its PID
// number and its own loop values, which stay hidden.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QComboBox;

namespace qdx {

// The bounds of the analog output's eight value fields.
inline constexpr std::int32_t kOutputValueMin = 0;
inline constexpr std::int32_t kOutputValueMax = 9999;

// Editor of one analog output; "Save" and "Cancel" only.
class TFkonfigwyjsc : public SectionEditor {
  Q_OBJECT
 public:
  // The value fields in record order: 0 V, 10 V, Stop, Pause, F1..F4.
  static constexpr int kValueCount = 8;

  TFkonfigwyjsc(SectionWindowContext& context, std::span<const std::uint8_t> record,
                QWidget* parent = nullptr);

  NameField* nameField() const { return name_; }
  QComboBox* typeList() const { return type_; }
  QComboBox* channelList() const { return channel_; }
  QComboBox* setValueList() const { return setValue_; }
  QComboBox* pidList() const { return pid_; }
  IntegerField* valueField(int i) const { return values_.at(static_cast<std::size_t>(i)); }
  QGroupBox* loopGroup() const { return loop_; }

 protected:
  void FillControls() override;
  bool StoreControls() override;

 private:
  NameField* name_ = nullptr;
  QComboBox* type_ = nullptr;
  QComboBox* channel_ = nullptr;
  QComboBox* setValue_ = nullptr;
  QComboBox* pid_ = nullptr;
  std::array<IntegerField*, kValueCount> values_{};
  QGroupBox* loop_ = nullptr;  // hidden: sampling period, gain, Ti, Td
  IntegerField* sample_ = nullptr;
  RealField* gain_ = nullptr;
  RealField* ti_ = nullptr;
  RealField* td_ = nullptr;
};

// Edits one analog output; true when the user saved, copy then holding the edited output.
bool EditAnalogOutput(SectionWindowContext& context, std::span<std::uint8_t> copy,
                      QWidget* parent);

}  // namespace qdx
