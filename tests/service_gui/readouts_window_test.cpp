// The readouts window against the emulated controller on the module path: the version line,
// the value boxes after a poll, the "Transmission" panel while a poll runs, the timer that
// starts after each poll and stops with the window, and the clock's "Send".
#include "service/readouts_window.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "config_gui/window_fixture.h"

namespace qdx::test {
namespace {

class ReadoutsWindowTest : public ::testing::Test, public WindowFixture {
 protected:
  ReadoutsWindowTest() : WindowFixture(Path::Module) {}
  static QColor PanelColour(const ReadoutsWindow& w) {
    return w.transmission()->palette().color(QPalette::Window);
  }
};

TEST_F(ReadoutsWindowTest, ShowsTheControllersValuesAfterEachPoll) {
  emulator.Memory().readings.humidity = 200;
  ReadoutsWindow w(*ops, dialogs);
  EXPECT_EQ(w.windowTitle(), "Readouts");
  w.show();
  EXPECT_EQ(w.versionLine()->text(), "Program version:  900");
  EXPECT_EQ(PanelColour(w), QColor(Qt::green));
  EXPECT_TRUE(w.timer().isActive());
  EXPECT_EQ(w.timer().interval(), 2000);

  std::optional<QColor> duringPoll;
  emulator.SetObserver([&](const FrameEvent& e) {
    if (e.request.size() == 7) duringPoll = PanelColour(w);  // the status poll
  });
  w.Tick();
  ASSERT_TRUE(duringPoll);
  EXPECT_EQ(*duringPoll, QColor(Qt::green));
  EXPECT_NE(PanelColour(w), QColor(Qt::green));
  EXPECT_TRUE(w.timer().isActive()) << "the next poll two seconds after this one ended";
  const std::pair<int, const char*> boxes[] = {
      {2, "    72.5"}, {3, "    48.3"}, {4, "    XX"}, {13, "  -300.0"}, {14, "  -300.0"}};
  for (const auto& [i, text] : boxes) EXPECT_EQ(w.box(i)->text(), text) << i;
  EXPECT_EQ(w.recordingLine(0)->text(), "Last recording address : 288");

  // A failed poll leaves the values and says nothing.
  emulator.Memory().readings.chamberTemperature = 10.0;
  emulator.Faults().SetPersistent(Fault::NoReply);
  w.Tick();
  EXPECT_EQ(w.box(2)->text(), "    72.5");
  EXPECT_TRUE(dialogs.shown().empty());
  w.reject();
  EXPECT_FALSE(w.timer().isActive());
}

TEST_F(ReadoutsWindowTest, SendSetsTheClockWithoutSecondsAndSaysSoInTheWindow) {
  ReadoutsWindow w(*ops, dialogs);
  w.show();
  w.datePicker()->setDate(QDate(2024, 3, 1));
  w.timePicker()->setTime(QTime(14, 35, 50));
  QTest::mouseClick(w.sendButton(), Qt::LeftButton);
  EXPECT_EQ(emulator.ControllerClock().time().hour(), 14);
  EXPECT_EQ(emulator.ControllerClock().time().minute(), 35);
  EXPECT_LT(emulator.ControllerClock().time().second(), 50);
  EXPECT_EQ(w.statusLine()->text(), "Clock set to 2024-03-01 14:35");
  EXPECT_TRUE(w.timer().isActive());

  emulator.Faults().SetPersistent(Fault::NoReply);
  QTest::mouseClick(w.sendButton(), Qt::LeftButton);
  EXPECT_TRUE(w.statusLine()->text().startsWith("Clock not set: No communication"));
  EXPECT_TRUE(dialogs.shown().empty()) << "no modal message";
}

TEST_F(ReadoutsWindowTest, AFailedVersionReadKeepsTheBareLine) {
  emulator.Faults().SetPersistent(Fault::NoReply);
  ReadoutsWindow w(*ops, dialogs);
  w.show();
  EXPECT_EQ(w.versionLine()->text(), "Program version");
  EXPECT_EQ(dialogs.messages(), QStringList{kNoCommunication});
}

}  // namespace
}  // namespace qdx::test
