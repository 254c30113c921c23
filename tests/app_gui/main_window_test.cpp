// The main window driven headless with scripted dialogs: start-up, settings that survive a
// restart, the File menu through the window, the close sequence and the plugged-in commands.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>

#include "app/connection_settings.h"
#include "files/project_defaults.h"
#include "model/program_record.h"
#include "model/relay_record.h"
#include "support/fake_progress.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

using test::FakeProgress;
using test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;

const QColor kGrey(0x80, 0x80, 0x80);

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programDir_ = dir_.filePath("program");
    QDir().mkpath(programDir_);
  }

  // A fresh session and window, as a new run of the program; shown, so start-up has run.
  TForm1& Start(const StartupArguments& arguments = {}) {
    window_.reset();
    session_ = std::make_unique<Session>();
    session_->programDir = programDir_;
    window_ = std::make_unique<TForm1>(*session_, dialogs_, progress_);
    window_->SetStartupArguments(arguments);
    window_->show();
    QCoreApplication::processEvents();  // the rest of start-up follows the first show
    return *window_;
  }

  QString ProgramFile(const QString& name) const { return QDir(programDir_).filePath(name); }

  void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QString MakeProject(const QString& name) {
    auto blocks = std::make_unique<ProjectBlocks>();
    blocks->image.data()[1] = 0x41;
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(SaveProjectFile(*blocks, path).ok);
    return path;
  }

  static QColor CaptionColour(QPushButton* b) {
    return b->palette().color(b->isEnabled() ? QPalette::Active : QPalette::Disabled,
                              QPalette::ButtonText);
  }

  QTemporaryDir dir_;
  QString programDir_;
  ScriptedDialogs dialogs_;
  FakeProgress progress_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<TForm1> window_;
};

TEST_F(MainWindowTest, FirstStartWithoutSettingsFiles) {
  TForm1& w = Start();
  EXPECT_EQ(w.windowTitle(), " QDX Setup 6.5");
  ASSERT_EQ(w.portCombo()->count(), 255);
  EXPECT_EQ(w.portCombo()->itemText(0), "COM1");
  EXPECT_EQ(w.portCombo()->itemText(254), "COM255");
  EXPECT_EQ(w.portCombo()->currentText(), "COM1");
  EXPECT_EQ(w.baudCombo()->currentIndex(), -1);
  QStringList baud;
  for (int i = 0; i < w.baudCombo()->count(); ++i) baud << w.baudCombo()->itemText(i);
  EXPECT_EQ(baud, QStringList({"9600", "19200", "115200", "38400"}));
  // Nothing chosen: the speed the link then uses shows as a placeholder.
  EXPECT_EQ(w.baudCombo()->placeholderText(), "38400");
  EXPECT_EQ(w.baudCombo()->currentText(), "");
  EXPECT_EQ(w.addressSpin()->value(), 1);
  EXPECT_EQ(w.addressSpin()->minimum(), 0);
  EXPECT_EQ(w.addressSpin()->maximum(), 247);
  EXPECT_FALSE(w.moduleCheck()->isChecked());
  QStringList pages;
  for (int i = 0; i < w.codePageCombo()->count(); ++i) pages << w.codePageCombo()->itemText(i);
  EXPECT_EQ(pages, QStringList({"Standard", "Cyryllic", "Polish", "PC852 (Slovakia)"}));
  EXPECT_EQ(w.codePageCombo()->currentIndex(), 0);
  for (int i = 0; i < kEditorCount; ++i) {
    QPushButton* b = w.editorButton(Editor(i));
    EXPECT_FALSE(b->isEnabled()) << i;
    EXPECT_EQ(CaptionColour(b), kGrey) << i;
  }
  EXPECT_FALSE(w.writeToControllerAction()->isEnabled());
  EXPECT_TRUE(w.readFromControllerAction()->isEnabled());
  EXPECT_TRUE(w.emulatorAction()->isVisible());
  EXPECT_FALSE(w.editorButton(Editor::Readouts)->isVisible());
  EXPECT_TRUE(w.CurrentFileName().isEmpty());
  EXPECT_TRUE(w.fileNameLabel()->text().isEmpty());
  EXPECT_EQ(WashingProgram(session_->blocks.image).Number(), 101);
  EXPECT_EQ(Relay(session_->blocks.image, 32).Number(), 32);  // start-up defaults ran

  session_->link.portIndex = 7;
  session_->link.baudCode = 0;
  session_->stationAddress = 99;
  session_->ReadConnectionSettings();
  EXPECT_EQ(session_->link.portIndex, 0);
  EXPECT_EQ(session_->link.baudCode, kBaud38400);
  EXPECT_EQ(session_->stationAddress, 1);
  EXPECT_EQ(dialogs_.shown().size(), 0u);
}

