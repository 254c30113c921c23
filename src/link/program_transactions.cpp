#include "link/program_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdProgram = 0x0B;

bool ValidPage(const ProgramPageLayout& layout, int page) {
  return page >= 0 && page < layout.pages && page <= 0xFF;
}

bool ValidProgramIndex(int index) {
  return index >= 0 && index <= 0xFF;
}

QString SectionName(std::int32_t number) {
  return number == kWashingProgramNumber ? QStringLiteral("Washing program")
                                         : QStringLiteral("Program");
}

// The step's process number travels as number - 1; a number of 0 or below goes out as its own
// low byte, so "no process" (0) and process 1 share the byte 0x00, which reads back as 1.
void ProcessField(WireWriter& w, ConstProgramStep s) {
  const std::int32_t process = s.ProcessNumber();
  if (process > 0x100) {
    w.Refuse("process", QString::number(process), QStringLiteral("1..256"));
  }
  w.Raw(static_cast<std::uint8_t>(process <= 0 ? process : process - 1));
}
void ProcessField(WireReader& w, ProgramStep s) {
  s.SetProcessNumber(w.Raw() + 1);
}

// One program step, 16 bytes, or 20 with the work and pause times of the long layout, for a
// WireWriter or a WireReader.
template <typename Wire, typename Step>
void StepEntry(Wire& w, Step s, int stepSize) {
  using Get = ConstProgramStep;
  using Set = ProgramStep;
  w.S16(s, &Get::ChamberTemperature, &Set::SetChamberTemperature, "Chamber temp.");
  w.S16(s, &Get::Additional1, &Set::SetAdditional1, "Additional 1");
  w.S16(s, &Get::CoreTemperature, &Set::SetCoreTemperature, "Core temp.");
  w.S16(s, &Get::Additional2, &Set::SetAdditional2, "Additional 2");
  w.S16(s, &Get::Humidity, &Set::SetHumidity, "Humidity");
  w.U8(s, &Get::FurtherValue, &Set::SetFurtherValue, "step value at byte 24");
  w.U8(s, &Get::OnOffDelta, &Set::SetOnOffDelta, "ON/OFF Delta");
  w.U8Tenths(s, &Get::Delta, &Set::SetDelta, "Delta");
  ProcessField(w, s);
  w.U8(s, &Get::Hours, &Set::SetHours, "Hour");
  w.U8(s, &Get::Minutes, &Set::SetMinutes, "minute");
  if (stepSize == kLongStepSize) {
    w.U16(s, &Get::WorkTime, &Set::SetWorkTime, "Work time");
    w.U16(s, &Get::PauseTime, &Set::SetPauseTime, "Pause time");
  }
}

// The steps one page carries.
template <typename Wire, typename Record>
void PageSteps(Wire& w, Record record, int page, const ProgramPageLayout& layout) {
  for (int i = 0; i < layout.stepsPerPage; ++i) {
    const int step = page * layout.stepsPerPage + i + 1;
    w.SetStep(step);
    StepEntry(w, record.Step(step), layout.stepSize);
  }
  w.SetStep(0);
}

std::vector<EncodeError> ValidateSteps(ConstProgramRecord record, int pages, QString section,
                                       int number) {
  const auto layout = ProgramLayout(pages);
  if (!layout) {
    return {EncodeError{section, number, 0, QStringLiteral("page count"), QString::number(pages),
                        QStringLiteral("1..20")}};
  }
  WireWriter w(std::move(section), 0);
  w.SetRecord(number);
  for (int page = 0; page < layout->pages; ++page) PageSteps(w, record, page, *layout);
  return w.errors();
}

}  // namespace

std::optional<ProgramPageLayout> ProgramLayout(int pages) {
  if (pages < 1) return std::nullopt;
  ProgramPageLayout layout;
  layout.pages = pages;
  layout.stepsPerPage = pages == 1 ? 30 : pages == 2 ? 15 : 10;
  layout.stepSize = pages > 2 ? kLongStepSize : kShortStepSize;
  if (layout.StepsCarried() > ProgramRecord::kStepSlots) return std::nullopt;
  return layout;
}

