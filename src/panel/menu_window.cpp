#include "panel/menu_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "link/code_pages.h"
#include "model/record_text.h"
#include "panel/add_language_dialog.h"
#include "panel/menu_entry_dialog.h"
#include "panel/menu_files.h"

namespace qdx {
namespace {

const QString kMenuFilter = QStringLiteral("Menu (*.mpl)");
const QString kMenuSuffix = QStringLiteral("mpl");
const QString kMaxLanguagesMessage = QStringLiteral("Max languages 16 ");
constexpr int kShownRows = 20;

void PumpEvents() {
  QCoreApplication::processEvents();
}

}  // namespace

MenuWindow::MenuWindow(LinkOperations& ops, Dialogs& dialogs, Progress& progress,
                       SettingsFolders folders, QWidget* parent)
    : QDialog(parent),
      transfer_(ops, dialogs, progress, folders, PumpEvents),
      dialogs_(dialogs),
      folders_(std::move(folders)) {
  setWindowTitle(QStringLiteral("Menu"));
  // Modal to the main window only: the progress window stays usable for "Cancel".
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);

  QString error;
  document_.languages =
      ReadMenuSettings(QFileInfo(folders_.ReadPath(kMenuSettingsFile)).path(), &error);
  if (!error.isEmpty()) dialogs_.ShowError(error);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addWidget(BuildBar());
  layout->addWidget(BuildGrid(), 1);
  close_ = new QPushButton(QStringLiteral("&Close"), this);
  close_->setAutoDefault(false);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close_);
  layout->addLayout(bottom);

  FillLanguageLists();
  Refill();
  UpdateWriteButtons();
  grid_->setFocus();
}

QWidget* MenuWindow::BuildBar() {
  auto* bar = new QToolBar(this);
  bar->setIconSize(QSize(32, 32));
  auto add = [this, bar](SectionAction action, void (MenuWindow::*slot)()) {
    QToolButton* b = MakeActionButton(action, bar);
    bar->addWidget(b);
    connect(b, &QToolButton::clicked, this, slot);
    buttons_.emplace_back(action, b);
  };
  add(SectionAction::ReadController, &MenuWindow::OnReadFromController);
  add(SectionAction::WriteController, &MenuWindow::OnWriteToController);
  add(SectionAction::ReadDisk, &MenuWindow::OnReadFromDisk);
  add(SectionAction::WriteDisk, &MenuWindow::OnWriteToDisk);
  bar->addSeparator();

  addLanguage_ = new QPushButton(QStringLiteral("&Add language"), bar);
  addLanguage_->setAutoDefault(false);
  connect(addLanguage_, &QPushButton::clicked, this, &MenuWindow::OnAddLanguage);
  bar->addWidget(addLanguage_);
  for (int which = 0; which < 2; ++which) {
    auto* list = new QComboBox(bar);
    list->setMinimumContentsLength(16);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* label = new QLabel(QStringLiteral("Cust &%1").arg(which + 1), bar);
    label->setBuddy(list);
    label->setContentsMargins(12, 0, 4, 0);
    bar->addWidget(label);
    bar->addWidget(list);
    connect(list, &QComboBox::currentIndexChanged, this,
            [this, which](int index) { OnLanguageChosen(which, index); });
    lists_[static_cast<std::size_t>(which)] = list;
  }
  return bar;
}

QWidget* MenuWindow::BuildGrid() {
  grid_ = new QTableWidget(0, ColumnCount, this);
  grid_->setHorizontalHeaderLabels({QStringLiteral("Nr"), QStringLiteral("Polski"),
                                    QStringLiteral("English"), QStringLiteral("Cust 1"),
                                    QStringLiteral("Cust 2")});
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setTabKeyNavigation(false);
  grid_->setWordWrap(false);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setHighlightSections(false);
  const int textWidth = grid_->fontMetrics().horizontalAdvance(QString(kMenuTextWidth + 2, 'M'));
  grid_->setColumnWidth(NrColumn, grid_->fontMetrics().horizontalAdvance(QStringLiteral("Nr 999")));
  for (int c = BaseColumn; c < ColumnCount; ++c) grid_->setColumnWidth(c, textWidth);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->installEventFilter(this);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, &MenuWindow::EditCell);

  int width = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width() + 8;
  for (int c = 0; c < ColumnCount; ++c) width += grid_->columnWidth(c);
  grid_->setMinimumSize(width, grid_->horizontalHeader()->sizeHint().height() +
                                   kShownRows * grid_->verticalHeader()->defaultSectionSize());
  return grid_;
}

QToolButton* MenuWindow::button(SectionAction action) const {
  for (const auto& [a, b] : buttons_) {
    if (a == action) return b;
  }
  return nullptr;
}

bool MenuWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      EditCell(grid_->currentRow(), grid_->currentColumn());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// F10 reaches here from whichever control has the focus, as none of them takes it.
void MenuWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10) {
    unlocked_ = true;
    return;
  }
  QDialog::keyPressEvent(event);
}

