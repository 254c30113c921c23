#include "config/program_list_window.h"

#include "config/program_editor.h"

namespace qdx {

Tflistaprojektow::Tflistaprojektow(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          ProgramSection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditProgram(context, copy, owner);
          },
          parent) {}

void OpenProgramList(SectionWindowContext& context, QWidget* parent) {
  Tflistaprojektow window(context, parent);
  window.exec();
}

}  // namespace qdx
