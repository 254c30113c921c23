// Every reply entry is written once for both directions; these cases prove that the two agree:
// records holding the edge values of each field are encoded, the request body is answered as a
// reply, and decoding it gives back the very same record bytes.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"
#include "model/password_entry.h"
#include "model/records.h"
#include "model/text_field.h"
#include "section_test_util.h"

namespace qdx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Which end of every field's range a record takes.
enum class Edge { Low, High };

template <typename T>
T Pick(Edge e, T low, T high) {
  return e == Edge::Low ? low : high;
}

template <typename View>
View At(Bytes& b, int k) {
  return View(b.data() + k * View::kSize);
}

template <typename Span>
Span SpanOf(Bytes& b) {
  return Span(b.data(), Span::extent);
}

void SetName(TextField name, Edge e) {
  name.SetBytes(Pick<QByteArray>(e, "", "Edge name 14ch"));
}

void SetOutputs(RelayOutputStates outputs, Edge e) {
  for (int n = 1; n <= 32; ++n) outputs.SetOn(n, e == Edge::High || n == 1 || n == 32);
}

// One section: its buffer, how to fill it, its request body and how to decode a reply.
struct Case {
  const char* name;
  std::size_t size;
  std::function<void(Bytes&, Edge)> fill;
  std::function<QByteArray(const Bytes&)> encode;
  int replyLength;
  std::function<void(const QByteArray&, Bytes&)> decode;
  int bodySkip = 0;  // request bytes the reply does not carry
};

QByteArray Body(const EncodedMessage& m) {
  EXPECT_TRUE(m.ok()) << m.error->Message().toStdString();
  return m.message.body;
}

constexpr int kBlock = 1;

void FillRelays(Bytes& b, Edge e) {
  for (int k = 0; k < kRelaysPerBlock; ++k) {
    const RelayRecord r = At<RelayRecord>(b, k);
    r.SetNumber(kRelaysPerBlock * kBlock + k + 1);
    SetName(r.Name(), e);
    r.SetTimeType(Pick(e, 0, 0xFFFF));
    r.SetTimeTa(Pick(e, 0, 0xFFFF));
    r.SetTimeTb(Pick(e, 0xFFFF, 0));
    r.SetRegulatorType(Pick(e, 0, 0xFFFF));
    r.SetChannelIndex(Pick(e, 0, 0xFF));
    r.SetSetValueIndex(Pick(e, 0xFF, 0));
    r.SetRegulatorOffset(Pick(e, -21474836, 21474836));
    r.SetRegulatorWindow(Pick(e, 21474836, -21474836));
    r.SetLowerHysteresis(Pick(e, -1, 1));
    r.SetUpperHysteresis(Pick(e, 0, -125));
  }
}

void FillAlarms(Bytes& b, Edge e) {
  for (int k = 0; k < kAlarmsPerBlock; ++k) {
    const AlarmRecord a = At<AlarmRecord>(b, k);
    a.SetNumber(kAlarmsPerBlock * kBlock + k + 1);
    SetName(a.Message(), e);
    a.SetDelayTime(Pick(e, 0, 0xFFFF));
    a.SetAlarmStatus(Pick(e, 0, 0xFF));
    a.SetRelayLogic(Pick(e, 0xFF, 0));
    SetOutputs(a.Outputs(), e);
  }
}

void FillSpecialStatuses(Bytes& b, Edge e) {
  for (int k = 0; k < kSpecialStatusCount; ++k) {
    const SpecialStatusRecord s = At<SpecialStatusRecord>(b, k);
    s.SetNumber(k + 1);
    s.SetSwitchOffTime(Pick(e, -32768, 32767));
    s.SetRelayLogic(Pick(e, 0, 0xFF));
    SetOutputs(s.Outputs(), e);
  }
}

void FillBodies(Bytes& b, Edge e) {
  for (int k = 0; k < kProcessesPerBlock; ++k) {
    const ProcessRecord p = At<ProcessRecord>(b, k);
    p.SetNumber(kProcessesPerBlock * kBlock + k + 1);
    SetName(p.Name(), e);
    p.SetStepEndCondition(Pick(e, 0xFF, 0));
    SetOutputs(p.Outputs(), e);
  }
}

void FillPresets(Bytes& b, Edge e) {
  for (int k = 0; k < kProcessCount; ++k) {
    for (int sp = 1; sp <= ProcessRecord::kPresetCount; ++sp) {
      At<ProcessRecord>(b, k).SetPreset(sp, Pick<std::int16_t>(e, -32768, 32767));
    }
  }
}

