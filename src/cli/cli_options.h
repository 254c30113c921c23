// Command line of qdx: global options, one command and its arguments.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace qdx::cli {

// Exit codes, stable for scripts.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDifference = 1;
inline constexpr int kExitUsage = 2;  // usage or file error
inline constexpr int kExitLink = 3;   // communication failure, refusal or answer never ready

struct GlobalOptions {
  std::optional<int> portNumber;  // --port COMn: 1..255
  std::optional<QString> device;  // --port /dev/...: used as it is
  std::optional<int> baudRate;    // 9600, 19200, 38400 or 115200
  std::optional<int> address;     // 0..247
  bool module = false;
  std::optional<int> codePage;  // 0..3
  QString settingsDir;          // empty: the program's folder
  QString traceFile;            // empty: no trace
};

struct CommandLine {
  GlobalOptions global;
  QString command;
  QStringList arguments;  // positional arguments after the command
  bool reset = false;     // write --reset
  // menu --languages K1,K2: the first and second selected language (1..15).
  std::optional<std::pair<int, int>> languages;
  bool help = false;
  bool version = false;  // --version: print the version and stop
  QString error;  // non-empty when the command line is unusable
};

CommandLine ParseCommandLine(const QStringList& arguments);  // without the program name
QString UsageText();

}  // namespace qdx::cli
