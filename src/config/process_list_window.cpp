#include "config/process_list_window.h"

#include "config/process_editor.h"

namespace qdx {

TfListakrokow::TfListakrokow(SectionWindowContext& context, ProcessSet set, QWidget* parent)
    : SectionListWindow(
          ProcessSection(set), context,
          [&context, set](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditProcess(context, set, copy, owner);
          },
          parent) {}

void OpenProcessList(SectionWindowContext& context, ProcessSet set, QWidget* parent) {
  TfListakrokow window(context, set, parent);
  window.exec();
}

}  // namespace qdx
