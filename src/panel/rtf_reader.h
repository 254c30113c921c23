// A reader of the rich text (RTF) that word processors write, for the help pages: it keeps
// paragraphs with their alignment and runs of text with their character formatting, and drops
// everything else (fonts, pictures, document information). Any input gives a document in
// time and memory proportional to its size: malformed or hostile files are read as far as
// they make sense.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace qdx {

// A colour of the document's colour table.
struct RtfColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const RtfColour&, const RtfColour&) = default;
};

// The character formatting of a run.
struct RtfCharFormat {
  static constexpr int kDefaultHalfPoints = 24;

  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = kDefaultHalfPoints;  // font size in half points
  std::optional<RtfColour> colour;      // none: the viewer's own text colour
  friend bool operator==(const RtfCharFormat&, const RtfCharFormat&) = default;
};

// Text of one character format. Line breaks inside a paragraph are U+2028.
struct RtfRun {
  QString text;
  RtfCharFormat format;
};

enum class RtfAlignment { Left, Centre, Right, Justify };

// One paragraph; an empty one is an empty line.
struct RtfParagraph {
  RtfAlignment alignment = RtfAlignment::Left;
  std::vector<RtfRun> runs;
  QString Text() const;
};

// What the reader keeps of a document.
struct RtfDocument {
  std::vector<RtfParagraph> paragraphs;
  QString PlainText() const;  // paragraphs joined by '\n'
};

RtfDocument ReadRtf(const QByteArray& rtf);

}  // namespace qdx
