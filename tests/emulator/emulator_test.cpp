#include "emulator/emulator.h"

#include <gtest/gtest.h>

#include "emulator/frame_assembler.h"
#include "link/code_pages.h"
#include "link/frame.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;
using test::TestClock;
using test::WithCrc;

const QDateTime kStart(QDate(2024, 3, 1), QTime(8, 5, 9));

EmulatorOptions StartOptions() {
  EmulatorOptions options;
  options.clockStart = kStart;
  options.readyDelayMilliseconds = 300;
  return options;
}

InnerMessage Inner(std::uint8_t classLetter, std::uint8_t command, const QByteArray& body = {}) {
  return InnerMessage{classLetter, command, body};
}

const InnerMessage kDeviceInfo = Inner(0x44, 0x20);
const InnerMessage kReadSetup = Inner(0x46, 0x0A);

std::uint8_t At(const QByteArray& bytes, int i) {
  return static_cast<std::uint8_t>(bytes[i]);
}
int Be16(const QByteArray& bytes, int i) {
  return (At(bytes, i) << 8) | At(bytes, i + 1);
}

QByteArray PanelRead(int kind, int offset) {
  QByteArray p;
  AppendBe16(p, static_cast<std::uint16_t>(offset));
  return BuildDirectRequest(1, Inner(0x44, kind == 6 ? 0x21 : 0x22, p));
}

class EmulatorTest : public ::testing::Test {
 protected:
  TestClock clock;
  Emulator emulator{clock, StartOptions()};

  QByteArray Must(const QByteArray& request) {
    const std::optional<QByteArray> reply = emulator.HandleFrame(request);
    EXPECT_TRUE(reply.has_value()) << Hex(request).toStdString();
    return reply.value_or(QByteArray());
  }
  QByteArray Status() { return Must(BuildStatusPollRequest(1)); }
  // Reads count bytes of a panel area through the text-block requests.
  QByteArray ReadArea(int kind, int count) {
    QByteArray out;
    for (int offset = 0; out.size() < count; offset += 264) {
      const QByteArray reply = Must(PanelRead(kind, offset));
      EXPECT_EQ(reply.size(), 277);
      out += reply.mid(11, 264);
    }
    return out.left(count);
  }
};

// --- The module's status ---------------------------------------------------------------------

TEST_F(EmulatorTest, StatusPollCarriesClockReadingsAndRunState) {
  QByteArray s = Status();
  ASSERT_EQ(s.size(), 64);
  EXPECT_TRUE(HasValidChecksum(s));
  EXPECT_EQ(Hex(s.left(5)), QStringLiteral("01 46 00 00 40"));
  EXPECT_EQ(Hex(s.mid(5, 6)), QStringLiteral("18 03 01 08 05 09"));  // 2024-03-01 08:05:09
  EXPECT_EQ(Be16(s, 11), 725);                                       // chamber 72.5
  EXPECT_EQ(Be16(s, 13), 483);                                       // core 48.3
  EXPECT_EQ(At(s, 15), 65);
  EXPECT_EQ(Be16(s, 43), 850);  // smoke
  EXPECT_EQ(Be16(s, 45), 604);  // wet bulb
  EXPECT_EQ(Be16(s, 47), 912);  // plate
  EXPECT_EQ(static_cast<std::int16_t>(Be16(s, 53)), -15);
  EXPECT_EQ(At(s, 22), 0);
  EXPECT_EQ(At(s, 61), 0);

  clock.Advance(61'000'000);  // the controller clock runs with the emulator's clock
  emulator.SetRunning(true);
  s = Status();
  EXPECT_EQ(Hex(s.mid(8, 3)), QStringLiteral("08 06 0a"));
  EXPECT_EQ(At(s, 22), 2);
}

// --- Direct, post, fetch -----------------------------------------------------------------------

TEST_F(EmulatorTest, DirectDeviceInformation) {
  const QByteArray r = Must(BuildDirectRequest(1, kDeviceInfo));
  ASSERT_EQ(r.size(), 17);
  EXPECT_TRUE(HasValidChecksum(r));
  EXPECT_EQ(Hex(r.left(9)), QStringLiteral("01 46 08 00 11 44 20 00 0a"));
  EXPECT_EQ(Be16(r, 9), emulator.Memory().panelTextSize);
  // German (standard set) first, Russian second: the fourth byte says Cyrillic.
  EXPECT_EQ(Hex(r.mid(11, 4)), QStringLiteral("02 10 00 11"));
}

