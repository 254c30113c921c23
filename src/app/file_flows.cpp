#include "app/file_flows.h"

#include <QDir>
#include <QFileInfo>

namespace qdx {

ProjectFileFlows::ProjectFileFlows(Session& session, Dialogs& dialogs)
    : session_(session), dialogs_(dialogs), openDir_(session.programDir) {
  TakeSnapshot();
}

ProjectFileFlows::~ProjectFileFlows() = default;

bool ProjectFileFlows::IsModified() const {
  if (modifiedFlag_) return true;
  if (!projectInUse_) return false;
  const ProjectBlocks& b = session_.blocks;
  return !(b.image == snapshot_->image && b.passwords == snapshot_->passwords &&
           b.pid == snapshot_->pid);
}

void ProjectFileFlows::TakeSnapshot() {
  if (!snapshot_) snapshot_ = std::make_unique<ProjectBlocks>();
  *snapshot_ = session_.blocks;
}

void ProjectFileFlows::SetFileName(const QString& name) {
  currentFileName_ = name;
  if (showFileName) showFileName(name);
}

void ProjectFileFlows::SetProjectInUse(bool on) {
  projectInUse_ = on;
  if (enableEditors) enableEditors(on);
}

bool ProjectFileFlows::OfferSave() {
  if (!IsModified()) return true;
  if (dialogs_.AskYesNo(kSaveQuestion) != kAnswerYes) return true;
  // With no file name (a project read from the controller) plain Save would do nothing and
  // the work would be lost; ask for a name instead.
  return currentFileName_.isEmpty() ? SaveAs() : Save();
}

bool ProjectFileFlows::New() {
  if (!OfferSave()) return false;
  modifiedFlag_ = true;
  const FileResult result = NewProject(session_.blocks, session_.programDir);
  if (!result) {
    dialogs_.ShowError(
        QStringLiteral("A new project could not be made from the template.\n%1").arg(result.error));
    return false;
  }
  SetFileName(QDir(session_.programDir).filePath(kTemplateFileName));
  saveAsRequired_ = true;
  TakeSnapshot();
  SetProjectInUse(true);
  return true;
}

bool ProjectFileFlows::Open() {
  if (!OfferSave()) return false;
  modifiedFlag_ = false;
  saveAsRequired_ = false;
  SetFileName({});
  SetProjectInUse(false);
  const QString name = dialogs_.OpenFileName(openDir_, kOpenFilter, kProjectSuffix);
  if (name.isEmpty()) return false;
  const FileResult result = LoadProjectFile(session_.blocks, name);
  if (!result) {
    dialogs_.ShowError(QStringLiteral("The project could not be opened.\n%1").arg(result.error));
    return false;
  }
  SetFileName(name);
  TakeSnapshot();
  SetProjectInUse(true);
  return true;
}

bool ProjectFileFlows::OpenStartupFile(const QString& fileName) {
  modifiedFlag_ = false;
  saveAsRequired_ = false;
  SetFileName({});
  SetProjectInUse(false);
  const FileResult result = LoadProjectFile(session_.blocks, fileName);
  if (!result) {
    dialogs_.ShowError(QStringLiteral("The project could not be opened.\n%1").arg(result.error));
    return false;
  }
  SetFileName(fileName);
  TakeSnapshot();
  SetProjectInUse(true);
  return true;
}

void ProjectFileFlows::ProjectReadFromController() {
  SetProjectInUse(true);
}

bool ProjectFileFlows::Save() {
  if (currentFileName_.isEmpty()) return false;
  if (saveAsRequired_ || FromOldLayout()) return SaveAs();
  return SaveTo(currentFileName_);
}

bool ProjectFileFlows::SaveAs() {
  QString name = dialogs_.SaveFileName(SaveAsStart(), kSaveFilter, kProjectSuffix);
  if (name.isEmpty()) return false;
  // A name that would reopen in an old layout gets the suffix of the layout written.
  if (ProjectFormatOf(name) != ProjectFormat::Qd3) {
    name += QLatin1Char('.') + QLatin1String(kProjectSuffix);
  }
  if (!SaveTo(name)) return false;
  SetFileName(name);
  saveAsRequired_ = false;
  return true;
}

bool ProjectFileFlows::SaveTo(const QString& fileName) {
  const FileResult result = SaveProjectFile(session_.blocks, fileName);
  if (!result) {
    dialogs_.ShowError(
        QStringLiteral("The project could not be saved.\n%1\nUse File > Save as... to save it "
                       "under another name or in another folder.")
            .arg(result.error));
    return false;
  }
  modifiedFlag_ = false;
  TakeSnapshot();
  return true;
}

bool ProjectFileFlows::FromOldLayout() const {
  return !currentFileName_.isEmpty() && ProjectFormatOf(currentFileName_) != ProjectFormat::Qd3;
}

QString ProjectFileFlows::SaveAsStart() const {
  if (!currentFileName_.isEmpty() && !saveAsRequired_) {
    const QFileInfo info(currentFileName_);
    if (!info.dir().exists()) return openDir_;
    if (!FromOldLayout()) return info.absolutePath();
    return info.dir().absoluteFilePath(info.completeBaseName() + QLatin1Char('.') +
                                       QLatin1String(kProjectSuffix));
  }
  return openDir_;
}

}  // namespace qdx
