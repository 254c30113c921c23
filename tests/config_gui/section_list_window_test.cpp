// The list windows of relays, alarms and special statuses, headless against the emulated
// controller: what they show, blocks and fillers on the wire, renumbering before a write,
// cancel in the middle of a read, no second transfer while one runs, section files with their
// surplus records, and the ways of opening the editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "app/progress_window.h"
#include "config/alarm_list_window.h"
#include "config/relay_list_window.h"
#include "config/special_status_list_window.h"
#include "link/alarm_transactions.h"
#include "link/relay_transactions.h"
#include "link/special_status_transactions.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

// A click on the widget's top-level window, through the window system as a user's: it honours
// modal windows, unlike a click sent straight to a widget.
void ClickThroughWindowSystem(QWidget* widget) {
  QWidget* top = widget->window();
  QWindow* window = top->windowHandle();
  ASSERT_NE(window, nullptr);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    widget->mapTo(top, widget->rect().center()));
  QCoreApplication::processEvents();
}

QString CellText(const SectionListWindow& w, int row, int column) {
  return w.grid()->model()->index(row, column).data().toString();
}

// The three list windows, for the cases that hold for each of them.
struct ListCase {
  const char* name;
  std::function<std::unique_ptr<SectionListWindow>(SectionWindowContext&)> make;
  const SectionDescription* section;
  int columns;
  InnerMessage readMessage;  // block 0; a write uses the same command in the write class
};

std::vector<ListCase> ListCases() {
  return {
      {"Relays", [](SectionWindowContext& c) { return std::make_unique<Tflistaprzekaznikow>(c); },
       &RelaySection(), 12, RelayBlockReadMessage(0)},
      {"Alarms", [](SectionWindowContext& c) { return std::make_unique<TFListaAlarmow>(c); },
       &AlarmSection(), 5, AlarmBlockReadMessage(0)},
      {"SpecialStatuses",
       [](SectionWindowContext& c) { return std::make_unique<Tflistafunkcji>(c); },
       &SpecialStatusSection(), 4, SpecialStatusesReadMessage()},
  };
}

class EveryList : public ::testing::TestWithParam<int>, public WindowFixture {
 protected:
  const ListCase& c() const {
    static const std::vector<ListCase> cases = ListCases();
    return cases[static_cast<std::size_t>(GetParam())];
  }
  std::span<std::uint8_t> Region() { return c().section->region(session); }
};