TEST_F(EmulatorTest, PostIsAcknowledgedAndItsAnswerReadyAfterTheDelay) {
  const QByteArray direct = Must(BuildDirectRequest(1, kDeviceInfo));
  EXPECT_FALSE(emulator.HandleFrame(BuildFetchRequest(1))) << "nothing posted yet";

  EXPECT_EQ(Must(BuildPostRequest(1, kDeviceInfo)), WithCrc(FromHex("01 47 09 00 07")));
  EXPECT_EQ(At(Status(), 61), 0);
  EXPECT_FALSE(emulator.HandleFrame(BuildFetchRequest(1))) << "answer not ready";
  clock.Advance(299'000);
  EXPECT_EQ(At(Status(), 61), 0);
  clock.Advance(1'000);
  EXPECT_EQ(At(Status(), 61), 1);
  // The fetched answer is the direct answer, byte for byte; a repeated fetch gets it again.
  EXPECT_EQ(Must(BuildFetchRequest(1)), direct);
  EXPECT_EQ(Must(BuildFetchRequest(1)), direct);
  EXPECT_EQ(At(Status(), 61), 1);
  // The next post takes its place.
  Must(BuildPostRequest(1, kReadSetup));
  EXPECT_EQ(At(Status(), 61), 0);
  clock.Advance(300'000);
  EXPECT_EQ(Must(BuildFetchRequest(1)), Must(BuildDirectRequest(1, kReadSetup)));
  EXPECT_EQ(emulator.Stats().posts, 2);
}

TEST_F(EmulatorTest, ReadyDelayIsConfigurable) {
  emulator.SetReadyDelayMilliseconds(0);
  Must(BuildPostRequest(1, kDeviceInfo));
  EXPECT_EQ(At(Status(), 61), 1);
}

TEST_F(EmulatorTest, UnknownRequestsGetNoAnswer) {
  EXPECT_FALSE(emulator.HandleFrame(BuildDirectRequest(1, Inner(0x46, 0x7E))));
  // The module takes any message, but the controller never answers this one.
  EXPECT_EQ(Must(BuildPostRequest(1, Inner(0x46, 0x7E))).size(), 7);
  clock.Advance(10'000'000);
  EXPECT_EQ(At(Status(), 61), 0);
  EXPECT_FALSE(emulator.HandleFrame(BuildFetchRequest(1)));
  EXPECT_EQ(emulator.Stats().unknownCommand, 2);
}

// --- What the controller ignores -------------------------------------------------------------

TEST_F(EmulatorTest, FramesThatAreNotForItGetNoReply) {
  const QByteArray good = BuildDirectRequest(1, kDeviceInfo);
  QByteArray badCrc = good;
  badCrc[badCrc.size() - 1] = static_cast<char>(At(badCrc, badCrc.size() - 1) ^ 1);
  QByteArray badLength = good.left(good.size() - 2);
  badLength[4] = 0x0A;  // says 10, has 11
  badLength = WithCrc(badLength);
  QByteArray badInner = good.left(good.size() - 2);
  badInner[8] = 0x05;  // inner length 5 in a message of 4
  badInner = WithCrc(badInner);

  struct Case {
    const char* what;
    QByteArray frame;
  };
  const Case cases[] = {
      {"wrong checksum", badCrc},
      {"other station", BuildDirectRequest(2, kDeviceInfo)},
      {"station 0", BuildStatusPollRequest(0)},
      {"too short", FromHex("01 46 00")},
      {"length field wrong", badLength},
      {"inner length wrong", badInner},
      {"parameters that do not fit", BuildDirectRequest(1, Inner(0x44, 0x20, "xy"))},
      {"unknown function", WithCrc(FromHex("01 03 00 00 07"))},
      {"status poll with a body", BuildRequest(1, 0x46, 0x00, FromHex("44 20 00 04"))},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(emulator.HandleFrame(c.frame)) << c.what;
  }
  EXPECT_EQ(emulator.Stats().badChecksum, 1);
  EXPECT_EQ(emulator.Stats().otherStation, 2);
  EXPECT_EQ(emulator.Stats().replies, 0);

  // Another address is served once the emulator is that station.
  emulator.SetStationAddress(2);
  const QByteArray r = Must(BuildDirectRequest(2, kDeviceInfo));
  EXPECT_EQ(At(r, 0), 2);
  EXPECT_TRUE(HasValidChecksum(r));
}

// --- Faults ----------------------------------------------------------------------------------

struct FaultCase {
  Fault fault;
  // Builds the request under test.
  QByteArray (*request)();
  // Checks the faulty reply against the clean one.
  void (*check)(const std::optional<QByteArray>& faulty, const QByteArray& clean);
};

QByteArray DeviceInfoRequest() {
  return BuildDirectRequest(1, kDeviceInfo);
}
QByteArray PostRequest() {
  return BuildPostRequest(1, kDeviceInfo);
}
QByteArray StatusRequest() {
  return BuildStatusPollRequest(1);
}
QByteArray PanelReadRequest() {
  return PanelRead(6, 264);
}

const FaultCase kFaultCases[] = {
    {Fault::NoReply, DeviceInfoRequest,
     [](const std::optional<QByteArray>& f, const QByteArray&) { EXPECT_FALSE(f); }},
    {Fault::CutShort, DeviceInfoRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(*f, clean.left(clean.size() - 1));
     }},
    {Fault::BadChecksum, DeviceInfoRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(f->size(), clean.size());
       EXPECT_EQ(f->left(clean.size() - 2), clean.left(clean.size() - 2));
       EXPECT_FALSE(HasValidChecksum(*f));
     }},
    {Fault::OtherStation, DeviceInfoRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(At(*f, 0), 2);
       EXPECT_TRUE(HasValidChecksum(*f));
       EXPECT_EQ(f->mid(1, clean.size() - 3), clean.mid(1, clean.size() - 3));
     }},
    {Fault::WrongAcknowledgement, PostRequest,
     [](const std::optional<QByteArray>& f, const QByteArray&) {
       ASSERT_TRUE(f);
       EXPECT_EQ(*f, WithCrc(FromHex("01 47 08 00 07")));
     }},
    {Fault::LeadingZero, DeviceInfoRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(*f, QByteArray(1, '\0') + clean);
     }},
    {Fault::Running, StatusRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(At(clean, 22), 0);
       EXPECT_EQ(At(*f, 22), 2);
       EXPECT_TRUE(HasValidChecksum(*f));
     }},
    {Fault::WrongBlock, PanelReadRequest,
     [](const std::optional<QByteArray>& f, const QByteArray& clean) {
       ASSERT_TRUE(f);
       EXPECT_EQ(At(*f, 9), At(clean, 9) + 1);
       EXPECT_TRUE(HasValidChecksum(*f));
     }},
};

