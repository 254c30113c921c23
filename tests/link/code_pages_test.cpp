#include "link/code_pages.h"

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <functional>
#include <set>
#include <string>

namespace qdx {
namespace {

using Conversion = QByteArray (*)(const QByteArray&);

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(static_cast<char>(v));
  return out;
}

QByteArray OneByte(int b) {
  return QByteArray(1, static_cast<char>(b));
}

// The system's own converters (ICU-backed). Every comparison below needs all four.
class SystemCodePages : public ::testing::Test {
 protected:
  static QString Decode(const char* codec, int byte) {
    QStringDecoder decoder(codec);
    return decoder.decode(OneByte(byte));
  }
  // The byte a code page uses for ch, or -1 when it has none.
  static int Encode(const char* codec, const QString& ch) {
    QStringEncoder encoder(codec, QStringEncoder::Flag::Stateless);
    const QByteArray out = encoder.encode(ch);
    if (encoder.hasError() || out.size() != 1) return -1;
    return static_cast<std::uint8_t>(out[0]);
  }
  void SetUp() override {
    for (const char* name : {"IBM866", "IBM852", "windows-1251", "windows-1250"}) {
      if (!QStringDecoder(name).isValid() || !QStringEncoder(name).isValid()) {
        GTEST_SKIP() << "the system has no converter for " << name;
      }
    }
  }
};

// --- Polish ---------------------------------------------------------------------------------

TEST_F(SystemCodePages, PolishCapitalsGoWhereCodePage852HasThem) {
  const int capitals[] = {0x8C, 0x8F, 0xA3, 0xA5, 0xAF, 0xC6, 0xCA, 0xD1, 0xD3};
  for (int b : capitals) {
    const QString letter = Decode("windows-1250", b);
    ASSERT_TRUE(letter.at(0).isUpper()) << std::hex << b;
    EXPECT_EQ(static_cast<std::uint8_t>(ToPanelPolish(OneByte(b))[0]), Encode("IBM852", letter))
        << "Windows-1250 byte " << std::hex << b;
  }
}

TEST(CodePages, PolishChangesOnlyTheCapitalsAndComesBack) {
  int changedTo = 0;
  int changedFrom = 0;
  for (int b = 0; b < 256; ++b) {
    ASSERT_EQ(ToPanelPolish(OneByte(b)).size(), 1) << b;
    ASSERT_EQ(FromPanelPolish(OneByte(b)).size(), 1) << b;
    if (ToPanelPolish(OneByte(b)) != OneByte(b)) ++changedTo;
    if (FromPanelPolish(OneByte(b)) != OneByte(b)) ++changedFrom;
  }
  EXPECT_EQ(changedTo, 9);
  EXPECT_EQ(changedFrom, 10);
  // Small letters travel unchanged.
  const QByteArray small = Bytes({0xB3, 0xF3, 'd', 0x9F, 0x9C, 0xB9, 0xE6, 0xEA, 0xF1, 0xBF});
  EXPECT_EQ(ToPanelPolish(small), small);
  // The capitals come back.
  const QByteArray capitals = Bytes({0x8C, 0x8F, 0xA3, 0xA5, 0xAF, 0xC6, 0xCA, 0xD1, 0xD3});
  EXPECT_EQ(FromPanelPolish(ToPanelPolish(capitals)), capitals);
  // The panel's AA is shown as a blank.
  EXPECT_EQ(FromPanelPolish(Bytes({'A', 0xAA, 'B'})), QByteArray("A B"));
}

TEST(CodePages, LodzInCapitalsGoesOutAndComesBack) {
  const QByteArray word = Bytes({0xA3, 0xD3, 0x44, 0x8F});
  EXPECT_EQ(ToPanel(word, kCodePagePolish), Bytes({0x9D, 0xE0, 0x44, 0x8D}));
  EXPECT_EQ(FromPanel(Bytes({0x9D, 0xE0, 0x44, 0x8D}), kCodePagePolish), word);
}

// --- Cyrillic -------------------------------------------------------------------------------

// Windows-1251 bytes of the letters and signs the panel has.
std::set<int> CyrillicPanelBytes() {
  std::set<int> bytes = {0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2, 0xB0, 0xB9};
  for (int b = 0xC0; b <= 0xFF; ++b) bytes.insert(b);
  return bytes;
}

TEST_F(SystemCodePages, CyrillicFollowsCodePage866) {
  for (int b : CyrillicPanelBytes()) {
    const QByteArray out = ToPanelCyrillic(OneByte(b));
    ASSERT_EQ(out.size(), 1) << std::hex << b;
    EXPECT_EQ(static_cast<std::uint8_t>(out[0]), Encode("IBM866", Decode("windows-1251", b)))
        << "Windows-1251 byte " << std::hex << b;
  }
  // Back from the panel, every letter the panel has agrees with code page 866, except the two
  // dots F9 and FA, which the PC shows as the degree sign.
  for (int b = 0x80; b < 0x100; ++b) {
    const QByteArray out = FromPanelCyrillic(OneByte(b));
    if (out.isEmpty() || b == 0xF9 || b == 0xFA) continue;
    EXPECT_EQ(Decode("windows-1251", static_cast<std::uint8_t>(out[0])), Decode("IBM866", b))
        << "panel byte " << std::hex << b;
  }
  EXPECT_EQ(FromPanelCyrillic(Bytes({0xF9, 0xFA})), Bytes({0xB0, 0xB0}));
}

TEST(CodePages, CyrillicDropsWhatThePanelCannotShow) {
  const std::set<int> kept = CyrillicPanelBytes();
  for (int b = 0; b < 256; ++b) {
    const bool dropped = ToPanelCyrillic(OneByte(b)).isEmpty();
    EXPECT_EQ(dropped, b >= 0x80 && !kept.count(b)) << std::hex << b;
  }
  for (int b = 0; b < 256; ++b) {
    const bool dropped = FromPanelCyrillic(OneByte(b)).isEmpty();
    const bool expected =
        (b >= 0xB0 && b <= 0xDF) || b == 0xFB || b == 0xFD || b == 0xFE || b == 0xFF;
    EXPECT_EQ(dropped, expected) << std::hex << b;
  }
  // A no-break space in a name is sent without it; box drawing read back is left out.
  EXPECT_EQ(ToPanel(Bytes({0xCF, 0xA0, 0xD0}), kCodePageCyrillic), Bytes({0x8F, 0x90}));
  EXPECT_EQ(FromPanel(Bytes({0x8F, 0xB3, 0xC4, 0xDB, 0x90}), kCodePageCyrillic),
            Bytes({0xCF, 0xD0}));
  // ASCII passes both ways.
  EXPECT_EQ(ToPanelCyrillic("Smoke 12"), QByteArray("Smoke 12"));
  EXPECT_EQ(FromPanelCyrillic("Smoke 12"), QByteArray("Smoke 12"));
}

TEST(CodePages, CyrillicRoundTrips) {
  for (int b : CyrillicPanelBytes()) {
    EXPECT_EQ(FromPanelCyrillic(ToPanelCyrillic(OneByte(b))), OneByte(b)) << std::hex << b;
  }
}

// --- Slovak ---------------------------------------------------------------------------------

// Where the panel's Slovak set departs from code page 852 (Windows-1250 bytes): the low
// double quote, t and l with caron, I and i with circumflex, O and o acute.
const std::set<int> kSlovakDepartures = {0x84, 0x9D, 0xBE, 0xCE, 0xD3, 0xEE, 0xF3};
// And in the other direction (panel bytes).
const std::set<int> kSlovakDeparturesBack = {0x8C, 0xAA, 0xD7, 0xE0, 0xE2, 0xF1};

TEST_F(SystemCodePages, SlovakFollowsCodePage852ExceptItsKnownDepartures) {
  int mapped = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    const QByteArray out = ToPanelSlovak(OneByte(b));
    ASSERT_EQ(out.size(), 1);
    if (out == OneByte(b)) continue;
    ++mapped;
    const int expected = Encode("IBM852", Decode("windows-1250", b));
    if (kSlovakDepartures.count(b)) {
      EXPECT_NE(static_cast<std::uint8_t>(out[0]), expected) << std::hex << b;
    } else {
      EXPECT_EQ(static_cast<std::uint8_t>(out[0]), expected) << "Windows-1250 " << std::hex << b;
    }
  }
  EXPECT_EQ(mapped, 80);
  int mappedBack = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    const QByteArray out = FromPanelSlovak(OneByte(b));
    ASSERT_EQ(out.size(), 1);
    if (out == OneByte(b)) continue;
    ++mappedBack;
    const QString shown = Decode("windows-1250", static_cast<std::uint8_t>(out[0]));
    if (kSlovakDeparturesBack.count(b)) {
      EXPECT_NE(shown, Decode("IBM852", b)) << std::hex << b;
    } else {
      EXPECT_EQ(shown, Decode("IBM852", b)) << "panel " << std::hex << b;
    }
  }
  EXPECT_EQ(mappedBack, 79);
}

