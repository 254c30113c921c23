// The list window every section shares: one row per slot in the table `memproj`, a read-only
// grid over it, and the toolbar that moves the whole section between the project, the
// controller and a disk file, plus "Edit" on the selected record.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "config/section_editor.h"
#include "config/section_table.h"

class QTableView;
class QToolButton;

namespace qdx {

// The rows of a list window as the grid shows them.
class MemprojModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  MemprojModel(const SectionDescription& section, QObject* parent = nullptr);

  void SetRows(std::vector<MemprojRow> rows);
  void SetRow(int nr, MemprojRow row);
  const std::vector<MemprojRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const SectionDescription& section_;
  std::vector<MemprojRow> rows_;
};

// A section's list window. "Save" and Esc close it; every change reaches the project at the
// moment it is made, so closing never asks and never undoes.
class SectionListWindow : public QDialog {
  Q_OBJECT
 public:
  // Opens the section's editor on a copy of one record; true when the user saved, the copy
  // then holding the edited record.
  using EditRecord = std::function<bool(std::span<std::uint8_t> copy, QWidget* parent)>;

  SectionListWindow(const SectionDescription& section, SectionWindowContext& context,
                    EditRecord edit, QWidget* parent = nullptr);

  const std::vector<MemprojRow>& memproj() const { return model_->rows(); }
  QTableView* grid() const { return grid_; }
  QToolButton* button(SectionAction action) const;
  // The selected row's slot number, 0 when none is selected.
  int currentNr() const;
  void SelectRow(int nr);
  bool busy() const { return busy_; }
  void SetEditRecord(EditRecord edit) { edit_ = std::move(edit); }

 public slots:
  // Esc and the close box; ignored while a transfer runs inside the window.
  void reject() override;
  void OnReadFromController();
  void OnWriteToController();
  void OnReadFromDisk();
  void OnWriteToDisk();
  void OnEdit();
  void OnSave();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Rebuilds every row from the project and selects the first.
  void RefillMemproj();

 private:
  void SetBusy(bool busy);

  const SectionDescription& section_;
  SectionWindowContext& context_;
  EditRecord edit_;
  MemprojModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  std::vector<std::pair<SectionAction, QToolButton*>> buttons_;
  bool busy_ = false;
};

}  // namespace qdx
