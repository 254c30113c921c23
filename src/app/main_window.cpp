#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "app/connection_settings.h"
#include "files/project_defaults.h"
#include "files/settings.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/port_names.h"
#include "model/program_record.h"

namespace qdx {

namespace {

constexpr const char* kCaption = " QDX Setup";
constexpr const char* kVersion = "6.5";
constexpr const char* kEmulatorProgram = "qdx-emulator";

// Captions with their keyboard mnemonics, in Editor order. The letters are unique in the
// window and avoid F, P, L and E, which belong to the menu bar.
constexpr std::array<const char*, kEditorCount> kEditorCaptions = {
    "P&rograms", "Program &WASHING",  "Pr&ocesses", "Processes WAS&HING", "Rela&ys",
    "&Alarms",   "Special s&tatuses", "&Setup",     "Analog O&UT",        "P&ID",
    "Rea&douts",
};
constexpr std::array<const char*, kEditorCount> kEditorNames = {
    "Programs", "ProgramWashing",  "Processes", "ProcessesWashing", "Relays",
    "Alarms",   "SpecialStatuses", "Setup",     "AnalogOut",        "Pid",
    "Readouts",
};

const QStringList kCodePageEntries = {"Standard", "Cyryllic", "Polish", "PC852 (Slovakia)"};

const QColor kCaptionOn(Qt::white);
const QColor kCaptionOff(0x80, 0x80, 0x80);
const QColor kButtonOn(0x2b, 0x57, 0x86);
const QColor kButtonOff(0xe4, 0xe6, 0xea);

QString WithoutMnemonic(QString text) {
  text.replace(QLatin1String("&&"), QLatin1String("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

bool StartDetached(const QString& program, const QStringList& arguments, QString* error) {
  if (!QFileInfo(program).isFile()) {
    if (error)
      *error = QStringLiteral("%1: no such program").arg(QDir::toNativeSeparators(program));
    return false;
  }
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(QFileInfo(program).absolutePath());
  if (!process.startDetached()) {
    if (error)
      *error =
          QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(program), process.errorString());
    return false;
  }
  return true;
}

}  // namespace

QString EditorCaption(Editor editor) {
  return WithoutMnemonic(kEditorCaptions[int(editor)]);
}

TForm1::TForm1(Session& session, Dialogs& dialogs, Progress& progress, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), progress_(progress) {
  setObjectName(QStringLiteral("TForm1"));
  ApplyStartupDefaults(session_.blocks.image);
  flows_ = std::make_unique<ProjectFileFlows>(session_, dialogs_);
  flows_->showFileName = [this](const QString& name) { ShowFileName(name); };
  flows_->enableEditors = [this](bool on) { EnableEditors(on); };
  hooks_.startProgram = StartDetached;

  BuildMenus();
  BuildControls();
  setWindowTitle(QString::fromLatin1(kCaption) + QLatin1Char(' ') + QLatin1String(kVersion));
  // A fixed-size tool window: no maximise button, no resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  EnableEditors(false);
  writeToController_->setEnabled(false);
  OnModuleToggled(false);
  session_.connectionFields = [this] { return connectionFields(); };
}

TForm1::~TForm1() {
  session_.connectionFields = nullptr;
  // The port outlives the window: it must not report to it any more.
  if (watched_) watched_->SetObserver(nullptr);
}

void TForm1::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  new_ = file->addAction(QStringLiteral("&New"), this, &TForm1::OnNew);
  new_->setShortcut(QKeySequence::New);
  open_ = file->addAction(QStringLiteral("&Open"), this, &TForm1::OnOpen);
  open_->setShortcut(QKeySequence::Open);
  save_ = file->addAction(QStringLiteral("&Save"), this, &TForm1::OnSave);
  save_->setShortcut(QKeySequence::Save);
  saveAs_ = file->addAction(QStringLiteral("Save &as..."), this, &TForm1::OnSaveAs);
  file->addSeparator();
  close_ = file->addAction(QStringLiteral("&Close"), this, &QWidget::close);

  QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
  readFromController_ = project->addAction(QStringLiteral("&Read from controller"), this,
                                           &TForm1::OnReadFromController);
  writeToController_ = project->addAction(QStringLiteral("&Write to controller"), this,
                                          &TForm1::OnWriteToController);
  deviceReset_ = project->addAction(QStringLiteral("Device r&eset"), this, &TForm1::OnDeviceReset);

  QMenu* languages = menuBar()->addMenu(QStringLiteral("&Languages"));
  setLanguages_ =
      languages->addAction(QStringLiteral("&Set languages"), this, &TForm1::OnSetLanguages);

  emulator_ = menuBar()->addAction(QStringLiteral("&Emulator QDX"));
  connect(emulator_, &QAction::triggered, this, &TForm1::OnEmulatorClicked);
}

void TForm1::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(10, 6, 10, 8);
  outer->setSpacing(8);

