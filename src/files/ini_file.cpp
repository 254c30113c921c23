#include "files/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include "files/safe_file.h"

namespace qdx {

namespace {

// Windows-1250 upper half, for when the platform's converters lack the code page. Bytes the
// code page leaves undefined map to the C1 control of the same value, as ICU does.
constexpr std::array<char16_t, 128> kCp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

constexpr const char* kCodePage = "windows-1250";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

QByteArray Trimmed(QByteArrayView v) {
  qsizetype b = 0;
  qsizetype e = v.size();
  while (b < e && IsBlank(v[b])) ++b;
  while (e > b && IsBlank(v[e - 1])) --e;
  return v.sliced(b, e - b).toByteArray();
}

// ASCII-only case folding, as SimpleIni compares names: independent of the locale.
bool SameName(QByteArrayView a, QByteArrayView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One line of the file: [begin, contentEnd) is the text, [contentEnd, end) its line break.
struct Line {
  qsizetype begin;
  qsizetype contentEnd;
  qsizetype end;
};

std::vector<Line> SplitLines(const QByteArray& text) {
  std::vector<Line> lines;
  qsizetype pos = 0;
  const qsizetype n = text.size();
  while (pos < n) {
    qsizetype e = pos;
    while (e < n && text[e] != '\n' && text[e] != '\r') ++e;
    qsizetype next = e;
    if (next < n && text[next] == '\r') ++next;
    if (next < n && text[next] == '\n' && (next == e || text[e] == '\r')) ++next;
    lines.push_back({pos, e, next});
    pos = next;
  }
  return lines;
}

// The line break this file uses; CRLF for a new file, as the Windows tool writes.
QByteArray LineBreakOf(const QByteArray& text) {
  const qsizetype lf = text.indexOf('\n');
  if (lf < 0) return text.contains('\r') ? QByteArray("\r") : QByteArray("\r\n");
  return (lf > 0 && text[lf - 1] == '\r') ? QByteArray("\r\n") : QByteArray("\n");
}

enum class LineKind { Other, Section, Key };

struct LineInfo {
  LineKind kind = LineKind::Other;
  QByteArray name;           // section or key name, trimmed
  qsizetype valueBegin = 0;  // Key: where the value starts (after '=' and blanks)
};

// Classifies a line the way SimpleIni reads it.
LineInfo Classify(const QByteArray& text, const Line& line, bool first) {
  LineInfo info;
  qsizetype b = line.begin;
  if (first && text.startsWith("\xEF\xBB\xBF")) b += 3;
  while (b < line.contentEnd && IsBlank(text[b])) ++b;
  if (b >= line.contentEnd) return info;
  const char c = text[b];
  if (c == ';' || c == '#') return info;
  const QByteArrayView content(text.constData() + b, line.contentEnd - b);
  if (c == '[') {
    const qsizetype close = content.indexOf(']');
    if (close < 0) return info;
    info.kind = LineKind::Section;
    info.name = Trimmed(content.sliced(1, close - 1));
    return info;
  }
  const qsizetype eq = content.indexOf('=');
  if (eq <= 0) return info;
  info.kind = LineKind::Key;
  info.name = Trimmed(content.first(eq));
  qsizetype v = b + eq + 1;
  while (v < line.contentEnd && IsBlank(text[v])) ++v;
  info.valueBegin = v;
  return info;
}

}  // namespace

QString DecodeWindows1250(const QByteArray& bytes) {
  QStringDecoder decoder(kCodePage);
  if (decoder.isValid()) return decoder.decode(bytes);
  return DecodeWindows1250ByTable(bytes);
}

QString DecodeWindows1250ByTable(const QByteArray& bytes) {
  QString result;
  result.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    result.append(b < 0x80 ? QChar(b) : QChar(kCp1250High[b - 0x80]));
  }
  return result;
}

QByteArray EncodeWindows1250(const QString& text) {
  QStringEncoder encoder(kCodePage);
  if (!encoder.isValid()) return EncodeWindows1250ByTable(text);
  QByteArray out = encoder.encode(text);
  // The converter marks a character the code page lacks with 0x1A; '?' reads better in a
  // file people edit by hand.
  if (!text.contains(QChar(0x1A))) out.replace('\x1a', '?');
  return out;
}

QByteArray EncodeWindows1250ByTable(const QString& text) {
  QByteArray result;
  result.reserve(text.size());
  for (const char32_t cp : text.toUcs4()) {
    char out = '?';
    if (cp < 0x80) {
      out = static_cast<char>(cp);
    } else {
      for (std::size_t i = 0; i < kCp1250High.size(); ++i) {
        if (kCp1250High[i] == cp) {
          out = static_cast<char>(0x80 + i);
          break;
        }
      }
    }
    result.append(out);
  }
  return result;
}

struct IniFile::Parsed {
  // Case-insensitive names; duplicate keys kept so the first one can be told apart.
  CSimpleIniA ini{false, true, false};
};

IniFile::IniFile() : parsed_(std::make_unique<Parsed>()) {}
IniFile::~IniFile() = default;

bool IniFile::Load(const QString& path, QString* error) {
  text_.clear();
  exists_ = false;
  if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
    Parse();
    return true;
  }
  QFile file;
  if (FileResult r = OpenRegularFile(file, path); !r) {
    if (error) *error = r.error;
    Parse();
    return false;
  }
  text_ = file.readAll();
  exists_ = true;
  Parse();
  return true;
}

