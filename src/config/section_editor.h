// The frame every record editor is built on, and the controls the editors share: the toolbar
// buttons with their pictures, name fields, bounded integer fields, value fields checked with
// the numeric range check, and the 32 relay-output switches.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "config/editor_values.h"
#include "config/section_table.h"
#include "model/relay_output_states.h"

class QComboBox;
class QPainter;
class QToolBar;
class QVBoxLayout;

namespace qdx {

// The picture buttons of list windows and editors.
enum class SectionAction {
  ReadController,
  WriteController,
  ReadDisk,
  WriteDisk,
  Edit,
  Save,
  Cancel,
  Close,
};

// The hint of a button: "Read from controller", "Write to controller", "Read from disk",
// "Write to disk", "Edit", "Save", "Cancel", "Close".
QString SectionActionHint(SectionAction action);
// The button's picture, drawn for whatever size it is shown at.
QIcon SectionActionIcon(SectionAction action);
// A picture button without caption; its hint is its only text.
QToolButton* MakeActionButton(SectionAction action, QWidget* parent);

// An icon painted on demand at the requested size, so it stays sharp at any scale.
// paint draws into the given rectangle; disabled icons are drawn faded.
QIcon PaintedIcon(std::function<void(QPainter&, const QRectF&)> paint);

// A record name: upper case only, at most `length` characters, only characters the record code
// page has. A longer stored name is shown whole rather than cut the moment the editor opens.
class NameField : public QLineEdit {
  Q_OBJECT
 public:
  explicit NameField(QWidget* parent = nullptr, int length = kNameFieldLength);
  // Shows the stored bytes decoded with the code page.
  void SetName(const QByteArray& bytes, int codePageIndex);
  // The name as it is stored: encoded, stripped of Polish diacritics (not for Cyrillic).
  QByteArray NameBytes() const;
  int codePageIndex() const { return codePageIndex_; }

 private:
  int length_;
  int codePageIndex_ = 0;
};

// An integer editor field's bounds, its name for the range message and where that goes.
struct FieldBounds {
  std::int32_t lower;
  std::int32_t upper;
  QString name;
  Dialogs& dialogs;

  // False, after the range message naming the field, for a value outside the bounds.
  bool Accepts(std::int32_t value) const;
};

// An integer field taking digits, "+" and "-"; when a typed value is left (or read), an empty
// text counts as 0 and a value outside the bounds becomes the nearer bound. A stored value is
// shown as it is until the user types.
class IntegerField : public QLineEdit {
  Q_OBJECT
 public:
  explicit IntegerField(FieldBounds bounds, QWidget* parent = nullptr);
  void SetValue(std::int32_t value);
  // False, after the range message, while it shows an untouched stored value outside the
  // bounds.
  bool Validate();
  // Clamps what the field shows and returns it (call after Validate).
  std::int32_t Value();

 private:
  FieldBounds bounds_;
};

// A spin box bounded narrower than the value it edits: a stored value outside the bounds is
// shown as it is, and Validate refuses any value outside them with the range message.
class BoundedSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  explicit BoundedSpinBox(FieldBounds bounds, QWidget* parent = nullptr);
  void SetStoredValue(std::int32_t value);
  bool Validate() { return bounds_.Accepts(value()); }

 private:
  FieldBounds bounds_;
};

// A value in tenths shown with one decimal place. When a typed text is left, a text that is
// not a number within the rule's bounds shows its message and becomes "0"; an untouched stored
// value outside them is kept and refused with the message naming the field.
class TenthsField : public QLineEdit {
  Q_OBJECT
 public:
  TenthsField(const TenthsFieldRule& rule, const QString& name, Dialogs& dialogs,
              QWidget* parent = nullptr);
  void SetTenths(std::int32_t tenths);
  // Checks the text as on leaving the field; false after the message (and the reset).
  bool Validate();
  // The tenths of the text (call after Validate).
  std::int32_t Tenths() const;

 private:
  TenthsFieldRule rule_;
  QString name_;
  Dialogs& dialogs_;
  bool validating_ = false;
};

// A real number: digits, a sign and a decimal separator (the locale's or '.'), no bounds. It
// shows a stored value divided by 10^shift and gives back what was typed times 10^shift, the
// decimal point moved, so no digit is lost. A stored value comes back exactly as long as the
// user does not type; a typed text that is no number is refused with the numeric-format
// message when the field is left and on Validate.
class RealField : public QLineEdit {
  Q_OBJECT
 public:
  RealField(Dialogs& dialogs, int shift = 0, QWidget* parent = nullptr);
  void SetReal(double stored);
  // False after the message while the typed text is no number.
  bool Validate();
  // The stored value, or the typed number in stored units (call after Validate).
  double Real() const;

