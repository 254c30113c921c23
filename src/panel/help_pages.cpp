#include "panel/help_pages.h"

#include <QDir>
#include <QFileInfo>

namespace qdx {

QString HelpPagePath(int n, const QString& programDir) {
  const QString file = QString::number(n) + QStringLiteral(".rtf");
  const QDir dir(programDir);
  for (const char* folder : {"HELP", "help", "../share/setupqdx/HELP"}) {
    const QFileInfo page(dir.filePath(QLatin1String(folder) + u'/' + file));
    if (page.isFile()) return QDir::cleanPath(page.absoluteFilePath());
  }
  return {};
}

bool HelpPageExists(int n, const QString& programDir) {
  return !HelpPagePath(n, programDir).isEmpty();
}

}  // namespace qdx
