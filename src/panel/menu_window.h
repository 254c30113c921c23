// "Menu": the operator panel's menu texts in the base language, English and two chosen
// languages, read from and written to a controller or disk files and edited cell by cell.
#pragma once

#include <QDialog>
#include <array>

#include "config/section_editor.h"
#include "files/settings.h"
#include "link/operations.h"
#include "model/dialogs.h"
#include "panel/menu_texts.h"
#include "panel/menu_transfer.h"

class QComboBox;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace qdx {

// The menu text window; modal, it holds the menu only while it is open.
class MenuWindow : public QDialog {
  Q_OBJECT

 public:
  // folders: where MenuSettings.ini is read and where the file dialogs start.
  MenuWindow(LinkOperations& ops, Dialogs& dialogs, Progress& progress, SettingsFolders folders,
             QWidget* parent = nullptr);

  enum Column { NrColumn, BaseColumn, EnglishColumn, FirstColumn, SecondColumn, ColumnCount };

  QToolButton* button(SectionAction action) const;
  QPushButton* addLanguageButton() const { return addLanguage_; }
  QPushButton* closeButton() const { return close_; }
  // The drop-downs of "Cust 1" and "Cust 2".
  QComboBox* languageList(int which) const { return lists_[static_cast<std::size_t>(which)]; }
  QTableWidget* grid() const { return grid_; }
  const MenuDocument& document() const { return document_; }
  bool editUnlocked() const { return unlocked_; }

 public slots:
  void OnReadFromController();
  void OnWriteToController();
  void OnReadFromDisk();
  void OnWriteToDisk();
  void OnAddLanguage();
  // The entry dialog for a cell, where that cell may be edited.
  void EditCell(int row, int column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* BuildBar();
  QWidget* BuildGrid();
  // The language a column shows: 0 the base language, else its number.
  int LanguageOf(int column) const;
  // The code page a language's texts are shown and typed in: Cyrillic or Central European.
  int CharsetOf(int language) const;
  void FillLanguageLists();
  void OnLanguageChosen(int which, int index);
  void Refill();
  void RefillColumn(int column);
  void RefillCell(int row, int column);
  // The write buttons wait for menu data.
  void UpdateWriteButtons();

  MenuDocument document_;
  MenuTransfer transfer_;
  Dialogs& dialogs_;
  SettingsFolders folders_;
  bool unlocked_ = false;
  std::vector<std::pair<SectionAction, QToolButton*>> buttons_;
  QPushButton* addLanguage_ = nullptr;
  QPushButton* close_ = nullptr;
  std::array<QComboBox*, 2> lists_{};
  QTableWidget* grid_ = nullptr;
};

}  // namespace qdx
