#include "panel/menu_transfer.h"

#include "files/safe_file.h"
#include "link/setup_transactions.h"
#include "model/blocks.h"

namespace qdx {
namespace {

// The module path posts, pauses, waits and fetches for every menu exchange; none of them
// checks the STOP mode.
constexpr int kPauseAfterPostMs = 100;
const PathStep kMenuStep{false, {}, kPauseAfterPostMs};

constexpr int kStructureProgressMaximum = 38;
constexpr char kStructureEndByte = static_cast<char>(0xFE);
constexpr std::uint8_t kDeviceCyrillic = 17;
constexpr std::uint8_t kDevicePc852 = 18;
constexpr int kStructureKind = 7;
constexpr int kLanguagesKind = 6;

const QString kCancelledMessage = QStringLiteral("Cancelled");
const QString kOffsetsTooLarge = QStringLiteral(
    "The menu texts need %1 bytes, more than 16-bit block offsets can address. Nothing was "
    "transferred.");

int BlocksFor(qint64 bytes) {
  return static_cast<int>((bytes + kPanelTextBlockSize - 1) / kPanelTextBlockSize);
}

bool BlocksAddressable(int blocks) {
  return blocks <= 0 || FitsBlockOffset(PanelTextBlockOffset(blocks - 1));
}

// A code-page byte of the device information as a code page of the four-block layout; other
// values leave the language's code page as it is.
void ApplyFourBlockByte(std::uint8_t byte, int& codePage) {
  if (byte == kDeviceCyrillic) codePage = kCodePageCyrillic;
  if (byte == kDevicePc852) codePage = kCodePageSlovak;
}

// One read or write from start to end: the path of the transfer, the progress window (hidden
// when the run ends) and the results a stop gives.
class MenuRun {
 public:
  MenuRun(LinkOperations& ops, Dialogs& dialogs, Progress& progress, const EventPump& pump)
      : dialogs_(dialogs),
        progress_(progress),
        pump_(pump),
        path_(Prepared(ops, progress), dialogs,
              [&progress] { return progress.CancelRequested(); }) {}
  ~MenuRun() { progress_.HideProgress(); }
  MenuRun(const MenuRun&) = delete;
  MenuRun& operator=(const MenuRun&) = delete;

  PathOutcome Read(const ReadRequest& request) { return path_.Read(request, kMenuStep); }
  PathOutcome Write(const WriteRequest& request) { return path_.Write(request, kMenuStep); }

  void Show(int position, int maximum, const QString& caption) {
    progress_.ShowProgress(position, maximum, caption);
  }
  // Lets pending window messages run, then tells whether the user pressed "Cancel".
  bool CancelPressed() {
    if (pump_) pump_();
    return progress_.CancelRequested();
  }

  // Reads kind-area blocks from offset 0 on into stream, at most count of them, with the
  // progress at the block's number of maximum; stops early after a block for which last says
  // so. A cancel before a block stops the reading.
  PathOutcome ReadBlocks(int kind, int count, int maximum, const QString& caption,
                         QByteArray& stream, bool (*last)(const QByteArray&) = nullptr) {
    for (int b = 0; b < count; ++b) {
      Show(b, maximum, caption);
      if (CancelPressed()) return {PathOutcome::Cancelled, kLinkOk};
      QByteArray block;
      if (const PathOutcome o = Read(PanelTextRead(PanelTextBlockOffset(b), kind, block));
          !o.ok()) {
        return o;
      }
      stream += block;
      if (last && last(block)) break;
    }
    return {};
  }

  // A stop after something went wrong: "Cancel" quietly, anything else with "No communication".
  MenuTransferResult Stop(const PathOutcome& o) {
    return o.kind == PathOutcome::Cancelled ? Quiet(o) : Failed(o);
  }
  // A stop with "No communication" shown.
  MenuTransferResult Failed(const PathOutcome& o) {
    dialogs_.ShowLinkMessage(kNoCommunication);
    return Stopped(o, kNoCommunication);
  }
  // A stop without a message: "Cancel", or a failure the window passes over in silence.
  static MenuTransferResult Quiet(const PathOutcome& o) {
    if (o.kind == PathOutcome::Cancelled) return Stopped(o, kCancelledMessage);
    MenuTransferResult r = Stopped(o, kNoCommunication);
    r.quiet = true;
    return r;
  }
  // The transfer refused before it began: message is shown.
  MenuTransferResult Refused(const QString& message) {
    dialogs_.ShowLinkMessage(message);
    MenuTransferResult r;
    r.kind = MenuTransferResult::Refused;
    r.message = message;
    return r;
  }
  void ShowError(const QString& text) { dialogs_.ShowError(text); }

