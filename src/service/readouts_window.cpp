#include "service/readouts_window.h"

#include <QApplication>
#include <QDateEdit>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace qdx {
namespace {

const char* const kBoxCaptions[ReadoutsWindow::kBoxCount] = {
    "Date",        "Time",        "Chamber temp.", "Core temp.", "Humidity",
    "Smoke temp.", "Plate temp.", "Wet detector",  " 6 ",        " 7 ",
    " 8 ",         " 9 ",         " 10 ",          " 11 ",       " 12  "};

// Boxes of the first column; the rest go to the second.
constexpr int kFirstColumnBoxes = 8;

const QColor kLime(0x00, 0xFF, 0x00);

}  // namespace

ReadoutsWindow::ReadoutsWindow(LinkOperations& ops, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), engine_(ops), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Readouts"));
  timer_.setSingleShot(true);
  timer_.setInterval(kReadoutsPeriodMs);
  connect(&timer_, &QTimer::timeout, this, &ReadoutsWindow::Tick);

  status_ = new QLabel(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildReadouts());
  layout->addWidget(BuildClock());
  layout->addWidget(status_);
  ShowLines(FormatReadouts({}));  // the boxes stay empty until the first poll
}

QWidget* ReadoutsWindow::BuildReadouts() {
  auto* group = new QGroupBox(QStringLiteral("Readouts"), this);
  auto* layout = new QVBoxLayout(group);
  version_ = new QLabel(kProgramVersionLine, group);
  layout->addWidget(version_);
  for (QLabel*& line : recording_) {
    line = new QLabel(group);
    layout->addWidget(line);
  }

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  auto* columns = new QHBoxLayout;
  QFormLayout* form = nullptr;
  for (int i = 0; i < kBoxCount; ++i) {
    if (i == 0 || i == kFirstColumnBoxes) {
      form = new QFormLayout;
      columns->addLayout(form);
    }
    auto* box = new QLineEdit(group);
    box->setReadOnly(true);
    box->setFont(fixed);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00-00-0000")) + 12);
    form->addRow(QString::fromLatin1(kBoxCaptions[i]), box);
    boxes_[static_cast<std::size_t>(i)] = box;
  }
  layout->addLayout(columns);

  transmission_ = new QLabel(QStringLiteral("Transmission"), group);
  transmission_->setAlignment(Qt::AlignCenter);
  transmission_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  transmission_->setAutoFillBackground(true);
  layout->addWidget(transmission_);
  return group;
}

QWidget* ReadoutsWindow::BuildClock() {
  auto* group = new QGroupBox(QStringLiteral("Date"), this);
  auto* layout = new QHBoxLayout(group);
  date_ = new QDateEdit(group);
  date_->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
  date_->setCalendarPopup(true);
  time_ = new QTimeEdit(group);
  time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  send_ = new QPushButton(QStringLiteral("Send"), group);
  send_->setAutoDefault(false);
  connect(send_, &QPushButton::clicked, this, &ReadoutsWindow::OnSend);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Date"), date_);
  form->addRow(QStringLiteral("Time"), time_);
  layout->addLayout(form);
  layout->addWidget(send_, 0, Qt::AlignBottom);
  return group;
}

void ReadoutsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Activate();
  }
}

void ReadoutsWindow::Activate() {
  busy_ = true;
  version_->setText(ProgramVersionText(engine_.ReadProgramVersion(dialogs_)));
  busy_ = false;
  const QDateTime now = QDateTime::currentDateTime();
  date_->setDate(now.date());
  time_->setTime(now.time());
  SetTransmitting(true);
  timer_.start();
}

void ReadoutsWindow::Show(const ReadoutTexts& t) {
  const QString values[kBoxCount] = {t.date,        t.time,        t.chamber,     t.core,
                                     t.humidity,    t.smoke,       t.plate,       t.wetBulb,
                                     t.channels[0], t.channels[1], t.channels[2], t.channels[3],
                                     t.channels[4], t.channels[5], t.channels[6]};
  for (int i = 0; i < kBoxCount; ++i) boxes_[static_cast<std::size_t>(i)]->setText(values[i]);
  ShowLines(t);
}

void ReadoutsWindow::ShowLines(const ReadoutTexts& t) {
  const QString lines[] = {t.lastRecording, t.previousRecording, t.recordingCounter,
                           t.recordingInterlock};
  for (std::size_t i = 0; i < recording_.size(); ++i) recording_[i]->setText(lines[i]);
}

void ReadoutsWindow::SetTransmitting(bool on) {
  QPalette palette = transmission_->palette();
  palette.setColor(QPalette::Window, on ? kLime : QApplication::palette().button().color());
  transmission_->setPalette(palette);
  transmission_->repaint();
}

void ReadoutsWindow::Tick() {
  if (busy_) return;
  busy_ = true;
  timer_.stop();
  SetTransmitting(true);
  // A failed poll leaves the values as they were.
  if (const std::optional<ControllerStatus> status = engine_.Poll()) Show(FormatReadouts(*status));
  SetTransmitting(false);
  busy_ = false;
  if (isVisible()) timer_.start();
}

void ReadoutsWindow::OnSend() {
  if (busy_) return;
  busy_ = true;
  timer_.stop();
  send_->setEnabled(false);
  const ClockResult result = engine_.SetClock(date_->date(), time_->time());
  status_->setText(ClockResultText(result, ClockMoment(date_->date(), time_->time())));
  send_->setEnabled(true);
  busy_ = false;
  if (isVisible()) timer_.start();
}

void ReadoutsWindow::done(int result) {
  if (busy_) return;  // the module wait lets a click through; close once it ended
  timer_.stop();
  QDialog::done(result);
}

}  // namespace qdx