int ProgramPagesForVersion(std::int16_t programVersion) {
  if (programVersion <= 500) return 2;
  if (programVersion <= 899) return 3;
  return 5;
}

std::int32_t ProgramStepCountForPages(int pages) {
  return pages > 4 ? 50 : 30;
}

InnerMessage ProgramPageReadMessage(int programIndex, int page) {
  QByteArray body;
  body.append(static_cast<char>(page));
  body.append(static_cast<char>(programIndex));
  return {kClassRead, kCmdProgram, body};
}

LinkResult DecodeProgramPage(const QByteArray& reply, ProgramRecord record, int page, int pages,
                             int codePageIndex) {
  const auto layout = ProgramLayout(pages);
  if (!layout || !ValidPage(*layout, page)) return kLinkRequestInvalid;
  if (reply.size() < layout->ReplyLength()) return kLinkShortReply;
  WireReader w(reply, kReplyDataOffset, codePageIndex);
  if (w.Raw() != static_cast<std::uint8_t>(page)) return kLinkUnexpectedReply;
  if (page == 0) std::fill_n(record.data(), ProgramRecord::kSize, std::uint8_t{0});
  record.SetNumber(w.Raw() + 1);
  w.Text(record.Name(), TextFieldSkip::ZeroAndFF);
  PageSteps(w, record, page, *layout);
  return kLinkOk;
}

ReplyDecoder ProgramPageDecoder(ProgramRecord record, int page, int pages, int codePageIndex) {
  return [=](const QByteArray& reply) {
    return DecodeProgramPage(reply, record, page, pages, codePageIndex);
  };
}

EncodedMessage ProgramPageWriteMessage(ConstProgramRecord record, int page, int pages,
                                       int codePageIndex) {
  const std::int32_t number = record.Number();
  WireWriter w(SectionName(number), codePageIndex);
  w.SetRecord(number == kWashingProgramNumber ? 0 : number);
  const auto layout = ProgramLayout(pages);
  if (!layout || !ValidPage(*layout, page)) {
    w.Refuse("page", QStringLiteral("%1 of %2").arg(page).arg(pages),
             QStringLiteral("the pages of 1..20"));
    return w.Finish(kClassWrite, kCmdProgram);
  }
  w.Raw(static_cast<std::uint8_t>(page));
  if (number < 1 || number > 0x100) {
    w.Refuse("program number", QString::number(number), QStringLiteral("1..256"));
  }
  w.Raw(static_cast<std::uint8_t>(number - 1));
  w.Text(record.Name());
  PageSteps(w, record, page, *layout);
  return w.Finish(kClassWrite, kCmdProgram);
}

std::vector<EncodeError> ValidateProgram(ConstProgramRecord record, int pages) {
  const std::int32_t number = record.Number();
  return ValidateSteps(record, pages, SectionName(number),
                       number == kWashingProgramNumber ? 0 : number);
}

std::vector<EncodeError> ValidatePrograms(const ProjectImage& image, int pages) {
  const auto check = [&](int n) {
    return ValidateSteps(Program(image, n), pages, QStringLiteral("Program"), n);
  };
  if (!ProgramLayout(pages)) return check(1);
  return RefusedInSlots(kListedPrograms, check);
}

std::vector<EncodeError> ValidateWashingProgram(const ProjectImage& image, int pages) {
  return ValidateSteps(WashingProgram(image), pages, QStringLiteral("Washing program"), 0);
}

ReadRequest ProgramPageRead(ProgramRecord record, int programIndex, int page, int pages,
                            int codePageIndex) {
  const auto layout = ProgramLayout(pages);
  const bool valid = layout && ValidPage(*layout, page) && ValidProgramIndex(programIndex);
  return {ProgramPageReadMessage(programIndex, page), valid ? layout->ReplyLength() : 0,
          ProgramPageDecoder(record, page, pages, codePageIndex), valid};
}

WriteRequest ProgramPageWrite(ConstProgramRecord record, int page, int pages, int codePageIndex) {
  const auto layout = ProgramLayout(pages);
  return {ProgramPageWriteMessage(record, page, pages, codePageIndex), kSectionWriteReplyLength,
          layout && ValidPage(*layout, page)};
}

}  // namespace qdx
