#include "config/section_list_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "files/section_files.h"

namespace qdx {

MemprojModel::MemprojModel(const SectionDescription& section, QObject* parent)
    : QAbstractTableModel(parent), section_(section) {}

void MemprojModel::SetRows(std::vector<MemprojRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void MemprojModel::SetRow(int nr, MemprojRow row) {
  const auto i = static_cast<std::size_t>(nr - 1);
  if (nr < 1 || i >= rows_.size()) return;
  rows_[i] = std::move(row);
  emit dataChanged(index(nr - 1, 0), index(nr - 1, columnCount() - 1));
}

int MemprojModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MemprojModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(section_.columns.size());
}

QVariant MemprojModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const SectionColumn& column = section_.columns[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return column.text(rows_[static_cast<std::size_t>(index.row())]);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (column.numeric ? Qt::AlignRight : Qt::AlignLeft));
    default:
      return {};
  }
}

QVariant MemprojModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= columnCount()) return {};
  return section_.columns[static_cast<std::size_t>(section)].title;
}

SectionListWindow::SectionListWindow(const SectionDescription& section,
                                     SectionWindowContext& context, EditRecord edit,
                                     QWidget* parent)
    : QDialog(parent), section_(section), context_(context), edit_(std::move(edit)) {
  setWindowTitle(section.title);
  // Modal to the main window only: the progress window stays usable for "Cancel".
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(2);
  auto* bar = new QToolBar(this);
  bar->setIconSize(QSize(32, 32));
  layout->addWidget(bar);
  auto add = [this, bar](SectionAction action, void (SectionListWindow::*slot)()) {
    QToolButton* b = MakeActionButton(action, bar);
    bar->addWidget(b);
    connect(b, &QToolButton::clicked, this, slot);
    buttons_.emplace_back(action, b);
  };
  add(SectionAction::ReadController, &SectionListWindow::OnReadFromController);
  add(SectionAction::WriteController, &SectionListWindow::OnWriteToController);
  if (!section.listExtension.isEmpty()) {
    add(SectionAction::ReadDisk, &SectionListWindow::OnReadFromDisk);
    add(SectionAction::WriteDisk, &SectionListWindow::OnWriteToDisk);
  }
  bar->addSeparator();
  add(SectionAction::Edit, &SectionListWindow::OnEdit);
  add(SectionAction::Save, &SectionListWindow::OnSave);
  if (!section.transfer) {
    button(SectionAction::ReadController)->setEnabled(false);
    button(SectionAction::WriteController)->setEnabled(false);
  }

  model_ = new MemprojModel(section, this);
  grid_ = new QTableView(this);
  grid_->setModel(model_);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setTabKeyNavigation(false);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setWordWrap(false);
  // The selection stays as visible when the grid does not have the focus.
  QPalette palette = grid_->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  grid_->setPalette(palette);
  grid_->installEventFilter(this);
  connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { OnEdit(); });
  layout->addWidget(grid_, 1);

  RefillMemproj();
  grid_->resizeColumnsToContents();
  // Names are shown up to 50 characters; give their (text) column room for a usual one.
  for (int c = 0; c < model_->columnCount(); ++c) {
    if (section.columns[static_cast<std::size_t>(c)].numeric) continue;
    grid_->setColumnWidth(
        c, std::max(grid_->columnWidth(c), grid_->fontMetrics().averageCharWidth() * 22));
  }
  int width = grid_->verticalHeader()->width() + 2 * grid_->frameWidth() + 24;
  for (int c = 0; c < model_->columnCount(); ++c) width += grid_->columnWidth(c);
  // The stretched last column never gets narrower than the header's default section.
  const int last = grid_->columnWidth(model_->columnCount() - 1);
  width += std::max(0, grid_->horizontalHeader()->defaultSectionSize() - last);
  const int rows = std::min(section.slotCount, 24);
  const int height = bar->sizeHint().height() + grid_->horizontalHeader()->sizeHint().height() +
                     rows * grid_->verticalHeader()->defaultSectionSize() + 24;
  QSize size(std::max(width, 420), height);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 0.95);
  }
  resize(size);
}

