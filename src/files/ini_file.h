// Ini files shared with the earlier Windows tool ("ustawienia.ini", "setupQDXust.ini",
// "MenuSettings.ini"). Keys and sections match in any letter case, values are Windows-1250
// bytes, and a write changes only the lines it must: comments, unknown keys, other sections,
// blank lines, line endings (CRLF stays CRLF) and the spelling of keys all stay as they were.
//
// Parsing is SimpleIni's (byte mode, case-insensitive). SimpleIni rewrites a whole file when it
// saves (LF line ends, its own spacing, blank lines and trailing comments dropped), so edits
// are made here on the file's own lines instead.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace qdx {

// Windows-1250 <-> Unicode. Characters without a Windows-1250 byte become '?'. The
// platform's converter is used when it knows the code page, else a table of our own.
QString DecodeWindows1250(const QByteArray& bytes);
QByteArray EncodeWindows1250(const QString& text);
// The table alone, whatever the platform offers.
QString DecodeWindows1250ByTable(const QByteArray& bytes);
QByteArray EncodeWindows1250ByTable(const QString& text);

class IniFile {
 public:
  IniFile();
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Reads the file. A missing file is not an error: the document is empty and exists() is
  // false. False with the file name and the system's reason in *error when it cannot be read.
  bool Load(const QString& path, QString* error = nullptr);
  // Takes the text of a file directly.
  void SetBytes(const QByteArray& bytes);
  bool exists() const { return exists_; }
  // The file's text with every edit applied.
  const QByteArray& bytes() const { return text_; }

  // The first value of key in section (the Windows tool reads the first of duplicate keys),
  // as raw bytes with blanks around it trimmed.
  std::optional<QByteArray> RawValue(const QString& section, const QString& key) const;
  // Decoded from Windows-1250; defaultValue when the key is missing.
  QString Value(const QString& section, const QString& key, const QString& defaultValue = {}) const;
  // A whole decimal integer (optional sign, blanks around it allowed); defaultValue when the
  // key is missing or holds anything else.
  int IntValue(const QString& section, const QString& key, int defaultValue) const;
  bool HasKey(const QString& section, const QString& key) const {
    return RawValue(section, key).has_value();
  }
  // The keys of a section in file order, spelled as in the file, each once.
  QStringList Keys(const QString& section) const;

  // Sets the first occurrence of key in section, keeping the line's key spelling and what
  // precedes the value; appends the key to the section, or the section to the file, when
  // missing. New lines use the file's line ending (CRLF for a new file, as the Windows tool
  // writes them).
  void SetRawValue(const QString& section, const QString& key, const QByteArray& value);
  void SetValue(const QString& section, const QString& key, const QString& value) {
    SetRawValue(section, key, EncodeWindows1250(value));
  }
  // Leaves the line alone when it already holds the same number (" 01" stays " 01").
  void SetIntValue(const QString& section, const QString& key, int value);

  // Writes the text atomically (a temporary file renamed over the old one), creating the
  // folder when needed. False with the file name and the system's reason in *error.
  bool Save(const QString& path, QString* error = nullptr) const;

 private:
  void Parse();

  struct Parsed;
  std::unique_ptr<Parsed> parsed_;
  QByteArray text_;
  bool exists_ = false;
};

}  // namespace qdx
