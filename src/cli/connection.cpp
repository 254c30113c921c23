#include "cli/connection.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/connection_settings.h"
#include "link/port_names.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"

namespace qdx::cli {

void BatchDialogs::ShowLinkMessage(const QString& text) {
  messages_ << text;
  all_ << text;
}

int BatchDialogs::AskYesNo(const QString& text) {
  questions_ << text;
  all_ << text;
  return kAnswerNo;
}

QString BatchDialogs::OpenFileName(const QString&, const QString&, const QString&) {
  return {};
}

QString BatchDialogs::SaveFileName(const QString&, const QString&, const QString&) {
  return {};
}

void BatchDialogs::ShowError(const QString& text) {
  errors_ << text;
  all_ << text;
}

SettingsFolders ChooseSettingsFolders(const GlobalOptions& options, const QString& programDir,
                                      const QString& userConfigDir) {
  // A folder named on the command line is used as it is: a script that names it wants those
  // files and no others.
  if (!options.settingsDir.isEmpty()) return {QDir(options.settingsDir).absolutePath(), {}};
  return {programDir, userConfigDir};
}

ConnectionChoice ChooseConnection(const GlobalOptions& options, const ConnectionFields& saved,
                                  const AppSettings& settings) {
  ConnectionChoice choice;
  ApplyConnectionFields(saved, choice.link, choice.stationAddress);
  if (options.device) {
    choice.link.device = *options.device;
  } else if (options.portNumber) {
    choice.link.portIndex = *options.portNumber - 1;
  }
  if (options.baudRate) {
    switch (*options.baudRate) {
      case 9600:
        choice.link.baudCode = kBaud9600;
        break;
      case 19200:
        choice.link.baudCode = kBaud19200;
        break;
      case 115200:
        choice.link.baudCode = kBaud115200;
        break;
      default:
        choice.link.baudCode = kBaud38400;
        break;
    }
  }
  if (options.address) choice.stationAddress = *options.address;
  choice.module = options.module;
  choice.codePage = options.codePage.value_or(settings.stronaKodowa);
  return choice;
}

void UseDefaultRuntimeFolder() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const struct passwd* user = ::getpwuid(::geteuid());
  if (!user) return;
  const QString folder =
      QDir::tempPath() + QStringLiteral("/runtime-") + QString::fromLocal8Bit(user->pw_name);
  // Qt accepts the folder only when it is the user's own and closed to others.
  if (!QDir().mkpath(folder) ||
      !QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser)) {
    return;
  }
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

std::unique_ptr<Connection> Connection::Create(const GlobalOptions& options,
                                               const SettingsFolders& folders, QString* error,
                                               std::unique_ptr<SerialPort> port, Clock* clock) {
  if (!options.settingsDir.isEmpty() && !QFileInfo(folders.programDir).isDir()) {
    if (error) *error = QStringLiteral("%1: no such folder").arg(options.settingsDir);
    return nullptr;
  }
  std::unique_ptr<Connection> c(new Connection);
  c->session_ = std::make_unique<Session>();
  Session& s = *c->session_;
  s.programDir = folders.programDir;
  s.writableDir = folders.writableDir;

  QString readError;
  s.settings = ReadAppSettings(folders, &readError);
  if (!readError.isEmpty()) {
    if (error) *error = readError;
    return nullptr;
  }
  const ConnectionFields saved = ReadConnectionFields(folders, &readError);
  if (!readError.isEmpty()) {
    if (error) *error = readError;
    return nullptr;
  }
  c->choice_ = ChooseConnection(options, saved, s.settings);
  s.link = c->choice_.link;
  s.stationAddress = c->choice_.stationAddress;
  s.moduleFlag = c->choice_.module;
  s.codePageIndex = c->choice_.codePage;
  s.ileBlokProgram = s.settings.ileBlokProgram;

  if (!clock) {
    c->ownClock_ = std::make_unique<SystemClock>();
    clock = c->ownClock_.get();
  }
  if (!port) port = std::make_unique<QtSerialPort>();
  c->link_ = std::make_unique<Link>(std::move(port), *clock, s.settings);
  if (!options.traceFile.isEmpty()) {
    // The link ignores trace errors, as it must during a transfer; a script asking for a
    // trace learns at once that there will be none.
    QFile trace(options.traceFile);
    if (!trace.open(QIODevice::WriteOnly | QIODevice::Append)) {
      if (error) {
        *error = QStringLiteral("%1: the trace cannot be written: %2")
                     .arg(options.traceFile, trace.errorString());
      }
      return nullptr;
    }
    trace.close();
    s.traceEnabled = true;
    c->link_->SetTraceFile(options.traceFile);
  }
  c->operations_ = std::make_unique<LinkOperations>(*c->link_, s);
  return c;
}

std::unique_ptr<Connection> Connection::ForProgram(const GlobalOptions& options, QString* error) {
  // The desktop application's configuration folder: it sets no organisation, so its
  // folder is the generic one plus its name, whatever this program is called.
  const QString userConfig =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
      QStringLiteral("/SetupQDX");
  return Create(options,
                ChooseSettingsFolders(options, QCoreApplication::applicationDirPath(), userConfig),
                error);
}

Connection::~Connection() {
  // The operations refer to the link, the link to the session's settings.
  operations_.reset();
  link_.reset();
}

QString Connection::PortName() const {
  const LinkSettings& link = session_->link;
  if (!link.device.isEmpty()) return link.device;
  const PortTarget target = ResolvePortTarget(link, session_->settings);
  return QStringLiteral("%1 (%2)").arg(ComPortName(link.portIndex), target.device);
}

QString Connection::Endpoint() const {
  return QStringLiteral("station %1 on %2 at %3 baud")
      .arg(session_->stationAddress)
      .arg(PortName())
      .arg(BaudRateOfCode(session_->link.baudCode));
}

QString Connection::FailureText(LinkResult result) const {
  QString text = QStringLiteral("no communication with %1: %2 (result %3)")
                     .arg(Endpoint(), LinkResultText(result, {}, LinkResultWording::Explained))
                     .arg(LinkResultNumber(result));
  if (result == kLinkPortFailed && !link_->LastPortErrorText().isEmpty()) {
    text += QStringLiteral("\n%1").arg(link_->LastPortErrorText());
  }
  return text;
}

}  // namespace qdx::cli
