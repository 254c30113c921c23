// A project with every section filled with varied values that its wire fields carry, for
// tests and benchmarks of whole-project transfers: what is sent reads back the same in every
// compared field at the given controller program version.
#pragma once

#include <cstdint>

#include "files/project_files.h"

namespace qdx::test {

// Fills image, PID table and passwords of blocks from seed. Steps are filled only as far as
// the version's pages carry them (30 or 50), work and pause times only where 20-byte steps
// carry them, the analog outputs' own PID values only for the legacy layout (below 600) and
// their PID number only for the current one. Setup words 98 and 99 are left alone.
void FillFullProject(ProjectBlocks& blocks, std::int16_t programVersion, std::uint32_t seed = 7);

}  // namespace qdx::test
