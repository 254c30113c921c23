// "Passwords": the controller's operator passwords and user names as a two-column list,
// edited in place, read from and sent to the controller. The window works on its own copy of
// the password block, which goes back into the project when it closes.
#pragma once

#include <QDialog>
#include <QString>

#include "config/section_table.h"
#include "model/blocks.h"

class QTableWidget;

namespace qdx {

// The question "Close" asks when entries were typed after the last "Send".
inline const QString kDiscardPasswordEdits =
    QStringLiteral("The entries changed since the last Send will be lost. Close anyway?");

// The label of entry n (1..37) in the first column; entry 7 has none, nor has a number
// outside 1..37.
QString PasswordEntryLabel(int n);

class PasswordsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit PasswordsWindow(SectionWindowContext& context, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }
  const PasswordBlock& block() const { return block_; }

 public slots:
  void OnRead();
  void OnSend();
  void done(int result) override;

 private:
  void Refill();
  // The grid's texts stored into the window's block, as typed.
  void StoreTypedEntries();
  // Entries typed in the grid that differ from the window's block.
  bool HasUnsentEdits() const;
  QString CellText(int n) const;

  SectionWindowContext& context_;
  PasswordBlock block_;
  QTableWidget* grid_;
};

}  // namespace qdx
