#include "config/alarm_list_window.h"

#include "config/alarm_editor.h"

namespace qdx {

TFListaAlarmow::TFListaAlarmow(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          AlarmSection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditAlarm(context, copy, owner);
          },
          parent) {}

void OpenAlarmList(SectionWindowContext& context, QWidget* parent) {
  TFListaAlarmow window(context, parent);
  window.exec();
}

}  // namespace qdx