TEST_F(MainWindowTest, CaptionsAreTheEnglishTexts) {
  TForm1& w = Start();
  const char* expected[kEditorCount] = {
      "Programs", "Program WASHING",  "Processes", "Processes WASHING", "Relays",
      "Alarms",   "Special statuses", "Setup",     "Analog OUT",        "PID",
      "Readouts"};
  for (int i = 0; i < kEditorCount; ++i) {
    EXPECT_EQ(EditorCaption(Editor(i)), expected[i]);
    EXPECT_EQ(w.editorButton(Editor(i))->text().remove('&'), expected[i]);
  }
  const std::pair<QAction*, const char*> actions[] = {
      {w.newAction(), "New"},
      {w.openAction(), "Open"},
      {w.saveAction(), "Save"},
      {w.saveAsAction(), "Save as..."},
      {w.closeAction(), "Close"},
      {w.readFromControllerAction(), "Read from controller"},
      {w.writeToControllerAction(), "Write to controller"},
      {w.deviceResetAction(), "Device reset"},
      {w.setLanguagesAction(), "Set languages"},
      {w.emulatorAction(), "Emulator QDX"},
  };
  for (const auto& [action, text] : actions) EXPECT_EQ(action->text().remove('&'), text);
  EXPECT_EQ(w.communicationButton()->text().remove('&'), "Communication");
  EXPECT_EQ(w.moduleCheck()->text().remove('&'), "Communication module");
}

TEST_F(MainWindowTest, ReadConnectionSettingsMapsTheFields) {
  TForm1& w = Start();
  struct Case {
    int port, baud, address;
    std::uint8_t code;
  };
  const Case cases[] = {{0, 0, 1, 6}, {1, 1, 2, 8}, {2, 2, 247, 12}, {254, 3, 0, 9}, {3, -1, 5, 9}};
  for (const Case& c : cases) {
    w.SetConnectionFields(ConnectionFields{c.port, c.baud, c.address});
    session_->ReadConnectionSettings();
    EXPECT_EQ(session_->link.portIndex, c.port);
    EXPECT_EQ(session_->link.baudCode, c.code) << c.baud;
    EXPECT_EQ(session_->stationAddress, c.address);
    EXPECT_EQ(BaudCodeForItemIndex(c.baud), c.code);
  }
}

TEST_F(MainWindowTest, EnableEditorsColoursCaptionsAndEnablesWriteForGood) {
  TForm1& w = Start();
  w.EnableEditors(true);
  for (int i = 0; i < kEditorCount; ++i) {
    EXPECT_TRUE(w.editorButton(Editor(i))->isEnabled());
    EXPECT_EQ(CaptionColour(w.editorButton(Editor(i))), QColor(Qt::white));
  }
  EXPECT_TRUE(w.writeToControllerAction()->isEnabled());
  w.EnableEditors(false);
  for (int i = 0; i < kEditorCount; ++i) {
    EXPECT_FALSE(w.editorButton(Editor(i))->isEnabled());
    EXPECT_EQ(CaptionColour(w.editorButton(Editor(i))), kGrey);
  }
  EXPECT_TRUE(w.writeToControllerAction()->isEnabled());
}

