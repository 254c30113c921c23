// The "Write to controller" and "Read from controller" windows driven headless against the
// in-process emulated controller, with scripted dialogs: rows, the timer start, Stop, the
// comparison, the reset offer and closing during a run.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "app/session.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/link.h"
#include "model/records.h"
#include "support/fake_serial_port.h"
#include "model/relay_record.h"
#include "support/full_project.h"
#include "support/scripted_dialogs.h"
#include "transfer/read_project_window.h"
#include "transfer/send_project_window.h"

namespace qdx {
namespace {

using test::ScriptedDialogs;

class ProjectWindows : public testing::Test {
 protected:
  ProjectWindows() {
    session->settings.ports[1] = QStringLiteral("emulator");
    session->settings.timeoutStand = 100;
    session->settings.pytajOReset = true;
    session->link.portIndex = 0;
    emulator.SetReadyDelayMilliseconds(20);
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session->settings);
    ops = std::make_unique<LinkOperations>(*link, *session);
    test::FillFullProject(session->blocks, 900);
  }

  // Pumps events until pred holds (real time: the windows start from a real timer).
  template <typename Pred>
  bool WaitFor(Pred pred, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
      if (t.elapsed() > ms) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }

  test::TestClock clock;
  Emulator emulator{clock};
  std::unique_ptr<Session> session = std::make_unique<Session>();
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
  ScriptedDialogs dialogs;
};

TEST_F(ProjectWindows, SendWindowLaysOutTenUntickedRowsAndRunsTheTickedOnes) {
  SendProjectWindow w(*session, *ops, dialogs);
  EXPECT_EQ(w.windowTitle(), "Write to controller");
  EXPECT_EQ(w.startDelay(), 300);
  const QStringList captions = {"Setup",      "Relays",
                                "Processes",  "Processes WASHING",
                                "Alarms",     "Special statuses",
                                "Programs",   "Program WASHING",
                                "Analog OUT", " PID "};
  for (int i = 0; i < kProjectRowCount; ++i) {
    SectionRow* r = w.row(kProjectRows[i]);
    EXPECT_EQ(r->caption(), captions[i]);
    EXPECT_EQ(r->checkBox()->text(), "For transmission?");
    EXPECT_FALSE(r->ticked());
    EXPECT_FALSE(r->gaugeVisible());
  }
  w.row(ProjectRow::Relays)->SetTicked(true);
  w.row(ProjectRow::Pid)->SetTicked(true);
  dialogs.QueueNo();  // "Reset device?"
  w.show();
  w.startButton()->click();
  EXPECT_EQ(w.startButton()->text(), "Stop");
  ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
  EXPECT_EQ(w.startButton()->text(), "Start");
  EXPECT_EQ(w.row(ProjectRow::Relays)->resultText(), "OK");
  EXPECT_EQ(w.row(ProjectRow::Pid)->resultText(), "OK");
  EXPECT_EQ(w.row(ProjectRow::Relays)->gauge()->position(), 6);
  EXPECT_EQ(w.row(ProjectRow::Relays)->gauge()->maximum(), 6);
  EXPECT_TRUE(w.row(ProjectRow::Relays)->gaugeVisible());
  EXPECT_FALSE(w.row(ProjectRow::Setup)->gaugeVisible());
  EXPECT_EQ(w.row(ProjectRow::Setup)->resultText(), "");
  EXPECT_EQ(dialogs.messages(), QStringList{"Operation complete"});
  EXPECT_EQ(dialogs.questions(), QStringList{"Reset device?"});

  w.OnSelectAll();
  for (const ProjectRow r : kProjectRows) EXPECT_TRUE(w.row(r)->ticked());
}

// A value that cannot travel is found before the first byte: its section is held back and the
// user decides whether the others go; No sends nothing at all.
TEST_F(ProjectWindows, SendWindowChecksTheTickedRowsBeforeTheFirstByte) {
  Relay(session->blocks.image, 7).SetTimeTa(70000);
  const QByteArray relaysBefore = emulator.Memory().sections.relays;
  const QByteArray alarmsBefore = emulator.Memory().sections.alarms;
  for (const bool yes : {false, true}) {
    SendProjectWindow w(*session, *ops, dialogs);
    w.row(ProjectRow::Relays)->SetTicked(true);
    w.row(ProjectRow::Alarms)->SetTicked(true);
    yes ? dialogs.QueueYes() : dialogs.QueueNo();  // "Send the other sections?"
    if (yes) dialogs.QueueNo();                     // "Reset device?"
    w.show();
    w.startButton()->click();
    ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
    ASSERT_FALSE(dialogs.questions().isEmpty());
    EXPECT_TRUE(dialogs.questions()[0].contains("Relays: Relay 7, Ta: 70000 is outside 0..65535"))
        << dialogs.questions()[0].toStdString();
    EXPECT_EQ(w.row(ProjectRow::Relays)->resultText(), "Error");
    EXPECT_EQ(emulator.Memory().sections.relays, relaysBefore);
    if (yes) {
      EXPECT_EQ(w.row(ProjectRow::Alarms)->resultText(), "OK");
      EXPECT_NE(emulator.Memory().sections.alarms, alarmsBefore);
      EXPECT_EQ(dialogs.messages(),
                QStringList{"1 of 2 sections failed: Relays.\nThe other sections are complete."});
    } else {
      EXPECT_EQ(w.row(ProjectRow::Alarms)->resultText(), "");
      EXPECT_EQ(emulator.Memory().sections.alarms, alarmsBefore);
      EXPECT_TRUE(dialogs.messages().isEmpty());
    }
    dialogs = ScriptedDialogs();
  }
}

// With every ticked row refused there is nothing else to send: the message lists every refused
// value, of every record and section, and no byte goes out.
TEST_F(ProjectWindows, SendWindowListsEveryRefusedValue) {
  Relay(session->blocks.image, 7).SetTimeTa(70000);
  Relay(session->blocks.image, 9).SetLowerHysteresis(-30000000);
  Alarm(session->blocks.image, 4).SetDelayTime(99999);
  const QByteArray relaysBefore = emulator.Memory().sections.relays;
  const QByteArray alarmsBefore = emulator.Memory().sections.alarms;
  SendProjectWindow w(*session, *ops, dialogs);
  w.row(ProjectRow::Relays)->SetTicked(true);
  w.row(ProjectRow::Alarms)->SetTicked(true);
  w.show();
  w.startButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
  EXPECT_TRUE(dialogs.questions().isEmpty());
  EXPECT_EQ(dialogs.messages(),
            QStringList{"These values cannot be sent to the controller:\n"
                        "Relays: Relay 7, Ta: 70000 is outside 0..65535\n"
                        "Relays: Relay 9, lower hysteresis: -3000000.0 is outside "
                        "-2147483.6..2147483.6\n"
                        "Alarms: Alarm 4, delay time: 99999 is outside 0..65535\n"
                        "Correct them and send again."});
  EXPECT_EQ(w.row(ProjectRow::Relays)->resultText(), "Error");
  EXPECT_EQ(w.row(ProjectRow::Alarms)->resultText(), "Error");
  EXPECT_EQ(emulator.Memory().sections.relays, relaysBefore);
  EXPECT_EQ(emulator.Memory().sections.alarms, alarmsBefore);
}

TEST_F(ProjectWindows, StopHidesTheResultsAndANewRunShowsThemAgain) {
  session->settings.pytajOReset = false;
  SendProjectWindow w(*session, *ops, dialogs);
  w.OnSelectAll();
  w.show();
  int stopsAt = 0;
  bool startDisabledMeanwhile = false;
  // Stop while the programs are on their way (the run pumps events between transfers, so a
  // timer clicks as a user would): the button reads Start but cannot start a second run until
  // the first has returned.
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (stopsAt == 0 && w.row(ProjectRow::Programs)->gauge()->position() >= 2) {
      w.startButton()->click();
      stopsAt = w.row(ProjectRow::Programs)->gauge()->position();
      startDisabledMeanwhile = w.startButton()->text() == "Start" && !w.startButton()->isEnabled();
    }
  });
  user.start(0);
  w.startButton()->click();
  ASSERT_TRUE(WaitFor([&] { return stopsAt > 0 && !w.engine().Running(); }));
  user.stop();
  EXPECT_TRUE(startDisabledMeanwhile);
  EXPECT_TRUE(w.startButton()->isEnabled());
  EXPECT_TRUE(w.lastRun().stopped);
  EXPECT_EQ(w.lastRun()[ProjectRow::Programs].kind, RowOutcome::Stopped);
  EXPECT_LE(emulator.Memory().sections.writes, 1 + 6 + 3 + 3 + 2 + 1 + 5 * (stopsAt + 1));
  for (const ProjectRow r : kProjectRows) EXPECT_FALSE(w.row(r)->resultLabel()->isVisible());
  EXPECT_TRUE(dialogs.messages().isEmpty());

  // The next run shows its results again.
  for (const ProjectRow r : kProjectRows) w.row(r)->SetTicked(r == ProjectRow::Alarms);
  w.startButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
  EXPECT_EQ(w.row(ProjectRow::Alarms)->resultText(), "OK");
  EXPECT_TRUE(w.row(ProjectRow::Alarms)->resultLabel()->isVisible());
}

