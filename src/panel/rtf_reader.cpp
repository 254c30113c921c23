#include "panel/rtf_reader.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <map>
#include <string_view>
#include <unordered_map>

namespace qdx {
namespace {

// Limits that keep hostile input cheap: groups deeper than this are dropped, tables stop
// growing, and code pages beyond the first few fall back to Windows-1252.
constexpr std::size_t kMaxDepth = 256;
constexpr std::size_t kMaxTableEntries = 4096;
constexpr std::size_t kMaxDecoders = 16;
constexpr int kMaxUnicodeSkip = 255;
constexpr int kMaxHalfPoints = 2000;

// Where the text of a group goes.
enum class Destination { Text, Skip, FontTable, ColourTable };

// What a control word does.
enum class Action {
  EndParagraph,
  EndCell,
  EndRow,
  Character,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  FontSize,
  Colour,
  Plain,
  ParagraphDefaults,
  Align,
  Font,
  UnicodeSkip,
  Unicode,
  AnsiCodePage,
  DefaultFont,
  FontCharset,
  Red,
  Green,
  Blue,
  FontTable,
  ColourTable,
  SkipDestination,
};

struct WordEntry {
  Action action;
  char16_t value = 0;  // the character of Character, the alignment of Align
};

const std::unordered_map<std::string_view, WordEntry>& Words() {
  static const auto align = [](RtfAlignment a) {
    return WordEntry{Action::Align, static_cast<char16_t>(a)};
  };
  static const std::unordered_map<std::string_view, WordEntry> words = {
      {"par", {Action::EndParagraph}},
      {"sect", {Action::EndParagraph}},
      {"page", {Action::EndParagraph}},
      {"row", {Action::EndRow}},
      {"line", {Action::Character, u'\u2028'}},
      {"tab", {Action::Character, u'\t'}},
      {"cell", {Action::EndCell}},
      {"emdash", {Action::Character, u'\u2014'}},
      {"endash", {Action::Character, u'\u2013'}},
      {"bullet", {Action::Character, u'\u2022'}},
      {"lquote", {Action::Character, u'\u2018'}},
      {"rquote", {Action::Character, u'\u2019'}},
      {"ldblquote", {Action::Character, u'\u201C'}},
      {"rdblquote", {Action::Character, u'\u201D'}},
      {"emspace", {Action::Character, u'\u2003'}},
      {"enspace", {Action::Character, u'\u2002'}},
      {"qmspace", {Action::Character, u'\u2005'}},
      {"b", {Action::Bold}},
      {"i", {Action::Italic}},
      {"ul", {Action::Underline}},
      {"uld", {Action::Underline}},
      {"uldb", {Action::Underline}},
      {"ulw", {Action::Underline}},
      {"ulnone", {Action::UnderlineNone}},
      {"fs", {Action::FontSize}},
      {"cf", {Action::Colour}},
      {"plain", {Action::Plain}},
      {"pard", {Action::ParagraphDefaults}},
      {"ql", align(RtfAlignment::Left)},
      {"qc", align(RtfAlignment::Centre)},
      {"qr", align(RtfAlignment::Right)},
      {"qj", align(RtfAlignment::Justify)},
      {"f", {Action::Font}},
      {"uc", {Action::UnicodeSkip}},
      {"u", {Action::Unicode}},
      {"ansicpg", {Action::AnsiCodePage}},
      {"deff", {Action::DefaultFont}},
      {"fcharset", {Action::FontCharset}},
      {"red", {Action::Red}},
      {"green", {Action::Green}},
      {"blue", {Action::Blue}},
      {"fonttbl", {Action::FontTable}},
      {"colortbl", {Action::ColourTable}},
      {"stylesheet", {Action::SkipDestination}},
      {"info", {Action::SkipDestination}},
      {"pict", {Action::SkipDestination}},
      {"object", {Action::SkipDestination}},
      {"header", {Action::SkipDestination}},
      {"headerl", {Action::SkipDestination}},
      {"headerr", {Action::SkipDestination}},
      {"headerf", {Action::SkipDestination}},
      {"footer", {Action::SkipDestination}},
      {"footerl", {Action::SkipDestination}},
      {"footerr", {Action::SkipDestination}},
      {"footerf", {Action::SkipDestination}},
      {"footnote", {Action::SkipDestination}},
      {"annotation", {Action::SkipDestination}},
      {"listtable", {Action::SkipDestination}},
      {"listoverridetable", {Action::SkipDestination}},
      {"rsidtbl", {Action::SkipDestination}},
      {"fldinst", {Action::SkipDestination}},
      {"nonshppict", {Action::SkipDestination}},
      {"shpinst", {Action::SkipDestination}},
      {"themedata", {Action::SkipDestination}},
      {"latentstyles", {Action::SkipDestination}},
      {"colorschememapping", {Action::SkipDestination}},
      {"datastore", {Action::SkipDestination}},
      {"xmlnstbl", {Action::SkipDestination}},
      {"filetbl", {Action::SkipDestination}},
      {"revtbl", {Action::SkipDestination}},
      {"generator", {Action::SkipDestination}},
  };
  return words;
}

// The Windows code page of a font's character set; 0 for the document's own code page.
int CodePageOfCharset(int charset) {
  static const std::map<int, int> pages = {
      {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258},
      {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
  const auto it = pages.find(charset);
  return it == pages.end() ? 0 : it->second;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The state a group inherits from its parent and restores on closing.
struct GroupState {
  Destination destination = Destination::Text;
  RtfCharFormat format;
  int colourIndex = 0;
  int font = -1;  // -1: the default font
  int unicodeSkip = 1;
  RtfAlignment alignment = RtfAlignment::Left;
};

// One pass over the bytes of a document.
class Reader {
 public:
  explicit Reader(const QByteArray& in) : in_(in) {}

  RtfDocument Read() {
    while (pos_ < in_.size()) Step();
    if (!paragraph_.runs.empty()) EndParagraph();
    return std::move(doc_);
  }

 private:
  void Step() {
    const char c = in_[pos_++];
    switch (c) {
      case '{':
        OpenGroup();
        break;
      case '}':
        CloseGroup();
        break;
      case '\\':
        Control();
        break;
      default:
        TextByte(static_cast<unsigned char>(c));
    }
  }

  bool Skipping() const { return overflow_ > 0 || state_.destination == Destination::Skip; }
  bool InText() const { return overflow_ == 0 && state_.destination == Destination::Text; }

  void OpenGroup() {
    pendingSkip_ = 0;
    if (overflow_ > 0 || stack_.size() >= kMaxDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(state_);
  }

  void CloseGroup() {
    pendingSkip_ = 0;
    if (overflow_ > 0) {
      --overflow_;
    } else if (!stack_.empty()) {
      // The last paragraph of a document often has no \par: it ends with the document.
      if (stack_.size() == 1 && !paragraph_.runs.empty()) EndParagraph();
      state_ = stack_.back();
      stack_.pop_back();
    }
  }

  // A backslash: a control word with its optional number, or a control symbol.
  void Control() {
    if (pos_ >= in_.size()) return;
    if (!IsLetter(in_[pos_])) {
      ControlSymbol(in_[pos_++]);
      return;
    }
    const qsizetype start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    const std::string_view word(in_.constData() + start, static_cast<std::size_t>(pos_ - start));
    const std::optional<int> parameter = ReadParameter();
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    if (word == "bin") {
      SkipBinary(parameter.value_or(0));
    } else {
      ControlWord(word, parameter);
    }
  }

  // An optional signed number, clamped to the range of int.
  std::optional<int> ReadParameter() {
    const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1]);
    if (negative) ++pos_;
    if (pos_ >= in_.size() || !IsDigit(in_[pos_])) return std::nullopt;
    long long value = 0;
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
      value = std::min<long long>(value * 10 + (in_[pos_++] - '0'), INT_MAX);
    }
    return static_cast<int>(negative ? -value : value);
  }

  void SkipBinary(int count) { pos_ += std::clamp<qsizetype>(count, 0, in_.size() - pos_); }

  // Characters after \u that stand in for it in readers without Unicode are dropped.
  bool ConsumeSkipped() {
    if (pendingSkip_ == 0) return false;
    --pendingSkip_;
    return true;
  }

  void ControlSymbol(char c) {
    if (c == '\'') return HexByte();
    if (c == '*') {
      // Destinations marked ignorable are ones this reader does not show.
      state_.destination = Destination::Skip;
      return;
    }
    if (!InText() || ConsumeSkipped()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        return AppendText(QChar::fromLatin1(c));
      case '~':
        return AppendText(QChar(0x00A0));
      case '_':
        return AppendText(QChar(0x2011));
      case '\n':
      case '\r':
        return EndParagraph();
      default:
        return;  // optional hyphens, index marks and the like show nothing
    }
  }

  void HexByte() {
    // Two hex digits; a byte cut short gives nothing.
    int byte = 0;
    int digits = 0;
    for (; digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0; ++digits) {
      byte = byte * 16 + HexValue(in_[pos_++]);
    }
    if (digits < 2 || !InText() || ConsumeSkipped()) return;
    AppendText(Decode(static_cast<unsigned char>(byte)));
  }

  void TextByte(unsigned char c) {
    if (state_.destination == Destination::ColourTable && overflow_ == 0 && c == ';') {
      return EndColour();
    }
    if (!InText() || c == '\r' || c == '\n' || ConsumeSkipped()) return;
    if (c == '\t') return AppendText(QChar(u'\t'));
    if (c < 0x20) return;
    AppendText(c < 0x80 ? QString(QChar::fromLatin1(static_cast<char>(c))) : Decode(c));
  }

  void ControlWord(std::string_view word, std::optional<int> parameter) {
    const auto it = Words().find(word);
    if (Skipping() || it == Words().end()) {
      if (InText()) ConsumeSkipped();  // an unknown word counts as one skipped character
      return;
    }
    const WordEntry entry = it->second;
    switch (state_.destination) {
      case Destination::FontTable:
        return FontTableWord(entry.action, parameter);
      case Destination::ColourTable:
        return ColourTableWord(entry.action, parameter);
      case Destination::Text:
        if (entry.action != Action::Unicode && ConsumeSkipped()) return;
        return TextWord(entry, parameter);
      case Destination::Skip:
        return;
    }
  }

  void FontTableWord(Action action, std::optional<int> parameter) {
    if (action == Action::Font) fontInTable_ = parameter.value_or(0);
    if (action == Action::FontCharset && fontCodePages_.size() < kMaxTableEntries) {
      fontCodePages_[fontInTable_] = CodePageOfCharset(parameter.value_or(0));
    }
  }

  void ColourTableWord(Action action, std::optional<int> parameter) {
    const auto component = static_cast<std::uint8_t>(std::clamp(parameter.value_or(0), 0, 255));
    if (action == Action::Red) colour_.red = component;
    if (action == Action::Green) colour_.green = component;
    if (action == Action::Blue) colour_.blue = component;
    colourDefined_ = colourDefined_ || action == Action::Red || action == Action::Green ||
                     action == Action::Blue;
  }

  void EndColour() {
    if (colours_.size() < kMaxTableEntries) {
      colours_.push_back(colourDefined_ ? std::optional<RtfColour>(colour_) : std::nullopt);
    }
    colour_ = {};
    colourDefined_ = false;
  }

  void TextWord(const WordEntry& entry, std::optional<int> parameter) {
    const bool on = parameter.value_or(1) != 0;
    RtfCharFormat& format = state_.format;
    switch (entry.action) {
      case Action::EndParagraph:
        return EndParagraph();
      // Cells written on one line are separated by tabs; cells that end their own paragraphs
      // (as some writers do) need nothing more.
      case Action::EndCell:
        if (!paragraph_.runs.empty()) AppendText(QChar(u'\t'));
        return;
      case Action::EndRow:
        if (!paragraph_.runs.empty()) EndParagraph();
        return;
      case Action::Character:
        return AppendText(QChar(entry.value));
      case Action::Bold:
        format.bold = on;
        return;
      case Action::Italic:
        format.italic = on;
        return;
      case Action::Underline:
        format.underline = on;
        return;
      case Action::UnderlineNone:
        format.underline = false;
        return;
      case Action::FontSize:
        format.halfPoints =
            std::clamp(parameter.value_or(RtfCharFormat::kDefaultHalfPoints), 1, kMaxHalfPoints);
        return;
      case Action::Colour:
        state_.colourIndex = std::max(parameter.value_or(0), 0);
        return;
      case Action::Plain:
        format = {};
        state_.colourIndex = 0;
        state_.font = -1;
        return;
      case Action::ParagraphDefaults:
        state_.alignment = RtfAlignment::Left;
        return;
      case Action::Align:
        state_.alignment = static_cast<RtfAlignment>(entry.value);
        return;
      case Action::Font:
        state_.font = parameter.value_or(-1);
        return;
      case Action::UnicodeSkip:
        state_.unicodeSkip = std::clamp(parameter.value_or(1), 0, kMaxUnicodeSkip);
        return;
      case Action::Unicode:
        return Unicode(parameter.value_or(0));
      case Action::AnsiCodePage:
        ansiCodePage_ = parameter.value_or(ansiCodePage_);
        return;
      case Action::DefaultFont:
        defaultFont_ = parameter.value_or(0);
        return;
      case Action::FontTable:
        state_.destination = Destination::FontTable;
        return;
      case Action::ColourTable:
        state_.destination = Destination::ColourTable;
        colours_.clear();
        return;
      case Action::SkipDestination:
        state_.destination = Destination::Skip;
        return;
      case Action::FontCharset:
      case Action::Red:
      case Action::Green:
      case Action::Blue:
        return;  // only meaningful inside the font and colour tables
    }
  }

  void Unicode(int value) {
    // Negative values are the upper half of the 16-bit range; larger ones are not characters.
    if (value < 0) value += 65536;
    if (value >= 0 && value <= 0xFFFF) AppendText(QChar(static_cast<char16_t>(value)));
    pendingSkip_ = state_.unicodeSkip;
  }

  // The text of one byte in the code page of the current font, else of the document.
  QString Decode(unsigned char byte) {
    const int font = state_.font >= 0 ? state_.font : defaultFont_;
    const auto page = fontCodePages_.find(font);
    const int codePage =
        page != fontCodePages_.end() && page->second != 0 ? page->second : ansiCodePage_;
    const char c = static_cast<char>(byte);
    return DecoderFor(codePage).decode(QByteArrayView(&c, 1));
  }

  QStringDecoder& DecoderFor(int codePage) {
    if (const auto it = decoders_.find(codePage); it != decoders_.end()) return it->second;
    if (decoders_.size() >= kMaxDecoders) return Fallback();
    const QByteArray name =
        (codePage == 874 || (codePage >= 1250 && codePage <= 1258) ? QByteArrayLiteral("windows-")
                                                                   : QByteArrayLiteral("cp")) +
        QByteArray::number(codePage);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid()) return Fallback();
    return decoders_.try_emplace(codePage, std::move(decoder)).first->second;
  }

  // Windows-1252 where ICU has it, else Latin-1, which every build has.
  QStringDecoder& Fallback() {
    if (!fallback_) {
      fallback_.emplace("windows-1252");
      if (!fallback_->isValid()) fallback_.emplace(QStringConverter::Latin1);
    }
    return *fallback_;
  }

  RtfCharFormat CurrentFormat() const {
    RtfCharFormat format = state_.format;
    const auto index = static_cast<std::size_t>(state_.colourIndex);
    if (index < colours_.size()) format.colour = colours_[index];
    return format;
  }

  void AppendText(const QString& text) {
    const RtfCharFormat format = CurrentFormat();
    if (paragraph_.runs.empty() || !(paragraph_.runs.back().format == format)) {
      paragraph_.runs.push_back({QString(), format});
    }
    paragraph_.runs.back().text += text;
  }

  void EndParagraph() {
    if (!InText()) return;
    paragraph_.alignment = state_.alignment;
    doc_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = {};
  }

  const QByteArray& in_;
  qsizetype pos_ = 0;
  GroupState state_;
  std::vector<GroupState> stack_;
  int overflow_ = 0;  // groups opened beyond the depth limit
  int pendingSkip_ = 0;
  int ansiCodePage_ = 1252;
  int defaultFont_ = 0;
  int fontInTable_ = 0;
  std::map<int, int> fontCodePages_;
  std::vector<std::optional<RtfColour>> colours_;
  RtfColour colour_;
  bool colourDefined_ = false;
  std::map<int, QStringDecoder> decoders_;
  std::optional<QStringDecoder> fallback_;  // made when first needed
  RtfDocument doc_;
  RtfParagraph paragraph_;
};

}  // namespace

QString RtfParagraph::Text() const {
  QString text;
  for (const RtfRun& run : runs) text += run.text;
  return text;
}

QString RtfDocument::PlainText() const {
  QStringList lines;
  for (const RtfParagraph& p : paragraphs) lines << p.Text();
  return lines.join(u'\n');
}

RtfDocument ReadRtf(const QByteArray& rtf) {
  return Reader(rtf).Read();
}

}  // namespace qdx
