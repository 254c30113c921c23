#include "app/desktop_window.h"

#include <QCoreApplication>

#include "config/alarm_list_window.h"
#include "config/analog_output_list_window.h"
#include "config/pid_list_window.h"
#include "config/process_list_window.h"
#include "config/program_editor.h"
#include "config/program_list_window.h"
#include "config/relay_list_window.h"
#include "config/special_status_list_window.h"
#include "panel/menu_window.h"
#include "service/passwords_window.h"
#include "service/readouts_window.h"
#include "service/setup_window.h"
#include "transfer/read_project_window.h"
#include "transfer/send_project_window.h"

namespace qdx {

namespace {

void PumpEvents() {
  QCoreApplication::processEvents();
}

}  // namespace

// The link reads the settings live: they are filled when the main window is first shown.
Desktop::Desktop(Session& session, Dialogs& dialogs, Progress& progress, Clock& clock,
                 std::unique_ptr<SerialPort> port, const StartupArguments& arguments)
    : port_(nullptr),
      // The link owns the watched port; port_ keeps its address for the window.
      link_([&] {
        auto watched = std::make_unique<WatchedSerialPort>(std::move(port));
        port_ = watched.get();
        return Link(std::move(watched), clock, session.settings);
      }()),
      operations_(link_, session),
      sectionTransfer_(session, operations_, dialogs, progress, PumpEvents),
      sections_{session, sectionTransfer_, dialogs},
      window_(session, dialogs, progress) {
  if (arguments.trace) {
    link_.SetTraceFile(session.settingsFolders().WritePath(QStringLiteral("trans.txt")));
  }
  operations_.SetEventPump(PumpEvents);
  // Watched, so that the status line follows every open and failure of the port.
  window_.AttachLink(link_, operations_, port_);
  PlugInWindows(session, dialogs);
  window_.SetStartupArguments(arguments);
}

void Desktop::PlugInWindows(Session& session, Dialogs& dialogs) {
  TForm1::Hooks& hooks = window_.hooks();
  hooks.writeToController = [this, &session, &dialogs] {
    SendProjectWindow send(session, operations_, dialogs, &window_);
    send.exec();
  };
  hooks.readFromController = [this, &session, &dialogs] {
    ReadProjectWindow read(session, operations_, dialogs, &window_);
    read.exec();
  };
  // The section list windows move their sections through one transfer engine.
  hooks.editors[int(Editor::Relays)] = [this] { OpenRelayList(sections_, &window_); };
  hooks.editors[int(Editor::Alarms)] = [this] { OpenAlarmList(sections_, &window_); };
  hooks.editors[int(Editor::SpecialStatuses)] = [this] {
    OpenSpecialStatusList(sections_, &window_);
  };
  hooks.editors[int(Editor::AnalogOut)] = [this] { OpenAnalogOutputList(sections_, &window_); };
  hooks.editors[int(Editor::Pid)] = [this] { OpenPidList(sections_, &window_); };
  hooks.editors[int(Editor::Processes)] = [this] {
    OpenProcessList(sections_, ProcessSet::Normal, &window_);
  };
  hooks.editors[int(Editor::ProcessesWashing)] = [this] {
    OpenProcessList(sections_, ProcessSet::Washing, &window_);
  };
  hooks.editors[int(Editor::Programs)] = [this] { OpenProgramList(sections_, &window_); };
  hooks.editors[int(Editor::ProgramWashing)] = [this] { EditWashingProgram(sections_, &window_); };
  hooks.editors[int(Editor::Setup)] = [this] {
    SetupWindow(sections_, [this](QWidget* over) { PasswordsWindow(sections_, over).exec(); },
                &window_)
        .exec();
  };
  hooks.editors[int(Editor::Readouts)] = [this, &dialogs] {
    ReadoutsWindow(operations_, dialogs, &window_).exec();
  };
  hooks.setLanguages = [this, &session, &dialogs] {
    MenuWindow(operations_, dialogs, window_.progress(), session.settingsFolders(), &window_)
        .exec();
  };
}

}  // namespace qdx
