// The project image's header: a length-prefixed text of at most 100 characters that no
// window shows; it is only carried through files.
#pragma once

#include "model/blocks.h"
#include "model/text_field.h"

namespace qdx {

inline TextField Header(ProjectImage& image) {
  return TextField(image.data() + image::kHeaderOffset, image::kHeaderMaxChars);
}
inline ConstTextField Header(const ProjectImage& image) {
  return ConstTextField(image.data() + image::kHeaderOffset, image::kHeaderMaxChars);
}

}  // namespace qdx