  fileName_ = new QLabel(central);
  fileName_->setObjectName(QStringLiteral("CurrentFileName"));
  fileName_->setTextFormat(Qt::PlainText);
  fileName_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  fileName_->setMinimumHeight(fileName_->fontMetrics().height() + 4);
  // The groups below decide the window's width; a long name is elided, never widens it.
  fileName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  outer->addWidget(fileName_);

  auto* row = new QHBoxLayout;
  row->setSpacing(10);
  outer->addLayout(row);

  // Connection fields.
  auto* connection = new QGroupBox(QStringLiteral("Connection"), central);
  auto* form = new QFormLayout(connection);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setHorizontalSpacing(8);
  form->setVerticalSpacing(6);

  port_ = new QComboBox(connection);
  port_->setObjectName(QStringLiteral("ComboBoxPort"));
  for (int i = 1; i <= 255; ++i) port_->addItem(QStringLiteral("COM%1").arg(i));
  port_->setMaxVisibleItems(16);
  auto* portLabel = new QLabel(QStringLiteral("Port &COM"), connection);
  portLabel->setBuddy(port_);
  form->addRow(portLabel, port_);

  address_ = new QSpinBox(connection);
  address_->setObjectName(QStringLiteral("IntEditAdres"));
  address_->setRange(0, 247);
  address_->setValue(1);
  auto* addressLabel = new QLabel(QStringLiteral("Address RS-&485"), connection);
  addressLabel->setBuddy(address_);
  form->addRow(addressLabel, address_);

  baud_ = new QComboBox(connection);
  baud_->setObjectName(QStringLiteral("ComboBoxPredkosc"));
  baud_->addItems(kBaudRateEntries);
  baud_->setCurrentIndex(-1);
  // With no entry chosen the link runs at 38400 baud: the grey placeholder says so.
  baud_->setPlaceholderText(QString::number(BaudRateOfCode(BaudCodeForItemIndex(-1))));
  auto* baudLabel = new QLabel(QStringLiteral("&Baud rate"), connection);
  baudLabel->setBuddy(baud_);
  form->addRow(baudLabel, baud_);

  communication_ = new QPushButton(QStringLiteral("Commu&nication"), connection);
  communication_->setObjectName(QStringLiteral("ButtonCommunication"));
  communicationResult_ = new QLabel(connection);
  communicationResult_->setObjectName(QStringLiteral("CommunicationResult"));
  communicationResult_->setMinimumWidth(
      communicationResult_->fontMetrics().horizontalAdvance(QStringLiteral("ERR")) + 8);
  QFont bold = communicationResult_->font();
  bold.setBold(true);
  communicationResult_->setFont(bold);
  communicationResult_->hide();
  auto* testRow = new QHBoxLayout;
  testRow->addWidget(communication_, 1);
  testRow->addWidget(communicationResult_);
  form->addRow(QString(), testRow);

  module_ = new QCheckBox(QStringLiteral("Communication &module"), connection);
  module_->setObjectName(QStringLiteral("CheckBoxModul"));
  form->addRow(QString(), module_);