TEST_F(EmulatorTest, EveryFaultHitsOnlyItsFrame) {
  for (const FaultCase& c : kFaultCases) {
    SCOPED_TRACE(FaultName(c.fault).toStdString());
    const QByteArray clean = Must(c.request());
    emulator.Faults().Queue(c.fault);
    c.check(emulator.HandleFrame(c.request()), clean);
    EXPECT_EQ(Must(c.request()), clean) << "the next frame is clean again";
    EXPECT_TRUE(emulator.Faults().Empty());
  }
}

TEST_F(EmulatorTest, NeverReadyKeepsThePostedAnswerBack) {
  emulator.Faults().Queue(Fault::NeverReady);
  EXPECT_EQ(Must(PostRequest()).size(), 7) << "the post itself is acknowledged";
  clock.Advance(60'000'000);
  EXPECT_EQ(At(Status(), 61), 0);
  EXPECT_FALSE(emulator.HandleFrame(BuildFetchRequest(1)));
  // On a status poll the fault hides a ready answer.
  Must(PostRequest());
  clock.Advance(300'000);
  emulator.Faults().Queue(Fault::NeverReady);
  EXPECT_EQ(At(Status(), 61), 0);
  EXPECT_EQ(At(Status(), 61), 1);
}

TEST_F(EmulatorTest, NoReplyStillCarriesOutTheRequest) {
  emulator.Faults().Queue(Fault::NoReply);
  EXPECT_FALSE(
      emulator.HandleFrame(BuildDirectRequest(1, Inner(0x44, 0x23, FromHex("11 00 12 00")))));
  EXPECT_EQ(Hex(Must(DeviceInfoRequest()).mid(11, 4)), QStringLiteral("00 11 00 12"));
}

TEST_F(EmulatorTest, FaultsCombineAndFollowTheScript) {
  // Frame numbers count every frame the emulator receives.
  emulator.Faults().AddRule(3, Fault::LeadingZero | Fault::BadChecksum);
  emulator.Faults().Queue(Fault::CutShort, 2);
  EXPECT_EQ(Must(DeviceInfoRequest()).size(), 16);  // frame 1 takes a queued fault...
  EXPECT_EQ(Must(DeviceInfoRequest()).size(), 16);  // frame 2 the second
  const QByteArray third = Must(DeviceInfoRequest());
  EXPECT_EQ(third.size(), 18);
  EXPECT_EQ(At(third, 0), 0);
  EXPECT_FALSE(HasValidChecksum(third.mid(1)));
  EXPECT_EQ(Must(DeviceInfoRequest()).size(), 17);

  emulator.Faults().SetPersistent(Fault::OtherStation);
  EXPECT_EQ(At(Must(DeviceInfoRequest()), 0), 2);
  EXPECT_EQ(At(Must(StatusRequest()), 0), 2);
  emulator.Faults().Clear();
  EXPECT_EQ(At(Must(StatusRequest()), 0), 1);
}

TEST(FaultScript, QueueRulesAndPersistentFaults) {
  FaultScript script;
  script.Queue(Fault::NoReply);
  script.Queue({});  // one frame passes
  script.Queue(Fault::CutShort, 2);
  script.AddRule(2, Fault::Running);
  script.AddRule(4, Fault::LeadingZero);
  script.AddRule(1, Fault::WrongBlock);
  EXPECT_EQ(script.Take(1), Fault::NoReply | Fault::WrongBlock);
  EXPECT_EQ(script.Take(2), FaultSet(Fault::Running));
  EXPECT_EQ(script.Take(3), FaultSet(Fault::CutShort));
  EXPECT_EQ(script.Take(5), FaultSet(Fault::CutShort)) << "the rule for frame 4 is past";
  EXPECT_TRUE(script.Empty());
  EXPECT_EQ(script.Take(6), FaultSet());
  script.SetPersistent(Fault::BadChecksum);
  EXPECT_EQ(script.Take(7), FaultSet(Fault::BadChecksum));
  EXPECT_EQ(script.Take(8), FaultSet(Fault::BadChecksum));
}

TEST(FaultScript, NamesRoundTrip) {
  for (Fault f : kAllFaults) {
    EXPECT_EQ(FaultFromName(FaultName(f)), f);
    EXPECT_EQ(FaultSetFromName(FaultSetName(f)), FaultSet(f));
  }
  EXPECT_EQ(FaultSetFromName(QStringLiteral("no-reply+Leading-Zero")),
            Fault::NoReply | Fault::LeadingZero);
  EXPECT_EQ(FaultSetFromName(QStringLiteral("none")), FaultSet());
  EXPECT_FALSE(FaultSetFromName(QStringLiteral("no-reply+late")));
  EXPECT_FALSE(FaultSetFromName(QString()));
  EXPECT_EQ(FaultSetName({}), QStringLiteral("none"));
}

// --- Panel texts -----------------------------------------------------------------------------

// Checks one language block: 0xFF, the groups with their entries, blanks up to the size.
// Returns the entry texts.
QList<QByteArray> ParseLanguageBlock(const QByteArray& block, int size) {
  QList<QByteArray> texts;
  EXPECT_EQ(block.size(), size);
  EXPECT_EQ(At(block, 0), 0xFF);
  int pos = 1;
  while (pos + 4 <= size && At(block, pos) == 0x00 && At(block, pos + 1) != 0) {
    const int count = At(block, pos + 1);
    pos += 4;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(At(block, pos), 0);
      EXPECT_EQ(At(block, pos + 21), 0);
      texts << block.mid(pos + 1, 20);
      pos += 22;
    }
  }
  EXPECT_EQ(block.mid(pos), QByteArray(size - pos, ' '));
  return texts;
}

