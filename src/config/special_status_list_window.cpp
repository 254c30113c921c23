#include "config/special_status_list_window.h"

#include "config/special_status_editor.h"

namespace qdx {

Tflistafunkcji::Tflistafunkcji(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          SpecialStatusSection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditSpecialStatus(context, copy, owner);
          },
          parent) {}

void OpenSpecialStatusList(SectionWindowContext& context, QWidget* parent) {
  Tflistafunkcji window(context, parent);
  window.exec();
}

}  // namespace qdx
