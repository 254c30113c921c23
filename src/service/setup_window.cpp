#include "service/setup_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "config/section_transfer.h"
#include "files/record_file.h"
#include "model/setup_block.h"
#include "service/parameter_catalogue.h"
#include "service/parameter_edit_dialog.h"

namespace qdx {
namespace {

const QString kSetupFilter = QStringLiteral("QDX (*.qds)");
const QString kSetupSuffix = QStringLiteral("qds");

QString RowLabel(int n) {
  return QString::asprintf(" F%02d", n);
}

}  // namespace

SetupWindow::SetupWindow(SectionWindowContext& context, OpenPasswords openPasswords,
                         QWidget* parent)
    : QDialog(parent),
      context_(context),
      list_(new QTableWidget(kParameterCount, 3, this)),
      version_(new QLabel(this)),
      openPasswords_(std::move(openPasswords)) {
  setWindowTitle(QStringLiteral("Setup"));
  const ConstSetupBlock project = Setup(std::as_const(context_.session.blocks.image));
  std::copy_n(project.data(), copy_.size(), copy_.begin());

  list_->horizontalHeader()->hide();
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (const auto& [column, width] : {std::pair{0, 40}, std::pair{1, 360}, std::pair{2, 260}}) {
    list_->setColumnWidth(column, width);
  }
  list_->installEventFilter(this);
  connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditRow(row); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(version_);
  buttons->addStretch();
  for (QPushButton* b : {AddButton(QStringLiteral("Open"), &SetupWindow::OnOpen),
                         AddButton(QStringLiteral("Save"), &SetupWindow::OnSave),
                         AddButton(QStringLiteral("Read"), &SetupWindow::OnRead),
                         AddButton(QStringLiteral("Send"), &SetupWindow::OnSend)}) {
    buttons->addWidget(b);
  }
  passwords_ = new QPushButton(QStringLiteral("Passwords"), this);
  passwords_->setAutoDefault(false);
  passwords_->setEnabled(static_cast<bool>(openPasswords_));
  connect(passwords_, &QPushButton::clicked, this, [this] { openPasswords_(this); });
  buttons->addWidget(passwords_);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  resize(720, 560);
  Refill();
  list_->selectRow(0);
}

QPushButton* SetupWindow::AddButton(const QString& text, void (SetupWindow::*slot)()) {
  auto* b = new QPushButton(text, this);
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, slot);
  return b;
}

void SetupWindow::Refill() {
  for (int row = 0; row < kParameterCount; ++row) RefillRow(row);
  version_->setText(QStringLiteral("v.") +
                    QString::number(ConstSetupBlock(copy_.data()).ProgramVersion()));
}

void SetupWindow::RefillRow(int row) {
  const int n = row + 1;
  const QString texts[] = {RowLabel(n), ParameterName(n),
                           ParameterValueText(n, ConstSetupBlock(copy_.data()).Parameter(n))};
  for (int column = 0; column < 3; ++column) {
    list_->setItem(row, column, new QTableWidgetItem(texts[column]));
  }
}

void SetupWindow::EditRow(int row) {
  if (row < 0 || row >= kParameterCount) return;
  const SetupBlock block(copy_.data());
  const int n = row + 1;
  ParameterEditDialog dialog(n, block.Parameter(n), this);
  if (const std::optional<std::int16_t> value = dialog.Edit()) {
    block.SetParameter(n, *value);
    RefillRow(row);
  }
}

void SetupWindow::OnOpen() {
  const QString name = context_.dialogs.OpenFileName(QString(), kSetupFilter, kSetupSuffix);
  if (name.isEmpty()) return;
  // The copy changes only when a whole block was read.
  if (const FileResult r = ReadRecordFile(name, copy_); !r) {
    context_.dialogs.ShowError(r.error);
    return;
  }
  Refill();
}

void SetupWindow::OnSave() {
  const QString name = context_.dialogs.SaveFileName(QString(), kSetupFilter, kSetupSuffix);
  if (name.isEmpty()) return;
  const QByteArrayView bytes(copy_.data(), static_cast<qsizetype>(copy_.size()));
  if (const FileResult r = WriteFilesAtomically({{name, bytes}}); !r) {
    context_.dialogs.ShowError(r.error);
  }
}

void SetupWindow::OnRead() {
  if (context_.transfer.ReadSetup(copy_).completed()) Refill();
}

void SetupWindow::OnSend() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  context_.transfer.SendSetup(copy_);
  QApplication::restoreOverrideCursor();
}

void SetupWindow::done(int result) {
  // Never while a transfer of this window runs; then the copy goes back into the project.
  if (context_.transfer.Running()) return;
  const SetupBlock project = Setup(context_.session.blocks.image);
  std::copy(copy_.begin(), copy_.end(), project.data());
  QDialog::done(result);
}

bool SetupWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      EditRow(list_->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qdx
