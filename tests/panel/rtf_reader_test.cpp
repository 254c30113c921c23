// The RTF reader: hand-written cases for each construct, files written by a word processor
// (made once with pandoc and kept as data), and inputs meant to make it crash or hang.
#include "panel/rtf_reader.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/qt_printers.h"

namespace qdx {
namespace {

struct TextCase {
  const char* what;
  const char* rtf;
  const char* text;  // UTF-8; paragraphs joined by '\n'
};

class RtfTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfTextTest, ReadsTheText) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ReadRtf(QByteArray(c.rtf)).PlainText(), QString::fromUtf8(c.text)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Constructs, RtfTextTest,
    ::testing::Values(
        TextCase{"plain text", R"({\rtf1 Hello world})", "Hello world"},
        TextCase{"paragraphs", R"({\rtf1 a\par b\par})", "a\nb"},
        TextCase{"empty paragraph", R"({\rtf1 a\par\par b})", "a\n\nb"},
        TextCase{"line break and tab", R"({\rtf1 a\line b\tab c})", "a\u2028b\tc"},
        TextCase{"newlines in the source are not text", "{\\rtf1 a\r\nb}", "ab"},
        TextCase{"backslash newline ends a paragraph", "{\\rtf1 a\\\nb}", "a\nb"},
        TextCase{"escaped characters", R"({\rtf1 \{x\}\\})", "{x}\\"},
        TextCase{"special characters", R"({\rtf1 a\~b\emdash c\endash\bullet\lquote\rquote})",
                 "a\u00A0b\u2014c\u2013\u2022\u2018\u2019"},
        TextCase{"Windows-1250", R"({\rtf1\ansi\ansicpg1250 \'b9\'e6\'9c})", "ąćś"},
        TextCase{"Windows-1251", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "При"},
        TextCase{"Windows-1252", R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80})", "café €"},
        TextCase{"raw high bytes in the document's code page", "{\\rtf1\\ansicpg1250 \xb9}", "ą"},
        TextCase{"font character set over the document's code page",
                 R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset238 Arial;})"
                 R"({\f1\fcharset0 Times;}}\'b9\f1\'b9\plain\'b9})",
                 "ą¹ą"},
        TextCase{"unicode with one stand-in character", R"({\rtf1 \u261?x})", "ąx"},
        TextCase{"unicode with two stand-ins", R"({\rtf1\uc2\u261\'b9\'b9x})", "ąx"},
        TextCase{"unicode without stand-ins", R"({\rtf1\uc0\u261 x})", "ąx"},
        TextCase{"negative unicode", R"({\rtf1 \u-4064?})", "\uF020"},
        TextCase{"a group ends the stand-ins", R"({\rtf1 {\u261}x})", "ąx"},
        TextCase{"binary data is skipped", R"({\rtf1 a\bin3 {\}b})", "ab"},
        TextCase{"tables and destinations skipped",
                 R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;})"
                 R"({\stylesheet{\s0 Normal;}}{\info{\title T}}{\*\generator W;})"
                 R"({\*\unknown zzz}{\pict\pngblip 0102}{\header H}Text})",
                 "Text"},
        TextCase{"field result shown, instruction skipped",
                 R"({\rtf1 {\field{\*\fldinst{HYPERLINK "x"}}{\fldrslt here}}})", "here"},
        TextCase{"table cells on one line", R"({\rtf1 \trowd a\cell b\cell\row c})", "a\tb\t\nc"},
        TextCase{"truncated control word", "{\\rtf1 abc\\", "abc"},
        TextCase{"truncated hex byte", "{\\rtf1 abc\\'4", "abc"},
        TextCase{"bad hex digits", R"({\rtf1 a\'zzb\'4x})", "azzbx"},
        TextCase{"unbalanced braces", "}}}abc{{", "abc"},
        TextCase{"huge binary length", R"({\rtf1 a\bin2147483647 bcd})", "a"},
        TextCase{"number longer than an int", R"({\rtf1 a\bin99999999999999999999 b})", "a"},
        TextCase{"unknown word eats no text", R"({\rtf1 \foo a\bar1 b})", "ab"}));

TEST(RtfReader, CharacterFormattingFollowsGroups) {
  const RtfDocument doc = ReadRtf(R"({\rtf1 a{\b b\i c}\ul d\ul0 e\plain f})");
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  const auto& runs = doc.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].text, "a");
  EXPECT_EQ(runs[1].text, "b");
  EXPECT_TRUE(runs[1].format.bold);
  EXPECT_FALSE(runs[1].format.italic);
  EXPECT_EQ(runs[2].text, "c");
  EXPECT_TRUE(runs[2].format.bold && runs[2].format.italic);
  EXPECT_EQ(runs[3].text, "d");
  EXPECT_TRUE(runs[3].format.underline);
  EXPECT_FALSE(runs[3].format.bold);
  EXPECT_EQ(runs[4].text, "ef");
  EXPECT_EQ(runs[4].format, RtfCharFormat{});
}