int MenuWindow::LanguageOf(int column) const {
  switch (column) {
    case BaseColumn:
      return 0;
    case EnglishColumn:
      return 1;
    case FirstColumn:
      return document_.languages.first;
    case SecondColumn:
      return document_.languages.second;
    default:
      return -1;
  }
}

int MenuWindow::CharsetOf(int language) const {
  return document_.languages.CodePage(language) == kCodePageCyrillic ? kCodePageCyrillic
                                                                     : kCodePageStandard;
}

void MenuWindow::FillLanguageLists() {
  const std::array<int, 2> chosen = {document_.languages.first, document_.languages.second};
  for (std::size_t which = 0; which < lists_.size(); ++which) {
    QComboBox* list = lists_[which];
    const QSignalBlocker block(list);
    list->clear();
    for (const MenuLanguage& language : document_.languages.list) list->addItem(language.name);
    list->setCurrentIndex(chosen[which] - 1);
  }
}

void MenuWindow::OnLanguageChosen(int which, int index) {
  if (index < 0) return;
  (which == 0 ? document_.languages.first : document_.languages.second) = index + 1;
  RefillColumn(FirstColumn + which);
}

void MenuWindow::Refill() {
  grid_->setRowCount(static_cast<int>(document_.table.size()));
  for (int column = 0; column < ColumnCount; ++column) RefillColumn(column);
}

void MenuWindow::RefillColumn(int column) {
  for (int row = 0; row < grid_->rowCount(); ++row) RefillCell(row, column);
}

void MenuWindow::RefillCell(int row, int column) {
  const MenuTextRow& entry = document_.table[static_cast<std::size_t>(row)];
  auto* item = new QTableWidgetItem;
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (column == NrColumn) {
    item->setText(QString::number(entry.nr));
    item->setBackground(palette().color(QPalette::Button));
    item->setForeground(palette().color(QPalette::ButtonText));
  } else {
    const int language = LanguageOf(column);
    item->setText(
        DecodeRecordText(entry.texts[static_cast<std::size_t>(language)], CharsetOf(language)));
    // Groups stand apart by alternating white and the tool-tip colour.
    item->setBackground(entry.nr % 2 ? QColor(Qt::white) : palette().color(QPalette::ToolTipBase));
    item->setForeground(QColor(Qt::black));
  }
  grid_->setItem(row, column, item);
}

void MenuWindow::UpdateWriteButtons() {
  button(SectionAction::WriteController)->setEnabled(document_.hasData);
  button(SectionAction::WriteDisk)->setEnabled(document_.hasData);
}

void MenuWindow::EditCell(int row, int column) {
  if (row < 0 || row >= grid_->rowCount() || column <= NrColumn || column >= ColumnCount) return;
  if (column < FirstColumn && !unlocked_) return;
  const int language = LanguageOf(column);
  const int charset = CharsetOf(language);
  QByteArray& text =
      document_.table[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(language)];
  MenuEntryDialog dialog(DecodeRecordText(text, charset), charset, this);
  if (dialog.exec() != QDialog::Accepted) return;
  text = EncodeRecordText(dialog.text(), charset);
  // The same language may be shown in two columns.
  for (int c = BaseColumn; c < ColumnCount; ++c) {
    if (LanguageOf(c) == language) RefillCell(row, c);
  }
}

void MenuWindow::OnReadFromController() {
  transfer_.Read(document_);
  Refill();
  UpdateWriteButtons();
}

void MenuWindow::OnWriteToController() {
  transfer_.Write(document_);
}

void MenuWindow::OnReadFromDisk() {
  const QString path = dialogs_.OpenFileName(folders_.programDir, kMenuFilter, kMenuSuffix);
  if (path.isEmpty()) return;
  if (const FileResult r = ReadMenuFiles(path, document_); !r) {
    if (r.error == kNoStructureMessage) {
      dialogs_.ShowLinkMessage(r.error);
    } else {
      dialogs_.ShowError(r.error);
    }
    return;
  }
  FillLanguageLists();
  Refill();
  UpdateWriteButtons();
}

void MenuWindow::OnWriteToDisk() {
  const QString path = dialogs_.SaveFileName(folders_.programDir, kMenuFilter, kMenuSuffix);
  if (path.isEmpty()) return;
  if (const FileResult r = WriteMenuFiles(path, document_); !r) dialogs_.ShowError(r.error);
}

void MenuWindow::OnAddLanguage() {
  MenuLanguages& languages = document_.languages;
  if (languages.count() >= kMaxMenuLanguages) {
    dialogs_.ShowLinkMessage(kMaxLanguagesMessage);
    return;
  }
  AddLanguageDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  languages.list.push_back({dialog.name(), dialog.codePage()});
  for (MenuTextRow& row : document_.table) {
    row.texts[static_cast<std::size_t>(languages.count())].clear();
  }
  for (QComboBox* list : lists_) list->addItem(dialog.name());
}

}  // namespace qdx