// Page 0 of a program laid out in `pages` pages.
void FillProgram(Bytes& b, Edge e, int pages) {
  const ProgramRecord r = At<ProgramRecord>(b, 0);
  r.SetNumber(Pick(e, 1, 256));
  SetName(r.Name(), e);
  const ProgramPageLayout layout = *ProgramLayout(pages);
  for (int n = 1; n <= layout.stepsPerPage; ++n) {
    const ProgramStep s = r.Step(n);
    s.SetChamberTemperature(Pick(e, -32768, 32767));
    s.SetAdditional1(Pick(e, 32767, -32768));
    s.SetCoreTemperature(Pick(e, -1, 0));
    s.SetAdditional2(Pick(e, 0, 1));
    s.SetHumidity(Pick(e, -32768, 32767));
    s.SetFurtherValue(Pick(e, 0, 0xFF));
    s.SetOnOffDelta(Pick(e, 0xFF, 0));
    s.SetDelta(Pick(e, 0, 0xFF));
    s.SetProcessNumber(Pick(e, 1, 256));
    s.SetHours(Pick(e, 0, 0xFF));
    s.SetMinutes(Pick(e, 0xFF, 0));
    if (layout.stepSize == kLongStepSize) {
      s.SetWorkTime(Pick(e, 0, 0xFFFF));
      s.SetPauseTime(Pick(e, 0xFFFF, 0));
    }
  }
}

void FillAnalogOutputs(Bytes& b, Edge e, AnalogOutputLayout layout) {
  for (int k = 0; k < kAnalogOutputCount; ++k) {
    const AnalogOutputRecord a = At<AnalogOutputRecord>(b, k);
    SetName(a.Name(), e);
    a.SetOutputType(Pick(e, 0, 0xFF));
    a.SetChannel(Pick(e, 0xFF, 0));
    a.SetSetValue(Pick(e, 0, 0xFF));
    if (layout == AnalogOutputLayout::Current) a.SetPidNumber(Pick(e, 0, 0xFF));
    a.SetValueAt0V(Pick(e, 0, 0xFFFF));
    a.SetValueAt10V(Pick(e, 0xFFFF, 0));
    a.SetStopSetValue(Pick(e, 0, 0xFFFF));
    a.SetPauseSetValue(Pick(e, 0xFFFF, 0));
    if (layout == AnalogOutputLayout::Legacy) {
      a.SetSamplePeriod(Pick(e, -21474836.48, 21474836.47));
      a.SetGain(Pick(e, 0.01, -0.01));
      a.SetIntegralTime(Pick(e, 21474836.47, -21474836.48));
      a.SetDerivativeTime(Pick(e, 0.0, 12.5));
    }
    for (int f = 1; f <= AnalogOutputRecord::kFunctionCount; ++f) {
      a.SetFunctionSetValue(f, Pick(e, 0, 0xFFFF));
    }
  }
}

void FillPids(Bytes& b, Edge e) {
  for (int k = 0; k < kPidCount; ++k) {
    const PidRecord p = At<PidRecord>(b, k);
    p.SetRegulatorType(Pick(e, 0, 0xFF));
    p.SetChannel(Pick(e, 0xFF, 0));
    p.SetSetValue(Pick(e, 0, 0xFF));
    p.SetSamplePeriod(Pick(e, -2147483648.0, 2147483647.0));
    p.SetProportionalBand(Pick(e, -214748364.8, 214748364.7));
    p.SetIntegralTime(Pick(e, 2147483647.0, -2147483648.0));
    p.SetDerivativeTime(Pick(e, 0.0, -1.0));
    p.SetPulsePeriod(Pick(e, 1.0, 0.0));
  }
}

void FillPasswords(Bytes& b, Edge e) {
  for (int k = 0; k < passwords::kEntryCount; ++k) {
    TextField(b.data() + k * passwords::kEntrySize, passwords::kEntryCapacity)
        .SetBytes(Pick<QByteArray>(e, "000000", "\xff\xfezz~!"));
  }
}

void FillSetup(Bytes& b, Edge e) {
  for (int word = 0; word < kSetupWireWords; ++word) {
    b[2 * word] = static_cast<std::uint8_t>(Pick(e, word, 0xFF));
    b[2 * word + 1] = static_cast<std::uint8_t>(Pick(e, 0, 0xFF));
  }
}