TEST_F(SystemCodePages, SlovakLettersRoundTripExceptLWithCaron) {
  int letters = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    if (!Decode("windows-1250", b).at(0).isLetter()) continue;
    if (ToPanelSlovak(OneByte(b)) == OneByte(b)) continue;  // not a panel letter
    ++letters;
    const QByteArray back = FromPanelSlovak(ToPanelSlovak(OneByte(b)));
    if (b == 0xBE) {
      EXPECT_EQ(back, OneByte(0xED)) << "l with caron comes back as i acute";
    } else {
      EXPECT_EQ(back, OneByte(b)) << std::hex << b;
    }
  }
  EXPECT_GE(letters, 60);
}

// --- Stripping ------------------------------------------------------------------------------

TEST_F(SystemCodePages, StripPolishDiacriticsKeepsTheBaseLetter) {
  const int letters[] = {0x8C, 0x8F, 0xAF, 0x9C, 0x9F, 0xBF, 0xA3, 0xA5, 0xB3,
                         0xB9, 0xC6, 0xCA, 0xD1, 0xD3, 0xE6, 0xEA, 0xF1, 0xF3};
  for (int setting : {kCodePageStandard, kCodePagePolish, kCodePageSlovak}) {
    for (int b : letters) {
      const QString letter = Decode("windows-1250", b);
      QChar base = letter.normalized(QString::NormalizationForm_D).at(0);
      if (letter == QStringLiteral("\u0141")) base = QLatin1Char('L');  // no decomposition
      if (letter == QStringLiteral("\u0142")) base = QLatin1Char('l');
      EXPECT_EQ(StripPolishDiacritics(OneByte(b), setting), QByteArray(1, base.toLatin1()))
          << std::hex << b << " setting " << setting;
    }
  }
  // Everything else stays, including the Slovak letters that are not Polish.
  EXPECT_EQ(StripPolishDiacritics(Bytes({'x', 0x9D, 0xBE, 0xE4}), kCodePagePolish),
            Bytes({'x', 0x9D, 0xBE, 0xE4}));
}

