// The shared message, question and progress windows on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/message_dialog.h"
#include "app/progress_window.h"

namespace qdx {
namespace {

// Runs action on the modal window as soon as the event loop of exec() shows it.
void WhenModalShows(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, qApp, [action] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    action(modal);
  });
}

TEST(MessageDialogTest, TwoLetterTextStillFitsItsButton) {
  MessageDialog dialog("OK");
  const QRect button = dialog.okButton()->geometry();
  const QRect text = dialog.textLabel()->geometry();
  EXPECT_GE(dialog.width(), button.width() + 10);
  EXPECT_GE(button.left(), 0);
  EXPECT_LE(button.right(), dialog.width() - 1);
  // Centred, 5 above the lower edge.
  EXPECT_LE(std::abs(button.left() - (dialog.width() - button.right() - 1)), 1);
  EXPECT_EQ(dialog.height() - (button.bottom() + 1), 5);
  EXPECT_EQ(dialog.height(), text.height() + button.height() + 30);
  EXPECT_EQ(text.top(), (button.height() + 5) / 2);
  EXPECT_LT(text.bottom(), button.top());
  EXPECT_TRUE(dialog.windowTitle().isEmpty());
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(dialog.isModal());
}

TEST(MessageDialogTest, WidthFollowsALongText) {
  const QString text = "Controller must be in STOP mode";
  MessageDialog dialog(text);
  const QRect label = dialog.textLabel()->geometry();
  EXPECT_GE(label.width(), dialog.textLabel()->fontMetrics().horizontalAdvance(text));
  EXPECT_EQ(dialog.width(), label.width() + 20);
  EXPECT_LE(std::abs(label.left() - (dialog.width() - label.right() - 1)), 1);
}

TEST(QuestionDialogTest, ButtonsSitSideBySideAndCentred) {
  for (const QString& text : {QString("Reset device?"), QString("Ok"),
                              QString("Should modifications in design be saved?")}) {
    SCOPED_TRACE(text.toStdString());
    QuestionDialog dialog(text);
    const QRect yes = dialog.yesButton()->geometry();
    const QRect no = dialog.noButton()->geometry();
    EXPECT_EQ(no.left(), yes.right() + 1 + 5);
    EXPECT_EQ(yes.top(), no.top());
    EXPECT_EQ(dialog.height() - (yes.bottom() + 1), 5);
    EXPECT_EQ(dialog.width(), 2 * yes.left() + 2 * yes.width() + 6);
    EXPECT_GE(dialog.width(), 2 * yes.width() + 20);
    EXPECT_GE(dialog.width(), dialog.textLabel()->width() + 20);
    EXPECT_LT(dialog.textLabel()->geometry().bottom(), yes.top());
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
  }
}

TEST(QuestionDialogTest, AnswersSixForYesAndSevenOtherwise) {
  struct Case {
    const char* how;
    std::function<void(QuestionDialog*)> act;
    int expected;
  };
  const Case cases[] = {
      {"Yes", [](QuestionDialog* d) { d->yesButton()->click(); }, kAnswerYes},
      {"No", [](QuestionDialog* d) { d->noButton()->click(); }, kAnswerNo},
      {"close box", [](QuestionDialog* d) { d->close(); }, kAnswerNo},
      {"Escape", [](QuestionDialog* d) { d->reject(); }, kAnswerNo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    WhenModalShows([&c](QWidget* w) { c.act(static_cast<QuestionDialog*>(w)); });
    EXPECT_EQ(AskYesNo("Reset device?"), c.expected);
  }
}

TEST(ProgressWindowTest, SecondShowProgressOnlyUpdates) {
  ProgressWindow window;
  EXPECT_FALSE(window.isVisible());
  window.ShowProgress(5, 100, "Relays");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.timesShown(), 1);
  // The maximum is set before the position, so a position beyond the old maximum holds.
  window.ShowProgress(150, 200, "Programs");
  EXPECT_EQ(window.timesShown(), 1);
  EXPECT_EQ(window.bar()->maximum(), 200);
  EXPECT_EQ(window.bar()->value(), 150);
  EXPECT_EQ(window.textLabel()->text(), "Programs");
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window.windowType(), Qt::Tool);
  EXPECT_FALSE(window.isModal());
  window.HideProgress();
  EXPECT_FALSE(window.isVisible());
  window.ShowProgress(1, 2, "again");
  EXPECT_EQ(window.timesShown(), 2);
}

TEST(ProgressWindowTest, CancelSetsTheFlagUntilTheCallerClearsIt) {
  ProgressWindow window;
  window.ShowProgress(0, 10, "Alarms");
  EXPECT_FALSE(window.CancelRequested());
  EXPECT_EQ(window.cancelButton()->text(), "Cancel");
  window.cancelButton()->click();
  EXPECT_TRUE(window.CancelRequested());
  window.ShowProgress(1, 10, "Alarms");
  EXPECT_TRUE(window.CancelRequested());  // only callers clear it
  window.SetCancelRequested(false);
  EXPECT_FALSE(window.CancelRequested());
}

}  // namespace
}  // namespace qdx
