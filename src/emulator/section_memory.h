// What the emulated controller keeps of the configuration sections, in the form they travel:
// the wire entries of relays, alarms, special statuses, process bodies and presets, PID
// regulators and passwords; the programs as 50 steps of 20 bytes each, cut into pages by the
// program version the controller reports; the analog outputs field by field, so that either
// layout can be answered.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

namespace qdx {

// Program slots of the controller: indexes 0..99 and the washing program at 100.
inline constexpr int kEmulatorProgramSlots = 101;
inline constexpr int kEmulatorStepsPerProgram = 50;
inline constexpr int kEmulatorStepSize = 20;

struct EmulatorAnalogOutput {
  QByteArray name = QByteArray(14, ' ');
  std::uint8_t type = 0;
  std::uint8_t channel = 0;
  std::uint8_t setValue = 0;
  std::uint8_t pidNumber = 0;  // 34-byte layout only
  std::uint16_t valueAt0V = 0;
  std::uint16_t valueAt10V = 0;
  std::uint16_t stop = 0;
  std::uint16_t pause = 0;
  std::array<std::uint32_t, 4> pidTimes100 = {};  // 49-byte layout only: period, gain, Ti, Td
  std::array<std::uint16_t, 4> functions = {};    // F1..F4
};

struct EmulatorProgram {
  QByteArray name = QByteArray(14, ' ');
  QByteArray steps = QByteArray(kEmulatorStepsPerProgram * kEmulatorStepSize, '\0');
};

class SectionMemory {
 public:
  SectionMemory();

  // The answer data to a section request (class 'F' read or 'G' write, its command and the
  // bytes after its inner header), given the program version the controller reports; nothing
  // when the controller would not answer (an unknown command, a size or an address that does
  // not fit).
  std::optional<QByteArray> Handle(std::uint8_t classLetter, std::uint8_t command,
                                   const QByteArray& params, std::int16_t programVersion);

  // Everything stored, for tests and the program's log.
  QByteArray relays;      // 32 x 40
  QByteArray alarms;      // 21 x 22
  QByteArray specials;    // 6 x 7
  QByteArray bodies[2];   // normal, washing: 16 x 19
  QByteArray presets[2];  // normal, washing: 16 x 10
  std::array<EmulatorProgram, kEmulatorProgramSlots> programs;
  std::array<EmulatorAnalogOutput, 5> analogOutputs;
  QByteArray pids;       // 5 x 23
  QByteArray passwords;  // 37 x 6
  int writes = 0;        // section writes taken

 private:
  std::optional<QByteArray> Read(std::uint8_t command, const QByteArray& params,
                                 std::int16_t programVersion) const;
  std::optional<QByteArray> Write(std::uint8_t command, const QByteArray& params,
                                  std::int16_t programVersion);
  QByteArray ReadAnalogOutputs(bool legacy) const;
  void WriteAnalogOutputs(const QByteArray& entries, bool legacy);
  std::optional<QByteArray> ReadProgramPage(const QByteArray& params,
                                            std::int16_t programVersion) const;
  bool WriteProgramPage(const QByteArray& params, std::int16_t programVersion);
};

// The demo configuration a fresh emulator holds: a smokehouse project (named relays,
// processes of both sets, a few programs and the washing program, alarms, special statuses,
// analog outputs, PID regulators, passwords) written into memory through the PC's own section
// encoders.
void LoadDemoSections(SectionMemory& memory);

}  // namespace qdx
