// The window part of a section: what its list window and editor show of it (the title, its
// files, how a record becomes a row of the window's table `memproj`, and the columns). Where
// its records lie, how many slots it has and its controller transfer come from the section's
// registry entry (config/section_registry.h). The windows themselves are generic.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "model/dialogs.h"
#include "config/workspace.h"
#include "config/section_transfer.h"

namespace qdx {

// What every section window works with: the shared blocks and settings, the transfer engine
// and the dialogs.
struct SectionWindowContext {
  Workspace& session;
  SectionTransfer& transfer;
  Dialogs& dialogs;
};

// One row of a list window's table: the slot number, the record's name and the integer fields
// p1, p2, ... as the section lists them (an empty field stays unset).
struct MemprojRow {
  int nr = 0;
  QString Nazwa;
  std::vector<std::optional<std::int32_t>> p;

  // Field pN (1-based); unset when the section has no such field or leaves it empty.
  std::optional<std::int32_t> P(int n) const {
    return n >= 1 && n <= static_cast<int>(p.size()) ? p[static_cast<std::size_t>(n - 1)]
                                                     : std::nullopt;
  }

  // The real fields, numbered as p (an output's or regulator's loop values); unset where
  // field pN is an integer.
  std::vector<std::optional<double>> reals;
  std::optional<double> Real(int n) const {
    return n >= 1 && n <= static_cast<int>(reals.size()) ? reals[static_cast<std::size_t>(n - 1)]
                                                         : std::nullopt;
  }
};

// A column of the grid: its title and what it shows of a row.
struct SectionColumn {
  QString title;
  std::function<QString(const MemprojRow&)> text;
  bool numeric = true;  // right-aligned
};

struct SectionDescription {
  QString title;      // the list window's title
  // From the registry entry: the rows of the list, the record size, the records in slot order
  // in the session's blocks, and the section for the list's controller transfers (none: no
  // controller buttons).
  int slotCount = 0;
  std::size_t recordSize = 0;
  std::function<std::span<std::uint8_t>(Workspace&)> region;
  std::optional<SectionId> transfer;
  QString listExtension;    // without the dot
  QString editorExtension;  // without the dot; empty: the editor has no disk buttons
  // Whether Enter released in the grid opens the editor (the button and a double click always
  // do).
  bool editOnEnter = true;
  // Where a record keeps its number; both empty for records without one.
  std::function<std::int32_t(std::span<const std::uint8_t>)> number;
  std::function<void(std::span<std::uint8_t>, std::int32_t)> setNumber;
  // The row of one record (nr is set by the caller). Names are decoded in the record code
  // page of codePageIndex.
  std::function<MemprojRow(std::span<const std::uint8_t>, int codePageIndex)> row;
  std::vector<SectionColumn> columns;
};

// Record nr (1-based) of the section.
std::span<std::uint8_t> SectionRecord(const SectionDescription& section, Workspace& session, int nr);
// The row of slot nr as the window shows it.
MemprojRow MemprojRowOf(const SectionDescription& section, Workspace& session, int nr);
// Every row, slots 1..slotCount.
std::vector<MemprojRow> FillMemproj(const SectionDescription& section, Workspace& session);

// What the registry says of a section: its slots, records and controller transfer.
SectionDescription FromRegistry(SectionId id);

// Column builders shared by the sections.
SectionColumn NumberColumn();                                     // "No": nr
SectionColumn NameColumn();                                       // "Name": Nazwa
SectionColumn FieldColumn(const QString& title, int n);           // pN as a number
SectionColumn TenthsColumn(const QString& title, int n);          // pN / 10, one decimal place
SectionColumn ByteColumn(const QString& title, int n, int byte);  // byte 0..3 of pN

// Names in the table show at most this many characters.
inline constexpr int kMemprojNameLength = 50;
// A record's name, decoded for display.
QString DecodedName(QByteArray bytes, int codePageIndex);

// The sections of this part of the program.
const SectionDescription& RelaySection();
const SectionDescription& AlarmSection();
const SectionDescription& SpecialStatusSection();
// The list of one process set, bound to it: "Processes" or "Processes WASHING".
const SectionDescription& ProcessSection(ProcessSet set);
// Programs 1..99; slot 100 lies after them in the project but is never listed.
const SectionDescription& ProgramSection();

}  // namespace qdx
