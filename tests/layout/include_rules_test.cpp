// The folders of src/ are layers; a file may include only the folders its layer stands on.
// This table is the one place the rules are written; the test reads every source file, so a
// stray include fails the suite instead of eroding the layering silently.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Folder -> the folders its files may include (itself always).
const QMap<QString, QStringList>& AllowedIncludes() {
  static const QMap<QString, QStringList> rules = {
      {"model", {}},
      {"files", {"model"}},
      {"link", {"model"}},
      {"config", {"model", "files", "link"}},
      {"transfer", {"model", "files", "link", "config"}},
      {"panel", {"model", "files", "link", "config"}},
      {"service", {"model", "files", "link", "config", "panel"}},
      {"app", {"model", "files", "link", "config", "transfer", "panel", "service"}},
      {"cli", {"model", "files", "link", "config", "transfer", "panel", "service", "app"}},
      {"emulator", {"model", "link"}},
  };
  return rules;
}

// Widget files are named so, and the desktop program's main() is one; everything else is core
// and must build without widgets.
bool IsWidgetFile(const QString& path) {
  static const QRegularExpression widget(QStringLiteral("_(window|editor|dialog)\\.(h|cpp)$"));
  return path == QLatin1String("app/main.cpp") || widget.match(path).hasMatch();
}

struct Include {
  QString file;    // "link/link.h", relative to src/
  QString target;  // "files/settings.h"
};

std::vector<Include> ProjectIncludes(const QString& srcDir) {
  static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""));
  std::vector<Include> out;
  QDirIterator it(srcDir, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QString relative = QDir(srcDir).relativeFilePath(path);
    while (!f.atEnd()) {
      const auto m = include.match(QString::fromUtf8(f.readLine()));
      if (m.hasMatch()) out.push_back({relative, m.captured(1)});
    }
  }
  return out;
}

QString FolderOf(const QString& relative) {
  return relative.section('/', 0, 0);
}

// Every include that breaks a rule, one line each.
QStringList Violations(const std::vector<Include>& includes) {
  QStringList out;
  for (const Include& inc : includes) {
    const QString from = FolderOf(inc.file);
    const QString to = FolderOf(inc.target);
    if (!AllowedIncludes().contains(from)) {
      out << inc.file + ": folder '" + from + "' has no row in the include rules";
      continue;
    }
    if (to != from && !AllowedIncludes()[from].contains(to)) {
      out << inc.file + " includes " + inc.target + " ('" + from + "' may not include '" + to +
                 "')";
    }
    if (!IsWidgetFile(inc.file) && IsWidgetFile(inc.target)) {
      out << inc.file + " includes " + inc.target + " (a core file may not include a window)";
    }
  }
  return out;
}

TEST(IncludeRules, EverySourceFileIncludesOnlyTheLayersBelowIt) {
  const auto includes = ProjectIncludes(QStringLiteral(QDX_SOURCE_DIR "/src"));
  ASSERT_GT(includes.size(), 100u) << "the source tree was not found";
  const QStringList violations = Violations(includes);
  EXPECT_TRUE(violations.isEmpty()) << violations.join('\n').toStdString();
}

// The checker itself: the includes the layering forbids are caught, allowed ones pass.
TEST(IncludeRules, CatchesUpwardAndWindowIncludes) {
  struct Case {
    Include include;
    bool allowed;
  };
  const Case cases[] = {
      {{"link/link.h", "model/bytes.h"}, true},
      {{"link/link.h", "files/settings.h"}, false},
      {{"link/operations.h", "app/session.h"}, false},
      {{"link/section_wire.h", "config/section_table.h"}, false},
      {{"link/link.cpp", "config/relay_editor.h"}, false},
      {{"model/blocks.h", "link/frame.h"}, false},
      {{"files/settings.cpp", "link/link.h"}, false},
      {{"config/section_transfer.cpp", "link/operations.h"}, true},
      {{"config/section_table.cpp", "config/relay_editor.h"}, false},
      {{"config/relay_list_window.cpp", "config/relay_editor.h"}, true},
      {{"transfer/project_transfer.h", "app/session.h"}, false},
      {{"app/main_window.cpp", "transfer/send_project_window.h"}, true},
      {{"cli/connection.h", "app/session.h"}, true},
      {{"cli/main.cpp", "app/main_window.h"}, false},
      {{"emulator/emulator.h", "files/settings.h"}, false},
      {{"widgets/x.h", "model/bytes.h"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Violations({c.include}).isEmpty(), c.allowed)
        << c.include.file.toStdString() << " -> " << c.include.target.toStdString();
  }
}

}  // namespace
