// Every section decoder on replies of every length up to one byte more than its operation
// reads, filled with arbitrary bytes: short replies are refused with nothing stored, and no
// decoder looks outside the reply (the sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/special_status_transactions.h"

namespace qdx {
namespace {

struct DecoderCase {
  const char* name;
  int length;  // what the operation reads
  std::function<LinkResult(const QByteArray&, std::span<std::uint8_t>)> decode;
  std::size_t recordBytes;
};

TEST(SectionDecoders, EveryLengthAndArbitraryBytes) {
  const DecoderCase cases[] = {
      {"relays", kRelayBlockReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeRelayBlock(r, r.size() > 9 ? r[9] : 0, RelayBlockBytes(out.data(), 552), 1);
       },
       552},
      {"alarms", kAlarmBlockReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeAlarmBlock(r, r.size() > 9 ? r[9] : 0, AlarmBlockBytes(out.data(), 1536), 3);
       },
       1536},
      {"special statuses", kSpecialStatusesReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeSpecialStatuses(r, SpecialStatusBytes(out.data(), 864));
       },
       864},
      {"process bodies", kProcessBlockReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeProcessBlock(r, r.size() > 9 ? r[9] : 0, ProcessBlockBytes(out.data(), 960),
                                   2);
       },
       960},
      {"preset table", kProcessPresetTableReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeProcessPresetTable(r, ProcessSetBytes(out.data(), 1920));
       },
       1920},
      {"program page of 2", 267,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeProgramPage(r, ProgramRecord(out.data()), r.size() > 9 ? r[9] & 1 : 0, 2, 1);
       },
       ProgramRecord::kSize},
      {"program page of 5", 227,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeProgramPage(r, ProgramRecord(out.data()), 4, 5, 3);
       },
       ProgramRecord::kSize},
      {"analog outputs", kAnalogOutputsReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeAnalogOutputs(r, AnalogOutputLayout::Current,
                                    AnalogOutputBytes(out.data(), 1320), 1);
       },
       1320},
      {"analog outputs, legacy", kAnalogOutputsReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodeAnalogOutputs(r, AnalogOutputLayout::Legacy,
                                    AnalogOutputBytes(out.data(), 1320), 2);
       },
       1320},
      {"PID", kPidRegulatorsReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodePidRegulators(r, PidBytes(out.data(), pid::kSize));
       },
       pid::kSize},
      {"passwords", kPasswordsReplyLength,
       [](const QByteArray& r, std::span<std::uint8_t> out) {
         return DecodePasswords(r, PasswordBytes(out.data(), passwords::kSize));
       },
       passwords::kSize},
  };
  std::mt19937 random(12345);
  for (const DecoderCase& c : cases) {
    for (int length = 0; length <= c.length + 1; ++length) {
      for (int round = 0; round < 3; ++round) {
        QByteArray reply(length, '\0');
        for (char& ch : reply) ch = static_cast<char>(random());
        // The exact size on the heap, so that a read past the end is a read outside.
        const QByteArray exact(reply.constData(), reply.size());
        std::vector<std::uint8_t> records(c.recordBytes, 0xA5);
        const LinkResult r = c.decode(exact, records);
        if (length < c.length) {
          EXPECT_EQ(r, kLinkShortReply) << c.name << " " << length;
          EXPECT_TRUE(std::all_of(records.begin(), records.end(), [](auto b) { return b == 0xA5; }))
              << c.name << " " << length;
        } else {
          EXPECT_TRUE(r == kLinkOk || r == kLinkUnexpectedReply) << c.name << " " << length;
        }
      }
    }
  }
}

}  // namespace
}  // namespace qdx