 private:
  // Clears the cancel flag and takes the connection fields before the path reads its flag.
  static LinkOperations& Prepared(LinkOperations& ops, Progress& progress) {
    progress.SetCancelRequested(false);
    ops.context().ReadConnectionSettings();
    return ops;
  }
  static MenuTransferResult Stopped(const PathOutcome& o, const QString& message) {
    MenuTransferResult r;
    r.kind = o.kind == PathOutcome::Cancelled ? MenuTransferResult::Cancelled
                                              : MenuTransferResult::Failed;
    r.stoppedAt = o;
    r.message = message;
    return r;
  }

  Dialogs& dialogs_;
  Progress& progress_;
  const EventPump& pump_;
  PathDispatcher path_;
};

// The size of each language block: L from the table's groups in the four-block layout, S as
// the device information reports it in the three-block layout.
int LanguageBlockSizeOf(const MenuDocument& document, const DeviceInfo& info) {
  return document.layout == MenuLayout::FourBlock ? LanguageBlockSize(document.table)
                                                  : info.size;
}

bool HoldsStructureEnd(const QByteArray& block) {
  return block.contains(kStructureEndByte);
}

// The first stage of the four-block layout: the structure stream from kind 7 and the rows it
// describes. The device information is read first, though its answer is not needed.
MenuTransferResult ReadStructure(MenuRun& run, MenuDocument& document) {
  DeviceInfo info;
  if (const PathOutcome o = run.Read(DeviceInfoRead(info)); !o.ok()) return MenuRun::Quiet(o);
  QByteArray stream;
  const PathOutcome o =
      run.ReadBlocks(kStructureKind, kStructureBlocksMax, kStructureProgressMaximum,
                     kPredefinedMenuCaption, stream, HoldsStructureEnd);
  if (!o.ok()) return MenuRun::Quiet(o);
  document.structure = stream;
  document.structureLength = kStructureStreamLength;
  ParseStructure(stream, document.table);
  return {};
}

// The first stage of the three-block layout: the predefined menu, whose size the device
// information gives, with the base-language texts.
MenuTransferResult ReadPredefinedMenu(MenuRun& run, MenuDocument& document) {
  DeviceInfo info;
  if (const PathOutcome o = run.Read(DeviceInfoRead(info)); !o.ok()) return MenuRun::Quiet(o);
  const int blocks = BlocksFor(info.size);
  QByteArray stream;
  if (const PathOutcome o =
          run.ReadBlocks(kStructureKind, blocks, blocks, kPredefinedMenuCaption, stream);
      !o.ok()) {
    return MenuRun::Quiet(o);
  }
  AppendRowsFromLanguageBlock(stream.left(info.size), document.table);
  return {};
}

// The second stage: the language blocks of kind 6 parsed into their columns. The table and
// the code pages change only when every block arrived.
MenuTransferResult ReadLanguages(MenuRun& run, MenuDocument& document) {
  DeviceInfo info;
  if (const PathOutcome o = run.Read(DeviceInfoRead(info)); !o.ok()) return run.Failed(o);
  MenuLanguages languages = document.languages;
  ApplyDeviceCodePages(languages, info, document.layout);
  const int blockSize = LanguageBlockSizeOf(document, info);
  const std::vector<MenuBlockSlot> parts = MenuBlockSlots(languages, document.layout);
  const qint64 length = qint64{blockSize} * static_cast<qint64>(parts.size());
  const int blocks = BlocksFor(length);
  if (!BlocksAddressable(blocks)) return run.Refused(kOffsetsTooLarge.arg(length));
  QByteArray stream;
  if (const PathOutcome o =
          run.ReadBlocks(kLanguagesKind, blocks, blocks, kUsersMenuCaption, stream);
      !o.ok()) {
    return run.Stop(o);
  }
  MenuTextTable table = document.table;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    ParseLanguageBlockInto(stream.mid(static_cast<qsizetype>(i) * blockSize, blockSize), table,
                           parts[i].column, parts[i].codePage);
  }
  document.table = std::move(table);
  document.languages = languages;
  return {};
}

// Sends the stream in 264-byte pieces (the last one filled with blanks) to offsets 0, 264, ...
// of kind 6; sent collects the pieces that went through. A cancel stops before the next piece.
MenuTransferResult SendStream(MenuRun& run, const QByteArray& stream, QByteArray& sent) {
  const int length = static_cast<int>(stream.size());
  for (int offset = 0; offset < length; offset += kPanelTextBlockSize) {
    run.Show(offset, length, kMenuRecordCaption);
    if (run.CancelPressed()) return MenuRun::Quiet({PathOutcome::Cancelled, kLinkOk});
    QByteArray piece = stream.mid(offset, kPanelTextBlockSize);
    piece.append(kPanelTextBlockSize - piece.size(), ' ');
    if (const PathOutcome o = run.Write(PanelTextWrite(offset, piece)); !o.ok()) {
      return run.Stop(o);
    }
    sent += piece;
  }
  return {};
}

// A record of what was sent, kept next to the program; a file that cannot be written is
// reported and the transfer goes on.
void StoreBeside(MenuRun& run, const QString& path, const QByteArray& bytes) {
  const FileResult stored = WriteFilesAtomically({{path, bytes}});
  if (!stored) run.ShowError(stored.error);
}

}  // namespace

