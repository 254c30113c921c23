// The help viewer: its title, the keys that close it, a missing page, and a page's
// formatting as the view shows it.
#include "panel/help_viewer_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "panel/rtf_reader.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

// A key press and release as a user types it.
void PressKey(QWidget* target, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// A program folder with the pages of the given parameters in HELP.
class HelpViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QDir().mkpath(dir_.filePath("HELP"));
    for (int n : {5, 123}) {
      QFile f(dir_.filePath(QStringLiteral("HELP/%1.rtf").arg(n)));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(R"({\rtf1 {\b Pause status}\par Some text.})");
    }
  }

  QString ProgramDir() const { return dir_.path(); }

  // Deletes what closing scheduled for deletion.
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  QTemporaryDir dir_;
};

TEST_F(HelpViewerTest, TitleHasAtLeastTwoDigits) {
  for (auto [n, title] : {std::pair{5, "F05"}, std::pair{123, "F123"}}) {
    HelpViewerWindow* viewer = HelpViewerWindow::Create(n, ProgramDir());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QString::fromLatin1(title));
    auto* view = viewer->findChild<QTextEdit*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_EQ(view->toPlainText(), "Pause status\nSome text.");
    delete viewer;
  }
}

TEST_F(HelpViewerTest, EnterAndEscCloseFromTheWindowAndTheText) {
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    for (bool inText : {false, true}) {
      SCOPED_TRACE(testing::Message() << key << (inText ? " in the text" : " in the window"));
      QPointer<HelpViewerWindow> viewer = HelpViewerWindow::Create(5, ProgramDir());
      ASSERT_TRUE(viewer);
      viewer->show();
      QWidget* target = inText ? static_cast<QWidget*>(viewer->findChild<QTextEdit*>())
                               : static_cast<QWidget*>(viewer.data());
      PressKey(target, Qt::Key_A);
      EXPECT_TRUE(viewer && viewer->isVisible());
      PressKey(target, key);
      Settle();
      EXPECT_FALSE(viewer) << "closed and destroyed";
      delete viewer.data();
    }
  }
}

TEST_F(HelpViewerTest, NoPageNoWindow) {
  EXPECT_EQ(HelpViewerWindow::Create(6, ProgramDir()), nullptr);
  // Showing a page that does not exist returns at once, opening nothing.
  bool opened = false;
  QObject guard;  // ends the timer with the test
  QTimer::singleShot(2000, &guard, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  ShowHelpPage(6, ProgramDir());
  EXPECT_FALSE(opened);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpViewerDocument, KeepsAlignmentAndFormatting) {
  QTextDocument document;
  FillTextDocument(document, ReadRtf(R"({\rtf1{\colortbl;\red255\green0\blue0;})"
                                     R"(\qc\b\fs36 Title\par\pard\plain a{\i\ul\cf1 b}})"));
  ASSERT_EQ(document.blockCount(), 2);
  const QTextBlock title = document.firstBlock();
  EXPECT_EQ(title.text(), "Title");
  EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  const QTextCharFormat titleFormat = title.begin().fragment().charFormat();
  EXPECT_EQ(titleFormat.fontWeight(), QFont::Bold);
  EXPECT_EQ(titleFormat.fontPointSize(), 18.0);
  const QTextBlock body = title.next();
  EXPECT_EQ(body.text(), "ab");
  EXPECT_EQ(body.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  auto fragment = body.begin();
  ++fragment;
  const QTextCharFormat b = fragment.fragment().charFormat();
  EXPECT_TRUE(b.fontItalic());
  EXPECT_TRUE(b.fontUnderline());
  EXPECT_EQ(b.foreground().color(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace qdx
