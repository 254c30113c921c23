#include "config/analog_output_list_window.h"

#include "config/analog_output_editor.h"
#include "config/analog_output_section.h"

namespace qdx {

TfListaWyjAnal::TfListaWyjAnal(SectionWindowContext& context, QWidget* parent)
    : SectionListWindow(
          AnalogOutputSection(), context,
          [&context](std::span<std::uint8_t> copy, QWidget* owner) {
            return EditAnalogOutput(context, copy, owner);
          },
          parent) {}

void OpenAnalogOutputList(SectionWindowContext& context, QWidget* parent) {
  TfListaWyjAnal window(context, parent);
  window.exec();
}

}  // namespace qdx
