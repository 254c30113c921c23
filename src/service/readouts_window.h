// "Readouts": the controller's live values, refreshed by the module's status poll two seconds
// after the previous poll ended, with a group that sets the controller's clock.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "model/dialogs.h"
#include "service/readouts.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace qdx {

class ReadoutsWindow : public QDialog {
  Q_OBJECT

 public:
  ReadoutsWindow(LinkOperations& ops, Dialogs& dialogs, QWidget* parent = nullptr);

  // The value boxes in the order of the window: date, time, chamber, core, humidity, smoke,
  // plate, wet detector, channels 6..12.
  static constexpr int kBoxCount = 15;
  QLineEdit* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
  QLabel* versionLine() const { return version_; }
  QLabel* recordingLine(int i) const { return recording_[static_cast<std::size_t>(i)]; }
  QLabel* transmission() const { return transmission_; }
  QLabel* statusLine() const { return status_; }
  QDateEdit* datePicker() const { return date_; }
  QTimeEdit* timePicker() const { return time_; }
  QPushButton* sendButton() const { return send_; }
  const QTimer& timer() const { return timer_; }

 public slots:
  // One refresh: the status poll, then the timer starts again.
  void Tick();
  // Sets the controller's clock from the pickers (seconds 0); the outcome in the status line.
  void OnSend();
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Activate();
  void Show(const ReadoutTexts& texts);
  void ShowLines(const ReadoutTexts& texts);  // the four recording lines
  void SetTransmitting(bool on);
  QWidget* BuildReadouts();
  QWidget* BuildClock();

  ReadoutsEngine engine_;
  Dialogs& dialogs_;
  QTimer timer_;
  bool activated_ = false;
  bool busy_ = false;  // the version read, a poll or the clock setting is running
  std::array<QLineEdit*, kBoxCount> boxes_{};
  std::array<QLabel*, 4> recording_{};
  QLabel* version_ = nullptr;
  QLabel* transmission_ = nullptr;
  QLabel* status_ = nullptr;
  QDateEdit* date_ = nullptr;
  QTimeEdit* time_ = nullptr;
  QPushButton* send_ = nullptr;
};

}  // namespace qdx
