// qdx as scripts use it: options, exit codes, and the info / export output of real files.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "files/project_defaults.h"
#include "files/project_files.h"
#include "cli/cli_options.h"
#include "cli/output.h"
#include "model/records.h"

namespace qdx::cli {
namespace {

struct QdxRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

QdxRun RunQdx(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QDX_BIN_DIR "/qdx"), args);
  EXPECT_TRUE(p.waitForFinished(30000));
  return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

TEST(CliOptions, ParsesGlobalOptionsAndCommand) {
  const CommandLine line = ParseCommandLine(
      {"--port", "com3", "--baud", "115200", "--address", "247", "--module", "--codepage", "1",
       "--settings", "/tmp/s", "--trace", "/tmp/t.txt", "write", "p.qd3", "relays", "--reset"});
  EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
  EXPECT_EQ(line.global.portNumber, 3);
  EXPECT_FALSE(line.global.device.has_value());
  EXPECT_EQ(line.global.baudRate, 115200);
  EXPECT_EQ(line.global.address, 247);
  EXPECT_TRUE(line.global.module);
  EXPECT_EQ(line.global.codePage, 1);
  EXPECT_EQ(line.global.settingsDir, "/tmp/s");
  EXPECT_EQ(line.global.traceFile, "/tmp/t.txt");
  EXPECT_EQ(line.command, "write");
  EXPECT_EQ(line.arguments, (QStringList{"p.qd3", "relays"}));
  EXPECT_TRUE(line.reset);

  EXPECT_EQ(ParseCommandLine({"--port", "/dev/ttyUSB0", "status"}).global.device, "/dev/ttyUSB0");
  // "--" ends the options: a project file whose name starts with dashes.
  const CommandLine dashed = ParseCommandLine({"--module", "--", "info", "--odd.qd3"});
  EXPECT_TRUE(dashed.error.isEmpty()) << dashed.error.toStdString();
  EXPECT_EQ(dashed.arguments, QStringList{"--odd.qd3"});
  const CommandLine menu = ParseCommandLine({"menu", "read", "m.mpl", "--languages", "4,15"});
  EXPECT_TRUE(menu.error.isEmpty()) << menu.error.toStdString();
  EXPECT_EQ(menu.languages, (std::pair{4, 15}));
}

TEST(CliOptions, RejectsUnusableCommandLines) {
  const QList<QStringList> bad = {
      {},
      {"--port", "COM0", "status"},
      {"--port", "COM256", "status"},
      {"--baud", "4800", "status"},
      {"--address", "248", "status"},
      {"--address", "-1", "status"},
      {"--codepage", "4", "status"},
      {"--frobnicate", "status"},
      {"dance"},
      {"read", "p.qd3", "--reset"},
      {"status", "--port"},
      {"--port", "", "status"},
      {"--port", "COM-1", "status"},
      {"--port", "COM1x", "status"},
      {"--port", "com", "status"},
      {"--", "--module", "status"},  // after "--" an option is a command word
      {"menu", "read", "m.mpl", "--languages", "0,2"},
      {"menu", "read", "m.mpl", "--languages", "2,16"},
      {"menu", "read", "m.mpl", "--languages", "2"},
      {"status", "--languages", "2,3"},
  };
  for (const QStringList& args : bad)
    EXPECT_FALSE(ParseCommandLine(args).error.isEmpty()) << args.join(' ').toStdString();
}

TEST(CliExitCodes, UsageAndFileErrorsGiveTwo) {
  EXPECT_EQ(RunQdx({}).exitCode, kExitUsage);
  EXPECT_EQ(RunQdx({"dance"}).exitCode, kExitUsage);
  EXPECT_EQ(RunQdx({"info", "/nonexistent/x.qd3"}).exitCode, kExitUsage);
  EXPECT_EQ(RunQdx({"export"}).exitCode, kExitUsage);
  const QdxRun help = RunQdx({"--help"});
  EXPECT_EQ(help.exitCode, kExitOk);
  EXPECT_TRUE(help.out.contains("test-connection"));

  QTemporaryDir dir;
  const QString shortFile = dir.filePath("short.qd3");
  QFile f(shortFile);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(100, 'x'));
  f.close();
  const QdxRun r = RunQdx({"export", shortFile});
  EXPECT_EQ(r.exitCode, kExitUsage);
  EXPECT_TRUE(r.err.contains("short.qd3")) << r.err.toStdString();
}

