#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/records.h"

namespace qdx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes PatternBuffer(std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(0x5A + i * 13);
  return b;
}

// One field: a write through its setter must put exactly `bytes` at `offset` and nothing
// anywhere else, and the getter must give the value back.
struct FieldCase {
  std::string name;
  std::size_t recordSize;
  std::size_t offset;
  Bytes bytes;
  std::function<void(std::uint8_t*)> write;
  std::function<bool(const std::uint8_t*)> readsBack;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
  *os << c.name;
}

// View and ConstView are deduced from the accessors, or named where the accessors belong to
// a shared base of the record.
template <typename ViewArg = void, typename ConstViewArg = void, typename Owner,
          typename ConstOwner, typename T, typename R>
FieldCase Field(std::string name, std::size_t offset, void (Owner::*set)(T) const,
                R (ConstOwner::*get)() const, T value, Bytes bytes) {
  using View = std::conditional_t<std::is_void_v<ViewArg>, Owner, ViewArg>;
  using ConstView = std::conditional_t<std::is_void_v<ConstViewArg>, ConstOwner, ConstViewArg>;
  return FieldCase{
      std::move(name),
      View::kSize,
      offset,
      std::move(bytes),
      [=](std::uint8_t* p) { (View(p).*set)(value); },
      [=](const std::uint8_t* p) { return static_cast<T>((ConstView(p).*get)()) == value; }};
}

const Bytes kS32{0xFE, 0xFF, 0xFF, 0xFF};        // -2
const Bytes kU16{0xCD, 0xAB};                    // 0xABCD
const Bytes kS16{0x85, 0xFF};                    // -123
const Bytes kF64{0, 0, 0, 0, 0, 0, 0x04, 0x40};  // 2.5
constexpr std::int32_t kS32Value = -2;
constexpr std::uint16_t kU16Value = 0xABCD;

