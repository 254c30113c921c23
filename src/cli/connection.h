// The link as qdx's commands use it: a session built from the settings files and the command
// line, the serial port, the link with its operations, and dialogs that never ask anything.
// Every command that talks to the controller starts here.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "model/dialogs.h"
#include "app/session.h"
#include "files/settings.h"
#include "cli/cli_options.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/serial_port.h"

namespace qdx::cli {

// qdx never asks: a question is answered "No", a file dialog is cancelled. Every text it was
// asked to show is kept, in order, for the command to print.
class BatchDialogs : public Dialogs {
 public:
  void ShowLinkMessage(const QString& text) override;
  int AskYesNo(const QString& text) override;
  QString OpenFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  QString SaveFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  void ShowError(const QString& text) override;

  const QStringList& messages() const { return messages_; }
  const QStringList& questions() const { return questions_; }
  const QStringList& errors() const { return errors_; }
  // Every text shown so far, in order (messages, questions and errors together).
  const QStringList& all() const { return all_; }

 private:
  QStringList messages_;
  QStringList questions_;
  QStringList errors_;
  QStringList all_;
};

// qdx shows no progress window: the engines' progress goes nowhere and nothing is cancelled.
class QuietProgress : public Progress {
 public:
  void ShowProgress(int, int, const QString&) override {}
  bool CancelRequested() const override { return false; }
  void SetCancelRequested(bool) override {}
  void HideProgress() override {}
};

// The settings files to use: the folder of --settings as it is, else as the application does
// (the program's folder, the user's configuration folder where that cannot be written).
SettingsFolders ChooseSettingsFolders(const GlobalOptions& options, const QString& programDir,
                                      const QString& userConfigDir);

// What the command line and the settings files decide together.
struct ConnectionChoice {
  LinkSettings link;
  int stationAddress = 1;
  bool module = false;
  int codePage = 0;
};

// Options given on the command line win. Port, speed and address not given come from the
// main window's last connection (setupQDXust.ini), whose own defaults are COM1, 38400 baud and
// address 1; the code page comes from StronaKodowa. The module path is used only with --module,
// so a script never changes its path because someone ticked the box in the window.
ConnectionChoice ChooseConnection(const GlobalOptions& options, const ConnectionFields& saved,
                                  const AppSettings& settings);

// Without XDG_RUNTIME_DIR (cron, some ssh sessions) Qt falls back to a folder of its own and
// warns on every start; scripts would see that on standard error. This points the variable at
// that same folder first, so emulator ports are still found there, without the warning.
void UseDefaultRuntimeFolder();

class Connection {
 public:
  // Reads both settings files from folders and applies the options. A settings file that
  // exists but cannot be read, or a --settings folder that does not exist, gives nullptr and
  // the reason in *error (a file error: exit code 2). port and clock default to the real ones.
  static std::unique_ptr<Connection> Create(const GlobalOptions& options,
                                            const SettingsFolders& folders, QString* error,
                                            std::unique_ptr<SerialPort> port = nullptr,
                                            Clock* clock = nullptr);
  // As the program runs: the settings of --settings, else those the desktop application
  // uses (next to the executable, or the user's configuration folder of SetupQDX).
  static std::unique_ptr<Connection> ForProgram(const GlobalOptions& options, QString* error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Session& session() { return *session_; }
  Link& link() { return *link_; }
  LinkOperations& operations() { return *operations_; }
  BatchDialogs& dialogs() { return dialogs_; }
  const ConnectionChoice& choice() const { return choice_; }

  // The port as the user knows it, with the device behind it: "COM3 (/dev/ttyUSB0)", or a
  // device path given directly.
  QString PortName() const;
  // Who was talked to: "station 1 on COM3 (/dev/ttyUSB0) at 38400 baud".
  QString Endpoint() const;
  // Why an operation failed, for the user: the result's meaning, the station and port, and
  // for a port that could not be used the reason and what to do about it.
  QString FailureText(LinkResult result) const;

 private:
  Connection() = default;

  std::unique_ptr<Session> session_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<Link> link_;
  std::unique_ptr<LinkOperations> operations_;
  BatchDialogs dialogs_;
  ConnectionChoice choice_;
};

}  // namespace qdx::cli