TEST_F(MainWindowTest, ModuleAndCodePageSurviveARestart) {
  TForm1& w = Start();
  w.moduleCheck()->setChecked(true);
  EXPECT_TRUE(session_->moduleFlag);
  EXPECT_FALSE(w.emulatorAction()->isVisible());
  EXPECT_TRUE(w.editorButton(Editor::Readouts)->isVisible());
  w.codePageCombo()->setCurrentIndex(3);
  EXPECT_EQ(session_->codePageIndex, 3);  // at once, not at close
  w.SetConnectionFields(ConnectionFields{2, 1, 33});
  EXPECT_TRUE(w.close());

  TForm1& again = Start();
  EXPECT_TRUE(again.moduleCheck()->isChecked());
  EXPECT_TRUE(session_->moduleFlag);
  EXPECT_FALSE(again.emulatorAction()->isVisible());
  EXPECT_TRUE(again.editorButton(Editor::Readouts)->isVisible());
  EXPECT_EQ(again.codePageCombo()->currentIndex(), 3);
  EXPECT_EQ(session_->codePageIndex, 3);
  EXPECT_EQ(again.connectionFields(), (ConnectionFields{2, 1, 33}));

  again.moduleCheck()->setChecked(false);
  EXPECT_FALSE(session_->moduleFlag);
  EXPECT_TRUE(again.emulatorAction()->isVisible());
  EXPECT_FALSE(again.editorButton(Editor::Readouts)->isVisible());
}

TEST_F(MainWindowTest, StartUpReadsBothSettingsFiles) {
  WriteFile(ProgramFile("ustawienia.ini"),
            "[Parametry]\r\nJestModul=1\r\nStronaKodowa=1\r\nileBlokProgram=3\r\n"
            "timeoutStand=900\r\n[Ports]\r\nCOM2=/dev/ttyUSB7\r\n");
  WriteFile(ProgramFile("setupQDXust.ini"),
            "[Parametry]\r\nComboBoxPort_ItemIndex=1\r\nComboBoxPredkosc_ItemIndex=0\r\n"
            "IntEditAdres_Value=12\r\n");
  TForm1& w = Start();
  EXPECT_TRUE(session_->moduleFlag);
  EXPECT_EQ(session_->codePageIndex, 1);
  EXPECT_EQ(session_->ileBlokProgram, 3);
  EXPECT_EQ(session_->settings.timeoutStand, 900);
  EXPECT_EQ(w.connectionFields(), (ConnectionFields{1, 0, 12}));
  EXPECT_TRUE(w.statusLabel()->text().contains("/dev/ttyUSB7"))
      << w.statusLabel()->text().toStdString();
}

TEST_F(MainWindowTest, UnreadableSettingsAreReportedAndDefaultsUsed) {
  QDir().mkpath(ProgramFile("ustawienia.ini"));  // a folder where the file should be
  TForm1& w = Start();
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors().first().contains("ustawienia.ini"));
  EXPECT_FALSE(w.moduleCheck()->isChecked());
  EXPECT_EQ(session_->settings.timeoutStand, 2000);
}

TEST_F(MainWindowTest, StartupArgumentOpensAnExistingProject) {
  const QString project = MakeProject("start.qd3");
  TForm1& w = Start(StartupArguments{false, project});
  EXPECT_EQ(w.CurrentFileName(), project);
  EXPECT_TRUE(w.fileNameLabel()->toolTip().endsWith("start.qd3"));
  EXPECT_TRUE(w.editorButton(Editor::Relays)->isEnabled());
  EXPECT_TRUE(w.writeToControllerAction()->isEnabled());
  EXPECT_EQ(session_->blocks.image.data()[1], 0x41);

  TForm1& none = Start(StartupArguments{false, dir_.filePath("missing.qd3")});
  EXPECT_TRUE(none.CurrentFileName().isEmpty());
  EXPECT_FALSE(none.editorButton(Editor::Relays)->isEnabled());
  EXPECT_TRUE(dialogs_.errors().isEmpty());
}

