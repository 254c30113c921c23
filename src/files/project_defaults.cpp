#include "files/project_defaults.h"

#include <array>

#include "model/records.h"

namespace qdx {

namespace {
constexpr std::array<const char*, kSpecialStatusCount> kFixedNames = {
    "Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
}  // namespace

QByteArray FixedSpecialStatusName(int n) {
  detail::CheckRecordIndex("special status", n, 1, kSpecialStatusCount);
  return QByteArray(kFixedNames[static_cast<std::size_t>(n - 1)]);
}

void ApplyStartupDefaults(ProjectImage& image) {
  WashingProgram(image).Name().SetBytes(kWashingProgramName);
  for (int i = 1; i <= kRelayCount; ++i) Relay(image, i).SetNumber(i);
  for (int i = 1; i <= kSpecialStatusCount; ++i) SpecialStatus(image, i).SetNumber(i);
  for (int i = 1; i <= kAlarmCount; ++i) Alarm(image, i).SetNumber(i);
  for (int i = 1; i <= kProcessCount; ++i) {
    Process(image, ProcessSet::Normal, i).SetNumber(i);
    Process(image, ProcessSet::Washing, i).SetNumber(i);
  }
  WashingProgram(image).SetNumber(kWashingProgramNumber);
  // Slot 100 keeps 0: no window or transfer uses it.
  for (int i = 1; i <= kListedPrograms; ++i) Program(image, i).SetNumber(i);
}

void ApplyFixedNames(ProjectImage& image) {
  for (int i = 1; i <= kSpecialStatusCount; ++i) {
    SpecialStatus(image, i).Name().SetBytes(FixedSpecialStatusName(i));
  }
}

}  // namespace qdx
