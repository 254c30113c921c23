// The File menu's decisions without a window: questions, names, the modified state and what
// happens after a failed load or save.
#include "app/file_flows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "files/legacy_formats.h"
#include "files/project_defaults.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

using test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;

class FileFlowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<Session>();
    session_->programDir = dir_.filePath("program");
    QDir().mkpath(session_->programDir);
    ApplyStartupDefaults(session_->blocks.image);
    flows_ = std::make_unique<ProjectFileFlows>(*session_, dialogs_);
    flows_->enableEditors = [this](bool on) { editorsOn_ = on; };
    flows_->showFileName = [this](const QString& name) { shown_ = name; };
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  // A project on disk whose first header byte is marker.
  QString MakeProject(const QString& name, std::uint8_t marker) {
    auto blocks = std::make_unique<ProjectBlocks>();
    blocks->image.data()[1] = marker;
    blocks->passwords.data()[0] = marker;
    const QString path = Path(name);
    EXPECT_TRUE(SaveProjectFile(*blocks, path).ok);
    return path;
  }

  static QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // A folder name that cannot be created: its parent is a regular file.
  QString BlockedPath(const QString& name) {
    QFile blocker(Path("blocker"));
    EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    return Path("blocker/" + name);
  }

  QTemporaryDir dir_;
  std::unique_ptr<Session> session_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<ProjectFileFlows> flows_;
  bool editorsOn_ = false;
  QString shown_;
};

TEST_F(FileFlowsTest, NewWithoutChangesAsksNothingAndNamesTheTemplate) {
  ASSERT_TRUE(flows_->New());
  EXPECT_EQ(dialogs_.Count(Kind::Question), 0);
  EXPECT_TRUE(flows_->modifiedFlag());
  EXPECT_TRUE(editorsOn_);
  EXPECT_EQ(flows_->currentFileName(), QDir(session_->programDir).filePath("default.qd3"));
  EXPECT_EQ(shown_, flows_->currentFileName());
}

TEST_F(FileFlowsTest, AfterNewOpenAndCloseAskTheQuestion) {
  ASSERT_TRUE(flows_->New());
  dialogs_.QueueNo();
  EXPECT_TRUE(flows_->OfferSave());  // what Close asks
  EXPECT_EQ(dialogs_.questions(), QStringList({kSaveQuestion}));

  const QString project = MakeProject("a.qd3", 0x41);
  dialogs_.QueueNo();
  dialogs_.QueueOpenFileName(project);
  ASSERT_TRUE(flows_->Open());
  EXPECT_EQ(dialogs_.questions().size(), 2);
  EXPECT_FALSE(flows_->modifiedFlag());
  EXPECT_FALSE(flows_->IsModified());
  EXPECT_TRUE(flows_->OfferSave());
  EXPECT_EQ(dialogs_.questions().size(), 2);  // nothing changed since the load
}

TEST_F(FileFlowsTest, SaveAfterNewAsksForANameAndLeavesTheTemplateAlone) {
  const QString templ = MakeProject("program/default.qd3", 0x11);
  const QByteArray before = FileBytes(templ);
  ASSERT_TRUE(flows_->New());
  EXPECT_EQ(session_->blocks.image.data()[1], 0x11);
  session_->blocks.image.data()[1] = 0x22;

  const QString target = Path("mine.qd3");
  dialogs_.QueueSaveFileName(target);
  ASSERT_TRUE(flows_->Save());
  ASSERT_EQ(dialogs_.Count(Kind::SaveFile), 1);
  EXPECT_EQ(dialogs_.shown().back().filter, kSaveFilter);
  EXPECT_EQ(dialogs_.shown().back().defaultSuffix, "qd3");
  EXPECT_EQ(FileBytes(templ), before);
  EXPECT_EQ(FileBytes(target).at(1), 0x22);
  EXPECT_EQ(flows_->currentFileName(), target);
  EXPECT_FALSE(flows_->modifiedFlag());

  // From now on Save writes the chosen file without asking.
  session_->blocks.image.data()[1] = 0x33;
  ASSERT_TRUE(flows_->Save());
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 1);
  EXPECT_EQ(FileBytes(target).at(1), 0x33);
}