TEST_P(EveryList, OpensOnTheFirstRowWithItsToolbar) {
  for (int n = 1; n <= c().section->slotCount; ++n) {
    c().section->setNumber(SectionRecord(*c().section, session, n), 500 + n);
  }
  auto w = c().make(*context);
  EXPECT_EQ(w->windowTitle(), c().section->title);
  EXPECT_EQ(w->windowModality(), Qt::WindowModal);
  EXPECT_EQ(w->grid()->model()->rowCount(), c().section->slotCount);
  EXPECT_EQ(w->grid()->model()->columnCount(), c().columns);
  EXPECT_EQ(w->grid()->model()->headerData(0, Qt::Horizontal).toString(), "No");
  EXPECT_EQ(w->grid()->model()->headerData(1, Qt::Horizontal).toString(), "Name");
  EXPECT_EQ(w->currentNr(), 1);
  EXPECT_EQ(w->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(w->grid()->selectionBehavior(), QAbstractItemView::SelectRows);
  // The "No" column counts slots, whatever number a record holds.
  EXPECT_EQ(CellText(*w, c().section->slotCount - 1, 0), QString::number(c().section->slotCount));

  const SectionAction order[] = {SectionAction::ReadController, SectionAction::WriteController,
                                 SectionAction::ReadDisk,       SectionAction::WriteDisk,
                                 SectionAction::Edit,           SectionAction::Save};
  const char* hints[] = {"Read from controller",
                         "Write to controller",
                         "Read from disk",
                         "Write to disk",
                         "Edit",
                         "Save"};
  w->show();
  int previousX = -1;
  for (int i = 0; i < 6; ++i) {
    QToolButton* b = w->button(order[i]);
    ASSERT_NE(b, nullptr) << hints[i];
    EXPECT_EQ(b->toolTip(), QString::fromLatin1(hints[i]));
    EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(b->icon().isNull());
    EXPECT_FALSE(b->icon().pixmap(QSize(48, 48)).isNull());
    EXPECT_TRUE(b->isEnabled());
    EXPECT_GT(b->x(), previousX) << hints[i];
    previousX = b->x();
  }
}

TEST_P(EveryList, SaveAndEscCloseWithoutUndoing) {
  auto w = c().make(*context);
  w->show();
  w->OnSave();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(w->result(), QDialog::Accepted);
  w->show();
  QTest::keyClick(w->grid(), Qt::Key_Escape);
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_P(EveryList, DiskRoundTripWithItsFilterAndExtension) {
  for (std::size_t i = 0; i < Region().size(); ++i) Region()[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> original(Region().begin(), Region().end());
  auto w = c().make(*context);
  const QString ext = c().section->listExtension;
  const QString file = TempPath(QStringLiteral("list.") + ext);

  dialogs.QueueSaveFileName(QString());  // cancelled: nothing happens
  w->OnWriteToDisk();
  EXPECT_FALSE(QFile::exists(file));
  dialogs.QueueSaveFileName(file);
  w->OnWriteToDisk();
  ASSERT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(dialogs.shown()[1].filter, QStringLiteral("QDX (*.") + ext + ")");
  EXPECT_EQ(dialogs.shown()[1].defaultSuffix, ext);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char*>(original.data()),
                                    static_cast<qsizetype>(original.size())));
  f.close();

  std::fill(Region().begin(), Region().end(), 0);
  w->SelectRow(3);
  dialogs.QueueOpenFileName(QString());
  w->OnReadFromDisk();
  EXPECT_EQ(Region()[0], 0);
  dialogs.QueueOpenFileName(file);
  w->OnReadFromDisk();
  EXPECT_TRUE(std::equal(original.begin(), original.end(), Region().begin()));
  EXPECT_EQ(w->currentNr(), 1);
  EXPECT_EQ(w->memproj()[0].Nazwa,
            MemprojRowOf(*c().section, session, 1).Nazwa);  // the table was refilled
  EXPECT_TRUE(dialogs.AllConsumed());
  EXPECT_TRUE(dialogs.errors().isEmpty());
}

TEST_P(EveryList, FailedDiskWriteReachesTheGeneralErrorMessage) {
  auto w = c().make(*context);
  dialogs.QueueSaveFileName(TempPath(QStringLiteral("missing folder/list.x")));
  w->OnWriteToDisk();
  ASSERT_EQ(dialogs.errors().size(), 1);
  EXPECT_TRUE(dialogs.errors()[0].contains(QStringLiteral("list.x")));
}

TEST_P(EveryList, ListFileOfThreeRecordsReplacesTheFirstThreeSlots) {
  const std::size_t size = c().section->recordSize;
  std::fill(Region().begin(), Region().end(), 0x11);
  QFile f(TempPath(QStringLiteral("three")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(static_cast<qsizetype>(3 * size), '\x22'));
  f.close();
  auto w = c().make(*context);
  dialogs.QueueOpenFileName(f.fileName());
  w->OnReadFromDisk();
  for (int n = 1; n <= c().section->slotCount; ++n) {
    EXPECT_EQ(SectionRecord(*c().section, session, n)[size - 1], n <= 3 ? 0x22 : 0x11) << n;
  }
}

TEST_P(EveryList, SurplusRecordsNeverReachPastTheSection) {
  const std::size_t size = c().section->recordSize;
  image().Fill(0x33);
  const ProjectImage before = image();
  QFile f(TempPath(QStringLiteral("long")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(static_cast<qsizetype>((c().section->slotCount + 9) * size), '\x44'));
  f.close();
  auto w = c().make(*context);
  dialogs.QueueOpenFileName(f.fileName());
  w->OnReadFromDisk();
  const std::size_t begin = static_cast<std::size_t>(Region().data() - image().data());
  const std::size_t end = begin + Region().size();
  for (std::size_t i = 0; i < image::kSize; i += 1) {
    const std::uint8_t expected = i >= begin && i < end ? 0x44 : before.data()[i];
    if (image().data()[i] != expected) {
      FAIL() << "byte " << i << " of the image";
    }
  }
}

TEST_P(EveryList, ReadFromControllerRefillsTheTable) {
  // The controller gets the project's section first, then the project forgets it.
  for (int n = 1; n <= c().section->slotCount; ++n) {
    TextField(SectionRecord(*c().section, session, n).data() + 4, 30)
        .SetBytes(QByteArray("NAME ") + QByteArray::number(n));
  }
  ASSERT_TRUE(transfer->WriteList(*c().section->transfer).completed());
  std::fill(Region().begin(), Region().end(), 0);
  auto w = c().make(*context);
  w->SelectRow(4);
  sent.clear();
  w->OnReadFromController();
  EXPECT_EQ(w->currentNr(), 1);
  const bool fixedNames = c().section == &SpecialStatusSection();
  EXPECT_EQ(w->memproj()[3].Nazwa, fixedNames ? QStringLiteral("F2") : QStringLiteral("NAME 4"));
  EXPECT_EQ(w->memproj().back().Nazwa, fixedNames
                                           ? QStringLiteral("F4")
                                           : QStringLiteral("NAME %1").arg(c().section->slotCount));
  EXPECT_FALSE(Messages(c().readMessage).empty());
  EXPECT_FALSE(w->busy());
  EXPECT_FALSE(progress.visible());
}

TEST_P(EveryList, NoSecondTransferWhileOneRuns) {
  auto w = c().make(*context);
  w->show();
  std::vector<bool> enabledDuring;
  bool stillVisible = false;
  progress.onShow = [&](int call) {
    if (call != 1) return;
    for (const auto a :
         {SectionAction::ReadController, SectionAction::WriteController, SectionAction::ReadDisk,
          SectionAction::WriteDisk, SectionAction::Edit, SectionAction::Save}) {
      enabledDuring.push_back(w->button(a)->isEnabled());
    }
    // What a user could press meanwhile: nothing of it may start or close anything.
    w->OnReadFromController();
    w->OnWriteToController();
    w->OnReadFromDisk();
    w->OnSave();
    w->reject();
    w->close();
    stillVisible = w->isVisible();
  };
  w->OnReadFromController();
  progress.onShow = nullptr;
  EXPECT_EQ(enabledDuring, std::vector<bool>(6, false));
  EXPECT_TRUE(stillVisible);
  EXPECT_TRUE(w->isVisible());
  const int blocks = (c().section->slotCount + 11) / 12;  // alarms 2, statuses 1
  const int expected = c().section == &RelaySection() ? 6 : blocks;
  EXPECT_EQ(static_cast<int>(Messages(c().readMessage).size()), expected);
  InnerMessage write = c().readMessage;
  write.classLetter = kClassWrite;
  EXPECT_TRUE(Messages(write).empty());
  for (const auto a : {SectionAction::ReadController, SectionAction::Save}) {
    EXPECT_TRUE(w->button(a)->isEnabled());
  }
}

INSTANTIATE_TEST_SUITE_P(Sections, EveryList, ::testing::Range(0, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(ListCases()[info.param].name);
                         });

// --- blocks and fillers on the wire, on both paths ---

class ListWrites : public ::testing::TestWithParam<Path>, public WindowFixture {
 protected:
  ListWrites() : WindowFixture(GetParam()) {}
};

TEST_P(ListWrites, RelaysGoInSixBlocksTheLastWithFourCopiesOfRelayOne) {
  for (int n = 1; n <= kRelayCount; ++n) {
    Relay(image(), n).SetNumber(77);  // as a disk file might have left them
    Relay(image(), n).Name().SetBytes(QByteArray("R") + QByteArray::number(n));
    Relay(image(), n).SetTimeTa(n * 10);
  }
  Tflistaprzekaznikow w(*context);
  w.OnWriteToController();
  for (int n = 1; n <= kRelayCount; ++n) EXPECT_EQ(Relay(image(), n).Number(), n);
  std::vector<Sent> writes;
  for (const Sent& m : sent) {
    if (m.classLetter == kClassWrite && m.command == RelayBlockReadMessage(0).command) {
      writes.push_back(m);
    }
  }
  ASSERT_EQ(writes.size(), 6u);
  for (const Sent& m : writes) EXPECT_EQ(m.posted, GetParam() == Path::Module);
  RelayBlockBuffer last{};
  const int order[] = {31, 32, 1, 1, 1, 1};
  for (int k = 0; k < 6; ++k) {
    std::copy_n(Relay(image(), order[k]).data(), RelayRecord::kSize,
                last.begin() + k * static_cast<std::ptrdiff_t>(RelayRecord::kSize));
  }
  EXPECT_EQ(writes.back().body, RelayBlockWriteMessage(5, last, 0).message.body);
  EXPECT_EQ(dialogs.questions(), QStringList({"Reset device?"}));
  EXPECT_TRUE(session.writePending);
}

TEST_P(ListWrites, AlarmsGoInTwoBlocksTheSecondWithThreeCopiesOfAlarmOne) {
  for (int n = 1; n <= kAlarmCount; ++n) {
    Alarm(image(), n).SetNumber(-4);
    Alarm(image(), n).SetDelayTime(n);
  }
  TFListaAlarmow w(*context);
  w.OnWriteToController();
  for (int n = 1; n <= kAlarmCount; ++n) EXPECT_EQ(Alarm(image(), n).Number(), n);
  std::vector<Sent> writes;
  for (const Sent& m : sent) {
    if (m.classLetter == kClassWrite && m.command == AlarmBlockReadMessage(0).command) {
      writes.push_back(m);
    }
  }
  ASSERT_EQ(writes.size(), 2u);
  AlarmBlockBuffer second{};
  for (int k = 0; k < 12; ++k) {
    const int n = k < 9 ? 13 + k : 1;
    std::copy_n(Alarm(image(), n).data(), AlarmRecord::kSize,
                second.begin() + k * static_cast<std::ptrdiff_t>(AlarmRecord::kSize));
  }
  EXPECT_EQ(writes.back().body, AlarmBlockWriteMessage(1, second, 0).message.body);
}

INSTANTIATE_TEST_SUITE_P(Paths, ListWrites, ::testing::Values(Path::Direct, Path::Module),
                         [](const ::testing::TestParamInfo<Path>& info) {
                           return std::string(info.param == Path::Module ? "Module" : "Direct");
                         });

// --- single cases ---

class RelayList : public ::testing::Test, public WindowFixture {};

TEST_F(RelayList, CancelMidReadKeepsTheBlocksReadSoFar) {
  for (int n = 1; n <= kRelayCount; ++n) Relay(image(), n).Name().SetBytes(QByteArray("CTRL"));
  ASSERT_TRUE(transfer->WriteList(SectionId::Relays).completed());
  for (int n = 1; n <= kRelayCount; ++n) Relay(image(), n).Name().SetBytes(QByteArray("PC"));
  Tflistaprzekaznikow w(*context);
  dialogs.ClearRecord();
  const int before = progress.showCount();
  progress.onShow = [&](int call) {
    if (call == before + 2) progress.SetCancelRequested(true);  // as the first block arrives
  };
  w.OnReadFromController();
  for (int n = 1; n <= kRelayCount; ++n) {
    EXPECT_EQ(Relay(image(), n).Name().Bytes(), n <= 6 ? QByteArray("CTRL") : QByteArray("PC"))
        << n;
  }
  EXPECT_TRUE(dialogs.shown().empty());  // a quiet stop
  EXPECT_FALSE(progress.visible());
  // The table shows what the project now holds.
  EXPECT_EQ(w.memproj()[5].Nazwa, QStringLiteral("CTRL"));
  EXPECT_EQ(w.memproj()[6].Nazwa, QStringLiteral("PC"));
}

TEST_F(RelayList, FailedReadSaysNoCommunicationAndStops) {
  emulator.SetStationAddress(9);  // nobody answers
  Tflistaprzekaznikow w(*context);
  w.OnReadFromController();
  EXPECT_EQ(dialogs.messages(), QStringList({"No communication"}));
  EXPECT_FALSE(w.busy());
  EXPECT_TRUE(w.button(SectionAction::ReadController)->isEnabled());
}

TEST_F(RelayList, OffsetShownWithOneDecimal) {
  Relay(image(), 2).SetRegulatorOffset(-125);
  Relay(image(), 2).SetChannelWord(0x0E02);
  Tflistaprzekaznikow w(*context);
  EXPECT_EQ(CellText(w, 1, 8), QStringLiteral("-12.5"));
  EXPECT_EQ(CellText(w, 1, 6), QStringLiteral("2"));
  EXPECT_EQ(CellText(w, 1, 7), QStringLiteral("14"));
}

TEST_F(RelayList, EditByButtonDoubleClickAndEnterRelease) {
  Tflistaprzekaznikow w(*context);
  std::vector<std::int32_t> numbers;
  bool accept = true;
  w.SetEditRecord([&](std::span<std::uint8_t> copy, QWidget* parent) {
    EXPECT_EQ(parent, &w);
    RelayRecord r(copy.data());
    numbers.push_back(r.Number());
    r.Name().SetBytes(QByteArray("EDITED"));
    return accept;
  });
  Relay(image(), 3).SetNumber(0);  // the copy carries its slot number, not this
  w.SelectRow(3);
  w.OnEdit();
  EXPECT_EQ(Relay(image(), 3).Name().Bytes(), QByteArray("EDITED"));
  EXPECT_EQ(w.memproj()[2].Nazwa, QStringLiteral("EDITED"));
  EXPECT_EQ(Relay(image(), 3).Number(), 3);

  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QTableView* grid = w.grid();
  // A user's double click: a click, then a second press the system reports as a double click.
  const QPoint cell = grid->visualRect(grid->model()->index(3, 2)).center();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
  EXPECT_EQ(Relay(image(), 4).Name().Bytes(), QByteArray("EDITED"));

  accept = false;  // cancelled: nothing changes
  w.SelectRow(5);
  QTest::keyPress(grid, Qt::Key_Return);
  EXPECT_EQ(numbers.size(), 2u);  // not on the press ...
  QTest::keyRelease(grid, Qt::Key_Return);
  EXPECT_EQ(numbers, std::vector<std::int32_t>({3, 4, 5}));  // ... on the release
  EXPECT_NE(Relay(image(), 5).Name().Bytes(), QByteArray("EDITED"));

  w.grid()->clearSelection();  // no row: nothing happens
  w.OnEdit();
  EXPECT_EQ(numbers.size(), 3u);
}

TEST_F(RelayList, ProgressCancelStaysUsableWhileTheListIsModal) {
  QMainWindow main;
  auto* mainButton = new QPushButton(QStringLiteral("x"), &main);
  bool mainClicked = false;
  QObject::connect(mainButton, &QPushButton::clicked, [&] { mainClicked = true; });
  main.show();
  ProgressWindow realProgress;
  Tflistaprzekaznikow w(*context, &main);
  w.setAttribute(Qt::WA_ShowModal);  // shown modally with its own modality, as exec() does
  w.show();
  QCoreApplication::processEvents();
  realProgress.ShowProgress(0, 6, QStringLiteral("Reading"));
  ClickThroughWindowSystem(mainButton);
  EXPECT_FALSE(mainClicked) << "the main window must be blocked by the list";
  ClickThroughWindowSystem(realProgress.cancelButton());
  EXPECT_TRUE(realProgress.CancelRequested());
  w.reject();
}

TEST_F(RelayList, OpenRelayListShowsTheListModally) {
  QString title;
  int rows = 0;
  QTimer::singleShot(0, [&] {
    auto* w = qobject_cast<Tflistaprzekaznikow*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    title = w->windowTitle();
    rows = static_cast<int>(w->memproj().size());
    w->OnSave();
  });
  OpenRelayList(*context, nullptr);
  EXPECT_EQ(title, QStringLiteral("Relays"));
  EXPECT_EQ(rows, 32);
}

}  // namespace
}  // namespace qdx::test
