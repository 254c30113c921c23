// The analog outputs as their list window and editor show them, and the table row an analog
// output and a PID regulator share.
#pragma once

#include <cstdint>

#include "config/section_table.h"

namespace qdx {

// The analog-output section: "Analog OUT", five records without a number field, ".aou" files,
// edited by button or double click only.
const SectionDescription& AnalogOutputSection();

// The row of an analog output or a PID regulator, whose first 160 bytes are laid out alike:
// p1 type, p2 channel, p3 set value, p4..p7 the four set values, p8..p11 the loop values
// (reals), p12..p15 the four values in the places of F1..F4, p16 the byte of the PID number.
template <typename Record>
MemprojRow OutputLoopRow(const Record& r, std::uint16_t type, double gain, int codePageIndex) {
  MemprojRow row;
  row.Nazwa = DecodedName(r.Name().Bytes(), codePageIndex);
  row.p = {type,
           r.Channel(),
           r.SetValue(),
           r.ValueAt0V(),
           r.ValueAt10V(),
           r.StopSetValue(),
           r.PauseSetValue(),
           std::nullopt,
           std::nullopt,
           std::nullopt,
           std::nullopt,
           r.FunctionSetValue(1),
           r.FunctionSetValue(2),
           r.FunctionSetValue(3),
           r.FunctionSetValue(4),
           r.PidNumber()};
  row.reals = {std::nullopt,       std::nullopt, std::nullopt,        std::nullopt,
               std::nullopt,       std::nullopt, std::nullopt,        r.SamplePeriod(),
               gain,               r.IntegralTime(), r.DerivativeTime()};
  return row;
}

}  // namespace qdx
