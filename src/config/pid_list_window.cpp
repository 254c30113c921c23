#include "config/pid_list_window.h"

#include "config/pid_editor.h"
#include "config/pid_section.h"

namespace qdx {

Tflistapid::Tflistapid(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          PidSection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditPid(context, copy, owner);
          },
          parent) {}

void OpenPidList(SectionWindowContext& context, QWidget* parent) {
  Tflistapid window(context, parent);
  window.exec();
}

}  // namespace qdx
