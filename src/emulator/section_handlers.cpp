#include "emulator/section_handlers.h"

#include "emulator/emulator.h"
#include "link/frame.h"

namespace qdx {
namespace {

struct Entry {
  std::uint8_t classLetter;
  std::uint8_t command;
  int minParams;
  int maxParams;
};

// Parameter sizes a request may have; the section memory checks the exact size (programs and
// analog outputs have one per layout) and the block, index and page numbers.
constexpr Entry kSectionRequests[] = {
    {kClassRead, 0x0C, 1, 1},  // relay block
    {kClassRead, 0x0F, 1, 1},  // alarm block
    {kClassRead, 0x0E, 0, 0},  // special statuses
    {kClassRead, 0x0D, 1, 1},  // process bodies, normal
    {kClassRead, 0x10, 1, 1},  // process bodies, washing
    {kClassRead, 0x13, 1, 1},  // preset table
    {kClassRead, 0x0B, 2, 2},  // program page
    {kClassRead, 0x12, 1, 1},  // analog outputs
    {kClassRead, 0x38, 1, 1},  // PID regulators
    {kClassRead, 0x11, 0, 0},  // passwords
    {kClassWrite, 0x0C, 241, 241}, {kClassWrite, 0x0F, 265, 265}, {kClassWrite, 0x17, 23, 23},
    {kClassWrite, 0x0E, 42, 42},   {kClassWrite, 0x16, 8, 8},     {kClassWrite, 0x0D, 153, 153},
    {kClassWrite, 0x10, 153, 153}, {kClassWrite, 0x15, 20, 20},   {kClassWrite, 0x18, 20, 20},
    {kClassWrite, 0x13, 161, 161}, {kClassWrite, 0x1A, 11, 11},   {kClassWrite, 0x0B, 216, 496},
    {kClassWrite, 0x12, 171, 246}, {kClassWrite, 0x38, 116, 116}, {kClassWrite, 0x11, 222, 222},
};

}  // namespace

void RegisterSectionHandlers(Emulator& emulator) {
  for (const Entry& e : kSectionRequests) {
    emulator.AddHandler(e.classLetter, e.command, e.minParams, e.maxParams,
                        [&emulator](const InnerRequest& request) {
                          ControllerMemory& memory = emulator.Memory();
                          return memory.sections.Handle(request.classLetter, request.command,
                                                        request.params, memory.ProgramVersion());
                        });
  }
}

}  // namespace qdx
