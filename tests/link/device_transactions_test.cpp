#include "link/device_transactions.h"

#include <gtest/gtest.h>

#include "link_fixture.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;
using test::WithCrc;

class DeviceTransactions : public test::LinkFixture {};

const std::array<std::uint8_t, 4> kCharsets = {0x11, 0x12, 0x00, 0x00};

struct RequestCase {
  const char* name;
  std::function<LinkResult(LinkOperations&)> op;
  const char* frame;  // station 1
  int replyLength;
};

class Requests : public DeviceTransactions, public testing::WithParamInterface<RequestCase> {};

TEST_P(Requests, BytesOnTheWireAndReplyLength) {
  const RequestCase& c = GetParam();
  ASSERT_EQ(c.op(*ops), kLinkOk);
  ASSERT_FALSE(port->frames().empty());
  EXPECT_EQ(Hex(port->frames().back()), c.frame);
  EXPECT_EQ(port->events().filter("read").last(), QStringLiteral("read %1").arg(c.replyLength));
}

DeviceInfo gInfo;
QByteArray gBlock;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Requests,
    testing::Values(
        RequestCase{"ReadDeviceInfo",
                    [](LinkOperations& o) { return Read(o, DeviceInfoRead(gInfo)); },
                    "01 46 08 00 0b 44 20 00 04 bb 82", 17},
        RequestCase{"PostReadDeviceInfo",
                    [](LinkOperations& o) { return PostRead(o, DeviceInfoRead(gInfo)); },
                    "01 47 09 00 0b 44 20 00 04 6a 8e", 7},
        RequestCase{"FetchDeviceInfo",
                    [](LinkOperations& o) { return Fetch(o, DeviceInfoRead(gInfo)); },
                    "01 46 09 00 07 9d 48", 17},
        RequestCase{"ReadPanelTextBlockKind6",
                    [](LinkOperations& o) { return Read(o, PanelTextRead(0x0108, 6, gBlock)); },
                    "01 46 08 00 0d 44 21 00 06 01 08 08 c7", 277},
        RequestCase{"ReadPanelTextBlockKind7",
                    [](LinkOperations& o) { return Read(o, PanelTextRead(0x0108, 7, gBlock)); },
                    "01 46 08 00 0d 44 22 00 06 01 08 4c c7", 277},
        RequestCase{"PostReadPanelTextBlock",
                    [](LinkOperations& o) { return PostRead(o, PanelTextRead(0x0108, 6, gBlock)); },
                    "01 47 09 00 0d 44 21 00 06 01 08 54 92", 7},
        RequestCase{"FetchPanelTextBlock",
                    [](LinkOperations& o) { return Fetch(o, PanelTextRead(0, 6, gBlock)); },
                    "01 46 09 00 07 9d 48", 277},
        RequestCase{"WritePanelCharsets",
                    [](LinkOperations& o) { return Write(o, PanelCharsetsWrite(kCharsets)); },
                    "01 46 08 00 0f 44 23 00 08 11 12 00 00 30 34", 11},
        RequestCase{"PostWritePanelCharsets",
                    [](LinkOperations& o) { return PostWrite(o, PanelCharsetsWrite(kCharsets)); },
                    "01 47 09 00 0f 44 23 00 08 11 12 00 00 c9 0b", 7},
        RequestCase{"ResetController", ResetController, "01 46 08 00 0b 47 e6 00 04 5b fb", 11},
        RequestCase{"PostResetController", PostResetController,
                    "01 47 09 00 0d 47 e6 00 06 00 00 e1 26", 7},
        RequestCase{"PostSetClock",
                    [](LinkOperations& o) {
                      return PostSetClock(o, QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
                    },
                    "01 47 09 00 11 47 06 00 0a 18 03 01 08 05 09 bd 13", 7}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(DeviceTransactions, TextBlockWritesCarry264Bytes) {
  struct Case {
    const char* name;
    bool post;
    QByteArray data;
    QByteArray sent;
    int replyLength;
  };
  const QByteArray full = QByteArray(300, 'x').replace(0, 3, "abc");
  const Case cases[] = {
      {"DirectShortFilledWithBlanks", false, "Menu", "Menu" + QByteArray(260, ' '), 13},
      {"DirectLongCut", false, full, full.left(264), 13},
      {"PostExact", true, full.left(264), full.left(264), 7},
      {"PostLongCut", true, full, full.left(264), 7},
  };
  for (const Case& c : cases) {
    const WriteRequest request = PanelTextWrite(528, c.data);
    const LinkResult r = c.post ? PostWrite(*ops, request) : Write(*ops, request);
    ASSERT_EQ(r, kLinkOk) << c.name;
    const QByteArray frame = port->frames().back();
    ASSERT_EQ(frame.size(), 277) << c.name;
    EXPECT_EQ(Hex(frame.left(11)),
              c.post ? "01 47 09 01 15 44 24 01 0e 02 10" : "01 46 08 01 15 44 24 01 0e 02 10")
        << c.name;
    EXPECT_EQ(frame.mid(11, 264), c.sent) << c.name;
    EXPECT_TRUE(HasValidChecksum(frame)) << c.name;
    EXPECT_EQ(port->events().filter("read").last(), QStringLiteral("read %1").arg(c.replyLength));
  }
}

TEST_F(DeviceTransactions, OffsetsBeyondSixteenBitsAreRefused) {
  const std::function<LinkResult(qint64)> ops_[] = {
      [&](qint64 off) { return Read(*ops, PanelTextRead(off, 6, gBlock)); },
      [&](qint64 off) { return PostRead(*ops, PanelTextRead(off, 7, gBlock)); },
      [&](qint64 off) { return Write(*ops, PanelTextWrite(off, "x")); },
      [&](qint64 off) { return PostWrite(*ops, PanelTextWrite(off, QByteArray(264, 'x'))); },
  };
  for (const auto& op : ops_) {
    for (const qint64 off : {qint64{65536}, PanelTextBlockOffset(249), qint64{-1}}) {
      EXPECT_EQ(op(off), kLinkRequestInvalid) << off;
    }
    EXPECT_TRUE(port->frames().empty());
    // The largest offsets still go out unwrapped.
    EXPECT_EQ(op(PanelTextBlockOffset(248)), kLinkOk);
    EXPECT_EQ(Hex(port->frames().back().mid(9, 2)), "ff c0");
    EXPECT_EQ(op(65535), kLinkOk);
    EXPECT_EQ(Hex(port->frames().back().mid(9, 2)), "ff ff");
    port->ClearEvents();
  }
}

TEST(DeviceMessages, AnyKindButSixReadsTheOtherArea) {
  for (const int kind : {7, 0, 5, 8, -1}) EXPECT_EQ(PanelTextReadCommand(kind), 0x22) << kind;
  EXPECT_EQ(PanelTextReadCommand(6), 0x21);
}

TEST(DeviceMessages, ClockBytes) {
  struct Case {
    QDateTime when;
    const char* body;
  };
  const Case cases[] = {
      {QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)), "47 06 00 0a 18 03 01 08 05 09"},
      {QDateTime(QDate(2000, 12, 31), QTime(23, 59, 58)), "47 06 00 0a 00 0c 1f 17 3b 3a"},
      {QDateTime(QDate(2099, 1, 2), QTime(0, 0, 0)), "47 06 00 0a 63 01 02 00 00 00"},
      {QDateTime(QDate(1999, 6, 7), QTime(1, 2, 3)), "47 06 00 0a 63 06 07 01 02 03"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(SetClockMessage(c.when).Encode()), c.body) << c.when.toString().toStdString();
  }
}