TEST_F(FileFlowsTest, CancelledOpenLeavesNoProjectInUse) {
  const QString project = MakeProject("a.qd3", 0x41);
  ASSERT_TRUE(flows_->OpenStartupFile(project));
  ASSERT_TRUE(editorsOn_);
  dialogs_.QueueOpenFileName({});
  EXPECT_FALSE(flows_->Open());
  EXPECT_FALSE(editorsOn_);
  EXPECT_TRUE(flows_->currentFileName().isEmpty());
  EXPECT_TRUE(shown_.isEmpty());
  ASSERT_EQ(dialogs_.Count(Kind::OpenFile), 1);
  EXPECT_EQ(dialogs_.shown().back().text, session_->programDir);
  EXPECT_EQ(dialogs_.shown().back().filter, kOpenFilter);
  // Save has no name to write to.
  EXPECT_FALSE(flows_->Save());
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 0);
}

TEST_F(FileFlowsTest, FailedOpenShowsTheFileAndReason) {
  QFile shortFile(Path("short.qd3"));
  ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
  shortFile.write(QByteArray(100, '\0'));
  shortFile.close();
  dialogs_.QueueOpenFileName(Path("short.qd3"));
  EXPECT_FALSE(flows_->Open());
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors().first().contains("short.qd3"))
      << dialogs_.errors().first().toStdString();
  EXPECT_FALSE(editorsOn_);
  EXPECT_TRUE(flows_->currentFileName().isEmpty());
}

TEST_F(FileFlowsTest, ChangedBytesCountAsModifiedWithoutAnyFlag) {
  const QString project = MakeProject("a.qd3", 0x41);
  ASSERT_TRUE(flows_->OpenStartupFile(project));
  struct Change {
    const char* what;
    std::uint8_t* byte;
  };
  const Change changes[] = {
      {"image", session_->blocks.image.data() + image::kRelaysOffset + 50},
      {"passwords", session_->blocks.passwords.data() + 549},
      {"pid", session_->blocks.pid.data() + 7},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(flows_->IsModified());
    *c.byte ^= 0xFF;
    EXPECT_TRUE(flows_->IsModified());
    EXPECT_FALSE(flows_->modifiedFlag());
    *c.byte ^= 0xFF;  // changed back: nothing to save
    EXPECT_FALSE(flows_->IsModified());
  }

  session_->blocks.pid.data()[0] = 0x5A;
  dialogs_.QueueYes();
  EXPECT_TRUE(flows_->OfferSave());
  EXPECT_EQ(FileBytes(project + "pid").at(0), 0x5A);
  EXPECT_FALSE(flows_->IsModified());
}

TEST_F(FileFlowsTest, FailedSaveShowsTheErrorAndKeepsTheFlag) {
  ASSERT_TRUE(flows_->New());
  const QString name = flows_->currentFileName();
  dialogs_.QueueSaveFileName(BlockedPath("x.qd3"));
  EXPECT_FALSE(flows_->Save());
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors().first().contains("x.qd3"));
  EXPECT_TRUE(flows_->modifiedFlag());
  EXPECT_EQ(flows_->currentFileName(), name);
}

