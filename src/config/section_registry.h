// The section registry: every section of a project described once. An entry says where the
// section's records lie, how many slots it has, its names (qdx's, the whole-project windows'
// captions, the progress window's), how the controller moves it (blocks of whole records, the
// codec and value checks of the link catalogue, fillers after the last record), how its
// records are renumbered before a write, and the table of its named fields that comparison,
// `qdx` and the export share (model/record_fields.h).
// The engines (list transfers, whole-project send, read and compare, qdx) read the entry;
// record offsets stay in the record views (model/*_record.h).
//
//   const SectionEntry& relays = Section(SectionId::Relays);
//   relays.qdxName == "relays"; relays.Region(blocks) is the 32 relays in slot order;
//   relays.blocks->readMessage(0) asks for relays 1..6.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "model/blocks.h"
#include "model/process_record.h"
#include "model/record_fields.h"
#include "link/analog_output_transactions.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

// What a codec needs besides the records: the record code page, and the analog-output
// layout the controller's program version chose.
struct CodecContext {
  int codePageIndex = 0;
  AnalogOutputLayout layout = AnalogOutputLayout::Current;
};

// How a section travels as blocks of whole records: block b holds records
// b * perBlock + 1 .. (b + 1) * perBlock; positions beyond the last record are fillers
// (copies of record 1 on a write, dropped on a read).
struct BlockGeometry {
  int perBlock = 0;
  int replyLength = 0;  // the read's reply
  std::function<InnerMessage(int block)> readMessage;
  std::function<ReplyDecoder(int block, std::span<std::uint8_t> buffer, const CodecContext&)>
      decoder;
  std::function<EncodedMessage(int block, std::span<const std::uint8_t> records,
                               const CodecContext&)>
      writeMessage;
};

struct SectionEntry {
  SectionId id;
  const char* qdxName;        // on qdx's command line: "relays"
  const char* sendCaption;    // the row in "Write to controller"
  const char* readCaption;    // the row in "Read from controller"
  const char* progressTitle;  // "Reading " + this
  // Records in slot order: LayoutOf(id) names the block, the offset, the record size and the
  // number of slots.
  SectionLayout layout;
  // Sections that travel as blocks of whole records; the programs travel by pages, the
  // setup block and the passwords in exchanges of their own.
  std::optional<BlockGeometry> blocks;
  // The check of every value against its wire field before a write: every refused value, in
  // record and field order.
  std::function<std::vector<EncodeError>(const ProjectBlocks&, const CodecContext&)> validate;
  // Sets the record numbers before a write; empty: the section has no number fields.
  std::function<void(ProjectBlocks&)> renumber;
  // After a read: what the controller does not send (the special statuses' fixed names).
  std::function<void(ProjectBlocks&)> afterRead;
  // The named fields of its records, as export and comparison show them.
  std::span<const RecordField> fields;

  int slotCount() const { return static_cast<int>(layout.count); }
  std::size_t recordSize() const { return layout.recordSize; }
  int blockCount() const { return blocks ? (slotCount() + blocks->perBlock - 1) / blocks->perBlock : 0; }
  std::size_t blockSize() const { return blocks ? recordSize() * std::size_t(blocks->perBlock) : 0; }
  std::span<std::uint8_t> Region(ProjectBlocks& b) const { return SectionBytes(b, id); }

  // Block b of the records in region as a write sends it, fillers included.
  std::vector<std::uint8_t> WriteBlock(std::span<const std::uint8_t> region, int block) const;
  // Stores block b as read (buffer) into region, dropping the fillers.
  void StoreBlock(std::span<const std::uint8_t> buffer, std::span<std::uint8_t> region,
                  int block) const;
};

// The entry of a section.
const SectionEntry& Section(SectionId id);
// Every entry, in SectionId order.
const std::vector<SectionEntry>& AllSections();
// The section qdx names so ("relays", ..., "passwords").
std::optional<SectionId> SectionFromQdxName(const QString& name);

// The set of processes a process section holds.
ProcessSet ProcessSetOf(SectionId id);

}  // namespace qdx
