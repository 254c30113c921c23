#include "emulator/section_handlers.h"

#include "emulator/command_codes.h"
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
    {kClassRead, cmd::kRelays, 1, 1},
    {kClassRead, cmd::kAlarms, 1, 1},
    {kClassRead, cmd::kSpecials, 0, 0},
    {kClassRead, cmd::kBodiesNormal, 1, 1},
    {kClassRead, cmd::kBodiesWashing, 1, 1},
    {kClassRead, cmd::kPresetTable, 1, 1},
    {kClassRead, cmd::kProgram, 2, 2},
    {kClassRead, cmd::kAnalogOutputs, 1, 1},
    {kClassRead, cmd::kPid, 1, 1},
    {kClassRead, cmd::kPasswords, 0, 0},
    {kClassWrite, cmd::kRelays, 241, 241},
    {kClassWrite, cmd::kAlarms, 265, 265},
    {kClassWrite, cmd::kAlarm, 23, 23},
    {kClassWrite, cmd::kSpecials, 42, 42},
    {kClassWrite, cmd::kSpecial, 8, 8},
    {kClassWrite, cmd::kBodiesNormal, 153, 153},
    {kClassWrite, cmd::kBodiesWashing, 153, 153},
    {kClassWrite, cmd::kProcessNormal, 20, 20},
    {kClassWrite, cmd::kProcessWashing, 20, 20},
    {kClassWrite, cmd::kPresetTable, 161, 161},
    {kClassWrite, cmd::kPresets, 11, 11},
    {kClassWrite, cmd::kProgram, 216, 496},
    {kClassWrite, cmd::kAnalogOutputs, 171, 246},
    {kClassWrite, cmd::kPid, 116, 116},
    {kClassWrite, cmd::kPasswords, 222, 222},
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
