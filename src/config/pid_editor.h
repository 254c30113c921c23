// The PID regulator editor: heating or cooling, channel, set value and the loop values Tp, Xp,
// Ti, Td and To.
#pragma once

#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QComboBox;

namespace qdx {

// The bounds of the sampling period Tp.
inline constexpr std::int32_t kPidSampleMin = 0;
inline constexpr std::int32_t kPidSampleMax = 9999;

// Editor of one PID regulator; "Save" and "Cancel" only. Xp is typed in percent and stored in
// tenths of a percent.
class TFUstawPID : public SectionEditor {
  Q_OBJECT
 public:
  TFUstawPID(SectionWindowContext& context, std::span<const std::uint8_t> record,
             QWidget* parent = nullptr);

  QComboBox* typeList() const { return type_; }
  QComboBox* channelList() const { return channel_; }
  QComboBox* setValueList() const { return setValue_; }
  IntegerField* tpField() const { return tp_; }
  RealField* xpField() const { return xp_; }
  RealField* tiField() const { return ti_; }
  RealField* tdField() const { return td_; }
  RealField* toField() const { return to_; }

 protected:
  void FillControls() override;
  bool StoreControls() override;

 private:
  QComboBox* type_ = nullptr;
  QComboBox* channel_ = nullptr;
  QComboBox* setValue_ = nullptr;
  IntegerField* tp_ = nullptr;
  RealField* xp_ = nullptr;
  RealField* ti_ = nullptr;
  RealField* td_ = nullptr;
  RealField* to_ = nullptr;
};

// Edits one regulator; true when the user saved, copy then holding the edited regulator.
bool EditPid(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent);

}  // namespace qdx
