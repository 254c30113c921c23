#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qdx {

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent) {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setWindowTitle(QString());
  setObjectName(QStringLiteral("ProgressWindow"));

  text_ = new QLabel(this);
  text_->setTextFormat(Qt::PlainText);
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelRequested_ = true; });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(8);
  layout->addWidget(text_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  setFixedSize(360, sizeHint().height());
}

void ProgressWindow::ShowProgress(int position, int maximum, const QString& text) {
  bar_->setMaximum(maximum);
  bar_->setValue(position);
  text_->setText(text);
  if (!isVisible()) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    show();
  }
  raise();
  QCoreApplication::processEvents();
}

void ProgressWindow::showEvent(QShowEvent* event) {
  ++timesShown_;
  QWidget::showEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (!event->spontaneous()) {
    QWidget::closeEvent(event);
    return;
  }
  cancelRequested_ = true;
  event->ignore();
}

}  // namespace qdx