TEST(CodePages, StripPolishDiacriticsDoesNothingWhileCyrillic) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  EXPECT_EQ(StripPolishDiacritics(all, kCodePageCyrillic), all);
  EXPECT_NE(StripPolishDiacritics(all, kCodePageStandard), all);
}

// --- By setting -----------------------------------------------------------------------------

TEST(CodePages, SettingSelectsTheConversion) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  struct Case {
    int setting;
    Conversion to;
    Conversion from;
  };
  const Case cases[] = {{kCodePageCyrillic, ToPanelCyrillic, FromPanelCyrillic},
                        {kCodePagePolish, ToPanelPolish, FromPanelPolish},
                        {kCodePageSlovak, ToPanelSlovak, FromPanelSlovak}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToPanel(all, c.setting), c.to(all)) << c.setting;
    EXPECT_EQ(FromPanel(all, c.setting), c.from(all)) << c.setting;
  }
  for (int setting : {kCodePageStandard, -1, 4, 99}) {
    EXPECT_EQ(ToPanel(all, setting), all) << setting;
    EXPECT_EQ(FromPanel(all, setting), all) << setting;
  }
  EXPECT_EQ(CodePageListText(0), QStringLiteral("Standard"));
  EXPECT_EQ(CodePageListText(1), QStringLiteral("Cyryllic"));
  EXPECT_EQ(CodePageListText(2), QStringLiteral("Polish"));
  EXPECT_EQ(CodePageListText(3), QStringLiteral("PC852 (Slovakia)"));
  EXPECT_TRUE(CodePageListText(4).isEmpty());
  EXPECT_FALSE(IsValidCodePageIndex(4));
  EXPECT_TRUE(IsValidCodePageIndex(0));
}

// --- Text fields ----------------------------------------------------------------------------

struct EncodeCase {
  const char* what;
  QByteArray text;
  int setting;
  int width;
  QByteArray wire;
};