TEST_F(EmulatorTest, FourBlockPanelTexts) {
  const QByteArray setup = Must(BuildDirectRequest(1, kReadSetup));
  EXPECT_EQ(Hex(setup.mid(9 + 2 * 98, 2)), QStringLiteral("ba 56"));  // the four-block marker

  // The structure: group headers after two bytes, ended by a count of 0xFE.
  const QByteArray structure = ReadArea(7, 264);
  ASSERT_TRUE(structure.contains(static_cast<char>(0xFE)));
  int groups = 0;
  int entries = 0;
  for (int pos = 2; At(structure, pos) != 0 && At(structure, pos) != 0xFE; pos += 4) {
    ++groups;
    entries += At(structure, pos);
  }
  EXPECT_EQ(groups, 3);
  const int size = 4 + 4 * groups + 22 * entries;
  EXPECT_EQ(emulator.Memory().panelTextSize, size);

  const QByteArray texts = ReadArea(6, 4 * size + 2);
  EXPECT_EQ(Hex(texts.right(2)), QStringLiteral("fe 00"));
  const QList<QByteArray> base = ParseLanguageBlock(texts.left(size), size);
  const QList<QByteArray> english = ParseLanguageBlock(texts.mid(size, size), size);
  const QList<QByteArray> german = ParseLanguageBlock(texts.mid(2 * size, size), size);
  const QList<QByteArray> russian = ParseLanguageBlock(texts.mid(3 * size, size), size);
  ASSERT_EQ(english.size(), entries);
  EXPECT_EQ(english[0], QByteArray("Programs            "));
  EXPECT_EQ(german[1], QByteArray("Einstellungen       "));
  // The base language in the panel's Polish codes, Russian in its Cyrillic set.
  EXPECT_EQ(DecodeTextField(base[5], kCodePagePolish, 20), QByteArray("Wilgotno\x9C\xE6"));
  EXPECT_EQ(DecodeTextField(russian[0], kCodePageCyrillic, 20),
            QByteArray("\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB"));
}

