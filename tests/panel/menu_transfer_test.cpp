// The menu texts read from and written to the emulated controller, in both layouts, on the
// direct path and through the communication module: what arrives in the table, what goes on
// the wire and into the files beside the program, and how failures, refusals and "Cancel" end
// a transfer.
#include "panel/menu_transfer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <memory>
#include <set>

#include "config/section_transfer_fixture.h"
#include "emulator/command_codes.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/code_pages.h"
#include "link/link.h"
#include "support/test_session.h"

namespace qdx::test {
namespace {

// The demo menu: groups of 3, 4 and 4 entries.
constexpr int kDemoRows = 11;
constexpr int kDemoBlockSize = 4 + (4 + 3 * 22) + 2 * (4 + 4 * 22);

QString Shown(const QByteArray& text, int codePage) {
  return QStringDecoder(codePage == kCodePageCyrillic ? "windows-1251" : "windows-1250")
      .decode(text);
}

MenuLanguages DefaultLanguages() {
  MenuLanguages l;
  for (int k = 1; k <= 3; ++k) l.list.push_back({QStringLiteral("LANGUAGE %1").arg(k), 0});
  return l;
}

// The menu engine against the in-process emulator, with files written into a fresh folder.
class MenuFixture : public EmulatedLinkFixture {
 public:
  MenuFixture(Path path, PanelLayout layout) : EmulatedLinkFixture(path) {
    emulator.SetPanelLayout(layout);
    transfer =
        std::make_unique<MenuTransfer>(*ops, dialogs, progress, SettingsFolders{folder.path(), {}});
    document.languages = DefaultLanguages();
  }