std::vector<FieldCase> AllFields() {
  using R = RelayRecord;
  using CR = ConstRelayRecord;
  using P = ProcessRecord;
  using CP = ConstProcessRecord;
  using S = ProgramStep;
  using CS = ConstProgramStep;
  using G = ProgramRecord;
  using CG = ConstProgramRecord;
  using A = AlarmRecord;
  using CA = ConstAlarmRecord;
  using X = SpecialStatusRecord;
  using CX = ConstSpecialStatusRecord;
  using O = AnalogOutputRecord;
  using CO = ConstAnalogOutputRecord;
  using D = PidRecord;
  using CD = ConstPidRecord;
  std::vector<FieldCase> c = {
      Field("relay number", 0, &R::SetNumber, &CR::Number, kS32Value, kS32),
      Field("relay time type", 36, &R::SetTimeType, &CR::TimeType, kS32Value, kS32),
      Field("relay Ta", 40, &R::SetTimeTa, &CR::TimeTa, kS32Value, kS32),
      Field("relay Tb", 44, &R::SetTimeTb, &CR::TimeTb, kS32Value, kS32),
      Field("relay regulator type", 48, &R::SetRegulatorType, &CR::RegulatorType, kS32Value, kS32),
      Field("relay channel word", 52, &R::SetChannelWord, &CR::ChannelWord, std::int32_t{0x0E02},
            Bytes{0x02, 0x0E, 0, 0}),
      Field("relay channel index", 52, &R::SetChannelIndex, &CR::ChannelIndex, std::uint8_t{3},
            Bytes{3}),
      Field("relay set-value index", 53, &R::SetSetValueIndex, &CR::SetValueIndex, std::uint8_t{14},
            Bytes{14}),
      Field("relay offset", 60, &R::SetRegulatorOffset, &CR::RegulatorOffset, std::int32_t{-125},
            Bytes{0x83, 0xFF, 0xFF, 0xFF}),
      Field("relay window", 64, &R::SetRegulatorWindow, &CR::RegulatorWindow, kS32Value, kS32),
      Field("relay lower hysteresis", 68, &R::SetLowerHysteresis, &CR::LowerHysteresis, kS32Value,
            kS32),
      Field("relay upper hysteresis", 72, &R::SetUpperHysteresis, &CR::UpperHysteresis,
            std::int32_t{255}, Bytes{0xFF, 0, 0, 0}),

      Field("process number", 0, &P::SetNumber, &CP::Number, kS32Value, kS32),
      Field("process end condition", 36, &P::SetStepEndCondition, &CP::StepEndCondition,
            std::int32_t{24}, Bytes{24, 0, 0, 0}),

      Field("step process", 0, &S::SetProcessNumber, &CS::ProcessNumber, kS32Value, kS32),
      Field("step chamber", 4, &S::SetChamberTemperature, &CS::ChamberTemperature, kS32Value, kS32),
      Field("step additional 1", 8, &S::SetAdditional1, &CS::Additional1, kS32Value, kS32),
      Field("step core", 12, &S::SetCoreTemperature, &CS::CoreTemperature, kS32Value, kS32),
      Field("step additional 2", 16, &S::SetAdditional2, &CS::Additional2, kS32Value, kS32),
      Field("step humidity", 20, &S::SetHumidity, &CS::Humidity, kS32Value, kS32),
      Field("step further value", 24, &S::SetFurtherValue, &CS::FurtherValue, kS32Value, kS32),
      Field("step delta", 28, &S::SetDelta, &CS::Delta, std::int32_t{400}, Bytes{0x90, 1, 0, 0}),
      Field("step hours", 32, &S::SetHours, &CS::Hours, kS32Value, kS32),
      Field("step minutes", 36, &S::SetMinutes, &CS::Minutes, kS32Value, kS32),
      Field("step on/off delta", 72, &S::SetOnOffDelta, &CS::OnOffDelta, std::int32_t{-999},
            Bytes{0x19, 0xFC, 0xFF, 0xFF}),
      Field("step work time", 76, &S::SetWorkTime, &CS::WorkTime, kU16Value, kU16),
      Field("step pause time", 78, &S::SetPauseTime, &CS::PauseTime, std::uint16_t{65000},
            Bytes{0xE8, 0xFD}),

      Field("program number", 17'652, &G::SetNumber, &CG::Number, std::int32_t{101},
            Bytes{101, 0, 0, 0}),
      Field("program step count", 17'668, &G::SetStepCount, &CG::StepCount, std::int32_t{50},
            Bytes{50, 0, 0, 0}),

      Field("alarm number", 0, &A::SetNumber, &CA::Number, kS32Value, kS32),
      Field("alarm delay", 36, &A::SetDelayTime, &CA::DelayTime, std::int32_t{65000},
            Bytes{0xE8, 0xFD, 0, 0}),
      Field("alarm status", 40, &A::SetAlarmStatus, &CA::AlarmStatus, kS32Value, kS32),
      Field("alarm relay logic", 44, &A::SetRelayLogic, &CA::RelayLogic, kS32Value, kS32),

      Field("special number", 0, &X::SetNumber, &CX::Number, kS32Value, kS32),
      Field("special switch-off", 56, &X::SetSwitchOffTime, &CX::SwitchOffTime, std::int32_t{-1},
            Bytes{0xFF, 0xFF, 0xFF, 0xFF}),
      Field("special relay logic", 60, &X::SetRelayLogic, &CX::RelayLogic, kS32Value, kS32),

      Field<O, CO>("analog type", 102, &O::SetOutputType, &CO::OutputType, kU16Value, kU16),
      Field<O, CO>("analog channel", 104, &O::SetChannel, &CO::Channel, kU16Value, kU16),
      Field<O, CO>("analog set value", 106, &O::SetSetValue, &CO::SetValue, kU16Value, kU16),
      Field<O, CO>("analog 0 V", 108, &O::SetValueAt0V, &CO::ValueAt0V, kS32Value, kS32),
      Field<O, CO>("analog 10 V", 112, &O::SetValueAt10V, &CO::ValueAt10V, kS32Value, kS32),
      Field<O, CO>("analog stop", 116, &O::SetStopSetValue, &CO::StopSetValue, kS32Value, kS32),
      Field<O, CO>("analog pause", 120, &O::SetPauseSetValue, &CO::PauseSetValue, kS32Value, kS32),
      Field<O, CO>("analog sample", 128, &O::SetSamplePeriod, &CO::SamplePeriod, 2.5, kF64),
      Field<O, CO>("analog gain", 136, &O::SetGain, &CO::Gain, 2.5, kF64),
      Field<O, CO>("analog Ti", 144, &O::SetIntegralTime, &CO::IntegralTime, 2.5, kF64),
      Field<O, CO>("analog Td", 152, &O::SetDerivativeTime, &CO::DerivativeTime, 2.5, kF64),
      Field<O, CO>("analog PID number", 176, &O::SetPidNumber, &CO::PidNumber, std::uint8_t{255},
            Bytes{255}),

      Field<D, CD>("pid type", 102, &D::SetRegulatorType, &CD::RegulatorType, kU16Value, kU16),
      Field<D, CD>("pid channel", 104, &D::SetChannel, &CD::Channel, kU16Value, kU16),
      Field<D, CD>("pid set value", 106, &D::SetSetValue, &CD::SetValue, kU16Value, kU16),
      Field<D, CD>("pid value 1", 108, &D::SetValueAt0V, &CD::ValueAt0V, kS32Value, kS32),
      Field<D, CD>("pid value 4", 120, &D::SetPauseSetValue, &CD::PauseSetValue, kS32Value, kS32),
      Field<D, CD>("pid Tp", 128, &D::SetSamplePeriod, &CD::SamplePeriod, 2.5, kF64),
      Field<D, CD>("pid Xp", 136, &D::SetProportionalBand, &CD::ProportionalBand, 2.5, kF64),
      Field<D, CD>("pid Ti", 144, &D::SetIntegralTime, &CD::IntegralTime, 2.5, kF64),
      Field<D, CD>("pid Td", 152, &D::SetDerivativeTime, &CD::DerivativeTime, 2.5, kF64),
      Field<D, CD>("pid To", 160, &D::SetPulsePeriod, &CD::PulsePeriod, 2.5, kF64),
      Field<D, CD>("pid byte 184", 184, &D::SetPidNumber, &CD::PidNumber, std::uint8_t{7}, Bytes{7}),
  };

  // Indexed fields.
  for (int k = 1; k <= 5; ++k) {
    c.push_back({"process SP" + std::to_string(k), P::kSize, 104 + 2u * (k - 1), kS16,
                 [k](std::uint8_t* p) { P(p).SetPreset(k, -123); },
                 [k](const std::uint8_t* p) { return CP(p).Preset(k) == -123; }});
  }
  for (int k = 1; k <= 4; ++k) {
    c.push_back({"analog F" + std::to_string(k), O::kSize, 160 + 4u * (k - 1), kS32,
                 [k](std::uint8_t* p) { O(p).SetFunctionSetValue(k, -2); },
                 [k](const std::uint8_t* p) { return CO(p).FunctionSetValue(k) == -2; }});
    c.push_back({"pid value F" + std::to_string(k), D::kSize, 168 + 4u * (k - 1), kS32,
                 [k](std::uint8_t* p) { D(p).SetFunctionSetValue(k, -2); },
                 [k](const std::uint8_t* p) { return CD(p).FunctionSetValue(k) == -2; }});
  }
  for (int s : {1, 2, 30, 31, 50, 200}) {
    c.push_back({"program step " + std::to_string(s) + " pause", G::kSize, 52 + 88u * (s - 1) + 78,
                 kU16, [s](std::uint8_t* p) { G(p).Step(s).SetPauseTime(0xABCD); },
                 [s](const std::uint8_t* p) { return CG(p).Step(s).PauseTime() == 0xABCD; }});
  }
  for (int w : {0, 1, 97, 98, 99, 100}) {
    c.push_back({"setup word " + std::to_string(w), SetupBlock::kSize, 2u * w, kS16,
                 [w](std::uint8_t* p) { SetupBlock(p).SetWord(w, -123); },
                 [w](const std::uint8_t* p) { return ConstSetupBlock(p).Word(w) == -123; }});
  }
  c.push_back({"setup program version", SetupBlock::kSize, 198, Bytes{0xF4, 0x01},
               [](std::uint8_t* p) { SetupBlock(p).SetProgramVersion(500); },
               [](const std::uint8_t* p) { return ConstSetupBlock(p).ProgramVersion() == 500; }});
  c.push_back({"setup F97", SetupBlock::kSize, 194, kS16,
               [](std::uint8_t* p) { SetupBlock(p).SetParameter(97, -123); },
               [](const std::uint8_t* p) { return ConstSetupBlock(p).Parameter(97) == -123; }});
  // Output switches: byte n - 1 of the field, exactly 1.
  struct Outputs {
    const char* kind;
    std::size_t size, offset;
    std::function<RelayOutputStates(std::uint8_t*)> of;
    std::function<ConstRelayOutputStates(const std::uint8_t*)> constOf;
  };
  const Outputs outputs[] = {
      {"process", P::kSize, 40, [](std::uint8_t* p) { return P(p).Outputs(); },
       [](const std::uint8_t* p) { return CP(p).Outputs(); }},
      {"alarm", A::kSize, 48, [](std::uint8_t* p) { return A(p).Outputs(); },
       [](const std::uint8_t* p) { return CA(p).Outputs(); }},
      {"special status", X::kSize, 64, [](std::uint8_t* p) { return X(p).Outputs(); },
       [](const std::uint8_t* p) { return CX(p).Outputs(); }},
  };
  for (const Outputs& o : outputs) {
    for (int n : {1, 2, 17, 32}) {
      auto of = o.of;
      auto constOf = o.constOf;
      c.push_back({std::string(o.kind) + " output " + std::to_string(n), o.size, o.offset + n - 1,
                   Bytes{1}, [of, n](std::uint8_t* p) { of(p).SetOn(n, true); },
                   [constOf, n](const std::uint8_t* p) { return constOf(p).IsOn(n); }});
    }
  }
  return c;
}

class RecordFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(RecordFieldTest, SetterWritesItsBytesAndNothingElse) {
  const FieldCase& c = GetParam();
  ASSERT_LE(c.offset + c.bytes.size(), c.recordSize);
  Bytes record = PatternBuffer(c.recordSize);
  Bytes expected = record;
  std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + static_cast<long>(c.offset));
  c.write(record.data());
  EXPECT_EQ(record, expected);
  EXPECT_TRUE(c.readsBack(record.data()));
}

INSTANTIATE_TEST_SUITE_P(AllRecords, RecordFieldTest, ::testing::ValuesIn(AllFields()),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return n;
                         });

// Text fields: name fields of every record, the header and the password entries.
struct TextCase {
  std::string name;
  std::size_t recordSize;
  std::size_t offset;
  std::size_t capacity;
  std::function<TextField(std::uint8_t*)> field;
};

std::vector<TextCase> AllTexts() {
  return {
      {"relay name", 92, 4, 30, [](std::uint8_t* p) { return RelayRecord(p).Name(); }},
      {"process name", 120, 4, 30, [](std::uint8_t* p) { return ProcessRecord(p).Name(); }},
      {"program name", 17'672, 0, 50, [](std::uint8_t* p) { return ProgramRecord(p).Name(); }},
      {"alarm message", 128, 4, 30, [](std::uint8_t* p) { return AlarmRecord(p).Message(); }},
      {"special name", 144, 4, 50, [](std::uint8_t* p) { return SpecialStatusRecord(p).Name(); }},
      {"analog name", 264, 0, 100, [](std::uint8_t* p) { return AnalogOutputRecord(p).Name(); }},
      {"pid name", 272, 0, 100, [](std::uint8_t* p) { return PidRecord(p).Name(); }},
  };
}

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

class TextFieldTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextFieldTest, WritesLengthAndCharactersOnlyAndCutsAtCapacity) {
  const TextCase& c = GetParam();
  Bytes record = PatternBuffer(c.recordSize);
  const Bytes original = record;
  TextField field = c.field(record.data());
  EXPECT_EQ(field.data(), record.data() + c.offset);
  EXPECT_EQ(field.Capacity(), c.capacity);