  codePage_ = new QComboBox(connection);
  codePage_->setObjectName(QStringLiteral("ComboBoxCodePage"));
  codePage_->addItems(kCodePageEntries);
  codePage_->setCurrentIndex(0);
  auto* codePageLabel = new QLabel(QStringLiteral("Code pa&ge"), connection);
  codePageLabel->setBuddy(codePage_);
  form->addRow(codePageLabel, codePage_);
  row->addWidget(connection);

  // Editor buttons, two to a row; "Readouts" last, so hiding it leaves no hole.
  auto* editors = new QGroupBox(QStringLiteral("Editors"), central);
  auto* grid = new QGridLayout(editors);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  for (int i = 0; i < kEditorCount; ++i) {
    auto* button = new QPushButton(QString::fromLatin1(kEditorCaptions[i]), editors);
    button->setObjectName(QStringLiteral("Button") + QLatin1String(kEditorNames[i]));
    button->setMinimumSize(150, 30);
    button->setAutoFillBackground(true);
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    const auto editor = static_cast<Editor>(i);
    connect(button, &QPushButton::clicked, this, [this, editor] { OnEditorClicked(editor); });
    grid->addWidget(button, i / 2, i % 2);
    editorButtons_[i] = button;
  }
  row->addWidget(editors);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusLine"));
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  // A device path and a failure's reason can be long: they wrap onto a second line, which is
  // always there so the window keeps its size; the tooltip holds the whole text.
  status_->setWordWrap(true);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status_->setFixedHeight(2 * status_->fontMetrics().lineSpacing() + 4);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(false);

  connect(port_, &QComboBox::currentIndexChanged, this, &TForm1::OnPortChanged);
  connect(module_, &QCheckBox::toggled, this, &TForm1::OnModuleToggled);
  connect(codePage_, &QComboBox::currentIndexChanged, this, &TForm1::OnCodePageChanged);
  connect(communication_, &QPushButton::clicked, this, &TForm1::OnCommunicationClicked);

  // Keyboard order: the connection fields top to bottom, then the editors row by row.
  QWidget* previous = port_;
  for (QWidget* w :
       std::initializer_list<QWidget*>{address_, baud_, communication_, module_, codePage_}) {
    setTabOrder(previous, w);
    previous = w;
  }
  for (QPushButton* button : editorButtons_) {
    setTabOrder(previous, button);
    previous = button;
  }
  OnPortChanged(port_->currentIndex());
  status_->setMinimumWidth(central->sizeHint().width() - 8);
}

void TForm1::ShowFileName(const QString& name) {
  const QString native = QDir::toNativeSeparators(name);
  fileName_->setToolTip(native);
  // Long paths lose their middle, never the file's own name.
  const int width = std::max(centralWidget()->sizeHint().width() - 24, 200);
  fileName_->setText(fileName_->fontMetrics().elidedText(native, Qt::ElideMiddle, width));
}

void TForm1::ShowStatus(const QString& text) {
  status_->setText(text);
  status_->setToolTip(text);
}

void TForm1::EnableEditors(bool on) {
  for (QPushButton* button : editorButtons_) {
    button->setEnabled(on);
    QPalette palette = button->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      palette.setColor(group, QPalette::ButtonText, on ? kCaptionOn : kCaptionOff);
      palette.setColor(group, QPalette::Button, on ? kButtonOn : kButtonOff);
    }
    button->setPalette(palette);
  }
  if (on) writeToController_->setEnabled(true);
}

ConnectionFields TForm1::connectionFields() const {
  return ConnectionFields{port_->currentIndex(), baud_->currentIndex(), address_->value()};
}

void TForm1::SetConnectionFields(const ConnectionFields& fields) {
  port_->setCurrentIndex(std::clamp(fields.portItemIndex, 0, port_->count() - 1));
  baud_->setCurrentIndex(fields.baudItemIndex >= 0 && fields.baudItemIndex < baud_->count()
                             ? fields.baudItemIndex
                             : -1);
  address_->setValue(fields.address);
}

