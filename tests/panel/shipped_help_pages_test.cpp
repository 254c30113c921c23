// The help pages shipped with the program read as pages of their parameters.
#include <gtest/gtest.h>

#include <QFile>

#include "panel/rtf_reader.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

struct ShippedPage {
  int parameter;
  const char* title;
  std::vector<const char*> lines;  // lines the page must hold
};

class ShippedHelpPageTest : public ::testing::TestWithParam<ShippedPage> {};

TEST_P(ShippedHelpPageTest, ReadsAsThePageOfItsParameter) {
  const ShippedPage& page = GetParam();
  QFile f(QStringLiteral(QDX_SOURCE_DIR "/resources/help/%1.rtf").arg(page.parameter));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const RtfDocument doc = ReadRtf(f.readAll());
  ASSERT_FALSE(doc.paragraphs.empty());
  EXPECT_EQ(doc.paragraphs[0].Text(), QString::fromLatin1(page.title));
  EXPECT_EQ(doc.paragraphs[0].alignment, RtfAlignment::Centre);
  QStringList lines;
  for (const RtfParagraph& p : doc.paragraphs) lines << p.Text().trimmed();
  for (const char* line : page.lines) EXPECT_TRUE(lines.contains(line)) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ShippedHelpPageTest,
    ::testing::Values(ShippedPage{1, "F01  Address RS-485", {"Values: 1 to 32."}},
                      ShippedPage{2, "F02  Baud rate", {"0 - 9600 [b/s]", "1 - 19200 [b/s]"}},
                      ShippedPage{7, "F07  Temperature unit", {"0 - Celsius", "1 - Fahrenheit"}},
                      ShippedPage{
                          79, "F79  PANEL MODE", {"0 - Single", "1 - Master", "2 - Slave"}}));

}  // namespace
}  // namespace qdx
