// The main window: connection fields, the File, Project and Languages menus, the emulator
// command and one button per editor.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "app/command_line.h"
#include "app/file_flows.h"
#include "app/session.h"
#include "link/port_status.h"
#include "model/dialogs.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace qdx {

class Link;
class LinkOperations;

// The eleven editor buttons, in the order of their grid.
enum class Editor {
  Programs,
  ProgramWashing,
  Processes,
  ProcessesWashing,
  Relays,
  Alarms,
  SpecialStatuses,
  Setup,
  AnalogOut,
  Pid,
  Readouts,
};
inline constexpr int kEditorCount = 11;

// The program's main window.
class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // What the windows of later work plug in. A hook left empty makes its command do nothing.
  struct Hooks {
    // Each opens its editor as a modal window and returns when it closes.
    std::array<std::function<void()>, kEditorCount> editors;
    std::function<void()> readFromController;  // the editors are enabled afterwards
    std::function<void()> writeToController;
    std::function<void()> setLanguages;
    // The connection test: true when the controller (or the module) answered.
    std::function<bool()> testConnection;
    // The offer to reset the controller after writes.
    std::function<void()> resetOffer;
    // Releases the serial port so the emulator can take it.
    std::function<void()> closePort;
    // Starts a program without waiting for it; false with the reason in *error.
    std::function<bool(const QString& program, const QStringList& arguments, QString* error)>
        startProgram;
  };

  TForm1(Session& session, Dialogs& dialogs, Progress& progress, QWidget* parent = nullptr);
  ~TForm1() override;

  Hooks& hooks() { return hooks_; }
  // Plugs in the link: the connection test, the reset offer and the port release run on it,
  // and when watched is given the status line follows every open and failure of the port.
  // The three must outlive the window.
  void AttachLink(Link& link, LinkOperations& operations, WatchedSerialPort* watched = nullptr);
  // The port on device opened (error None) or failed: shown in the status line.
  void ReportPortEvent(const QString& device, PortError error, const QString& text);
  const PortStatus& portStatus() const { return portStatus_; }
  // How long the status line waits for a started emulator to serve its port.
  void SetEmulatorWaitMilliseconds(int ms) { emulatorWaitMs_ = ms; }
  // The command line, applied when the window is first shown.
  void SetStartupArguments(const StartupArguments& arguments) { startup_ = arguments; }

  // The editor buttons on (white captions) or off (grey); on also enables "Write to
  // controller" for good.
  void EnableEditors(bool on);
  // Copies port, speed and address into the session's link settings and station address.
  void ReadConnectionSettings();
  ConnectionFields connectionFields() const;
  void SetConnectionFields(const ConnectionFields& fields);
  const QString& CurrentFileName() const { return flows_->currentFileName(); }
  ProjectFileFlows& fileFlows() { return *flows_; }
  Progress& progress() { return progress_; }
  // A line in the status bar (which device the port is, why it failed).
  void ShowStatus(const QString& text);

  QPushButton* editorButton(Editor editor) const { return editorButtons_[int(editor)]; }
  QComboBox* portCombo() const { return port_; }
  QSpinBox* addressSpin() const { return address_; }
  QComboBox* baudCombo() const { return baud_; }
  QPushButton* communicationButton() const { return communication_; }
  QLabel* communicationResult() const { return communicationResult_; }
  QCheckBox* moduleCheck() const { return module_; }
  QComboBox* codePageCombo() const { return codePage_; }
  QLabel* fileNameLabel() const { return fileName_; }
  QLabel* statusLabel() const { return status_; }
  QAction* newAction() const { return new_; }
  QAction* openAction() const { return open_; }
  QAction* saveAction() const { return save_; }
  QAction* saveAsAction() const { return saveAs_; }
  QAction* closeAction() const { return close_; }
  QAction* readFromControllerAction() const { return readFromController_; }
  QAction* writeToControllerAction() const { return writeToController_; }
  QAction* deviceResetAction() const { return deviceReset_; }
  QAction* setLanguagesAction() const { return setLanguages_; }
  QAction* emulatorAction() const { return emulator_; }

 public slots:
  void OnNew();
  void OnOpen();
  void OnSave();
  void OnSaveAs();
  void OnEditorClicked(qdx::Editor editor);
  void OnCommunicationClicked();
  void OnModuleToggled(bool on);
  void OnCodePageChanged(int index);
  void OnPortChanged(int index);
  void OnReadFromController();
  void OnWriteToController();
  void OnDeviceReset();
  void OnSetLanguages();
  void OnEmulatorClicked();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildControls();
  // When first shown: the settings files, then (once on the screen) messages about them and
  // the project named on the command line.
  void OnFirstShow();
  void FinishStartUp();
  bool RunCloseSequence();
  void ShowFileName(const QString& name);
  // The chosen port's device and its last failure, as they are now.
  void RefreshPortStatus();
  // Follows a started emulator until it serves portIndex, or reports that it did not.
  void WatchEmulator(int portIndex);
  void OnEmulatorWatchTick();

  Session& session_;
  Dialogs& dialogs_;
  Progress& progress_;
  Hooks hooks_;
  StartupArguments startup_;
  QStringList startupErrors_;
  std::unique_ptr<ProjectFileFlows> flows_;
  bool shown_ = false;
  bool closed_ = false;
  PortStatus portStatus_;
  WatchedSerialPort* watched_ = nullptr;
  QTimer* emulatorWatch_ = nullptr;
  int emulatorWatchPort_ = 0;
  int emulatorWaitMs_ = 5000;
  QElapsedTimer emulatorWatchTime_;

  std::array<QPushButton*, kEditorCount> editorButtons_{};
  QComboBox* port_ = nullptr;
  QSpinBox* address_ = nullptr;
  QComboBox* baud_ = nullptr;
  QPushButton* communication_ = nullptr;
  QLabel* communicationResult_ = nullptr;
  QCheckBox* module_ = nullptr;
  QComboBox* codePage_ = nullptr;
  QLabel* fileName_ = nullptr;
  QLabel* status_ = nullptr;
  QAction* new_ = nullptr;
  QAction* open_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QAction* close_ = nullptr;
  QAction* readFromController_ = nullptr;
  QAction* writeToController_ = nullptr;
  QAction* deviceReset_ = nullptr;
  QAction* setLanguages_ = nullptr;
  QAction* emulator_ = nullptr;
};

// An editor's caption as shown, without its keyboard mnemonic.
QString EditorCaption(Editor editor);

}  // namespace qdx
