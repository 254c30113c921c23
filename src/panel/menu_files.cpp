#include "panel/menu_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <utility>

#include "files/ini_file.h"
#include "link/code_pages.h"

namespace qdx {
namespace {

const QString kSection = QStringLiteral("Settings");
const QString kCountKey = QStringLiteral("LanguagesCount");
constexpr int kDefaultLanguageCount = 3;
constexpr int kLengthFieldSize = 4;

QString CodePageKey(int k) {
  return QStringLiteral("PageCode_%1").arg(k);
}
QString NameKey(int k) {
  return QStringLiteral("CodeName_%1").arg(k);
}

QString SettingsPath(const QString& folder) {
  return QDir(folder).filePath(kMenuSettingsFile);
}

// The chosen name with ".mpl" (the user may have typed it in any case) and without it.
QString MplFile(const QString& path) {
  return path.endsWith(QLatin1String(".mpl"), Qt::CaseInsensitive) ? path
                                                                   : path + QLatin1String(".mpl");
}
QString BaseName(const QString& path) {
  return MplFile(path).chopped(4);
}
QString LanguageFile(const QString& base, int k) {
  return base + QLatin1Char('.') + QString::number(k);
}
QString StructureFile(const QString& base) {
  return base + QLatin1String(".str");
}

MenuLanguages ParseMenuSettings(const IniFile& ini) {
  MenuLanguages languages;
  const int count =
      std::clamp(ini.IntValue(kSection, kCountKey, kDefaultLanguageCount), 1, kMaxMenuLanguages);
  for (int k = 1; k <= count; ++k) {
    const int codePage = ini.IntValue(kSection, CodePageKey(k), kCodePageStandard);
    languages.list.push_back({ini.Value(kSection, NameKey(k), QStringLiteral("LANGUAGE %1").arg(k)),
                              IsValidCodePageIndex(codePage) ? codePage : kCodePageStandard});
  }
  languages.Normalise();
  return languages;
}

// The settings file of folder as it is, with only the language keys set.
std::optional<QByteArray> MenuSettingsBytes(const QString& folder, const MenuLanguages& languages,
                                            QString* error) {
  IniFile ini;
  if (!ini.Load(SettingsPath(folder), error)) return std::nullopt;
  ini.SetIntValue(kSection, kCountKey, languages.count());
  for (int k = 1; k <= languages.count(); ++k) {
    const MenuLanguage& language = languages.list[static_cast<std::size_t>(k - 1)];
    ini.SetIntValue(kSection, CodePageKey(k), language.codePage);
    ini.SetValue(kSection, NameKey(k), language.name);
  }
  return ini.bytes();
}

// One line per row of a column. A line break inside a text would shift every later row when
// the file is read back, so it goes out as a blank.
QByteArray ColumnLines(const MenuTextTable& table, int column) {
  QByteArray out;
  for (const MenuTextRow& row : table) {
    QByteArray text = row.texts[static_cast<std::size_t>(column)];
    out += text.replace('\r', ' ').replace('\n', ' ');
    out += "\r\n";
  }
  return out;
}

QByteArray StructureFileBytes(const MenuDocument& document) {
  QByteArray out(kLengthFieldSize, '\0');
  qToBigEndian<quint32>(document.structureLength, out.data());
  // The stream as long as its length says, so that the file always holds what it announces.
  out += document.structure.leftJustified(document.structureLength, '\0', true);
  return out;
}

FileResult ReadWhole(const QString& path, QByteArray* bytes) {
  QFile file;
  if (FileResult r = OpenRegularFile(file, path); !r) return r;
  *bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return {false, FileError(path, file.errorString())};
  return {};
}

FileResult ReadLines(const QString& path, QList<QByteArray>* lines) {
  QByteArray bytes;
  FileResult r = ReadWhole(path, &bytes);
  if (r) *lines = SplitMenuLines(bytes);
  return r;
}

// Replaces the document's rows by those of the structure file (texts empty).
FileResult LoadStructure(const QString& path, MenuDocument& document) {
  if (!QFileInfo::exists(path)) return {false, kNoStructureMessage};
  QByteArray bytes;
  if (FileResult r = ReadWhole(path, &bytes); !r) return r;
  QString reason;
  const std::optional<QByteArray> stream = ParseStructureFile(bytes, &reason);
  if (!stream) return {false, FileError(path, reason)};
  document.structure = *stream;
  document.structureLength = static_cast<std::uint32_t>(stream->size());
  document.layout = MenuLayout::FourBlock;
  document.table.clear();
  ParseStructure(*stream, document.table);
  document.hasData = true;
  return {};
}

FileResult WriteAll(const std::vector<std::pair<QString, QByteArray>>& contents) {
  std::vector<FileContent> files;
  for (const auto& [name, bytes] : contents) files.push_back({name, bytes});
  return WriteFilesAtomically(files);
}

}  // namespace

MenuLanguages ReadMenuSettings(const QString& folder, QString* error) {
  IniFile ini;
  ini.Load(SettingsPath(folder), error);
  return ParseMenuSettings(ini);
}

FileResult WriteMenuSettings(const QString& folder, const MenuLanguages& languages) {
  QString error;
  const std::optional<QByteArray> bytes = MenuSettingsBytes(folder, languages, &error);
  if (!bytes) return {false, error};
  return WriteAll({{SettingsPath(folder), *bytes}});
}

FileResult WriteMenuFiles(const QString& mplPath, const MenuDocument& document) {
  const QString folder = QFileInfo(mplPath).path();
  const QString base = BaseName(mplPath);
  QString error;
  const std::optional<QByteArray> settings = MenuSettingsBytes(folder, document.languages, &error);
  if (!settings) return {false, error};
  const bool fourBlock = document.layout == MenuLayout::FourBlock;
  std::vector<std::pair<QString, QByteArray>> contents;
  if (fourBlock) contents.emplace_back(MplFile(mplPath), ColumnLines(document.table, 0));
  for (int k = 1; k <= document.languages.count(); ++k) {
    contents.emplace_back(LanguageFile(base, k), ColumnLines(document.table, k));
  }
  if (fourBlock) contents.emplace_back(StructureFile(base), StructureFileBytes(document));
  contents.emplace_back(SettingsPath(folder), *settings);
  return WriteAll(contents);
}

FileResult ReadMenuFiles(const QString& mplPath, MenuDocument& document) {
  MenuDocument result = document;
  const QString folder = QFileInfo(mplPath).path();
  const QString base = BaseName(mplPath);
  if (QFileInfo::exists(SettingsPath(folder))) {
    IniFile ini;
    QString error;
    if (!ini.Load(SettingsPath(folder), &error)) return {false, error};
    result.languages = ParseMenuSettings(ini);
  }
  // Column k's lines; none for a language without its file.
  std::vector<std::optional<QList<QByteArray>>> columns(kMenuColumns);
  for (int k = 1; k <= result.languages.count(); ++k) {
    const QString path = LanguageFile(base, k);
    if (!QFileInfo::exists(path)) continue;
    columns[static_cast<std::size_t>(k)].emplace();
    if (FileResult r = ReadLines(path, &*columns[static_cast<std::size_t>(k)]); !r) return r;
  }
  if (!result.hasData) {
    if (FileResult r = LoadStructure(StructureFile(base), result); !r) return r;
  }
  // A three-block menu is saved without BASE.mpl (its base texts are the controller's own):
  // then the rows read from the controller are the ones filled.
  const bool withoutBase = result.hasData && result.layout == MenuLayout::ThreeBlock &&
                           !QFileInfo::exists(mplPath);
  if (!withoutBase) {
    columns[0].emplace();
    if (FileResult r = ReadLines(mplPath, &*columns[0]); !r) return r;
  }

  // The base-language file drives the rows; a shorter language file leaves the rest as it was.
  const qsizetype rows = withoutBase ? static_cast<qsizetype>(result.table.size())
                                     : std::min<qsizetype>(columns[0]->size(), result.table.size());
  for (qsizetype i = 0; i < rows; ++i) {
    MenuTextRow& row = result.table[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < columns.size(); ++k) {
      if (columns[k] && i < columns[k]->size()) row.texts[k] = columns[k]->at(i);
    }
  }
  result.languages.first = 2;
  result.languages.second = 3;
  result.languages.Normalise();
  document = std::move(result);
  return {};
}

std::optional<QByteArray> ParseStructureFile(const QByteArray& bytes, QString* error) {
  const auto refuse = [error](const QString& reason) -> std::optional<QByteArray> {
    if (error) *error = reason;
    return std::nullopt;
  };
  if (bytes.size() < kLengthFieldSize) return refuse(QStringLiteral("shorter than its length"));
  const quint32 length = qFromBigEndian<quint32>(bytes.constData());
  const qsizetype data = bytes.size() - kLengthFieldSize;
  if (length > static_cast<quint64>(data)) {
    return refuse(
        QStringLiteral("its length %1 exceeds its %2 bytes of structure").arg(length).arg(data));
  }
  return bytes.mid(kLengthFieldSize, length);
}

QList<QByteArray> SplitMenuLines(const QByteArray& bytes) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0) end = bytes.size();
    QByteArray line = bytes.mid(start, end - start);
    if (line.endsWith('\r')) line.chop(1);
    lines.push_back(line.left(kMenuTextHeld));
    start = end + 1;
  }
  return lines;
}

}  // namespace qdx