QToolButton* SectionListWindow::button(SectionAction action) const {
  for (const auto& [a, b] : buttons_) {
    if (a == action) return b;
  }
  return nullptr;
}

int SectionListWindow::currentNr() const {
  const QModelIndex index = grid_->currentIndex();
  if (!index.isValid() || !grid_->selectionModel()->isRowSelected(index.row(), {})) return 0;
  return model_->rows()[static_cast<std::size_t>(index.row())].nr;
}

void SectionListWindow::SelectRow(int nr) {
  if (nr < 1 || nr > model_->rowCount()) return;
  grid_->selectRow(nr - 1);
  grid_->setCurrentIndex(model_->index(nr - 1, 0));
}

void SectionListWindow::RefillMemproj() {
  model_->SetRows(FillMemproj(section_, context_.session));
  SelectRow(1);
}

void SectionListWindow::SetBusy(bool busy) {
  busy_ = busy;
  for (const auto& [action, b] : buttons_) {
    const bool transfer =
        action == SectionAction::ReadController || action == SectionAction::WriteController;
    b->setEnabled(!busy && (!transfer || section_.transfer.has_value()));
  }
}

void SectionListWindow::OnSave() {
  if (busy_) return;
  accept();
}

void SectionListWindow::reject() {
  // Esc closes the window, but never while a transfer runs inside it.
  if (busy_) return;
  QDialog::reject();
}

void SectionListWindow::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

bool SectionListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && section_.editOnEnter) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // Enter opens the editor when it is released; its press must not reach the dialog.
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
    } else if (event->type() == QEvent::KeyRelease) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
        OnEdit();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SectionListWindow::OnEdit() {
  if (busy_ || !edit_) return;
  const int nr = currentNr();
  if (nr <= 0) return;
  const std::span<std::uint8_t> slot = SectionRecord(section_, context_.session, nr);
  std::vector<std::uint8_t> copy(slot.begin(), slot.end());
  if (section_.setNumber) section_.setNumber(copy, nr);
  if (!edit_(copy, this)) return;
  std::copy(copy.begin(), copy.end(), slot.begin());
  model_->SetRow(nr, MemprojRowOf(section_, context_.session, nr));
}

void SectionListWindow::OnReadFromController() {
  if (busy_ || !section_.transfer) return;
  SetBusy(true);
  const TransferResult result = context_.transfer.ReadList(*section_.transfer);
  SetBusy(false);
  // Whatever arrived before a stop is in the project already; the table shows it too.
  if (result.imageChanged) RefillMemproj();
}

void SectionListWindow::OnWriteToController() {
  if (busy_ || !section_.transfer) return;
  SetBusy(true);
  context_.transfer.WriteList(*section_.transfer);
  SetBusy(false);
}

void SectionListWindow::OnReadFromDisk() {
  if (busy_ || section_.listExtension.isEmpty()) return;
  const QString ext = section_.listExtension;
  const QString name = context_.dialogs.OpenFileName(QString(), SectionFileFilter(ext), ext);
  if (name.isEmpty()) return;
  const ListFileRead read =
      ReadSectionListFile(name, section_.region(context_.session), section_.recordSize);
  if (!read.opened) return;
  RefillMemproj();
}

void SectionListWindow::OnWriteToDisk() {
  if (busy_ || section_.listExtension.isEmpty()) return;
  const QString ext = section_.listExtension;
  const QString name = context_.dialogs.SaveFileName(QString(), SectionFileFilter(ext), ext);
  if (name.isEmpty()) return;
  if (const FileResult r = WriteSectionListFile(name, section_.region(context_.session)); !r) {
    context_.dialogs.ShowError(r.error);
  }
}

}  // namespace qdx