void TForm1::ReadConnectionSettings() {
  ApplyConnectionFields(connectionFields(), session_.link, session_.stationAddress);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    OnFirstShow();
  }
}

void TForm1::OnFirstShow() {
  const SettingsFolders folders = session_.settingsFolders();
  QString error;
  session_.settings = ReadAppSettings(folders, &error);
  if (!error.isEmpty()) {
    startupErrors_
        << QStringLiteral("The settings could not be read; the defaults are used.\n%1").arg(error);
  }
  session_.ileBlokProgram = session_.settings.ileBlokProgram;
  {
    const QSignalBlocker blockModule(module_);
    const QSignalBlocker blockCodePage(codePage_);
    module_->setChecked(session_.settings.jestModul);
    codePage_->setCurrentIndex(session_.settings.stronaKodowa);
  }
  session_.codePageIndex = session_.settings.stronaKodowa;
  OnModuleToggled(module_->isChecked());
  WashingProgram(session_.blocks.image).SetNumber(kWashingProgramNumber);
  flows_->SetOpenDir(session_.programDir);

  error.clear();
  SetConnectionFields(ReadConnectionFields(folders, &error));
  if (!error.isEmpty()) {
    startupErrors_ << QStringLiteral("The connection settings could not be read.\n%1").arg(error);
  }
  OnPortChanged(port_->currentIndex());

  // Messages and the project load wait until the window is on the screen, so a message box
  // never stands in front of nothing.
  QTimer::singleShot(0, this, &TForm1::FinishStartUp);
}

void TForm1::FinishStartUp() {
  for (const QString& text : std::exchange(startupErrors_, {})) dialogs_.ShowError(text);
  const QString& project = startup_.projectFile;
  if (!project.isEmpty() && QFileInfo(project).isFile()) flows_->OpenStartupFile(project);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closed_ || RunCloseSequence()) {
    closed_ = true;
    event->accept();
  } else {
    event->ignore();
  }
}

bool TForm1::RunCloseSequence() {
  if (session_.writePending && hooks_.resetOffer) hooks_.resetOffer();
  const SettingsFolders folders = session_.settingsFolders();
  QString error;
  // Settings are written back only once they were read, so a window that never showed them
  // cannot overwrite them with its defaults.
  if (shown_ &&
      !WriteAppSettingsOnClose(folders, codePage_->currentIndex(), module_->isChecked(), &error)) {
    dialogs_.ShowError(QStringLiteral("The settings could not be saved.\n%1").arg(error));
  }
  // "Yes" that did not end in a saved project keeps the window open, so nothing is lost.
  if (!flows_->OfferSave()) return false;
  error.clear();
  if (shown_ && !WriteConnectionFields(folders, connectionFields(), &error)) {
    dialogs_.ShowError(
        QStringLiteral("The connection settings could not be saved.\n%1").arg(error));
  }
  return true;
}

void TForm1::OnNew() {
  flows_->New();
}
void TForm1::OnOpen() {
  flows_->Open();
}
void TForm1::OnSave() {
  flows_->Save();
}
void TForm1::OnSaveAs() {
  flows_->SaveAs();
}

void TForm1::OnEditorClicked(Editor editor) {
  const auto& open = hooks_.editors[int(editor)];
  if (!open) return;
  if (editor == Editor::ProgramWashing) {
    ProgramRecord washing = WashingProgram(session_.blocks.image);
    washing.SetNumber(kWashingProgramNumber);
    washing.Name().SetBytes(QByteArrayView(kWashingProgramName));
  }
  open();
}

void TForm1::OnCommunicationClicked() {
  communicationResult_->hide();
  ReadConnectionSettings();
  if (!hooks_.testConnection) return;
  const bool ok = hooks_.testConnection();
  communicationResult_->setText(ok ? QStringLiteral("OK") : QStringLiteral("ERR"));
  QPalette palette = communicationResult_->palette();
  palette.setColor(QPalette::WindowText, ok ? QColor(0x00, 0xFF, 0x00) : QColor(Qt::red));
  communicationResult_->setPalette(palette);
  communicationResult_->show();
}

