// What the File menu does to the project in use — New, Open, Save, Save as and the save
// question — apart from the window that shows it, so the decisions run without widgets.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "app/session.h"
#include "files/project_files.h"
#include "model/dialogs.h"

namespace qdx {

inline constexpr const char* kSaveQuestion = "Should modifications in design be saved?";
inline constexpr const char* kOpenFilter = "Project QDX (*.qdp *.qd2 *.qd3)";
inline constexpr const char* kSaveFilter = "Project QDX (*.qd3)";
inline constexpr const char* kProjectSuffix = "qd3";

class ProjectFileFlows {
 public:
  // Takes the blocks as they are now as "unmodified".
  ProjectFileFlows(Session& session, Dialogs& dialogs);
  ~ProjectFileFlows();

  // Told whenever the file name to show or the editors' state changes.
  std::function<void(const QString&)> showFileName;
  std::function<void(bool)> enableEditors;

  // Full name of the project file in use; empty when none.
  const QString& currentFileName() const { return currentFileName_; }
  // Set by New until the project is saved; cleared by a load and a successful save.
  bool modifiedFlag() const { return modifiedFlag_; }
  // A project is in use: the editors work on it.
  bool projectInUse() const { return projectInUse_; }
  // True when the flag is set or the project in use differs, byte for byte, from what was
  // last loaded, created or saved: no editor has to report its changes.
  bool IsModified() const;

  // Start folder of the Open dialog (the program's folder).
  void SetOpenDir(const QString& dir) { openDir_ = dir; }

  // File > New: a project from the template; "default.qd3" is shown as its name, but Save
  // asks for a name so the template is never overwritten by accident. False when it did
  // not happen (the save asked for failed, or the template could not be read).
  bool New();
  // File > Open. False when no project was opened.
  bool Open();
  // File > Save: nothing without a file name; asks for a name after New and for a project
  // opened from an old layout (".qd2", ".qdp"), which is never overwritten in the new one.
  bool Save();
  // File > Save as. False when cancelled or failed. For a project from an old layout it
  // offers the same name with ".qd3".
  bool SaveAs();
  // The project named on the command line. False when it could not be loaded.
  bool OpenStartupFile(const QString& fileName);
  // "Read from controller" put a project in memory: the editors work on it, and as it was
  // not saved anywhere the save question covers it.
  void ProjectReadFromController();

  // The save question before New, Open and Close. True to go on: nothing to save, "No", or
  // the project was saved. False when "Yes" did not end in a saved project.
  bool OfferSave();

 private:
  bool SaveTo(const QString& fileName);
  void SetFileName(const QString& name);
  void SetProjectInUse(bool on);
  void TakeSnapshot();
  // Where the name dialog starts: a folder, or the name it offers.
  QString SaveAsStart() const;
  bool FromOldLayout() const;

  Session& session_;
  Dialogs& dialogs_;
  QString currentFileName_;
  QString openDir_;
  bool modifiedFlag_ = false;
  bool projectInUse_ = false;
  bool saveAsRequired_ = false;  // after New: Save must ask for a name
  std::unique_ptr<ProjectBlocks> snapshot_;
};

}  // namespace qdx
