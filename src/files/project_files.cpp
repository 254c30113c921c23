#include "files/project_files.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "files/legacy_formats.h"
#include "files/project_defaults.h"
#include "files/record_file.h"
#include "model/program_record.h"

namespace qdx {

namespace {

QString PasswordFileName(const QString& fileName) {
  return fileName + QLatin1Char('h');
}
QString PidFileName(const QString& fileName) {
  return fileName + QStringLiteral("pid");
}

// A side file is optional: when it does not exist its block keeps what it held.
template <std::size_t N>
FileResult LoadSideFile(ByteBlock<N>& block, const QString& fileName) {
  if (!QFileInfo::exists(fileName)) return {};
  return ReadRecordFile(fileName, block.bytes());
}

QByteArrayView View(std::span<const std::uint8_t> bytes) {
  return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

ProjectFormat ProjectFormatOf(const QString& fileName) {
  // The extension is the file name's text from its last dot on; folder names do not count.
  const QString name = QFileInfo(fileName).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : name.mid(dot);
  if (extension.contains(QLatin1String("qd3"), Qt::CaseInsensitive)) return ProjectFormat::Qd3;
  if (extension.contains(QLatin1String("qd2"), Qt::CaseInsensitive)) return ProjectFormat::Qd2;
  return ProjectFormat::Qdp;
}

FileResult LoadProjectFile(ProjectBlocks& blocks, const QString& fileName) {
  FileResult result;
  switch (ProjectFormatOf(fileName)) {
    case ProjectFormat::Qd3:
      result = ReadRecordFile(fileName, blocks.image.bytes());
      break;
    case ProjectFormat::Qd2:
      result = LoadQd2File(blocks.image, fileName);
      break;
    case ProjectFormat::Qdp:
      result = LoadQdpFile(blocks.image, fileName);
      break;
  }
  if (!result) return result;
  ApplyFixedNames(blocks.image);

  // A side file that exists but cannot be read whole fails the load, although the image
  // has been filled; the caller then treats the project as not loaded.
  if (FileResult r = LoadSideFile(blocks.passwords, PasswordFileName(fileName)); !r) return r;
  return LoadSideFile(blocks.pid, PidFileName(fileName));
}

FileResult SaveProjectFile(const ProjectBlocks& blocks, const QString& fileName) {
  return WriteFilesAtomically({
      {fileName, View(blocks.image.bytes())},
      {PasswordFileName(fileName), View(blocks.passwords.bytes())},
      {PidFileName(fileName), View(blocks.pid.bytes())},
  });
}

FileResult NewProject(ProjectBlocks& blocks, const QString& templateDir) {
  const QString templateFile = QDir(templateDir).filePath(QLatin1String(kTemplateFileName));
  if (QFileInfo::exists(templateFile)) {
    if (FileResult r = ReadRecordFile(templateFile, blocks.image.bytes()); !r) return r;
  }
  // Side files of the template are not read: passwords and PID keep their content.
  WashingProgram(blocks.image).SetNumber(kWashingProgramNumber);
  ApplyFixedNames(blocks.image);
  return {};
}

}  // namespace qdx