 private:
  Dialogs& dialogs_;
  int shift_;
  double stored_ = 0.0;
  bool validating_ = false;
};

// A drop-down of fixed entries (the stored value is the entry's position); it takes no typed
// text. SelectChoice shows entry `code`, or none for a code outside the list.
QComboBox* MakeChoiceList(const QStringList& entries, QWidget* parent);
void SelectChoice(QComboBox* box, std::int32_t code);

// A titled group box holding one control, as the editors lay out their fields.
QGroupBox* MakeFieldGroup(const QString& title, QWidget* control, QWidget* parent);

// The 32 relay-output switches in two rows of 16, captioned 1..32, each hinted with the name
// of its relay.
class RelayOutputSwitches : public QGroupBox {
  Q_OBJECT
 public:
  explicit RelayOutputSwitches(QWidget* parent = nullptr);
  // Hints: the names of relays 1..32 in the project.
  void SetRelayNames(const ProjectImage& image, int codePageIndex);
  void Load(ConstRelayOutputStates states);
  // Writes exactly 1 or 0 into every byte.
  void Store(RelayOutputStates states) const;
  QCheckBox* Switch(int output) const { return switches_.at(static_cast<std::size_t>(output - 1)); }

 private:
  std::array<QCheckBox*, RelayOutputStates::kOutputCount> switches_{};
};

// Which toolbar buttons an editor has besides "Save".
struct EditorButtons {
  bool controller = false;  // "Read from controller", "Write to controller"
  bool disk = false;        // "Read from disk", "Write to disk" (needs the editor extension)
  bool cancel = false;      // "Cancel"
};

// The frame of a record editor: a private working copy of one record, the toolbar, and the
// actions every editor shares. "Save" stores the controls and closes accepted; the close box
// and "Cancel" close without touching the caller's record. Subclasses put their controls into
// body(), fill them in FillControls and store them in StoreControls.
class SectionEditor : public QDialog {
  Q_OBJECT
 public:
  SectionEditor(const SectionDescription& section, SectionWindowContext& context,
                std::span<const std::uint8_t> record, EditorButtons buttons,
                QWidget* parent = nullptr);

  // Shows the editor modally; true when "Save" closed it, record then holds the edit.
  bool Edit(std::span<std::uint8_t> record);

  std::span<std::uint8_t> working() { return working_; }
  std::span<const std::uint8_t> working() const { return working_; }
  // The record's slot, taken from its number field when the editor opened.
  int slot() const { return slot_; }
  bool saved() const { return saved_; }
  bool busy() const { return busy_; }
  QToolButton* button(SectionAction action) const;
  QToolBar* toolBar() const { return toolBar_; }

 public slots:
  // Esc and the close box; ignored while a transfer runs inside the window.
  void reject() override;
  void OnSave();
  void OnCancel();
  void OnReadFromController();
  void OnWriteToController();
  void OnReadFromDisk();
  void OnWriteToDisk();

 protected:
  // Controls from the working record.
  virtual void FillControls() = 0;
  // Controls into the working record; false when a field failed its check (its message was
  // shown), and then nothing is stored.
  virtual bool StoreControls() = 0;
  // The engine's transfers of this one record; only editors with controller buttons have them.
  virtual TransferResult ReadFromController() { return {}; }
  virtual TransferResult WriteToController() { return {}; }
  // A disk read took the file's record; keep what stays the working record's own (its number).
  virtual void KeepAfterDiskRead(std::span<const std::uint8_t> before,
                                 std::span<std::uint8_t> after);

  void closeEvent(QCloseEvent* event) override;

  QWidget* body() const { return body_; }
  const SectionDescription& section() const { return section_; }
  SectionWindowContext& context() const { return context_; }
  int codePageIndex() const { return context_.session.codePageIndex; }

 private:
  void SetBusy(bool busy);

  const SectionDescription& section_;
  SectionWindowContext& context_;
  std::vector<std::uint8_t> working_;
  int slot_ = 0;
  bool saved_ = false;
  bool busy_ = false;
  QToolBar* toolBar_ = nullptr;
  QWidget* body_ = nullptr;
  std::vector<std::pair<SectionAction, QToolButton*>> buttons_;
};

}  // namespace qdx