TEST_F(MainWindowTest, NewOpenSaveAsThroughTheMenu) {
  TForm1& w = Start();
  w.newAction()->trigger();
  EXPECT_EQ(w.CurrentFileName(), ProgramFile("default.qd3"));
  EXPECT_TRUE(w.editorButton(Editor::Programs)->isEnabled());
  EXPECT_EQ(dialogs_.Count(Kind::Question), 0);

  // Open asks (New counts as modified); the cancelled dialog leaves the editors grey.
  dialogs_.QueueNo();
  dialogs_.QueueOpenFileName({});
  w.openAction()->trigger();
  EXPECT_EQ(dialogs_.questions(), QStringList({"Should modifications in design be saved?"}));
  EXPECT_FALSE(w.editorButton(Editor::Programs)->isEnabled());
  EXPECT_TRUE(w.CurrentFileName().isEmpty());

  const QString project = MakeProject("p.qd3");
  dialogs_.QueueOpenFileName(project);
  w.openAction()->trigger();
  EXPECT_EQ(w.CurrentFileName(), project);
  EXPECT_TRUE(w.editorButton(Editor::Programs)->isEnabled());

  dialogs_.QueueSaveFileName(dir_.filePath("copy.qd3"));
  w.saveAsAction()->trigger();
  EXPECT_EQ(w.CurrentFileName(), dir_.filePath("copy.qd3"));
  const QByteArray copy = ReadFile(dir_.filePath("copy.qd3"));
  ASSERT_EQ(copy.size(), static_cast<qsizetype>(image::kSize));
  EXPECT_EQ(copy.at(1), 0x41);
  EXPECT_TRUE(dialogs_.AllConsumed());
}

TEST_F(MainWindowTest, CloseRunsTheSequenceInOrder) {
  TForm1& w = Start();
  w.newAction()->trigger();
  session_->writePending = true;
  bool settingsWrittenBeforeOffer = true;
  int offers = 0;
  w.hooks().resetOffer = [&] {
    ++offers;
    settingsWrittenBeforeOffer = QFile::exists(ProgramFile("ustawienia.ini"));
  };
  w.codePageCombo()->setCurrentIndex(2);
  dialogs_.QueueNo();
  EXPECT_TRUE(w.close());
  EXPECT_EQ(offers, 1);
  EXPECT_FALSE(settingsWrittenBeforeOffer);
  EXPECT_EQ(dialogs_.questions(), QStringList({"Should modifications in design be saved?"}));
  EXPECT_TRUE(ReadFile(ProgramFile("ustawienia.ini")).contains("StronaKodowa=2"));
  EXPECT_TRUE(ReadFile(ProgramFile("ustawienia.ini")).contains("JestModul=0"));
  EXPECT_TRUE(ReadFile(ProgramFile("setupQDXust.ini")).contains("IntEditAdres_Value=1"));
  EXPECT_FALSE(QFile::exists(ProgramFile("default.qd3")));
}

TEST_F(MainWindowTest, CloseStaysOpenWhenTheSaveAskedForFails) {
  TForm1& w = Start();
  w.newAction()->trigger();
  WriteFile(dir_.filePath("blocker"), "x");
  dialogs_.QueueYes();
  dialogs_.QueueSaveFileName(dir_.filePath("blocker/x.qd3"));
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(w.fileFlows().modifiedFlag());

  dialogs_.QueueYes();
  dialogs_.QueueSaveFileName(dir_.filePath("saved.qd3"));
  EXPECT_TRUE(w.close());
  EXPECT_TRUE(QFile::exists(dir_.filePath("saved.qd3")));
}