void TForm1::OnModuleToggled(bool on) {
  session_.moduleFlag = on;
  editorButton(Editor::Readouts)->setVisible(on);
  emulator_->setVisible(!on);
}

void TForm1::OnCodePageChanged(int index) {
  if (index >= 0) session_.codePageIndex = index;
}

void TForm1::OnPortChanged(int /*index*/) {
  RefreshPortStatus();
}

void TForm1::RefreshPortStatus() {
  if (!port_ || port_->currentIndex() < 0) return;
  portStatus_.SetPort(port_->currentIndex(), session_.settings);
  ShowStatus(portStatus_.Text());
}

void TForm1::ReportPortEvent(const QString& device, PortError error, const QString& text) {
  portStatus_.Report(device, error, text);
  RefreshPortStatus();
}

void TForm1::AttachLink(Link& link, LinkOperations& operations, WatchedSerialPort* watched) {
  hooks_.testConnection = [&operations] { return operations.TestConnection() == kLinkOk; };
  hooks_.resetOffer = [this, &operations] {
    ReadConnectionSettings();
    operations.ResetAfterWrite(dialogs_);
  };
  hooks_.closePort = [&link] { link.Close(); };
  watched_ = watched;
  if (watched) {
    watched->SetObserver([this](const QString& device, PortError error, const QString& text) {
      ReportPortEvent(device, error, text);
    });
  }
}

void TForm1::OnReadFromController() {
  if (!hooks_.readFromController) return;
  hooks_.readFromController();
  flows_->ProjectReadFromController();
}

void TForm1::OnWriteToController() {
  if (hooks_.writeToController) hooks_.writeToController();
}

void TForm1::OnDeviceReset() {
  session_.writePending = true;
  if (hooks_.resetOffer) hooks_.resetOffer();
}

void TForm1::OnSetLanguages() {
  if (hooks_.setLanguages) hooks_.setLanguages();
}

void TForm1::OnEmulatorClicked() {
  ReadConnectionSettings();
  if (hooks_.closePort) hooks_.closePort();
  const QString program = QDir(session_.programDir).filePath(kEmulatorProgram);
  const QStringList arguments = {QString::number(session_.link.portIndex), QStringLiteral("8")};
  QString error;
  if (!hooks_.startProgram) return;
  if (!hooks_.startProgram(program, arguments, &error)) {
    dialogs_.ShowError(QStringLiteral("The emulator could not be started.\n%1").arg(error));
    return;
  }
  WatchEmulator(session_.link.portIndex);
}

void TForm1::WatchEmulator(int portIndex) {
  if (!emulatorWatch_) {
    emulatorWatch_ = new QTimer(this);
    emulatorWatch_->setInterval(100);
    connect(emulatorWatch_, &QTimer::timeout, this, &TForm1::OnEmulatorWatchTick);
  }
  emulatorWatchPort_ = portIndex;
  emulatorWatchTime_.start();
  emulatorWatch_->start();
  OnEmulatorWatchTick();
}

void TForm1::OnEmulatorWatchTick() {
  RefreshPortStatus();
  // The emulator publishes its port once it serves it; until then the port is what it was.
  if (QFileInfo(EmulatorPortLink(emulatorWatchPort_ + 1)).exists()) {
    emulatorWatch_->stop();
    return;
  }
  if (emulatorWatchTime_.elapsed() < emulatorWaitMs_) return;
  emulatorWatch_->stop();
  const QString port = ComPortName(emulatorWatchPort_);
  ShowStatus(
      QStringLiteral("%1. Emulator QDX did not start serving %2.").arg(portStatus_.Text(), port));
  dialogs_.ShowError(
      QStringLiteral("Emulator QDX did not start serving %1.\nStart it from a terminal to see "
                     "why: %2 %3 8")
          .arg(port, QDir::toNativeSeparators(QDir(session_.programDir).filePath(kEmulatorProgram)))
          .arg(emulatorWatchPort_));
}

}  // namespace qdx
