// The special-status editor: the status's fixed name, switch-off time, relay logic and relay
// outputs.
#pragma once

#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QComboBox;
class QLabel;

namespace qdx {

// Editor of one special status, with its own controller and disk transfers of this record.
class TFEdycjastanSpec : public SectionEditor {
  Q_OBJECT
 public:
  TFEdycjastanSpec(SectionWindowContext& context, std::span<const std::uint8_t> record,
                   QWidget* parent = nullptr);

  QLabel* nameLabel() const { return name_; }
  IntegerField* switchOffField() const { return switchOff_; }
  QComboBox* logicList() const { return logic_; }
  RelayOutputSwitches* outputs() const { return outputs_; }

 protected:
  void FillControls() override;
  bool StoreControls() override;
  TransferResult ReadFromController() override;
  TransferResult WriteToController() override;

 private:
  QLabel* name_ = nullptr;
  QByteArray nameBytes_;  // the name as shown, in record bytes
  IntegerField* switchOff_ = nullptr;
  QComboBox* logic_ = nullptr;
  RelayOutputSwitches* outputs_ = nullptr;
};

// Edits one special status; true when the user saved, copy then holding the edited status.
bool EditSpecialStatus(SectionWindowContext& context, std::span<std::uint8_t> copy,
                       QWidget* parent);

}  // namespace qdx
