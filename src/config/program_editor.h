// The program editor: a program's name and its step grid with the cell editors, for the
// programs of the list and for the washing program.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <span>

#include "config/section_editor.h"

class QTableView;

namespace qdx {

// The steps of the editor's working record as the grid shows them: one row per step in use,
// cells the controller link cannot carry tinted, with the reason as their hint.
class ProgramStepsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  ProgramStepsModel(std::span<std::uint8_t> record, QStringList choices, QObject* parent);

  // The whole grid again from the record (the step count may have changed).
  void Redraw();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::span<std::uint8_t> record_;
  QStringList choices_;
};

// Editor of one program; the washing program (number 101) keeps its name and names the
// processes of the washing set. Every change reaches the working record at once.
class TFProgramMycia : public SectionEditor {
  Q_OBJECT
 public:
  TFProgramMycia(SectionWindowContext& context, std::span<const std::uint8_t> record,
                 QWidget* parent = nullptr);

  NameField* nameField() const { return name_; }
  QTableView* grid() const { return grid_; }
  // The open cell editor, or null.
  QWidget* cellEditor() const { return cellEditor_; }
  bool washing() const;

 public slots:
  // Opens the cell editor of the grid's current cell.
  void OpenCellEditor();
  // Stores the open cell editor's value, hides it and gives the grid the focus back.
  void CloseCellEditor();

 protected:
  void FillControls() override;
  bool StoreControls() override;
  TransferResult ReadFromController() override;
  TransferResult WriteToController() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeCellEditor(const QModelIndex& index);
  void StoreCell(QWidget* editor, const QModelIndex& index);
  // Hides a closed cell editor and deletes it later.
  void Discard(QWidget* editor);
  bool GridKey(QEvent* event);
  bool CellEditorKey(QEvent* event);

  NameField* name_ = nullptr;
  QTableView* grid_ = nullptr;
  ProgramStepsModel* steps_ = nullptr;
  QPointer<QWidget> cellEditor_;
  QPersistentModelIndex cellIndex_;
  bool enterPressedInGrid_ = false;
};

// Edits one program; true when the user saved, copy then holding the edit.
bool EditProgram(SectionWindowContext& context, std::span<std::uint8_t> copy, QWidget* parent);
// The main window's "Program WASHING" (number and name already set): the editor on a copy of
// the washing program, copied back when saved.
void EditWashingProgram(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