TEST_F(ProjectWindows, ReadWindowComparisonShowsDifferenceAndPutsTheProjectBack) {
  {
    SendProjectWindow send(*session, *ops, dialogs);
    send.OnSelectAll();
    session->settings.pytajOReset = false;
    send.show();
    send.startButton()->click();
    ASSERT_TRUE(WaitFor([&] { return !send.running(); }));
  }
  dialogs.ClearRecord();
  Relay(session->blocks.image, 4).Name().SetBytes("OTHER NAME");
  Pid(session->blocks.pid, 1).SetPulsePeriod(1234.5);
  auto before = std::make_unique<ProjectBlocks>(session->blocks);

  ReadProjectWindow w(*session, *ops, dialogs);
  EXPECT_EQ(w.windowTitle(), "Read from controller");
  EXPECT_EQ(w.startDelay(), 100);
  EXPECT_EQ(w.row(ProjectRow::Pid)->caption(), "PID ");
  EXPECT_EQ(w.comparisonButton()->text(), "Comparison");
  w.OnSelectAll();
  w.show();
  w.comparisonButton()->click();
  EXPECT_FALSE(w.comparisonButton()->isEnabled());
  EXPECT_TRUE(w.comparisonMode());
  ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
  EXPECT_TRUE(w.comparisonButton()->isEnabled());
  EXPECT_FALSE(w.comparisonMode());
  EXPECT_EQ(w.row(ProjectRow::Relays)->resultText(), "Difference");
  EXPECT_TRUE(w.row(ProjectRow::Relays)
                  ->resultLabel()
                  ->toolTip()
                  .startsWith("Difference: record 4 field name: project \"OTHER NAME\""))
      << w.row(ProjectRow::Relays)->resultLabel()->toolTip().toStdString();
  // A second line names the difference as qdx compare does; rows without one have none.
  const QLabel* detail = w.row(ProjectRow::Relays)->detailLabel();
  EXPECT_TRUE(detail->isVisible());
  EXPECT_TRUE(detail->text().startsWith("record 4 field name: project \"OTHER NAME\", controller "))
      << detail->text().toStdString();
  ASSERT_TRUE(w.lastRun()[ProjectRow::Relays].difference);
  EXPECT_EQ(detail->text(), w.lastRun()[ProjectRow::Relays].difference->Text());
  EXPECT_TRUE(w.row(ProjectRow::Pid)->detailLabel()->text().startsWith("record 1 field "));
  EXPECT_FALSE(w.row(ProjectRow::Programs)->detailLabel()->isVisible());
  EXPECT_EQ(w.row(ProjectRow::Pid)->resultText(), "Difference");
  EXPECT_EQ(w.row(ProjectRow::Programs)->resultText(), "OK");
  EXPECT_EQ(w.row(ProjectRow::Setup)->resultText(), "OK");
  EXPECT_TRUE(session->blocks.image == before->image);
  EXPECT_TRUE(session->blocks.pid == before->pid);
  EXPECT_EQ(dialogs.messages(), QStringList{"Operation complete"});

  // A normal read then takes the controller's relay name.
  w.startButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !w.running(); }));
  EXPECT_NE(Relay(session->blocks.image, 4).Name().Bytes(), "OTHER NAME");
  EXPECT_EQ(w.row(ProjectRow::Relays)->resultText(), "OK");
  EXPECT_FALSE(w.row(ProjectRow::Relays)->detailLabel()->isVisible());
}

