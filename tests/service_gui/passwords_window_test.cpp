// The passwords window against the emulated controller: the labels, editing in place, the
// entries as "Send" stores them, the bytes after the entries, and what "Close" keeps.
#include "service/passwords_window.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "config_gui/window_fixture.h"
#include "model/password_entry.h"
#include "support/typing.h"

namespace qdx::test {
namespace {

class PasswordsWindowTest : public ::testing::Test, public WindowFixture {
 protected:
  PasswordsWindowTest() {
    session.blocks.passwords.Fill(0x5A);
    PasswordEntry(session.blocks.passwords, 1).SetBytes("old");
  }

  // Types text into entry n's cell as a user does: F2 on the cell, type, Return.
  static void TypeEntry(PasswordsWindow& w, int n, const QString& text) {
    QApplication::setActiveWindow(&w);
    QTableWidget* grid = w.grid();
    grid->setFocus();
    grid->setCurrentCell(n - 1, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "entry " << n << " is not editable in place";
    TypeAndLeave(editor, text);
    QCoreApplication::processEvents();  // the grid takes the text after the key
  }
  static QString Cell(const PasswordsWindow& w, int n, int column = 1) {
    return w.grid()->item(n - 1, column)->text();
  }
  QByteArray Entry(int n) { return PasswordEntry(session.blocks.passwords, n).Bytes(); }
};

TEST_F(PasswordsWindowTest, ShowsTheLabelsAndTheProjectsEntries) {
  PasswordsWindow w(*context);
  EXPECT_EQ(w.windowTitle(), "Passwords");
  ASSERT_EQ(w.grid()->rowCount(), 37);
  ASSERT_EQ(w.grid()->columnCount(), 2);
  EXPECT_EQ(w.grid()->horizontalHeaderItem(0)->text(), "Name");
  EXPECT_EQ(w.grid()->horizontalHeaderItem(1)->text(), "Passwords");
  const std::pair<int, const char*> labels[] = {{1, "Programming"},
                                                {2, "User functions"},
                                                {3, "Service functions 1"},
                                                {4, "Service functions 2"},
                                                {5, "Wash programming"},
                                                {6, "Washing start"},
                                                {7, ""},
                                                {8, "User name 1"},
                                                {37, "User name 30"}};
  for (const auto& [n, label] : labels) EXPECT_EQ(Cell(w, n, 0), label) << n;
  EXPECT_EQ(Cell(w, 1), "old");
}

TEST_F(PasswordsWindowTest, SendStoresSixCharactersAndLeavesTheRestOfTheBlock) {
  PasswordsWindow w(*context);
  w.show();
  const std::pair<int, const char*> typed[] = {{1, "abcd"}, {2, "abcdefgh"}, {3, ""}};
  for (const auto& [n, text] : typed) TypeEntry(w, n, text);
  w.OnSend();
  const std::pair<int, const char*> stored[] = {{1, "  abcd"}, {2, "abcdef"}, {3, "      "}};
  for (const auto& [n, text] : stored) {
    EXPECT_EQ(Entry(n), text) << n;
    EXPECT_EQ(Cell(w, n), text) << "the grid shows what was sent";
  }
  EXPECT_EQ(emulator.Memory().sections.passwords.left(12), "  abcdabcdef");
  for (std::size_t i = passwords::kUnusedOffset; i < passwords::kSize; ++i) {
    ASSERT_EQ(session.blocks.passwords.data()[i], 0x5A) << "byte " << i;
  }
  EXPECT_EQ(dialogs.messages(), QStringList{kOperationCompleted});
  EXPECT_EQ(dialogs.questions(), QStringList{kResetQuestion});
  // Nothing typed since the Send: closing asks nothing.
  w.reject();
  EXPECT_EQ(dialogs.questions().size(), 1);
  EXPECT_FALSE(w.isVisible());
}

// Edits typed after the last Send: "No" stays in the window, "Yes" closes without them.
TEST_F(PasswordsWindowTest, CloseOverUnsentEditsAsksAndKeepsTheProjectBlock) {
  const PasswordBlock before = session.blocks.passwords;
  PasswordsWindow w(*context);
  w.show();
  TypeEntry(w, 1, "new");
  dialogs.QueueNo();
  w.reject();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Cell(w, 1), "new");
  dialogs.QueueYes();
  w.reject();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(dialogs.questions(), QStringList(2, kDiscardPasswordEdits));
  EXPECT_TRUE(session.blocks.passwords == before);
}

TEST_F(PasswordsWindowTest, ReadFillsTheGridAndCloseKeepsWhatWasRead) {
  emulator.Memory().sections.passwords.replace(0, 6, "123456");
  PasswordsWindow w(*context);
  w.show();
  w.OnRead();
  EXPECT_EQ(Cell(w, 1), "123456");
  // A failed read shows the block as it was.
  emulator.Faults().SetPersistent(Fault::NoReply);
  TypeEntry(w, 2, "typed");
  w.OnRead();
  EXPECT_EQ(Cell(w, 2), QString::fromLatin1(PasswordEntry(w.block(), 2).Bytes()));
  EXPECT_EQ(dialogs.messages(), QStringList{kNoCommunication});
  w.reject();
  EXPECT_EQ(Entry(1), "123456");
  for (std::size_t i = passwords::kUnusedOffset; i < passwords::kSize; ++i) {
    ASSERT_EQ(session.blocks.passwords.data()[i], 0x5A) << "byte " << i;
  }
}

}  // namespace
}  // namespace qdx::test
