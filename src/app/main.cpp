// The desktop application: builds the shared state, the dialogs, the progress window and the
// desktop (link and main window), and runs the event loop.
#include <QApplication>
#include <QStandardPaths>

#include "app/command_line.h"
#include "app/desktop_window.h"
#include "app/message_dialog.h"
#include "app/progress_window.h"
#include "app/session.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"

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

  // The dialogs, the progress window (hidden until a transfer runs) and the clock outlive the
  // desktop, whose window keeps references to them.
  qdx::DesktopDialogs dialogs;
  qdx::ProgressWindow progress;
  qdx::SystemClock clock;
  qdx::Desktop desktop(*session, dialogs, progress, clock, std::make_unique<qdx::QtSerialPort>(),
                       arguments);
  dialogs.SetParentWidget(&desktop.window());
  desktop.window().show();
  return app.exec();
}