void IniFile::SetBytes(const QByteArray& bytes) {
  text_ = bytes;
  exists_ = true;
  Parse();
}

void IniFile::Parse() {
  parsed_->ini.Reset();
  parsed_->ini.SetSpaces(false);
  parsed_->ini.SetMultiKey(true);
  if (text_.isEmpty()) return;
  // SimpleIni takes a '[' line without ']' for the start of a section whose name runs on into
  // the following lines; such a line is no header for us, so the parser sees it as a comment.
  QByteArray data = text_;
  const std::vector<Line> lines = SplitLines(text_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    qsizetype b = lines[i].begin;
    if (i == 0 && text_.startsWith("\xEF\xBB\xBF")) b += 3;
    while (b < lines[i].contentEnd && IsBlank(text_[b])) ++b;
    if (b < lines[i].contentEnd && text_[b] == '[' &&
        QByteArrayView(text_.constData() + b, lines[i].contentEnd - b).indexOf(']') < 0) {
      data[b] = ';';
    }
  }
  parsed_->ini.LoadData(data.constData(), static_cast<size_t>(data.size()));
}

std::optional<QByteArray> IniFile::RawValue(const QString& section, const QString& key) const {
  const QByteArray s = EncodeWindows1250(section);
  const QByteArray k = EncodeWindows1250(key);
  const char* v = parsed_->ini.GetValue(s.constData(), k.constData(), nullptr);
  if (!v) return std::nullopt;
  return QByteArray(v);
}

QString IniFile::Value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
  const auto raw = RawValue(section, key);
  return raw ? DecodeWindows1250(*raw) : defaultValue;
}

int IniFile::IntValue(const QString& section, const QString& key, int defaultValue) const {
  const auto raw = RawValue(section, key);
  if (!raw) return defaultValue;
  bool ok = false;
  const int value = Trimmed(*raw).toInt(&ok, 10);
  return ok ? value : defaultValue;
}

QStringList IniFile::Keys(const QString& section) const {
  const QByteArray s = EncodeWindows1250(section);
  CSimpleIniA::TNamesDepend keys;
  parsed_->ini.GetAllKeys(s.constData(), keys);
  keys.sort(CSimpleIniA::Entry::LoadOrder());
  QStringList result;
  for (const auto& entry : keys) {
    const QString name = DecodeWindows1250(QByteArray(entry.pItem));
    bool seen = false;
    for (const QString& r : result) seen = seen || r.compare(name, Qt::CaseInsensitive) == 0;
    if (!seen) result << name;
  }
  return result;
}

void IniFile::SetRawValue(const QString& section, const QString& key, const QByteArray& value) {
  const QByteArray s = EncodeWindows1250(section);
  const QByteArray k = EncodeWindows1250(key);
  const QByteArray nl = LineBreakOf(text_);
  const std::vector<Line> lines = SplitLines(text_);

  // Keys before any section header belong to the unnamed section, as SimpleIni reads them.
  bool inSection = s.isEmpty();
  // Where a missing key goes: after the section's last key (or its header), so comments
  // that introduce the next section stay with it.
  qsizetype lastInSection = -1;
  if (s.isEmpty()) lastInSection = text_.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const LineInfo info = Classify(text_, line, i == 0);
    if (info.kind == LineKind::Section) {
      inSection = SameName(info.name, s);
      if (inSection) lastInSection = line.end;
      continue;
    }
    if (!inSection) continue;
    if (info.kind == LineKind::Key && SameName(info.name, k)) {
      // Replace only the value; the key's spelling, the '=' and any blanks after it stay.
      text_.replace(info.valueBegin, line.contentEnd - info.valueBegin, value);
      Parse();
      return;
    }
    if (info.kind == LineKind::Key) lastInSection = line.end;
  }

  const QByteArray entry = k + '=' + value + nl;
  if (lastInSection >= 0) {
    QByteArray insert = entry;
    // The section's last line may be the file's last line without a line break.
    if (lastInSection == text_.size() && !text_.isEmpty() && !text_.endsWith('\n') &&
        !text_.endsWith('\r')) {
      insert.prepend(nl);
    }
    text_.insert(lastInSection, insert);
  } else {
    if (!text_.isEmpty() && !text_.endsWith('\n') && !text_.endsWith('\r')) text_.append(nl);
    if (!text_.isEmpty() && !text_.endsWith(nl + nl) && text_ != nl) text_.append(nl);
    if (!s.isEmpty()) text_.append('[' + s + ']' + nl);
    text_.append(entry);
  }
  Parse();
}

void IniFile::SetIntValue(const QString& section, const QString& key, int value) {
  if (const auto raw = RawValue(section, key)) {
    bool ok = false;
    const int current = Trimmed(*raw).toInt(&ok, 10);
    if (ok && current == value) return;
  }
  SetRawValue(section, key, QByteArray::number(value));
}

bool IniFile::Save(const QString& path, QString* error) const {
  const QString native = QDir::toNativeSeparators(path);
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) {
    if (error) *error = QStringLiteral("%1: cannot create the folder").arg(native);
    return false;
  }
  const FileResult r = WriteFilesAtomically({{path, QByteArrayView(text_)}});
  if (!r && error) *error = r.error;
  return r.ok;
}

}  // namespace qdx
