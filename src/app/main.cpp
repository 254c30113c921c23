// The desktop application: builds the shared state, the link, the progress window and the
// main window, and runs the event loop.
#include <QApplication>
#include <QStandardPaths>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/message_dialog.h"
#include "app/progress_window.h"
#include "app/session.h"
#include "config/alarm_list_window.h"
#include "config/relay_list_window.h"
#include "config/section_transfer.h"
#include "config/special_status_list_window.h"
#include "link/device_transactions.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/port_status.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"
#include "transfer/read_project_window.h"
#include "transfer/send_project_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("SetupQDX"));
  QApplication::setApplicationVersion(QStringLiteral("6.5"));
  QApplication::setStyle(QStringLiteral("Fusion"));

  // The trace switch comes first, before any window exists.
  const qdx::StartupArguments arguments = qdx::ParseStartupArguments(app.arguments().mid(1));
  auto session = std::make_unique<qdx::Session>();
  session->traceEnabled = arguments.trace;
  session->programDir = QCoreApplication::applicationDirPath();
  session->writableDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);

  qdx::DesktopDialogs dialogs;
  // Created hidden before the main window, which keeps a reference to it; nothing of it
  // shows until a transfer runs.
  qdx::ProgressWindow progress;
  qdx::TForm1 window(*session, dialogs, progress);
  dialogs.SetParentWidget(&window);

  // The link reads the settings live: they are filled when the main window is first shown.
  qdx::SystemClock clock;
  // Watched, so that the status line follows every open and failure of the port.
  auto watchedPort =
      std::make_unique<qdx::WatchedSerialPort>(std::make_unique<qdx::QtSerialPort>());
  qdx::WatchedSerialPort& port = *watchedPort;
  qdx::Link link(std::move(watchedPort), clock, session->settings);
  if (session->traceEnabled) {
    link.SetTraceFile(session->settingsFolders().WritePath(QStringLiteral("trans.txt")));
  }
  qdx::LinkOperations operations(link, *session);
  operations.SetEventPump([] { QCoreApplication::processEvents(); });

  window.AttachLink(link, operations, &port);
  window.hooks().writeToController = [&] {
    qdx::SendProjectWindow send(*session, operations, dialogs, &window);
    send.exec();
  };
  window.hooks().readFromController = [&] {
    qdx::ReadProjectWindow read(*session, operations, dialogs, &window);
    read.exec();
  };

  // The section list windows move their sections through one transfer engine.
  qdx::SectionTransfer sectionTransfer(*session, operations, dialogs, progress,
                                       [] { QCoreApplication::processEvents(); });
  qdx::SectionWindowContext sections{*session, sectionTransfer, dialogs};
  window.hooks().editors[int(qdx::Editor::Relays)] = [&] { qdx::OpenRelayList(sections, &window); };
  window.hooks().editors[int(qdx::Editor::Alarms)] = [&] { qdx::OpenAlarmList(sections, &window); };
  window.hooks().editors[int(qdx::Editor::SpecialStatuses)] = [&] {
    qdx::OpenSpecialStatusList(sections, &window);
  };

  window.SetStartupArguments(arguments);
  window.show();
  return app.exec();
}
