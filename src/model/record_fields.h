// The named fields of every section's records, one table per section, that both readers of a
// whole record walk: `qdx export` prints a field under its JSON key, comparison (the
// whole-project windows, `qdx compare`) reports it under its name. A field only one of them
// shows carries only that one's name. Offsets are the record views' constants.
//
//   for (const RecordField& f : RecordFieldsOf(SectionId::Relays)) ...
//   // {"timeTa", "Ta", RelayRecord::kTimeTaOffset, FieldKind::S32}
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "model/analog_output_record.h"
#include "model/blocks.h"

namespace qdx {

// How a field's bytes are read.
enum class FieldKind {
  Slot,  // no bytes: the record's place in its section, numbered from 1
  Name,  // length-prefixed text; compared without leading and trailing blanks
  S32,
  S16,
  U16,
  U8,
  Double,
  StepCount,  // a signed 32-bit step count; comparison counts 0 as 30
  Reserved,   // bytes without meaning, compared one by one ("byte 80")
  Steps,      // the 200 program step slots, each read by ProgramStepFields()
};

// One named field of a record. An array (count > 1) is exported as one JSON array and
// compared element by element, "%1" in the name numbering the elements.
struct RecordField {
  const char* key = nullptr;   // the export's JSON key; none: the export leaves it out
  const char* name = nullptr;  // comparison's name; none: comparison leaves it out
  std::size_t offset = 0;      // a constant of the record's view
  FieldKind kind = FieldKind::S32;
  std::size_t size = 0;  // Name: capacity; Reserved: byte count
  int count = 1;         // the elements of an array
  int numberedFrom = 1;  // the number the first element gets in the name
  // Compared only where the analog outputs' wire layout carries the field.
  std::optional<AnalogOutputLayout> comparedOnlyIn = std::nullopt;
};

// The fields of a section's records in the export's order; the passwords have none.
std::span<const RecordField> RecordFieldsOf(SectionId id);
// The fields of one 88-byte program step, its slot number first.
std::span<const RecordField> ProgramStepFields();

// The fields comparison looks at under an analog-output layout, in record order.
std::vector<RecordField> ComparedFields(std::span<const RecordField> fields,
                                        AnalogOutputLayout layout);

// The bytes one element of a field covers.
std::size_t ElementWidth(const RecordField& field);

}  // namespace qdx