  // Raw 8-bit characters, no decoding.
  const QByteArray text(
      "\xA0\x93"
      "AB");
  field.SetBytes(text);
  Bytes expected = original;
  expected[c.offset] = 4;
  std::memcpy(expected.data() + c.offset + 1, text.constData(), 4);
  EXPECT_EQ(record, expected);
  EXPECT_EQ(field.Bytes(), text);

  // Too long: cut to the capacity; the byte after the field stays.
  const QByteArray longText(static_cast<qsizetype>(c.capacity + 20), 'Z');
  field.SetBytes(longText);
  expected[c.offset] = static_cast<std::uint8_t>(c.capacity);
  std::memset(expected.data() + c.offset + 1, 'Z', c.capacity);
  EXPECT_EQ(record, expected);
  EXPECT_EQ(field.Bytes(), longText.left(static_cast<qsizetype>(c.capacity)));

  // Shorter again: the characters after the new length keep what they held.
  field.SetBytes("Q");
  expected[c.offset] = 1;
  expected[c.offset + 1] = 'Q';
  EXPECT_EQ(record, expected);

  // A damaged length byte never makes a reader leave the field.
  record[c.offset] = 255;
  EXPECT_EQ(field.LengthByte(), 255);
  EXPECT_EQ(field.Length(), c.capacity);
  EXPECT_EQ(static_cast<std::size_t>(field.Bytes().size()), c.capacity);
}

INSTANTIATE_TEST_SUITE_P(AllRecords, TextFieldTest, ::testing::ValuesIn(AllTexts()),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n) {
                             if (ch == ' ') ch = '_';
                           }
                           return n;
                         });

