// What the readouts window shows and does, without widgets: the controller's live values as
// texts, the status poll that refreshes them, the program version read at opening, and the
// clock setting on the module path that the window's "Send" and `qdx clock` share.
#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

#include "link/operations.h"
#include "model/dialogs.h"

namespace qdx {

inline constexpr int kReadoutsPeriodMs = 2000;
inline const QString kProgramVersionLine = QStringLiteral("Program version");
inline const QString kClockAnswerNeverReady =
    QStringLiteral("the controller's answer never became ready");

// The value boxes and recording lines of the readouts window, formatted.
struct ReadoutTexts {
  QString date;  // dd-mm-yyyy
  QString time;  // hh-mm-ss
  QString chamber;
  QString core;
  QString humidity;
  QString smoke;
  QString plate;
  QString wetBulb;
  std::array<QString, 7> channels;  // measured values 6..12
  QString lastRecording;
  QString previousRecording;
  QString recordingCounter;
  QString recordingInterlock;
};

// One decimal right-aligned in 8 characters; -200000 and below (no reading) as "  XXX.X".
QString ReadoutReal(double value);
// Right-aligned in 6 characters; 200 (no reading) as "    XX".
QString ReadoutHumidity(int percent);
ReadoutTexts FormatReadouts(const ControllerStatus& status);
// "Program version:  900", or the bare caption when the version could not be read.
QString ProgramVersionText(std::optional<int> version);

// How setting the controller clock ended.
struct ClockResult {
  enum Stage { Set, PostFailed, NotReady, FetchFailed } stage = Set;
  LinkResult link = kLinkOk;  // the failing operation's result

  bool ok() const { return stage == Set; }
};

// The moment the clock is set to: the date and the hour and minute; the seconds are 0.
QDateTime ClockMoment(const QDate& date, const QTime& time);

// The link side of the readouts window. Every call first takes the main window's connection
// fields.
class ReadoutsEngine {
 public:
  explicit ReadoutsEngine(LinkOperations& ops) : ops_(ops) {}

  // The module's status; nothing when the poll failed.
  std::optional<ControllerStatus> Poll();
  // Word 99 of the controller's setup block; "No communication" and nothing on failure.
  std::optional<int> ReadProgramVersion(Dialogs& dialogs);
  // Posts the date, hour and minute (seconds 0), waits for the module's answer and fetches
  // the controller's reply.
  ClockResult SetClock(const QDate& date, const QTime& time);

 private:
  LinkOperations& ops_;
};

// For the window's status line: "Clock set to 2024-03-01 08:05" or "Clock not set: ...".
QString ClockResultText(const ClockResult& result, const QDateTime& moment);

}  // namespace qdx
