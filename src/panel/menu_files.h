// The menu window's files: the language settings "MenuSettings.ini" (shared with the earlier
// Windows tool) and a saved menu: BASE.mpl (base language), BASE.1 .. BASE.N (the languages),
// BASE.str (the structure stream), each line ended by CR LF, texts written as held.
//
// Every file is written through the atomic writer: an error names the file and the system's
// reason and leaves the earlier files of that name as they were. Loaders open only regular
// files and never read outside their data.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "files/safe_file.h"
#include "panel/menu_texts.h"

namespace qdx {

inline const QString kMenuSettingsFile = QStringLiteral("MenuSettings.ini");
inline const QString kNoStructureMessage =
    QStringLiteral("Project has no structure information. Please read data from device.");

// Reads MenuSettings.ini from folder: LanguagesCount (default 3, bounded to 1..15),
// PageCode_k (default 0, values outside 0..3 give 0), CodeName_k (default "LANGUAGE k");
// the selections are 2 and 3 where they exist. A missing file gives the defaults.
MenuLanguages ReadMenuSettings(const QString& folder, QString* error = nullptr);
// Writes LanguagesCount, PageCode_k and CodeName_k into folder's MenuSettings.ini, changing
// only those lines of an existing file.
FileResult WriteMenuSettings(const QString& folder, const MenuLanguages& languages);

// "Write to disk" to mplPath (ending in ".mpl"): the settings, the N language files and, in
// the four-block layout, BASE.mpl and BASE.str.
FileResult WriteMenuFiles(const QString& mplPath, const MenuDocument& document);

// "Read from disk" of mplPath into document (the window's steps 2 to 6): the settings beside
// it, the structure file when the document has no data, the lines into the rows. On failure
// the document is unchanged and the result says why (kNoStructureMessage among others).
// A three-block menu read from a controller needs no BASE.mpl: one is never written for it.
FileResult ReadMenuFiles(const QString& mplPath, MenuDocument& document);

// A structure file's bytes: the length (32-bit, high byte first) and the stream. A length
// larger than the data is refused.
std::optional<QByteArray> ParseStructureFile(const QByteArray& bytes, QString* error = nullptr);

// The lines of a text file (ended by CR LF or LF, the last one perhaps by nothing), each cut
// to the characters a cell holds.
QList<QByteArray> SplitMenuLines(const QByteArray& bytes);

}  // namespace qdx
