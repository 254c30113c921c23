// Feeds arbitrary replies to the decoders of the section catalogue. A decoder sees only what
// the link received; whatever it holds, nothing may be read outside the reply or written
// outside the caller's records.
//
// Input: byte 0 chooses the decoder, byte 1 its block, page or set, byte 2 the code page
// (bits 0-2; values above 3 convert nothing) and the sizing (bits 3-4: 0 the rest as it is,
// 1 cut or padded to the reply length the operation expects, 2 one byte longer, 3 one byte
// shorter), so that decoding also runs on well-sized replies and not only on short ones.
//
// A bounded run (about a million inputs a minute on one core):
//   cmake --preset fuzz && cmake --build --preset fuzz --target reply_decoder_fuzzer
//   build/fuzz/fuzz/reply_decoder_fuzzer -max_total_time=60 -max_len=600
#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>

#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"

namespace {

using namespace qdx;

struct Buffers {
  RelayBlockBuffer relays{};
  AlarmBlockBuffer alarms{};
  ProcessBlockBuffer processes{};
  std::array<std::uint8_t, kProcessCount * ProcessRecord::kSize> processSet{};
  std::array<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize> statuses{};
  RecordBytes<ProgramRecord> program{};
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> outputs{};
  std::array<std::uint8_t, pid::kSize> pids{};
  std::array<std::uint8_t, image::kSetupSize> setup{};
  std::array<std::uint8_t, passwords::kSize> passwords{};
};

constexpr int kDecoders = 10;

int ExpectedLength(int decoder, int param) {
  switch (decoder) {
    case 0:
      return kRelayBlockReplyLength;
    case 1:
      return kAlarmBlockReplyLength;
    case 2:
      return kSpecialStatusesReplyLength;
    case 3:
      return kProcessBlockReplyLength;
    case 4:
      return kProcessPresetTableReplyLength;
    case 5: {
      const auto layout = ProgramLayout(param % 6);
      return layout ? layout->ReplyLength() : 0;
    }
    case 6:
      return kAnalogOutputsReplyLength;
    case 7:
      return kPidRegulatorsReplyLength;
    case 8:
      return kSetupReplyLength;
    default:
      return kPasswordsReplyLength;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static Buffers b;
  const int decoder = data[0] % kDecoders;
  const int param = data[1];
  const int codePage = data[2] & 0x07;
  const int sizing = (data[2] >> 3) & 0x03;
  QByteArray reply(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));
  const int expected = ExpectedLength(decoder, param);
  if (sizing != 0) {
    const int length = expected + (sizing == 2 ? 1 : sizing == 3 ? -1 : 0);
    reply.resize(length < 0 ? 0 : length, '\0');
  }

  switch (decoder) {
    case 0:
      DecodeRelayBlock(reply, param % 8, b.relays, codePage);
      break;
    case 1:
      DecodeAlarmBlock(reply, param % 3, b.alarms, codePage);
      break;
    case 2:
      DecodeSpecialStatuses(reply, b.statuses);
      break;
    case 3:
      DecodeProcessBlock(reply, param % 3, b.processes, codePage);
      break;
    case 4:
      DecodeProcessPresetTable(reply, b.processSet);
      break;
    case 5:
      // Page counts 0..5 (0 has no layout) and pages up to one past the last.
      DecodeProgramPage(reply, ProgramRecord(b.program.data()), (param >> 3) % 7, param % 6,
                        codePage);
      break;
    case 6:
      DecodeAnalogOutputs(reply,
                          param & 1 ? AnalogOutputLayout::Legacy : AnalogOutputLayout::Current,
                          b.outputs, codePage);
      break;
    case 7:
      DecodePidRegulators(reply, b.pids);
      break;
    case 8:
      DecodeSetup(reply, b.setup);
      break;
    default:
      DecodePasswords(reply, b.passwords);
      break;
  }
  return 0;
}
