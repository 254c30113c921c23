#include "service/passwords_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "config/section_transfer.h"
#include "model/password_entry.h"

namespace qdx {
namespace {

// Passwords travel without conversion: each byte is the Latin-1 character it shows.
QString EntryText(const PasswordBlock& block, int n) {
  return QString::fromLatin1(PasswordEntry(block, n).Bytes());
}

}  // namespace

QString PasswordEntryLabel(int n) {
  static const char* const kPasswordLabels[] = {"Programming",
                                                "User functions",
                                                "Service functions 1",
                                                "Service functions 2",
                                                "Wash programming",
                                                "Washing start",
                                                ""};
  if (n < 1 || n > passwords::kEntryCount) return {};
  if (n >= passwords::kFirstUserNameEntry)
    return QStringLiteral("User name %1").arg(n - passwords::kFirstUserNameEntry + 1);
  return QString::fromLatin1(kPasswordLabels[n - 1]);
}

PasswordsWindow::PasswordsWindow(SectionWindowContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      block_(context.session.blocks.passwords),
      grid_(new QTableWidget(passwords::kEntryCount, 2, this)) {
  setWindowTitle(QStringLiteral("Passwords"));
  grid_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Passwords")});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->setColumnWidth(0, 170);
  grid_->horizontalHeader()->setStretchLastSection(true);
  for (int n = 1; n <= passwords::kEntryCount; ++n) {
    auto* label = new QTableWidgetItem(PasswordEntryLabel(n));
    label->setFlags(label->flags() & ~Qt::ItemIsEditable);
    grid_->setItem(n - 1, 0, label);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  const std::pair<QString, void (PasswordsWindow::*)()> actions[] = {
      {QStringLiteral("Read"), &PasswordsWindow::OnRead},
      {QStringLiteral("Send"), &PasswordsWindow::OnSend},
      {QStringLiteral("Close"), &QDialog::reject}};
  for (const auto& [text, slot] : actions) {
    auto* b = new QPushButton(text, this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  layout->addLayout(buttons);
  resize(360, 620);
  Refill();
}

void PasswordsWindow::Refill() {
  for (int n = 1; n <= passwords::kEntryCount; ++n) {
    grid_->setItem(n - 1, 1, new QTableWidgetItem(EntryText(block_, n)));
  }
}

QString PasswordsWindow::CellText(int n) const {
  const QTableWidgetItem* item = grid_->item(n - 1, 1);
  return item ? item->text() : QString();
}

void PasswordsWindow::StoreTypedEntries() {
  for (int n = 1; n <= passwords::kEntryCount; ++n) {
    PasswordEntry(block_, n).SetBytes(CellText(n).toLatin1());
  }
}

bool PasswordsWindow::HasUnsentEdits() const {
  for (int n = 1; n <= passwords::kEntryCount; ++n) {
    if (CellText(n) != EntryText(block_, n)) return true;
  }
  return false;
}

void PasswordsWindow::OnRead() {
  // The read zeroes the whole block it fills, but the controller sends only the entries: the
  // bytes after them keep what the project holds.
  const auto unused = block_.bytes().subspan<passwords::kUnusedOffset>();
  const std::vector<std::uint8_t> kept(unused.begin(), unused.end());
  context_.transfer.ReadPasswords(block_.bytes());
  std::copy(kept.begin(), kept.end(), unused.begin());
  Refill();  // after a failed read: the block as it was before
}

void PasswordsWindow::OnSend() {
  StoreTypedEntries();
  context_.transfer.SendPasswords(block_.bytes());
  Refill();  // the entries as they were normalised and sent
}

void PasswordsWindow::done(int result) {
  if (context_.transfer.Running()) return;
  // Typed entries are kept only by "Send"; closing over them loses them, so ask first.
  if (HasUnsentEdits() && context_.dialogs.AskYesNo(kDiscardPasswordEdits) != kAnswerYes) return;
  context_.session.blocks.passwords = block_;
  QDialog::done(result);
}

}  // namespace qdx