// Where each accessor lands in its block.
TEST(RegionAccessors, ReachTheDocumentedOffsets) {
  ProjectImage image;
  const std::uint8_t* base = image.data();
  struct Case {
    const char* name;
    const std::uint8_t* at;
    std::size_t offset;
  };
  const Case cases[] = {
      {"header", Header(image).data(), 0},
      {"program 1", Program(image, 1).data(), 0x68},
      {"program 2", Program(image, 2).data(), 0x68 + 17'672},
      {"program 100", Program(image, 100).data(), 0x68 + 99 * 17'672},
      {"program 1 step 1", Program(image, 1).Step(1).data(), 0x68 + 52},
      {"program 1 step 200", Program(image, 1).Step(200).data(), 0x68 + 52 + 199 * 88},
      {"washing program", WashingProgram(image).data(), 0x1AF788},
      {"process 1", Process(image, ProcessSet::Normal, 1).data(), 0x1B3C90},
      {"process 16", Process(image, ProcessSet::Normal, 16).data(), 0x1B3C90 + 15 * 120},
      {"washing process 1", Process(image, ProcessSet::Washing, 1).data(), 0x1B4410},
      {"washing process 16", Process(image, ProcessSet::Washing, 16).data(), 0x1B4410 + 15 * 120},
      {"relay 1", Relay(image, 1).data(), 0x1B4B90},
      {"relay 32", Relay(image, 32).data(), 0x1B4B90 + 31 * 92},
      {"special status 1", SpecialStatus(image, 1).data(), 0x1B5710},
      {"special status 6", SpecialStatus(image, 6).data(), 0x1B5710 + 5 * 144},
      {"alarm 1", Alarm(image, 1).data(), 0x1B5A70},
      {"alarm 21", Alarm(image, 21).data(), 0x1B5A70 + 20 * 128},
      {"setup", qdx::Setup(image).data(), 0x1B6500},
      {"analog output 1", AnalogOutput(image, 1).data(), 0x1B65D0},
      {"analog output 5", AnalogOutput(image, 5).data(), 0x1B65D0 + 4 * 264},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<std::size_t>(c.at - base), c.offset) << c.name;
  }
  EXPECT_EQ(AnalogOutput(image, 5).data() + AnalogOutputRecord::kSize, base + image.size());

  const ProjectImage& constImage = image;
  EXPECT_EQ(Relay(constImage, 7).data(), Relay(image, 7).data());
  EXPECT_EQ(Process(constImage, ProcessSet::Washing, 3).data(),
            Process(image, ProcessSet::Washing, 3).data());
  EXPECT_EQ(Program(constImage, 99).data(), Program(image, 99).data());
  EXPECT_EQ(qdx::Setup(constImage).data(), qdx::Setup(image).data());

  PidTable table;
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(static_cast<std::size_t>(Pid(table, n).data() - table.data()), (n - 1) * 272u);
  }
  EXPECT_EQ(Pid(table, 5).data() + PidRecord::kSize, table.data() + table.size());
}