TEST(RtfReader, SizeAndColourFromTheColourTable) {
  const RtfDocument doc = ReadRtf(
      R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\cf1\fs36 R\cf0 N\cf9 X)"
      R"(\cf2\fs99999999999 B})");
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  const auto& runs = doc.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].format.colour, (RtfColour{255, 0, 0}));
  EXPECT_EQ(runs[0].format.halfPoints, 36);
  EXPECT_EQ(runs[1].text, "NX");  // the automatic colour and one beyond the table: none
  EXPECT_EQ(runs[1].format.colour, std::nullopt);
  EXPECT_EQ(runs[2].format.colour, (RtfColour{0, 0, 255}));
  EXPECT_EQ(runs[2].format.halfPoints, 2000);
}

TEST(RtfReader, ParagraphAlignment) {
  const RtfDocument doc = ReadRtf(R"({\rtf1\qc a\par\pard b\par\qr c\par{\pard\qj d\par}e})");
  ASSERT_EQ(doc.paragraphs.size(), 5u);
  EXPECT_EQ(doc.paragraphs[0].alignment, RtfAlignment::Centre);
  EXPECT_EQ(doc.paragraphs[1].alignment, RtfAlignment::Left);
  EXPECT_EQ(doc.paragraphs[2].alignment, RtfAlignment::Right);
  EXPECT_EQ(doc.paragraphs[3].alignment, RtfAlignment::Justify);
  EXPECT_EQ(doc.paragraphs[4].alignment, RtfAlignment::Right);  // the group's \pard is undone
}

TEST(RtfReader, DeepNestingIsDroppedNotFollowed) {
  const QByteArray deep = QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "y";
  EXPECT_EQ(ReadRtf(deep).PlainText(), "y");
  EXPECT_EQ(ReadRtf(QByteArray(10, '{') + "x").PlainText(), "x");
}

QByteArray Fixture(const char* name) {
  QFile f(QStringLiteral(QDX_SOURCE_DIR "/tests/panel/data/") + QLatin1String(name));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
  return f.readAll();
}

TEST(RtfReader, WordProcessorTextWithListAndUnicode) {
  const RtfDocument doc = ReadRtf(Fixture("pandoc_text.rtf"));
  ASSERT_EQ(doc.paragraphs.size(), 5u);
  EXPECT_EQ(doc.paragraphs[0].Text(), "Chamber temperature correction");
  EXPECT_TRUE(doc.paragraphs[0].runs[0].format.bold);
  EXPECT_EQ(doc.paragraphs[0].runs[0].format.halfPoints, 36);
  EXPECT_EQ(doc.paragraphs[1].Text(),
            "The value is added to the measured chamber temperature, in tenths of a degree.");
  ASSERT_EQ(doc.paragraphs[1].runs.size(), 5u);
  EXPECT_EQ(doc.paragraphs[1].runs[1].text, "measured");
  EXPECT_TRUE(doc.paragraphs[1].runs[1].format.bold);
  EXPECT_TRUE(doc.paragraphs[1].runs[3].format.italic);
  EXPECT_EQ(doc.paragraphs[2].Text(), QString::fromUtf8("•\tLower limit: -20.0"));
  EXPECT_EQ(doc.paragraphs[4].Text(),
            QString::fromUtf8("Zażółć gęślą jaźń — Привет, “quoted” text."));
}

TEST(RtfReader, WordProcessorTableLinkAndCode) {
  const RtfDocument doc = ReadRtf(Fixture("pandoc_table_link.rtf"));
  QStringList paragraphs;
  for (const RtfParagraph& p : doc.paragraphs) paragraphs << p.Text();
  EXPECT_EQ(paragraphs, (QStringList{"See the manual and F26=1.5.", "Parameter", "Value", "F02",
                                     "1", "", QString::fromUtf8("code line one\u2028code line two"),
                                     QString::fromUtf8("Line one\u2028line two")}));
  ASSERT_GE(doc.paragraphs[0].runs.size(), 2u);
  EXPECT_EQ(doc.paragraphs[0].runs[1].text, "the manual");
  EXPECT_TRUE(doc.paragraphs[0].runs[1].format.underline);
}

}  // namespace
}  // namespace qdx