TEST(CodePages, TextFieldsGoingOut) {
  const EncodeCase cases[] = {
      {"padded with blanks", "FAN", kCodePageStandard, 14, "FAN           "},
      {"cut to the width", "ABCDEFGHIJKLMNOPQ", kCodePageStandard, 14, "ABCDEFGHIJKLMN"},
      {"exact width", "ABCDEFGHIJKLMN", kCodePageStandard, 14, "ABCDEFGHIJKLMN"},
      {"empty", "", kCodePageStandard, 4, "    "},
      {"converted first", Bytes({0xA3, 0xF3, 'd', 0x9F}), kCodePagePolish, 6,
       Bytes({0x9D, 0xF3, 'd', 0x9F, ' ', ' '})},
      // Two dropped no-break spaces leave room for two more letters before the cut.
      {"cut after dropping", Bytes({0xA0, 0xA0, 'A', 'B', 'C', 'D'}), kCodePageCyrillic, 3, "ABC"},
      {"no-break space dropped", Bytes({0xC0, 0xA0, 0xC1}), kCodePageCyrillic, 4,
       Bytes({0x80, 0x81, ' ', ' '})},
      {"no width", "ABC", kCodePageStandard, 0, ""},
  };
  for (const EncodeCase& c : cases) {
    EXPECT_EQ(EncodeTextField(c.text, c.setting, c.width), c.wire) << c.what;
  }
}

struct DecodeCase {
  const char* what;
  QByteArray wire;
  int setting;
  int capacity;
  TextFieldSkip skip;
  QByteArray text;
};

TEST(CodePages, TextFieldsComingIn) {
  const DecodeCase cases[] = {
      {"blanks trimmed", "  FAN 2       ", kCodePageStandard, 50, TextFieldSkip::Zero, "FAN 2"},
      {"zero bytes skipped, not an end", Bytes({'F', 0, 'A', 0, 'N', 0, 0}), kCodePageStandard, 50,
       TextFieldSkip::Zero, "FAN"},
      {"control characters trimmed", Bytes({0x0D, 'A', 0x09, 'B', 0x0A, 0x7F, ' '}),
       kCodePageStandard, 50, TextFieldSkip::Zero, Bytes({'A', 0x09, 'B'})},
      {"cut to capacity", "ABCDEFGHIJKLMN", kCodePageStandard, 5, TextFieldSkip::Zero, "ABCDE"},
      {"converted", Bytes({0x9D, 0xE0, 'D', 0x8D, ' '}), kCodePagePolish, 50, TextFieldSkip::Zero,
       Bytes({0xA3, 0xD3, 'D', 0x8F})},
      {"blank made by conversion trimmed", Bytes({'A', 'B', 0xAA}), kCodePagePolish, 50,
       TextFieldSkip::Zero, "AB"},
      {"box drawing dropped", Bytes({0x8F, 0xB3, 0xC4, 0x90, ' '}), kCodePageCyrillic, 50,
       TextFieldSkip::Zero, Bytes({0xCF, 0xD0})},
      {"FF kept in a field", Bytes({'A', 0xFF}), kCodePageStandard, 50, TextFieldSkip::Zero,
       Bytes({'A', 0xFF})},
      {"FF skipped in a program name", Bytes({'A', 0xFF, 'B', 0xFF}), kCodePageStandard, 50,
       TextFieldSkip::ZeroAndFF, "AB"},
      {"all blanks", "              ", kCodePageStandard, 50, TextFieldSkip::Zero, ""},
      {"no capacity", "ABC", kCodePageStandard, 0, TextFieldSkip::Zero, ""},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(DecodeTextField(c.wire, c.setting, c.capacity, c.skip), c.text) << c.what;
  }
}

TEST(CodePages, TextFieldsRoundTripAtEverySetting) {
  // A name with a letter of each alphabet the settings serve (as Windows code page bytes).
  struct Case {
    int setting;
    QByteArray name;
    QByteArray back;
  };
  const Case cases[] = {
      {kCodePageStandard, "Smoke 1", "Smoke 1"},
      {kCodePageCyrillic, Bytes({0xC4, 0xFB, 0xEC, ' ', 0xA8}),
       Bytes({0xC4, 0xFB, 0xEC, ' ', 0xA8})},
      {kCodePagePolish, Bytes({0x8C, 'w', 0xEA, 'd', 0xA3}), Bytes({0x8C, 'w', 0xEA, 'd', 0xA3})},
      {kCodePageSlovak, Bytes({0xBE, 'a', 0x9D}), Bytes({0xED, 'a', 0x9D})},  // l caron -> i acute
  };
  for (const Case& c : cases) {
    const QByteArray wire = EncodeTextField(c.name, c.setting, 14);
    ASSERT_EQ(wire.size(), 14);
    EXPECT_EQ(DecodeTextField(wire, c.setting, 50), c.back) << c.setting;
  }
}

}  // namespace
}  // namespace qdx
