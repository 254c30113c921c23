// "Setup": the 97 setup parameters of the project as a list, edited one at a time, read from
// and sent to the controller, kept in a setup file. The window works on its own copy of the
// setup block, which goes back into the project when it closes, whatever was done.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "config/section_table.h"
#include "model/blocks.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace qdx {

class SetupWindow : public QDialog {
  Q_OBJECT

 public:
  // Opens the passwords window over the setup window.
  using OpenPasswords = std::function<void(QWidget* parent)>;

  SetupWindow(SectionWindowContext& context, OpenPasswords openPasswords,
              QWidget* parent = nullptr);

  QTableWidget* list() const { return list_; }
  QLabel* versionText() const { return version_; }
  QPushButton* passwordsButton() const { return passwords_; }
  std::span<const std::uint8_t> copy() const { return copy_; }

 public slots:
  void OnOpen();
  void OnSave();
  void OnRead();
  void OnSend();
  // Edits the parameter of the given row (0-based) in the parameter dialog.
  void EditRow(int row);
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refill();
  void RefillRow(int row);
  QPushButton* AddButton(const QString& text, void (SetupWindow::*slot)());

  SectionWindowContext& context_;
  std::array<std::uint8_t, image::kSetupSize> copy_{};
  QTableWidget* list_;
  QLabel* version_;
  QPushButton* passwords_ = nullptr;
  OpenPasswords openPasswords_;
};

}  // namespace qdx