TEST_F(DeviceTransactions, RepliesDecodeOnBothPaths) {
  module.answerData = FromHex("01 02 11 00 12 00");
  for (const bool fetch : {false, true}) {
    DeviceInfo got;
    ASSERT_EQ(fetch ? Fetch(*ops, DeviceInfoRead(got)) : Read(*ops, DeviceInfoRead(got)), kLinkOk);
    EXPECT_EQ(got.size, 0x0102);
    EXPECT_EQ(got.codePages, (std::array<std::uint8_t, 4>{0x11, 0x00, 0x12, 0x00}));
  }

  // Bytes 9 and 10 of a text block answer are not part of the block.
  QByteArray text = FromHex("aa bb");
  for (int i = 0; i < 264; ++i) text.append(static_cast<char>(i));
  module.answerData = text;
  for (const bool fetch : {false, true}) {
    QByteArray got;
    const ReadRequest request = PanelTextRead(0, 6, got);
    ASSERT_EQ(fetch ? Fetch(*ops, request) : Read(*ops, request), kLinkOk);
    EXPECT_EQ(got, text.mid(2));
  }
}

TEST_F(DeviceTransactions, FailedReadsLeaveNothingHalfDecoded) {
  module.directSilent = true;
  DeviceInfo got;
  got.size = 7;
  EXPECT_EQ(Read(*ops, DeviceInfoRead(got)), kLinkNoReply);
  EXPECT_EQ(got.size, 7);
}

}  // namespace
}  // namespace qdx