TEST(RegionAccessors, SectionsCoverTheirRecords) {
  ProjectImage image;
  struct Case {
    SectionId section;
    const std::uint8_t* first;
    const std::uint8_t* last;
    std::size_t lastSize;
  };
  const Case cases[] = {
      {SectionId::Programs, Program(image, 1).data(), Program(image, 100).data(), 17'672},
      {SectionId::WashingProgram, WashingProgram(image).data(), WashingProgram(image).data(),
       17'672},
      {SectionId::Processes, Process(image, ProcessSet::Normal, 1).data(),
       Process(image, ProcessSet::Normal, 16).data(), 120},
      {SectionId::WashingProcesses, Process(image, ProcessSet::Washing, 1).data(),
       Process(image, ProcessSet::Washing, 16).data(), 120},
      {SectionId::Relays, Relay(image, 1).data(), Relay(image, 32).data(), 92},
      {SectionId::SpecialStatuses, SpecialStatus(image, 1).data(),
       SpecialStatus(image, 6).data(), 144},
      {SectionId::Alarms, Alarm(image, 1).data(), Alarm(image, 21).data(), 128},
      {SectionId::Setup, qdx::Setup(image).data(), qdx::Setup(image).data(), 202},
      {SectionId::AnalogOutputs, AnalogOutput(image, 1).data(), AnalogOutput(image, 5).data(),
       264},
  };
  for (const Case& c : cases) {
    const std::span<std::uint8_t> bytes = SectionBytes(image, c.section);
    EXPECT_EQ(bytes.data(), c.first);
    EXPECT_EQ(bytes.data() + bytes.size(), c.last + c.lastSize);
  }
}

TEST(PasswordEntries, ElevenBytesEachAndTheTailIsNeverTouched) {
  PasswordBlock block;
  Bytes pattern = PatternBuffer(block.size());
  std::copy(pattern.begin(), pattern.end(), block.data());
  for (int n = 1; n <= 37; ++n) {
    TextField entry = PasswordEntry(block, n);
    EXPECT_EQ(static_cast<std::size_t>(entry.data() - block.data()), 11u * (n - 1));
    EXPECT_EQ(entry.Capacity(), 10u);
    entry.SetBytes("ABCDEFGHIJKLMN");  // cut to 10
  }
  for (std::size_t i = 0; i < 407; ++i) {
    EXPECT_EQ(block.data()[i], i % 11 == 0 ? 10 : 'A' + (i % 11) - 1) << i;
  }
  EXPECT_TRUE(std::equal(block.data() + 407, block.data() + 550, pattern.begin() + 407));
  const PasswordBlock& constBlock = block;
  EXPECT_EQ(PasswordEntry(constBlock, 37).Bytes(), QByteArray("ABCDEFGHIJ"));
}

TEST(RelayOutputStates, ByteNMinusOneForOutputN) {
  Bytes record(ProcessRecord::kSize, 0);
  ProcessRecord process(record.data());
  process.Outputs().SetOn(1, true);
  process.Outputs().SetOn(32, true);
  for (std::size_t i = 0; i < record.size(); ++i) {
    EXPECT_EQ(record[i], (i == 40 || i == 71) ? 1 : 0) << i;
  }
  record[45] = 7;  // any non-zero byte counts as on
  EXPECT_TRUE(ConstProcessRecord(record.data()).Outputs().IsOn(6));
  EXPECT_EQ(process.Outputs().Raw(6), 7);
  process.Outputs().SetOn(6, false);
  EXPECT_EQ(record[45], 0);
  process.Outputs().SetOn(6, true);
  EXPECT_EQ(record[45], 1);
}

TEST(ProgramRecordView, StepsInUseNeverReachPastTheSlots) {
  Bytes record(ProgramRecord::kSize, 0);
  ProgramRecord program(record.data());
  const std::pair<std::int32_t, int> cases[] = {{0, 30},    {30, 30},   {50, 50},        {-5, 30},
                                                {200, 200}, {201, 200}, {1'000'000, 200}};
  for (const auto& [stored, inUse] : cases) {
    program.SetStepCount(stored);
    EXPECT_EQ(program.StepCount(), stored);
    EXPECT_EQ(program.StepsInUse(), inUse) << stored;
  }
}

TEST(RecordCopies, CopyAndStoreWholeRecords) {
  ProjectImage image;
  Bytes pattern = PatternBuffer(AlarmRecord::kSize);
  std::copy(pattern.begin(), pattern.end(), Alarm(image, 3).data());
  RecordBytes<AlarmRecord> copy = CopyRecord(Alarm(image, 3));
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), pattern.begin()));
  AlarmRecord(copy.data()).SetDelayTime(9);
  StoreRecord(Alarm(image, 4), copy);
  EXPECT_EQ(ConstAlarmRecord(Alarm(image, 4)).DelayTime(), 9);
  EXPECT_EQ(Alarm(image, 3).Number(), ConstAlarmRecord(pattern.data()).Number());
  EXPECT_EQ(Alarm(image, 5).Number(), 0);  // neighbours untouched
  EXPECT_EQ(Alarm(image, 2).Outputs().Raw(32), 0);
}

TEST(RecordViewsDeathTest, NumbersOutsideASectionStopTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ProjectImage image;
  PidTable table;
  PasswordBlock block;
  EXPECT_DEATH(Relay(image, 0), "relay 0 is outside 1..32");
  EXPECT_DEATH(Relay(image, 33), "outside");
  EXPECT_DEATH(Program(image, 101), "outside");
  EXPECT_DEATH(Program(image, 1).Step(201), "outside");
  EXPECT_DEATH(Process(image, ProcessSet::Washing, 17), "outside");
  EXPECT_DEATH(Pid(table, 6), "outside");
  EXPECT_DEATH(PasswordEntry(block, 38), "outside");
  EXPECT_DEATH(qdx::Setup(image).Word(101), "outside");
}

}  // namespace
}  // namespace qdx
