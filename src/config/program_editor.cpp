#include "config/program_editor.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "config/editor_values.h"
#include "config/program_steps.h"

namespace qdx {

namespace {

const StepColumn& ColumnAt(int column) {
  return StepColumns().at(static_cast<std::size_t>(column));
}

// Whether w is root or lies inside it, popups included (a drop-down's list).
bool Within(const QWidget* w, const QWidget* root) {
  for (; w; w = w->parentWidget()) {
    if (w == root) return true;
  }
  return false;
}

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

ProgramStepsModel::ProgramStepsModel(std::span<std::uint8_t> record, QStringList choices,
                                     QObject* parent)
    : QAbstractTableModel(parent), record_(record), choices_(std::move(choices)) {}

void ProgramStepsModel::Redraw() {
  beginResetModel();
  endResetModel();
}

int ProgramStepsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ConstProgramRecord(record_.data()).StepsInUse();
}

int ProgramStepsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(StepColumns().size());
}

QVariant ProgramStepsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const StepColumn& column = ColumnAt(index.column());
  const ConstProgramStep step = ConstProgramRecord(record_.data()).Step(index.row() + 1);
  switch (role) {
    case Qt::DisplayRole:
      return StepCellText(column, step, index.row() + 1, choices_);
    case Qt::TextAlignmentRole:
      return column.kind == StepCell::Process ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                              : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      return WireLimitNote(column, step) ? QVariant(QColor(0xFF, 0xD8, 0xB0)) : QVariant();
    case Qt::ToolTipRole:
      if (const auto note = WireLimitNote(column, step)) return *note;
      return {};
    default:
      return {};
  }
}

QVariant ProgramStepsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return ColumnAt(section).title;
}

TFProgramMycia::TFProgramMycia(SectionWindowContext& context, std::span<const std::uint8_t> record,
                               QWidget* parent)
    : SectionEditor(ProgramSection(), context, record, {true, true, true}, parent) {
  setWindowTitle(washing() ? QStringLiteral("Programs WASHING") : QStringLiteral("Programs"));
  auto* layout = new QVBoxLayout(body());
  layout->setContentsMargins(4, 2, 4, 2);
  auto* nameRow = new QHBoxLayout();
  name_ = new NameField(body());
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 24);
  auto* label = new QLabel(QStringLiteral("Name"), body());
  label->setBuddy(name_);
  nameRow->addWidget(label);
  nameRow->addWidget(name_);
  nameRow->addStretch(1);
  layout->addLayout(nameRow);
  // The washing program keeps its name; its field is shown grey.
  name_->setEnabled(!washing());
  connect(name_, &QLineEdit::textEdited, this,
          [this] { ProgramRecord(working().data()).Name().SetBytes(name_->NameBytes()); });

  const ProcessSet set = washing() ? ProcessSet::Washing : ProcessSet::Normal;
  steps_ = new ProgramStepsModel(
      working(), ProcessChoices(context.session.blocks.image, set, codePageIndex()), this);
  grid_ = new QTableView(body());
  grid_->setModel(steps_);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setTabKeyNavigation(false);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
  grid_->setWordWrap(false);
  grid_->installEventFilter(this);
  grid_->viewport()->installEventFilter(this);
  connect(grid_, &QTableView::doubleClicked, this, &TFProgramMycia::OpenCellEditor);
  layout->addWidget(grid_, 1);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (cellEditor_ && now && !Within(now, cellEditor_)) CloseCellEditor();
  });

  FillControls();
  grid_->resizeColumnsToContents();
  grid_->setColumnWidth(kStepNameColumn, grid_->fontMetrics().averageCharWidth() * 18);
  grid_->setCurrentIndex(steps_->index(0, kStepNameColumn));
  int width = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width() + 24;
  for (int c = 0; c < steps_->columnCount(); ++c) width += grid_->columnWidth(c);
  resize(width, 640);
}

bool TFProgramMycia::washing() const {
  return ConstProgramRecord(working().data()).Number() == kWashingProgramNumber;
}

void TFProgramMycia::Discard(QWidget* editor) {
  editor->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
}

void TFProgramMycia::FillControls() {
  // A read replaced the record an open cell editor was showing: its text is dropped.
  if (QWidget* editor = cellEditor_) {
    cellEditor_ = nullptr;
    Discard(editor);
  }
  name_->SetName(ConstProgramRecord(working().data()).Name().Bytes(), codePageIndex());
  const QModelIndex current = grid_->currentIndex();
  steps_->Redraw();
  if (current.isValid()) {
    grid_->setCurrentIndex(steps_->index(std::min(current.row(), steps_->rowCount() - 1),
                                         current.column()));
  }
}

bool TFProgramMycia::StoreControls() {
  // Everything else is in the working record already.
  CloseCellEditor();
  return true;
}

