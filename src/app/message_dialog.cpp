#include "app/message_dialog.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace qdx {

namespace {

constexpr Qt::WindowFlags kMessageFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                          Qt::WindowStaysOnTopHint;

QRect AvailableScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->availableGeometry();
  return QRect(0, 0, 1024, 768);
}

// The text's size as the label will draw it. A text wider than most of the screen wraps at
// word boundaries instead of running off the screen.
QSize TextSize(QLabel* label, const QString& text) {
  const QFontMetrics fm(label->font());
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
  QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), flags, text);
  const int maxWidth = AvailableScreen().width() * 4 / 5;
  if (r.width() > maxWidth) {
    r = fm.boundingRect(QRect(0, 0, maxWidth, 100000), flags | Qt::TextWordWrap, text);
    label->setWordWrap(true);
  }
  return QSize(std::max(r.width(), 1), std::max(r.height(), fm.height()));
}

QSize ButtonSize(const QPushButton* button) {
  const QSize hint = button->sizeHint();
  return QSize(std::max(hint.width(), 75), std::max(hint.height(), 25));
}

QLabel* MakeLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  label->setText(text);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

void SetUpWindow(QDialog* dialog) {
  dialog->setWindowFlags(kMessageFlags);
  dialog->setWindowTitle(QString());
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setModal(true);
}

void CentreOnScreen(QWidget* window) {
  const QRect screen = AvailableScreen();
  window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
}

}  // namespace

MessageDialog::MessageDialog(const QString& text, QWidget* parent) : QDialog(parent) {
  SetUpWindow(this);
  label_ = MakeLabel(text, this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  const QSize t = TextSize(label_, text);
  const QSize b = ButtonSize(ok_);
  const int width = std::max(t.width() + 20, b.width() + 10);
  const int height = t.height() + b.height() + 30;
  setFixedSize(width, height);
  ok_->setGeometry((width - b.width()) / 2, height - 5 - b.height(), b.width(), b.height());
  // The text's top sits at half the distance between the button's top and the bottom edge.
  label_->setGeometry((width - t.width()) / 2, (b.height() + 5) / 2, t.width(), t.height());
  CentreOnScreen(this);
}

QuestionDialog::QuestionDialog(const QString& text, QWidget* parent) : QDialog(parent) {
  SetUpWindow(this);
  label_ = MakeLabel(text, this);
  yes_ = new QPushButton(QStringLiteral("Yes"), this);
  no_ = new QPushButton(QStringLiteral("No"), this);
  yes_->setAutoDefault(false);
  no_->setAutoDefault(false);
  connect(yes_, &QPushButton::clicked, this, [this] { done(kAnswerYes); });
  connect(no_, &QPushButton::clicked, this, [this] { done(kAnswerNo); });

  const QSize t = TextSize(label_, text);
  QSize b = ButtonSize(yes_).expandedTo(ButtonSize(no_));
  int width = std::max(t.width() + 20, 2 * b.width() + 20);
  const int height = t.height() + b.height() + 30;
  // Both buttons with a gap of 5 centred; the width then follows from where "Yes" sits.
  const int yesLeft = (width - (2 * b.width() + 5)) / 2;
  width = 2 * yesLeft + 2 * b.width() + 6;
  setFixedSize(width, height);
  const int top = height - 5 - b.height();
  yes_->setGeometry(yesLeft, top, b.width(), b.height());
  no_->setGeometry(yesLeft + b.width() + 5, top, b.width(), b.height());
  label_->setGeometry((width - t.width()) / 2, (b.height() + 5) / 2, t.width(), t.height());
  setTabOrder(yes_, no_);
  yes_->setFocus();
  CentreOnScreen(this);
}

int QuestionDialog::Ask() {
  return exec() == kAnswerYes ? kAnswerYes : kAnswerNo;
}

void ShowLinkMessage(const QString& text, QWidget* parent) {
  MessageDialog dialog(text, parent);
  dialog.exec();
}

int AskYesNo(const QString& text, QWidget* parent) {
  QuestionDialog dialog(text, parent);
  return dialog.Ask();
}

void DesktopDialogs::ShowLinkMessage(const QString& text) {
  qdx::ShowLinkMessage(text);
}

int DesktopDialogs::AskYesNo(const QString& text) {
  return qdx::AskYesNo(text);
}

QString DesktopDialogs::OpenFileName(const QString& dir, const QString& filter,
                                     const QString& defaultSuffix) {
  QFileDialog dialog(parent_, QStringLiteral("Open"), dir, filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

QString DesktopDialogs::SaveFileName(const QString& dir, const QString& filter,
                                     const QString& defaultSuffix) {
  QFileDialog dialog(parent_, QStringLiteral("Save as"), dir, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(defaultSuffix);  // the dialog asks before it overwrites a file
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

void DesktopDialogs::ShowError(const QString& text) {
  qdx::ShowLinkMessage(text);
}

}  // namespace qdx