TEST_F(MainWindowTest, StartupNewQdpMakesSaveAskForAName) {
  WriteFile(dir_.filePath("NEW.qdp"), QByteArray(285'488, '\0'));
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  TForm1& w = Start(StartupArguments{false, "NEW.qdp"});
  EXPECT_EQ(w.CurrentFileName(), "NEW.qdp");
  dialogs_.QueueSaveFileName({});
  w.saveAction()->trigger();
  QDir::setCurrent(previous);
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 1);
  EXPECT_EQ(QFileInfo(dir_.filePath("NEW.qdp")).size(), 285'488);
}

TEST_F(MainWindowTest, EditorButtonsRunTheirHooks) {
  TForm1& w = Start();
  w.EnableEditors(true);
  // Without a window behind it a button does nothing.
  ProgramRecord washing = WashingProgram(session_->blocks.image);
  washing.Name().SetBytes(QByteArrayView("X"));
  w.editorButton(Editor::ProgramWashing)->click();
  EXPECT_EQ(washing.Name().Bytes(), QByteArray("X"));

  std::vector<int> opened;
  for (int i = 0; i < kEditorCount; ++i)
    w.hooks().editors[i] = [&opened, i] { opened.push_back(i); };
  washing.SetNumber(5);
  for (int i = 0; i < kEditorCount; ++i) w.editorButton(Editor(i))->click();
  std::vector<int> all(kEditorCount);
  for (int i = 0; i < kEditorCount; ++i) all[i] = i;
  // Readouts is hidden while the module is not ticked, but its hook is still its own.
  EXPECT_EQ(opened, all);
  EXPECT_EQ(washing.Number(), 101);
  EXPECT_EQ(washing.Name().Bytes(), QByteArray("WASHING"));
}

TEST_F(MainWindowTest, CommunicationShowsTheResult) {
  TForm1& w = Start();
  EXPECT_FALSE(w.communicationResult()->isVisible());
  for (const bool answer : {true, false}) {
    w.SetConnectionFields(ConnectionFields{4, 2, 9});
    LinkSettings seen;
    w.hooks().testConnection = [&] {
      seen = session_->link;
      return answer;
    };
    w.communicationButton()->click();
    EXPECT_EQ(seen.portIndex, 4);
    EXPECT_EQ(seen.baudCode, kBaud115200);
    EXPECT_TRUE(w.communicationResult()->isVisible());
    EXPECT_EQ(w.communicationResult()->text(), answer ? "OK" : "ERR");
    EXPECT_EQ(w.communicationResult()->palette().color(QPalette::WindowText),
              answer ? QColor(0x00, 0xFF, 0x00) : QColor(Qt::red));
  }
}

TEST_F(MainWindowTest, EmulatorStartsWithThePortIndex) {
  TForm1& w = Start();
  w.SetConnectionFields(ConnectionFields{2, 3, 1});
  QStringList calls;
  w.hooks().closePort = [&] { calls << "close"; };
  w.hooks().startProgram = [&](const QString& program, const QStringList& args, QString*) {
    calls << program << args;
    return true;
  };
  w.emulatorAction()->trigger();
  EXPECT_EQ(calls, QStringList({"close", ProgramFile("qdx-emulator"), "2", "8"}));
  EXPECT_TRUE(dialogs_.errors().isEmpty());

  // The real starter reports a missing program instead of failing silently.
  w.hooks().startProgram = TForm1(*session_, dialogs_, progress_).hooks().startProgram;
  w.emulatorAction()->trigger();
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors().first().contains("qdx-emulator"));
}

TEST_F(MainWindowTest, DeviceResetAndReadFromController) {
  TForm1& w = Start();
  int offers = 0;
  w.hooks().resetOffer = [&] {
    EXPECT_TRUE(session_->writePending);
    ++offers;
  };
  w.deviceResetAction()->trigger();
  EXPECT_EQ(offers, 1);

  w.readFromControllerAction()->trigger();  // no window yet: nothing happens
  EXPECT_FALSE(w.editorButton(Editor::Setup)->isEnabled());
  int reads = 0;
  w.hooks().readFromController = [&] { ++reads; };
  w.readFromControllerAction()->trigger();
  EXPECT_EQ(reads, 1);
  EXPECT_TRUE(w.editorButton(Editor::Setup)->isEnabled());
  EXPECT_TRUE(w.writeToControllerAction()->isEnabled());
  EXPECT_TRUE(w.CurrentFileName().isEmpty());
  w.saveAction()->trigger();  // no file name: Save does nothing
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 0);
}

}  // namespace
}  // namespace qdx
