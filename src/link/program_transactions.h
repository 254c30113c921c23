// The programs on the wire: one program travels in ileBlokProgram pages, each carrying the
// program index, the name and a run of steps whose count and size follow from the page count.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

#include "model/blocks.h"
#include "model/program_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

// How one program is cut into pages for a given page count P.
struct ProgramPageLayout {
  int pages = 0;
  int stepsPerPage = 0;  // 30 / P rounded for P = 1..3, 10 above
  int stepSize = 0;      // 20 bytes above 2 pages (work and pause time travel), else 16
  int StepsCarried() const { return pages * stepsPerPage; }
  // Reply to a page read: 9 header bytes, page, index, 14 name bytes, steps, checksum.
  int ReplyLength() const { return 27 + stepsPerPage * stepSize; }
};

inline constexpr int kProgramPageHeaderSize = 16;  // page, index, 14 name bytes
inline constexpr int kShortStepSize = 16;
inline constexpr int kLongStepSize = 20;

// The layout for P pages; none for P below 1 or a P whose pages would reach past the 200 step
// slots of a program.
std::optional<ProgramPageLayout> ProgramLayout(int pages);
// ileBlokProgram for the controller's program version (setup word 99): 2 up to 500, 3 for
// 501..899, 5 from 900.
int ProgramPagesForVersion(std::int16_t programVersion);
// The step count a program gets after it was read: 50 above 4 pages, else 30.
std::int32_t ProgramStepCountForPages(int pages);

// 46 0B p n
InnerMessage ProgramPageReadMessage(int programIndex, int page);
// Page byte check (7, nothing stored); page 0 then clears the whole record; the number field
// becomes index + 1, the name is read skipping 0x00 and 0xFF, and the page's steps are filled
// (process number = byte + 1). kLinkRequestInvalid for a page that P pages do not have, 3 for a
// reply too short.
LinkResult DecodeProgramPage(const QByteArray& reply, ProgramRecord record, int page, int pages,
                             int codePageIndex);
ReplyDecoder ProgramPageDecoder(ProgramRecord record, int page, int pages, int codePageIndex);
// 47 0B, then page p, program index (the number field - 1), name and the page's steps.
EncodedMessage ProgramPageWriteMessage(ConstProgramRecord record, int page, int pages,
                                       int codePageIndex);

// The step values that P pages carry and their wire fields cannot, in step and field order.
// The program's own number is not checked here (transfers renumber before they write).
std::vector<EncodeError> ValidateProgram(ConstProgramRecord record, int pages);
// Programs 1..99 of the list, reported by slot; a page count no layout has is refused once.
std::vector<EncodeError> ValidatePrograms(const ProjectImage& image, int pages);
std::vector<EncodeError> ValidateWashingProgram(const ProjectImage& image, int pages);

// Page requests for the operations of section_wire.h; an invalid page count, a page outside
// 0..P - 1 or a program index outside 0..255 makes them invalid.
ReadRequest ProgramPageRead(ProgramRecord record, int programIndex, int page, int pages,
                            int codePageIndex);
WriteRequest ProgramPageWrite(ConstProgramRecord record, int page, int pages, int codePageIndex);

}  // namespace qdx