void ApplyDeviceCodePages(MenuLanguages& languages, const DeviceInfo& info, MenuLayout layout) {
  const std::pair<int, std::uint8_t> selected[] = {{languages.first, info.codePages[1]},
                                                   {languages.second, info.codePages[3]}};
  for (const auto& [k, byte] : selected) {
    if (k < 1 || k > languages.count()) continue;
    int& codePage = languages.list[static_cast<std::size_t>(k - 1)].codePage;
    if (layout == MenuLayout::FourBlock) {
      ApplyFourBlockByte(byte, codePage);
    } else {
      codePage = byte == kDeviceCyrillic ? kCodePageCyrillic : kCodePageStandard;
    }
  }
}

MenuTransfer::MenuTransfer(LinkOperations& ops, Dialogs& dialogs, Progress& progress,
                           SettingsFolders folders, EventPump pump)
    : ops_(ops),
      dialogs_(dialogs),
      progress_(progress),
      folders_(std::move(folders)),
      pump_(std::move(pump)) {}

MenuTransferResult MenuTransfer::Read(MenuDocument& document) {
  MenuRun run(ops_, dialogs_, progress_, pump_);
  std::array<std::uint8_t, image::kSetupSize> setup{};
  if (const PathOutcome o = run.Read(SetupRead(setup)); !o.ok()) return run.Failed(o);
  document.layout = LayoutFromSetup(setup.data());
  // The table is emptied for the first stage: until that succeeds there is no menu to write
  // (sending an empty table would wipe the controller's texts).
  document.table.clear();
  document.structure.clear();
  document.hasData = false;
  const MenuTransferResult first = document.layout == MenuLayout::FourBlock
                                       ? ReadStructure(run, document)
                                       : ReadPredefinedMenu(run, document);
  if (!first.ok()) return first;
  document.hasData = true;
  MenuTransferResult second = ReadLanguages(run, document);
  second.firstStage = true;
  return second;
}

MenuTransferResult MenuTransfer::Write(const MenuDocument& document) {
  MenuRun run(ops_, dialogs_, progress_, pump_);
  const bool four = document.layout == MenuLayout::FourBlock;
  QString refusal;
  const auto header = CodePageHeader(document.languages, document.layout, &refusal);
  if (!header) return run.Refused(refusal);

  DeviceInfo info;
  if (const PathOutcome o = run.Read(DeviceInfoRead(info)); !o.ok()) return MenuRun::Quiet(o);
  const QByteArray stream = BuildMenuStream(document, LanguageBlockSizeOf(document, info));
  if (!BlocksAddressable(BlocksFor(stream.size()))) {
    return run.Refused(kOffsetsTooLarge.arg(stream.size()));
  }

  if (four) {
    const QByteArray headerBytes(reinterpret_cast<const char*>(header->data()),
                                 static_cast<qsizetype>(header->size()));
    StoreBeside(run, folders_.WritePath(kCodePageHeaderFile), headerBytes);
  }
  if (const PathOutcome o = run.Write(PanelCharsetsWrite(*header)); !o.ok()) return run.Failed(o);

  QByteArray sent;
  const MenuTransferResult result = SendStream(run, stream, sent);
  if (four) StoreBeside(run, folders_.WritePath(kMenuStreamFile), sent);
  return result;
}

}  // namespace qdx
