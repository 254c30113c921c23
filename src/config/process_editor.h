// The process editor: a process's name, step end condition, relay outputs and step presets.
#pragma once

#include <QLineEdit>
#include <array>
#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QComboBox;

namespace qdx {

// Editor of one process of either set, with its own controller and disk transfers.
class TFStanPrzekaznikow : public SectionEditor {
  Q_OBJECT
 public:
  TFStanPrzekaznikow(SectionWindowContext& context, ProcessSet set,
                     std::span<const std::uint8_t> record, QWidget* parent = nullptr);

  NameField* nameField() const { return name_; }
  QComboBox* endConditionList() const { return endCondition_; }
  RelayOutputSwitches* outputs() const { return outputs_; }
  // The field of SP1..SP5 (k = 1..5).
  QLineEdit* presetField(int k) const { return presets_.at(static_cast<std::size_t>(k - 1)); }

 protected:
  void FillControls() override;
  bool StoreControls() override;
  TransferResult ReadFromController() override;
  TransferResult WriteToController() override;

 private:
  bool SlotValid() const { return slot() >= 1 && slot() <= kProcessCount; }

  ProcessSet set_;
  NameField* name_ = nullptr;
  QComboBox* endCondition_ = nullptr;
  RelayOutputSwitches* outputs_ = nullptr;
  std::array<QLineEdit*, ProcessRecord::kPresetCount> presets_{};
};

// Edits one process of the set; true when the user saved, copy then holding the edit.
bool EditProcess(SectionWindowContext& context, ProcessSet set, std::span<std::uint8_t> copy,
                 QWidget* parent);

}  // namespace qdx