  int Count(std::uint8_t command) const { return static_cast<int>(Messages(command).size()); }
  std::vector<SentMessage> Messages(std::uint8_t command) const {
    return Sent(kClassDevice, command);
  }
  QByteArray FileBeside(const QString& name) const {
    QFile f(folder.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // The controller answers only the first `answered` requests of command (params bytes of
  // parameters), through serve; later ones go unanswered.
  void AnswerOnly(std::uint8_t command, int params, int answered = 0,
                  Emulator::Handler serve = {}) {
    emulator.AddHandler(kClassDevice, command, params, params,
                        [n = 0, answered, serve](const InnerRequest& r) mutable {
                          return n++ < answered ? serve(r) : std::optional<QByteArray>();
                        });
  }
  // Kind-6 blocks and text writes served as the controller does, for AnswerOnly.
  std::optional<QByteArray> ServeKind6(const InnerRequest& r) {
    return r.params.left(2) + emulator.Memory().panelArea6.mid(Offset(r), 264);
  }
  std::optional<QByteArray> StoreKind6(const InnerRequest& r) {
    emulator.Memory().panelArea6.replace(Offset(r), 264, r.params.mid(2));
    return r.params.left(2);
  }
  static int Offset(const InnerRequest& r) {
    return (static_cast<std::uint8_t>(r.params[0]) << 8) | static_cast<std::uint8_t>(r.params[1]);
  }
  // Text-block offsets written to, each once however often it was tried.
  int PiecesTried() const {
    std::set<QByteArray> offsets;
    for (const SentMessage& m : Messages(cmd::kWritePanelText)) offsets.insert(m.params.left(2));
    return static_cast<int>(offsets.size());
  }
  QStringList Captions() const {
    QStringList out;
    for (const auto& c : progress.calls()) {
      if (out.isEmpty() || out.back() != c.text) out << c.text;
    }
    return out;
  }

  QTemporaryDir folder;
  std::unique_ptr<MenuTransfer> transfer;
  MenuDocument document;
};

struct Setting {
  Path path;
  PanelLayout layout;
};

std::string SettingName(const ::testing::TestParamInfo<Setting>& info) {
  return std::string(PathName(info.param.path)) +
         (info.param.layout == PanelLayout::FourBlock ? "FourBlock" : "ThreeBlock");
}

class MenuTransferTest : public ::testing::TestWithParam<Setting> {
 protected:
  bool Four() const { return GetParam().layout == PanelLayout::FourBlock; }
  MenuFixture f{GetParam().path, GetParam().layout};
};

TEST_P(MenuTransferTest, ReadsTheDemoMenuIntoADefaultWindow) {
  const MenuTransferResult r = f.transfer->Read(f.document);
  ASSERT_TRUE(r.ok()) << r.message.toStdString();
  EXPECT_TRUE(r.firstStage);
  EXPECT_TRUE(f.document.hasData);
  EXPECT_EQ(f.document.layout, Four() ? MenuLayout::FourBlock : MenuLayout::ThreeBlock);
  EXPECT_EQ(LanguageBlockSize(f.document.table), kDemoBlockSize);
  ASSERT_EQ(static_cast<int>(f.document.table.size()), kDemoRows);
  EXPECT_EQ(GroupCount(f.document.table), 3);
  // Byte 17 of the device information turned language 3 Cyrillic; language 2 stays.
  EXPECT_EQ(f.document.languages.CodePage(3), kCodePageCyrillic);
  EXPECT_EQ(f.document.languages.CodePage(2), kCodePageStandard);
  const MenuTextRow& row = f.document.table[5];
  EXPECT_EQ(row.nr, 2);
  EXPECT_EQ(Shown(row.texts[0], 0), QStringLiteral("Wilgotność"));
  EXPECT_EQ(row.texts[1], "Humidity");
  EXPECT_EQ(row.texts[2], "Feuchte");
  EXPECT_EQ(Shown(row.texts[3], kCodePageCyrillic), QStringLiteral("Влажность"));
  EXPECT_EQ(f.dialogs.shown().size(), 0u);
  EXPECT_FALSE(f.progress.visible());
  EXPECT_EQ(f.Captions(), QStringList({kPredefinedMenuCaption, kUsersMenuCaption}));
  // The structure ends in the first kind-7 block; the predefined menu takes all of its blocks.
  EXPECT_EQ(f.Count(cmd::kReadPanelTextKind7), 1);
  EXPECT_EQ(f.Count(cmd::kReadPanelTextKind6), ((Four() ? 4 : 3) * kDemoBlockSize + 263) / 264);
  EXPECT_EQ(f.document.structure.size(), Four() ? 264 : 0);
}

TEST_P(MenuTransferTest, WrittenTextsReadBackUnchanged) {
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  MenuDocument edited = f.document;
  edited.table[0].texts[1] = "PROGRAMS AND MORE TEXT";  // 22: the first 20 go
  edited.table[1].texts[2] = "ABC";
  edited.table[2].texts[3] = "\xC0\xC1\xC2";      // Cyrillic
  edited.table[3].texts[0] = "\xA3\xD3\xA6\xAF";  // Polish capitals
  const MenuTransferResult w = f.transfer->Write(edited);
  ASSERT_TRUE(w.ok()) << w.message.toStdString();
  EXPECT_FALSE(f.progress.visible());

  MenuDocument back;
  back.languages = DefaultLanguages();
  ASSERT_TRUE(f.transfer->Read(back).ok());
  edited.table[0].texts[1] = "PROGRAMS AND MORE TE";
  if (!Four()) edited.table[3].texts[0] = f.document.table[3].texts[0];  // kind 7 unwritten
  EXPECT_EQ(back.table, edited.table);
  EXPECT_EQ(back.languages, edited.languages);
}

TEST_P(MenuTransferTest, WriteSendsTheHeaderThenPiecesOfTheStream) {
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  f.sent.clear();
  const std::size_t shownBefore = f.progress.calls().size();
  ASSERT_TRUE(f.transfer->Write(f.document).ok());
  const int length = Four() ? 4 * kDemoBlockSize + 2 : 3 * kDemoBlockSize;
  const QByteArray stream = BuildMenuStream(f.document, kDemoBlockSize);
  ASSERT_EQ(stream.size(), length);

  ASSERT_GE(f.sent.size(), 2u);
  EXPECT_EQ(f.sent[0].command, cmd::kReadDeviceInfo);
  EXPECT_EQ(f.sent[1].command, cmd::kWritePanelCharsets);
  EXPECT_EQ(f.sent[1].params, QByteArray("\x10\x02\x11\x00", 4));
  const std::vector<SentMessage> pieces = f.Messages(cmd::kWritePanelText);
  ASSERT_EQ(static_cast<int>(pieces.size()), (length + 263) / 264);
  QByteArray sentStream;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const int offset = static_cast<int>(i) * 264;
    EXPECT_EQ(MenuFixture::Offset({0, 0, pieces[i].params, false}), offset);
    EXPECT_EQ(pieces[i].params.size(), 2 + 264);
    const auto& shown = f.progress.calls()[shownBefore + i];
    EXPECT_EQ(shown.position, offset);
    EXPECT_EQ(shown.maximum, length);
    EXPECT_EQ(shown.text, kMenuRecordCaption);
    sentStream += pieces[i].params.mid(2);
  }
  EXPECT_EQ(sentStream.left(length), stream);
  EXPECT_EQ(sentStream.mid(length), QByteArray(sentStream.size() - length, ' '));
  EXPECT_EQ(f.emulator.Memory().panelArea6.left(length), stream);
  // The four-block layout leaves the header and the stream as sent beside the program.
  EXPECT_EQ(f.FileBeside(kCodePageHeaderFile), Four() ? f.sent[1].params : QByteArray());
  EXPECT_EQ(f.FileBeside(kMenuStreamFile), Four() ? sentStream : QByteArray());
}

TEST_P(MenuTransferTest, ModuleExchangesPauseAfterEveryPost) {
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  ASSERT_TRUE(f.transfer->Write(f.document).ok());
  int posts = 0;
  for (const SentMessage& m : f.sent) posts += m.posted;
  // The pause after the post, then the wait's own first 100 ms.
  EXPECT_EQ(f.clock.waits().count(QStringLiteral("sleep 100")), 2 * posts);
  EXPECT_EQ(posts == 0, GetParam().path == Path::Direct);
}

TEST_P(MenuTransferTest, FailedLanguageBlockKeepsTheColumnsAndCodePages) {
  f.AnswerOnly(cmd::kReadPanelTextKind6, 2, 2,
               [this](const InnerRequest& r) { return f.ServeKind6(r); });
  const MenuTransferResult r = f.transfer->Read(f.document);
  EXPECT_EQ(r.kind, MenuTransferResult::Failed);
  EXPECT_TRUE(r.firstStage) << "writing may still be enabled";
  EXPECT_EQ(f.dialogs.messages(), QStringList({kNoCommunication}));
  ASSERT_EQ(static_cast<int>(f.document.table.size()), kDemoRows);
  for (const MenuTextRow& row : f.document.table) {
    for (int c = Four() ? 0 : 1; c < kMenuColumns; ++c) {
      EXPECT_TRUE(row.texts[c].isEmpty()) << "column " << c << ": " << row.texts[c].toStdString();
    }
  }
  EXPECT_EQ(f.document.languages, DefaultLanguages());
  EXPECT_FALSE(f.progress.visible());
}

TEST_P(MenuTransferTest, FirstStageStopsQuietlyWithAnEmptyTable) {
  struct Case {
    const char* what;
    std::uint8_t unanswered;  // 0: every request answered
    int params;
    int cancelAt;  // progress step that presses "Cancel"; 0 none
    MenuTransferResult::Kind kind;
  };
  const Case cases[] = {
      {"device information", cmd::kReadDeviceInfo, 0, 0, MenuTransferResult::Failed},
      {"kind-7 block", cmd::kReadPanelTextKind7, 2, 0, MenuTransferResult::Failed},
      {"cancel", 0, 0, 1, MenuTransferResult::Cancelled},
  };
  for (const Case& c : cases) {
    MenuFixture g(GetParam().path, GetParam().layout);
    g.document.table = MenuTextTable(2);
    g.document.hasData = true;  // an earlier read: its texts are gone, so is writing them
    if (c.unanswered) g.AnswerOnly(c.unanswered, c.params);
    g.progress.CancelAtStep(c.cancelAt);
    const MenuTransferResult r = g.transfer->Read(g.document);
    EXPECT_EQ(r.kind, c.kind) << c.what;
    EXPECT_FALSE(r.firstStage) << c.what;
    EXPECT_TRUE(g.document.table.empty()) << c.what;
    EXPECT_FALSE(g.document.hasData) << c.what;
    EXPECT_TRUE(g.dialogs.shown().empty()) << c.what;
    EXPECT_EQ(g.Count(cmd::kReadPanelTextKind6), 0) << c.what;
    EXPECT_FALSE(g.progress.visible()) << c.what;
  }
}

TEST_P(MenuTransferTest, UnreadableSetupLeavesTheDocument) {
  f.document.table = MenuTextTable(3);
  f.document.layout = Four() ? MenuLayout::ThreeBlock : MenuLayout::FourBlock;
  const MenuDocument before = f.document;
  f.emulator.Faults().SetPersistent(Fault::NoReply);
  const MenuTransferResult r = f.transfer->Read(f.document);
  EXPECT_EQ(r.kind, MenuTransferResult::Failed);
  EXPECT_FALSE(r.quiet);
  EXPECT_EQ(f.dialogs.messages(), QStringList({kNoCommunication}));
  EXPECT_EQ(f.document.table, before.table);
  EXPECT_EQ(f.document.layout, before.layout);
}

TEST_P(MenuTransferTest, WriteStopsAtFailures) {
  struct Case {
    const char* what;
    std::uint8_t unanswered;
    int params;
    int answered;  // requests of it the controller still answers
    bool quiet;
    int piecesTried;
  };
  const Case cases[] = {
      {"device information", cmd::kReadDeviceInfo, 0, 0, true, 0},
      {"character sets", cmd::kWritePanelCharsets, 4, 0, false, 0},
      {"second piece", cmd::kWritePanelText, 2 + 264, 1, false, 2},
  };
  for (const Case& c : cases) {
    MenuFixture g(GetParam().path, GetParam().layout);
    ASSERT_TRUE(g.transfer->Read(g.document).ok());
    g.sent.clear();
    g.AnswerOnly(c.unanswered, c.params, c.answered,
                 [&g](const InnerRequest& r) { return g.StoreKind6(r); });
    const MenuTransferResult r = g.transfer->Write(g.document);
    EXPECT_EQ(r.kind, MenuTransferResult::Failed) << c.what;
    EXPECT_EQ(r.quiet, c.quiet) << c.what;
    EXPECT_EQ(g.dialogs.messages(), c.quiet ? QStringList() : QStringList({kNoCommunication}))
        << c.what;
    EXPECT_EQ(g.PiecesTried(), c.piecesTried) << c.what;
    EXPECT_FALSE(g.progress.visible()) << c.what;
  }
}

TEST_P(MenuTransferTest, CancelStopsBeforeTheNextPiece) {
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  f.sent.clear();
  f.progress.CancelAtStep(f.progress.showCount() + 2);
  const MenuTransferResult r = f.transfer->Write(f.document);
  EXPECT_EQ(r.kind, MenuTransferResult::Cancelled);
  EXPECT_EQ(f.Count(cmd::kWritePanelText), 1);
  EXPECT_TRUE(f.dialogs.shown().empty());
  EXPECT_FALSE(f.progress.visible());
  // Only the piece that was sent is kept.
  EXPECT_EQ(f.FileBeside(kMenuStreamFile).size(), Four() ? 264 : 0);
}

TEST_P(MenuTransferTest, TakesTheConnectionFieldsBeforeChoosingThePath) {
  int taken = 0;
  const bool module = GetParam().path == Path::Direct;  // the fields switch the path
  f.session.readConnection = [&](LinkContext& c) {
    ++taken;
    c.moduleFlag = module;
  };
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  ASSERT_TRUE(f.transfer->Write(f.document).ok());
  EXPECT_EQ(taken, 2);
  for (const SentMessage& m : f.sent) EXPECT_EQ(m.posted, module);
}

INSTANTIATE_TEST_SUITE_P(Paths, MenuTransferTest,
                         ::testing::Values(Setting{Path::Direct, PanelLayout::FourBlock},
                                           Setting{Path::Module, PanelLayout::FourBlock},
                                           Setting{Path::Direct, PanelLayout::ThreeBlock},
                                           Setting{Path::Module, PanelLayout::ThreeBlock}),
                         SettingName);

// --- refusals before the first byte ---

TEST(MenuTransferRefusal, ThreeBlockCodePagesWithoutHeaderPair) {
  for (const int codePage : {kCodePagePolish, kCodePageSlovak}) {
    MenuFixture f(Path::Direct, PanelLayout::ThreeBlock);
    ASSERT_TRUE(f.transfer->Read(f.document).ok());
    f.sent.clear();
    f.document.languages.list[1] = {QStringLiteral("POLSKI 2"), codePage};
    const MenuTransferResult r = f.transfer->Write(f.document);
    EXPECT_EQ(r.kind, MenuTransferResult::Refused);
    EXPECT_TRUE(f.sent.empty()) << "nothing sent, not even the device information";
    ASSERT_EQ(f.dialogs.messages().size(), 1);
    EXPECT_EQ(f.dialogs.messages()[0], r.message);
    EXPECT_TRUE(r.message.contains(QStringLiteral("POLSKI 2")));
    EXPECT_TRUE(r.message.contains(CodePageListText(codePage)));
  }
}

TEST(MenuTransferRefusal, StreamBeyondSixteenBitOffsets) {
  MenuFixture f(Path::Direct, PanelLayout::FourBlock);
  ASSERT_TRUE(f.transfer->Read(f.document).ok());
  f.sent.clear();
  // Three groups of 255 entries: four blocks of 16,846 bytes need offsets up to 67,320.
  f.document.table.clear();
  for (int i = 0; i < 3 * 255; ++i) {
    MenuTextRow row;
    row.nr_wew = i + 1;
    row.nr = 1 + i / 255;
    f.document.table.push_back(row);
  }
  const MenuTransferResult r = f.transfer->Write(f.document);
  EXPECT_EQ(r.kind, MenuTransferResult::Refused);
  EXPECT_EQ(f.Count(cmd::kWritePanelCharsets) + f.Count(cmd::kWritePanelText), 0);
  EXPECT_EQ(f.dialogs.messages(), QStringList({r.message}));
  EXPECT_TRUE(r.message.contains(QStringLiteral("67386")));
}

// --- the device information's code-page bytes ---

TEST(DeviceCodePages, SecondAndFourthBytesDescribeTheSelectedLanguages) {
  struct Case {
    MenuLayout layout;
    std::uint8_t second, fourth;
    int before;  // code page of every language before
    int first2, second2;
  };
  const Case cases[] = {
      {MenuLayout::FourBlock, 17, 18, 0, kCodePageCyrillic, kCodePageSlovak},
      {MenuLayout::FourBlock, 16, 0, 2, 2, 2},
      {MenuLayout::FourBlock, 18, 17, 1, kCodePageSlovak, kCodePageCyrillic},
      {MenuLayout::ThreeBlock, 17, 18, 2, kCodePageCyrillic, kCodePageStandard},
      {MenuLayout::ThreeBlock, 16, 17, 1, kCodePageStandard, kCodePageCyrillic},
  };
  for (const Case& c : cases) {
    MenuLanguages l;
    for (int k = 1; k <= 4; ++k) l.list.push_back({QString::number(k), c.before});
    l.first = 4;
    l.second = 2;
    DeviceInfo info;
    info.codePages = {17, c.second, 18, c.fourth};
    ApplyDeviceCodePages(l, info, c.layout);
    EXPECT_EQ(l.CodePage(4), c.first2);
    EXPECT_EQ(l.CodePage(2), c.second2);
    EXPECT_EQ(l.CodePage(1), c.before) << "unselected languages stay";
  }
}

}  // namespace
}  // namespace qdx::test