TransferResult TFProgramMycia::ReadFromController() {
  CloseCellEditor();
  return context().transfer.ReadProgram(ProgramRecord(working().data()));
}

TransferResult TFProgramMycia::WriteToController() {
  const TransferResult result = context().transfer.WriteProgram(ConstProgramRecord(working().data()));
  FillControls();
  return result;
}

void TFProgramMycia::OpenCellEditor() {
  const QModelIndex index = grid_->currentIndex();
  if (!index.isValid() || ColumnAt(index.column()).kind == StepCell::Step) return;
  CloseCellEditor();
  QWidget* editor = MakeCellEditor(index);
  const QRect cell = grid_->visualRect(index);
  // Fixed, so that a drop-down fitting itself to its entries stays as wide as the column.
  editor->move(cell.topLeft());
  editor->setFixedSize(cell.width(), std::max(cell.height(), editor->sizeHint().height()));
  editor->installEventFilter(this);
  cellIndex_ = index;
  cellEditor_ = editor;
  editor->show();
  editor->setFocus();
}

QWidget* TFProgramMycia::MakeCellEditor(const QModelIndex& index) {
  const StepColumn& column = ColumnAt(index.column());
  const std::int32_t value = column.get(ConstProgramRecord(working().data()).Step(index.row() + 1));
  QWidget* viewport = grid_->viewport();
  switch (column.kind) {
    case StepCell::Process: {
      auto* box = MakeChoiceList(ProcessChoices(context().session.blocks.image,
                                                washing() ? ProcessSet::Washing : ProcessSet::Normal,
                                                codePageIndex()),
                                 viewport);
      SelectChoice(box, value);
      return box;
    }
    case StepCell::Tenths: {
      auto* field = new QLineEdit(TextFromTenths(value), viewport);
      field->setAlignment(Qt::AlignRight);
      field->selectAll();
      return field;
    }
    default: {
      auto* spin = new QSpinBox(viewport);
      spin->setRange(std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max());
      spin->setValue(value);
      spin->setAlignment(Qt::AlignRight);
      spin->selectAll();
      return spin;
    }
  }
}

void TFProgramMycia::StoreCell(QWidget* editor, const QModelIndex& index) {
  const StepColumn& column = ColumnAt(index.column());
  const ProgramStep step = ProgramRecord(working().data()).Step(index.row() + 1);
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    StoreProcessChoice(step, box->currentIndex());
  } else if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
    StoreTypedCell(column, step, spin->cleanText(), context().dialogs);
  } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
    StoreTypedCell(column, step, field->text(), context().dialogs);
  }
}

void TFProgramMycia::CloseCellEditor() {
  QWidget* editor = cellEditor_;
  if (!editor) return;
  // Cleared first: a message shown while storing moves the focus again.
  cellEditor_ = nullptr;
  const int row = cellIndex_.row();
  const int column = cellIndex_.column();
  StoreCell(editor, cellIndex_);
  Discard(editor);
  steps_->Redraw();
  grid_->setCurrentIndex(steps_->index(row, column));
  grid_->setFocus();
}

bool TFProgramMycia::GridKey(QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!IsEnter(key)) return false;
  // Enter opens the cell editor when it is released, and only after a press in the grid
  // (the release of the Enter that closed a cell editor lands here too).
  if (event->type() == QEvent::KeyPress) {
    enterPressedInGrid_ = true;
  } else if (enterPressedInGrid_ && !key->isAutoRepeat()) {
    enterPressedInGrid_ = false;
    OpenCellEditor();
  }
  return true;
}

bool TFProgramMycia::CellEditorKey(QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Escape && !IsEnter(key)) return false;
  CloseCellEditor();
  return true;
}

bool TFProgramMycia::eventFilter(QObject* watched, QEvent* event) {
  const bool keyPress = event->type() == QEvent::KeyPress;
  const bool key = keyPress || event->type() == QEvent::KeyRelease;
  if (watched == grid_ && key) return GridKey(event);
  if (watched == cellEditor_ && keyPress) return CellEditorKey(event);
  // A single click on the grid hides an open cell editor.
  if (watched == grid_->viewport() && event->type() == QEvent::MouseButtonPress) {
    CloseCellEditor();
  }
  return SectionEditor::eventFilter(watched, event);
}

bool EditProgram(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent) {
  TFProgramMycia editor(context, copy, parent);
  return editor.Edit(copy);
}

void EditWashingProgram(SectionWindowContext& context, QWidget* parent) {
  const ProgramRecord washing = WashingProgram(context.session.blocks.image);
  std::vector<std::uint8_t> copy(washing.data(), washing.data() + ProgramRecord::kSize);
  if (EditProgram(context, copy, parent)) std::copy(copy.begin(), copy.end(), washing.data());
}

}  // namespace qdx
