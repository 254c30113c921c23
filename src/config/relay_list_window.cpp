#include "config/relay_list_window.h"

#include "config/relay_editor.h"

namespace qdx {

Tflistaprzekaznikow::Tflistaprzekaznikow(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          RelaySection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditRelay(context, copy, owner);
          },
          parent) {}

void OpenRelayList(SectionWindowContext& context, QWidget* parent) {
  Tflistaprzekaznikow window(context, parent);
  window.exec();
}

}  // namespace qdx