TEST_F(EmulatorTest, ThreeBlockPanelTexts) {
  emulator.SetPanelLayout(PanelLayout::ThreeBlock);
  const QByteArray setup = Must(BuildDirectRequest(1, kReadSetup));
  EXPECT_NE(Hex(setup.mid(9 + 2 * 98, 2)), QStringLiteral("ba 56"));
  const QByteArray info = Must(DeviceInfoRequest());
  const int size = Be16(info, 9);
  ASSERT_GT(size, 0);
  const QByteArray predefined = ReadArea(7, size);
  const QList<QByteArray> base = ParseLanguageBlock(predefined, size);
  EXPECT_EQ(Hex(predefined.mid(1, 4)), QStringLiteral("00 03 03 01"));
  EXPECT_EQ(base[0], QByteArray("Programy            "));
  const QByteArray languages = ReadArea(6, 3 * size);
  EXPECT_EQ(ParseLanguageBlock(languages.left(size), size)[2], QByteArray("Alarms              "));
  EXPECT_EQ(ParseLanguageBlock(languages.mid(2 * size), size).size(), base.size());
}

TEST_F(EmulatorTest, PanelTextWritesAndCharsets) {
  QByteArray block(264, 'x');
  block[0] = 'A';
  QByteArray params;
  AppendBe16(params, 528);
  const QByteArray reply = Must(BuildDirectRequest(1, Inner(0x44, 0x24, params + block)));
  EXPECT_EQ(reply.size(), 13);
  EXPECT_TRUE(HasValidChecksum(reply));
  EXPECT_EQ(Must(PanelRead(6, 528)).mid(11, 264), block);
  // A written block lands at its byte offset, not only at block boundaries.
  Must(BuildDirectRequest(1, Inner(0x44, 0x24, FromHex("02 0a") + QByteArray(264, 'y'))));
  EXPECT_EQ(Must(PanelRead(6, 528)).mid(11, 264), QByteArray(258, 'y') + QByteArray(6, 'x'));
  // The last offset the field can hold still reads and writes a whole block.
  Must(BuildDirectRequest(1, Inner(0x44, 0x24, FromHex("ff ff") + QByteArray(264, 'z'))));
  EXPECT_EQ(Must(PanelRead(6, 0xFFFF)).mid(11, 264), QByteArray(264, 'z'));

  // Charsets: two pairs as the PC writes them; device info reports each code high byte first.
  const QByteArray charsets =
      Must(BuildDirectRequest(1, Inner(0x44, 0x23, FromHex("12 00 10 02"))));
  EXPECT_EQ(charsets.size(), 11);
  EXPECT_EQ(Hex(Must(DeviceInfoRequest()).mid(11, 4)), QStringLiteral("00 12 02 10"));
}