TEST_F(FileFlowsTest, FailedSaveToTheCurrentNameKeepsTheWorkModified) {
  QDir().mkpath(Path("work"));
  const QString project = MakeProject("work/a.qd3", 0x41);
  ASSERT_TRUE(flows_->OpenStartupFile(project));
  session_->blocks.image.data()[1] = 0x42;
  // The folder disappears and a file takes its name.
  ASSERT_TRUE(QDir(Path("work")).removeRecursively());
  QFile blocker(Path("work"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_FALSE(flows_->Save());
  EXPECT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(flows_->IsModified());
  EXPECT_EQ(flows_->currentFileName(), project);
}

TEST_F(FileFlowsTest, YesThatDoesNotSaveStopsNewAndOpen) {
  ASSERT_TRUE(flows_->New());
  session_->blocks.image.data()[1] = 0x77;
  // "Yes", then the name dialog is cancelled: New must not replace the work.
  dialogs_.QueueYes();
  dialogs_.QueueSaveFileName({});
  EXPECT_FALSE(flows_->New());
  EXPECT_EQ(session_->blocks.image.data()[1], 0x77);
  // "Yes", then the save fails: Open must not start.
  dialogs_.QueueYes();
  dialogs_.QueueSaveFileName(BlockedPath("y.qd3"));
  EXPECT_FALSE(flows_->Open());
  EXPECT_EQ(dialogs_.Count(Kind::OpenFile), 0);
  EXPECT_TRUE(editorsOn_);
  EXPECT_TRUE(dialogs_.AllConsumed());
}

TEST_F(FileFlowsTest, StartupNewQdpSavesUnderANewName) {
  // "NEW.qdp" exactly, as given on the command line (relative to the working folder).
  QFile old(Path("NEW.qdp"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write(QByteArray(285'488, '\0'));
  old.close();
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  const bool opened = flows_->OpenStartupFile("NEW.qdp");
  EXPECT_TRUE(opened);
  EXPECT_EQ(flows_->currentFileName(), "NEW.qdp");
  dialogs_.QueueSaveFileName(Path("converted.qd3"));
  EXPECT_TRUE(flows_->Save());
  QDir::setCurrent(previous);
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 1);
  EXPECT_EQ(QFileInfo(Path("NEW.qdp")).size(), 285'488);
  EXPECT_EQ(QFileInfo(Path("converted.qd3")).size(), static_cast<qint64>(image::kSize));
  EXPECT_EQ(flows_->currentFileName(), Path("converted.qd3"));
}

// An old layout is converted on load; Save must never write the new layout over it.
TEST_F(FileFlowsTest, SaveOfAnOldLayoutAsksForANameOfferingQd3) {
  struct Case {
    const char* name;
    std::size_t size;
    const char* offered;
    const char* typed;  // what the user keeps or types in the name dialog
    const char* saved;
  };
  const Case cases[] = {
      {"old.qd2", qd2::kFileSize, "old.qd3", "old.qd3", "old.qd3"},
      {"Plant.v2.QDP", qdp::kFileSize, "Plant.v2.qd3", "Plant.v2.qd3", "Plant.v2.qd3"},
      // A name typed with an old suffix would reopen as that layout: the new suffix is added.
      {"kept.qdp", qdp::kFileSize, "kept.qd3", "kept.qdp", "kept.qdp.qd3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile old(Path(c.name));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(static_cast<qsizetype>(c.size), '\0'));
    old.close();
    const QByteArray before = FileBytes(Path(c.name));
    ASSERT_TRUE(flows_->OpenStartupFile(Path(c.name)));
    session_->blocks.image.data()[1] = 0x5C;

    dialogs_.ClearRecord();
    dialogs_.QueueSaveFileName(Path(c.typed));
    ASSERT_TRUE(flows_->Save());
    ASSERT_EQ(dialogs_.Count(Kind::SaveFile), 1);
    EXPECT_EQ(dialogs_.shown().back().text, Path(c.offered));
    EXPECT_EQ(FileBytes(Path(c.name)), before);
    EXPECT_EQ(flows_->currentFileName(), Path(c.saved));
    EXPECT_EQ(FileBytes(Path(c.saved)).size(), static_cast<qsizetype>(image::kSize));

    // The project now has a ".qd3" name: Save writes it without asking.
    session_->blocks.image.data()[1] = 0x5D;
    ASSERT_TRUE(flows_->Save());
    EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 1);
    EXPECT_EQ(FileBytes(Path(c.saved)).at(1), 0x5D);
  }
}

TEST_F(FileFlowsTest, ProjectReadFromControllerIsOfferedForSaving) {
  flows_->ProjectReadFromController();
  EXPECT_TRUE(editorsOn_);
  EXPECT_FALSE(flows_->Save());  // File > Save has no name and does nothing
  EXPECT_EQ(dialogs_.Count(Kind::SaveFile), 0);
  session_->blocks.image.data()[image::kSetupOffset] = 9;  // what the read brought
  dialogs_.QueueYes();
  dialogs_.QueueSaveFileName(Path("read.qd3"));
  EXPECT_TRUE(flows_->OfferSave());
  EXPECT_EQ(flows_->currentFileName(), Path("read.qd3"));
  EXPECT_TRUE(QFileInfo::exists(Path("read.qd3h")));
}

TEST_F(FileFlowsTest, FailedNewKeepsTheFlagAndShowsTheReason) {
  QFile broken(QDir(session_->programDir).filePath("default.qd3"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("short");
  broken.close();
  EXPECT_FALSE(flows_->New());
  EXPECT_TRUE(flows_->modifiedFlag());
  EXPECT_FALSE(editorsOn_);
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors().first().contains("default.qd3"));
}

}  // namespace
}  // namespace qdx
