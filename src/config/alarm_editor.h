// The alarm editor: the alarm's message, delay, status, relay logic and relay outputs.
#pragma once

#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QComboBox;

namespace qdx {

// Editor of one alarm, with its own controller and disk transfers of this one record.
class TFAlarmy : public SectionEditor {
  Q_OBJECT
 public:
  TFAlarmy(SectionWindowContext& context, std::span<const std::uint8_t> record,
           QWidget* parent = nullptr);

  NameField* messageField() const { return message_; }
  IntegerField* delayField() const { return delay_; }
  QComboBox* statusList() const { return status_; }
  QComboBox* logicList() const { return logic_; }
  RelayOutputSwitches* outputs() const { return outputs_; }

 protected:
  void FillControls() override;
  bool StoreControls() override;
  TransferResult ReadFromController() override;
  TransferResult WriteToController() override;

 private:
  NameField* message_ = nullptr;
  IntegerField* delay_ = nullptr;
  QComboBox* status_ = nullptr;
  QComboBox* logic_ = nullptr;
  RelayOutputSwitches* outputs_ = nullptr;
};

// Edits one alarm; true when the user saved, copy then holding the edited alarm.
bool EditAlarm(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent);

}  // namespace qdx