// --- Device commands and the setup block ------------------------------------------------------

TEST_F(EmulatorTest, ResetDirectAndPosted) {
  emulator.SetRunning(true);
  const QByteArray r = Must(BuildDirectRequest(1, Inner(0x47, 0xE6)));
  EXPECT_EQ(r.size(), 11);
  EXPECT_EQ(emulator.Memory().resetCount, 1);
  EXPECT_FALSE(emulator.Running()) << "the controller restarts stopped";
  EXPECT_EQ(Must(BuildPostRequest(1, Inner(0x47, 0xE6, FromHex("00 00")))).size(), 7);
  EXPECT_EQ(emulator.Memory().resetCount, 2);
}

TEST_F(EmulatorTest, ClockIsSetByThePostedCommand) {
  EXPECT_EQ(Must(BuildPostRequest(1, Inner(0x47, 0x06, FromHex("19 0c 1f 17 3b 1e")))).size(), 7);
  EXPECT_EQ(emulator.ControllerClock(), QDateTime(QDate(2025, 12, 31), QTime(23, 59, 30)));
  clock.Advance(300'000);
  EXPECT_EQ(Must(BuildFetchRequest(1)).size(), 11);
  clock.Advance(2'000'000);
  EXPECT_EQ(Hex(Status().mid(5, 6)), QStringLiteral("19 0c 1f 17 3b 20"));
  // A date the calendar does not have leaves the clock alone.
  const QDateTime before = emulator.ControllerClock();
  Must(BuildPostRequest(1, Inner(0x47, 0x06, FromHex("19 02 1e 00 00 00"))));
  EXPECT_EQ(emulator.ControllerClock(), before);
}

TEST_F(EmulatorTest, SetupBlockReadAndWrite) {
  QByteArray r = Must(BuildDirectRequest(1, kReadSetup));
  ASSERT_EQ(r.size(), 211);
  EXPECT_EQ(Be16(r, 9 + 2 * 99), 900);
  EXPECT_EQ(Be16(r, 9 + 2), 1) << "F01 holds the station address";
  emulator.SetProgramVersion(500);
  EXPECT_EQ(Be16(Must(BuildDirectRequest(1, kReadSetup)), 9 + 2 * 99), 500);

  QByteArray body = FromHex("00 00");
  for (int i = 0; i < 100; ++i)
    AppendBe16(body, static_cast<std::uint16_t>(i == 5 ? -1 : 1000 + i));
  EXPECT_EQ(Must(BuildDirectRequest(1, Inner(0x47, 0x0A, body))).size(), 11);
  r = Must(BuildDirectRequest(1, kReadSetup));
  EXPECT_EQ(Hex(r.mid(9 + 10, 2)), QStringLiteral("ff ff"));
  EXPECT_EQ(Be16(r, 9), 1000);
  EXPECT_EQ(Be16(r, 9 + 2 * 97), 1097);
  // The firmware's own words stay.
  EXPECT_EQ(Hex(r.mid(9 + 2 * 98, 2)), QStringLiteral("ba 56"));
  EXPECT_EQ(Be16(r, 9 + 2 * 99), 500);
  // A setup write of the wrong size is not taken.
  EXPECT_FALSE(emulator.HandleFrame(BuildDirectRequest(1, Inner(0x47, 0x0A, body.left(100)))));
}

TEST_F(EmulatorTest, NewRequestsPlugIntoTheTable) {
  EXPECT_FALSE(emulator.HasHandler(0x46, 0x7E));
  emulator.AddHandler(0x46, 0x7E, 1, 1, [](const InnerRequest& request) {
    return std::optional<QByteArray>(request.params + QByteArray(240, 'r'));
  });
  EXPECT_TRUE(emulator.HasHandler(0x46, 0x7E));
  const QByteArray r = Must(BuildDirectRequest(1, Inner(0x46, 0x7E, FromHex("02"))));
  EXPECT_EQ(r.size(), 252);
  EXPECT_EQ(At(r, 9), 2);
  // A handler that declines leaves the bus silent.
  emulator.AddHandler(0x46, 0x7E, 1, 1,
                      [](const InnerRequest&) { return std::optional<QByteArray>(); });
  EXPECT_FALSE(emulator.HandleFrame(BuildDirectRequest(1, Inner(0x46, 0x7E, FromHex("02")))));
}

TEST_F(EmulatorTest, ObserverSeesEveryFrame) {
  QList<FrameEvent> events;
  emulator.SetObserver([&](const FrameEvent& e) { events << e; });
  emulator.Faults().AddRule(2, Fault::CutShort);
  emulator.HandleFrame(DeviceInfoRequest());
  emulator.HandleFrame(StatusRequest());
  emulator.HandleFrame(BuildDirectRequest(3, kDeviceInfo));
  ASSERT_EQ(events.size(), 3);
  EXPECT_EQ(events[0].number, 1);
  EXPECT_EQ(events[0].note, QStringLiteral("direct 44 20"));
  EXPECT_EQ(events[1].faults, FaultSet(Fault::CutShort));
  EXPECT_EQ(events[1].reply->size(), 63);
  EXPECT_FALSE(events[2].reply);
  EXPECT_EQ(events[2].note, QStringLiteral("for station 3: ignored"));
}

// --- Frames from a byte stream -----------------------------------------------------------------

TEST(FrameAssembler, CutsFramesByTheirLength) {
  const QByteArray a = BuildStatusPollRequest(1);
  const QByteArray b = BuildDirectRequest(1, kDeviceInfo);
  FrameAssembler assembler;
  // Byte by byte.
  for (int i = 0; i < b.size(); ++i) {
    EXPECT_FALSE(assembler.Take());
    assembler.Append(b.mid(i, 1), i);
  }
  EXPECT_EQ(assembler.Take(), b);
  // Two in one piece, then garbage before a frame.
  assembler.Append(a + b, 100);
  EXPECT_EQ(assembler.Take(), a);
  EXPECT_EQ(assembler.Take(), b);
  EXPECT_FALSE(assembler.Take());
  assembler.Append(FromHex("ff 00 13") + a, 200);
  EXPECT_EQ(assembler.Take(), a);
  EXPECT_EQ(assembler.Discarded(), 3);
  // A length the protocol never uses is no frame start.
  assembler.Append(FromHex("01 46 08 ff ff") + a, 300);
  EXPECT_EQ(assembler.Take(), a);
  EXPECT_FALSE(assembler.HasPartial());
}

TEST(FrameAssembler, PartialFrameExpiresAfterSilence) {
  const QByteArray b = BuildDirectRequest(1, kDeviceInfo);
  FrameAssembler assembler;
  assembler.Append(b.left(6), 0);
  assembler.Append(b.mid(6), FrameAssembler::kSilenceMicroseconds);  // just in time
  EXPECT_EQ(assembler.Take(), b);
  assembler.Append(b.left(6), 1'000'000);
  assembler.Append(b, 1'000'000 + FrameAssembler::kSilenceMicroseconds + 1);
  EXPECT_EQ(assembler.Take(), b);
  EXPECT_FALSE(assembler.HasPartial());
  assembler.Append(b.left(3), 2'000'000);
  assembler.Expire(2'100'000);
  EXPECT_FALSE(assembler.HasPartial());
}

TEST(Pacing, ElevenBitsPerByte) {
  EXPECT_EQ(WireTimeMicroseconds(71, 38400), 71 * 11 * 1'000'000LL / 38400);
  EXPECT_EQ(WireTimeMicroseconds(100, 9600), 114'583);
  EXPECT_EQ(WireTimeMicroseconds(100, 0), 0);
}

}  // namespace
}  // namespace qdx
