// What the engines and their windows work on: the project's blocks and the link's context
// (port, station, path, code page, write-pending flag). The shell's session is one; qdx and
// the tests make their own.
#pragma once

#include "link/link_settings.h"
#include "model/blocks.h"

namespace qdx {

struct Workspace : LinkContext {
  ProjectBlocks blocks;
};

}  // namespace qdx
