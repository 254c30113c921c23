// Finding a parameter's help page beside the program, in each of the places it may be.
#include "panel/help_pages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"

namespace qdx {
namespace {

void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(HelpPages, FoundInEachFolderInOrder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString bin = root.filePath("bin");
  QDir().mkpath(bin);
  EXPECT_EQ(HelpPagePath(7, bin), QString());
  EXPECT_FALSE(HelpPageExists(7, bin));

  Touch(root.filePath("share/setupqdx/HELP/7.rtf"));
  EXPECT_EQ(HelpPagePath(7, bin), root.filePath("share/setupqdx/HELP/7.rtf"));
  Touch(bin + "/help/7.rtf");
  EXPECT_EQ(HelpPagePath(7, bin), bin + "/help/7.rtf");
  Touch(bin + "/HELP/7.rtf");
  EXPECT_EQ(HelpPagePath(7, bin), bin + "/HELP/7.rtf");
  EXPECT_TRUE(HelpPageExists(7, bin));

  EXPECT_EQ(HelpPagePath(8, bin), QString());
  Touch(bin + "/HELP/007.rtf");  // the number has no leading zeros
  EXPECT_EQ(HelpPagePath(8, bin), QString());
  QDir().mkpath(bin + "/HELP/9.rtf");  // a folder is no page
  EXPECT_EQ(HelpPagePath(9, bin), QString());
}

}  // namespace
}  // namespace qdx