std::vector<Case> Cases() {
  const auto analog = [](AnalogOutputLayout layout) {
    return Case{"analog outputs",
                kAnalogOutputCount * AnalogOutputRecord::kSize,
                [layout](Bytes& b, Edge e) { FillAnalogOutputs(b, e, layout); },
                [layout](const Bytes& b) {
                  return Body(AnalogOutputsWriteMessage(
                      layout, ConstAnalogOutputBytes(b.data(), b.size()), 0));
                },
                kAnalogOutputsReplyLength,
                [layout](const QByteArray& reply, Bytes& b) {
                  DecodeAnalogOutputs(reply, layout, SpanOf<AnalogOutputBytes>(b), 0);
                }};
  };
  const auto program = [](int pages) {
    return Case{"program page",
                ProgramRecord::kSize,
                [pages](Bytes& b, Edge e) { FillProgram(b, e, pages); },
                [pages](const Bytes& b) {
                  return Body(ProgramPageWriteMessage(ConstProgramRecord(b.data()), 0, pages, 0));
                },
                ProgramLayout(pages)->ReplyLength(),
                [pages](const QByteArray& reply, Bytes& b) {
                  DecodeProgramPage(reply, ProgramRecord(b.data()), 0, pages, 0);
                }};
  };
  return {
      {"relays", kRelaysPerBlock * RelayRecord::kSize, FillRelays,
       [](const Bytes& b) {
         return Body(RelayBlockWriteMessage(kBlock, ConstRelayBlockBytes(b.data(), b.size()), 0));
       },
       kRelayBlockReplyLength,
       [](const QByteArray& r, Bytes& b) {
         DecodeRelayBlock(r, kBlock, SpanOf<RelayBlockBytes>(b), 0);
       }},
      {"alarms", kAlarmsPerBlock * AlarmRecord::kSize, FillAlarms,
       [](const Bytes& b) {
         return Body(AlarmBlockWriteMessage(kBlock, ConstAlarmBlockBytes(b.data(), b.size()), 0));
       },
       kAlarmBlockReplyLength,
       [](const QByteArray& r, Bytes& b) {
         DecodeAlarmBlock(r, kBlock, SpanOf<AlarmBlockBytes>(b), 0);
       }},
      {"special statuses", kSpecialStatusCount * SpecialStatusRecord::kSize, FillSpecialStatuses,
       [](const Bytes& b) {
         return Body(SpecialStatusesWriteMessage(ConstSpecialStatusBytes(b.data(), b.size())));
       },
       kSpecialStatusesReplyLength,
       [](const QByteArray& r, Bytes& b) {
         DecodeSpecialStatuses(r, SpecialStatusBytes(b.data(), b.size()));
       }},
      {"process bodies", kProcessesPerBlock * ProcessRecord::kSize, FillBodies,
       [](const Bytes& b) {
         return Body(ProcessBlockWriteMessage(ProcessSet::Washing, kBlock,
                                              ConstProcessBlockBytes(b.data(), b.size()), 0));
       },
       kProcessBlockReplyLength,
       [](const QByteArray& r, Bytes& b) {
         DecodeProcessBlock(r, kBlock, SpanOf<ProcessBlockBytes>(b), 0);
       }},
      {"preset table", kProcessCount * ProcessRecord::kSize, FillPresets,
       [](const Bytes& b) {
         return ProcessPresetTableWriteMessage(ProcessSet::Normal,
                                               ConstProcessSetBytes(b.data(), b.size()))
             .body;
       },
       kProcessPresetTableReplyLength,
       [](const QByteArray& r, Bytes& b) {
         DecodeProcessPresetTable(r, SpanOf<ProcessSetBytes>(b));
       }},
      program(1),
      program(5),
      analog(AnalogOutputLayout::Current),
      analog(AnalogOutputLayout::Legacy),
      {"PID regulators", pid::kSize, FillPids,
       [](const Bytes& b) {
         return Body(PidRegulatorsWriteMessage(ConstPidBytes(b.data(), b.size())));
       },
       kPidRegulatorsReplyLength,
       [](const QByteArray& r, Bytes& b) { DecodePidRegulators(r, SpanOf<PidBytes>(b)); }},
      {"passwords", passwords::kSize, FillPasswords,
       [](const Bytes& b) {
         return PasswordsWriteMessage(ConstPasswordBytes(b.data(), b.size())).body;
       },
       kPasswordsReplyLength,
       [](const QByteArray& r, Bytes& b) { DecodePasswords(r, SpanOf<PasswordBytes>(b)); }},
      {"setup", image::kSetupSize, FillSetup,
       [](const Bytes& b) { return WriteSetupMessage(ConstSetupBytes(b.data(), b.size())).body; },
       kSetupReplyLength,
       [](const QByteArray& r, Bytes& b) { DecodeSetup(r, SpanOf<SetupBytes>(b)); },
       /*bodySkip=*/2},
  };
}

TEST(WireRoundTrip, EveryEntryComesBackAsItWentAtBothEndsOfItsFields) {
  for (const Case& c : Cases()) {
    for (const Edge e : {Edge::Low, Edge::High}) {
      SCOPED_TRACE(std::string(c.name) + (e == Edge::Low ? " low" : " high"));
      Bytes sent(c.size, 0);
      c.fill(sent, e);
      const QByteArray body = c.encode(sent);
      Bytes received(c.size, 0);
      c.decode(test::SectionReply(body.mid(c.bodySkip), c.replyLength), received);
      EXPECT_EQ(received, sent);
    }
  }
}

}  // namespace
}  // namespace qdx