TEST_F(ProjectWindows, ClosingDuringARunAbandonsItAndClosesAfterwards) {
  session->moduleFlag = true;
  session->settings.pytajOReset = false;
  ReadProjectWindow w(*session, *ops, dialogs);
  w.OnSelectAll();
  w.show();
  bool stillOpen = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (!w.engine().Running()) return;
    user.stop();
    w.close();
    stillOpen = w.isVisible();  // not while the run is inside the window
  });
  user.start(0);
  w.startButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !w.isVisible(); }));
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(w.lastRun().stopped);
}

// Not a check: shows both windows after a run for a screenshot when QDX_SHOWCASE_MS is set.
TEST_F(ProjectWindows, Showcase) {
  const int ms = qEnvironmentVariableIntValue("QDX_SHOWCASE_MS");
  if (ms <= 0) GTEST_SKIP() << "set QDX_SHOWCASE_MS to look at the windows";
  const bool read = qEnvironmentVariableIsSet("QDX_SHOWCASE_READ");
  session->settings.pytajOReset = false;
  Relay(session->blocks.image, 3).SetTimeTa(70000);
  std::unique_ptr<ProjectTransferWindow> w;
  if (read) {
    w = std::make_unique<ReadProjectWindow>(*session, *ops, dialogs);
  } else {
    w = std::make_unique<SendProjectWindow>(*session, *ops, dialogs);
  }
  for (const ProjectRow r : kProjectRows) w->row(r)->SetTicked(r != ProjectRow::Processes);
  if (read) {
    Relay(session->blocks.image, 3).SetTimeTa(7000);
    w->engine().Send(AllRows());
    emulator.Memory().sections.relays[5] = 'Z';
    static_cast<ReadProjectWindow*>(w.get())->OnComparison();
  } else {
    w->startButton()->click();
  }
  w->show();
  w->move(20, 20);
  ASSERT_TRUE(WaitFor([&] { return !w->running(); }, 60000));
  // Part-way gauges for the picture.
  w->row(ProjectRow::Programs)->StartGauge(99);
  w->row(ProjectRow::Programs)->SetPosition(37);
  w->row(ProjectRow::Programs)->SetResult({});
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace
}  // namespace qdx