// An old ".qdp" file: programs are numbered by position and have 30 steps whatever the
// file held.
TEST(CliOutput, ControlCharactersAreShownEscaped) {
  const struct {
    QString text, shown;
  } cases[] = {
      {"plain\tline\n", "plain\tline\n"},
      {QStringLiteral("A\x1B[2JB"), "A\\x1B[2JB"},
      {QStringLiteral("r\rx"), "r\\x0Dx"},
      {QString(QChar(0x7F)) + QChar(0x9B) + QChar(0xA0), QStringLiteral("\\x7F\\x9B") + QChar(0xA0)},
      {QStringLiteral("\u0436\u0105"), QStringLiteral("\u0436\u0105")},  // letters stay
  };
  for (const auto& c : cases) EXPECT_EQ(TerminalSafe(c.text), c.shown) << c.text.toStdString();

  // A program name holding an escape sequence, through qdx info and export.
  QTemporaryDir dir;
  auto blocks = std::make_unique<ProjectBlocks>();
  Program(blocks->image, 1).Name().SetBytes("EVIL\x1B[2J");
  const QString file = dir.filePath("p.qd3");
  ASSERT_TRUE(SaveProjectFile(*blocks, file).ok);
  const QdxRun info = RunQdx({"info", file});
  EXPECT_FALSE(info.out.contains('\x1B'));
  EXPECT_TRUE(info.out.contains("EVIL\\x1B[2J")) << info.out.toStdString();
  const QdxRun json = RunQdx({"export", file});
  EXPECT_FALSE(json.out.contains('\x1B'));
  EXPECT_EQ(QJsonDocument::fromJson(json.out)["programs"][0]["name"].toString(), "EVIL\x1B[2J");
}

TEST(CliExport, OldFormatProgramsAreNumberedByPositionWith30Steps) {
  QTemporaryDir dir;
  QByteArray qdp(285'488, '\0');
  for (int n = 0; n < 100; ++n) {
    const int off = 104 + n * 2708;
    const QByteArray name = "P" + QByteArray::number(n + 1);
    qdp[off] = static_cast<char>(name.size());
    qdp.replace(off + 1, name.size(), name);
    qdp[off + 2692] = static_cast<char>(77);  // a stale number the conversion must replace
  }
  const QString file = dir.filePath("OLD.QDP");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(qdp);
  f.close();

  const QdxRun r = RunQdx({"export", file});
  ASSERT_EQ(r.exitCode, kExitOk) << r.err.toStdString();
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonArray programs = doc["programs"].toArray();
  ASSERT_EQ(programs.size(), 100);
  for (int n = 1; n <= 100; ++n) {
    const QJsonObject p = programs[n - 1].toObject();
    EXPECT_EQ(p["number"].toInt(), n);
    EXPECT_EQ(p["stepCount"].toInt(), 30);
    EXPECT_EQ(p["steps"].toArray().size(), 30);
    EXPECT_EQ(p["name"].toString(), QStringLiteral("P%1").arg(n));
  }
  EXPECT_EQ(doc["specialStatuses"][0]["name"].toString(), "Stop mode");
}

// Every section is present in image order, texts are decoded from Windows-1250, and the
// side files are included.
TEST(CliExport, CurrentFormatWithSideFiles) {
  QTemporaryDir dir;
  auto blocks = std::make_unique<ProjectBlocks>();
  ApplyStartupDefaults(blocks->image);
  Relay(blocks->image, 7).Name().SetBytes(QByteArray("WENTYLATOR \xA3\xD3\x44\x8F"));
  Relay(blocks->image, 7).SetRegulatorOffset(-125);
  Program(blocks->image, 2).SetStepCount(50);
  Program(blocks->image, 2).Step(50).SetHours(3);
  qdx::Setup(blocks->image).SetWord(99, 900);
  qdx::Setup(blocks->image).SetParameter(26, 15);
  qdx::Setup(blocks->image).SetParameter(2, 1);
  Pid(blocks->pid, 5).SetProportionalBand(125.0);
  PasswordEntry(blocks->passwords, 1).SetBytes("12");
  const QString file = dir.filePath("p.qd3");
  ASSERT_TRUE(SaveProjectFile(*blocks, file).ok);

  const QdxRun r = RunQdx({"export", file});
  ASSERT_EQ(r.exitCode, kExitOk) << r.err.toStdString();
  const QJsonDocument doc = QJsonDocument::fromJson(r.out);
  const QStringList keys = {
      "header", "programs",        "washingProgram", "processes", "washingProcesses",
      "relays", "specialStatuses", "alarms",         "setup",     "setupParameters",
      "analogOutputs", "pid",      "passwords"};
  // Key order is part of the output's stability.
  qsizetype last = -1;
  for (const QString& k : keys) {
    const qsizetype at = r.out.indexOf("\"" + k.toUtf8() + "\"");
    EXPECT_GT(at, last) << k.toStdString();
    last = at;
  }
  const QJsonObject relay = doc["relays"][6].toObject();
  EXPECT_EQ(relay["name"].toString(), QString::fromUtf8("WENTYLATOR ŁÓDŹ"));
  EXPECT_EQ(relay["offsetTenths"].toInt(), -125);
  EXPECT_EQ(relay["number"].toInt(), 7);
  EXPECT_EQ(doc["programs"][1]["steps"].toArray().size(), 50);
  EXPECT_EQ(doc["programs"][1]["steps"][49]["hours"].toInt(), 3);
  EXPECT_EQ(doc["washingProgram"]["number"].toInt(), 101);
  EXPECT_EQ(doc["washingProgram"]["name"].toString(), "WASHING");
  EXPECT_EQ(doc["setup"]["programVersion"].toInt(), 900);
  // The parameters by name: number, name, stored word, value text.
  const QJsonArray parameters = doc["setupParameters"].toArray();
  ASSERT_EQ(parameters.size(), 97);
  const QJsonObject f26 = parameters[25].toObject();
  EXPECT_EQ(f26["parameter"].toInt(), 26);
  EXPECT_EQ(f26["name"].toString(), " CHAM.T.CORRECTION S");
  EXPECT_EQ(f26["word"].toInt(), 15);
  EXPECT_EQ(f26["text"].toString(), "1.5");
  EXPECT_EQ(parameters[1]["text"].toString(), "1 - 19200 [b/s]");
  EXPECT_EQ(doc["pid"][4]["proportionalBandXpTenthsPercent"].toDouble(), 125.0);
  EXPECT_EQ(doc["passwords"][0]["text"].toString(), "12");
  EXPECT_EQ(doc["relays"].toArray().size(), 32);
  EXPECT_EQ(doc["alarms"].toArray().size(), 21);
  EXPECT_EQ(doc["analogOutputs"].toArray().size(), 5);

  const QdxRun info = RunQdx({"info", file});
  ASSERT_EQ(info.exitCode, kExitOk);
  EXPECT_TRUE(info.out.contains("version (setup word 99): 900"));
  EXPECT_TRUE(info.out.contains(QString::fromUtf8("WENTYLATOR ŁÓDŹ").toUtf8()));
}

}  // namespace
}  // namespace qdx::cli
