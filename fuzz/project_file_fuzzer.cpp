// Feeds arbitrary bytes to the project-file loaders: the input becomes a project file under
// each of the three extensions, with side files beside it, and is loaded. Nothing may read
// or write outside the blocks, whatever the files hold. The files go to the temporary
// folder: run with TMPDIR=/dev/shm to keep them off the disk.
//
// The first input byte chooses how the rest is sized, so that the conversions also run on
// fuzzed content and not only on files that are too short:
//   bits 0-1: 0 as it is, 1 cut or padded to the format's exact size, 2 one byte longer,
//             3 one byte shorter;
//   bit 2: write the side files; bit 3: make them exactly their blocks' sizes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "files/legacy_formats.h"
#include "files/project_files.h"
#include "model/records.h"

namespace {

using namespace qdx;

// The file content for one size mode, built in a buffer that is reused between inputs
// (fresh megabytes for every input would cost more than the loads themselves).
QByteArrayView Sized(std::span<const std::uint8_t> content, int mode, std::size_t exact) {
  static std::vector<char> buffer;
  std::size_t size = content.size();
  if (mode == 1) size = exact;
  if (mode == 2) size = exact + 1;
  if (mode == 3) size = exact - 1;
  if (buffer.size() < size) buffer.resize(size);
  const std::size_t copied = std::min(size, content.size());
  std::memcpy(buffer.data(), content.data(), copied);
  std::memset(buffer.data() + copied, 0, size - copied);
  return QByteArrayView(buffer.data(), static_cast<qsizetype>(size));
}

void Write(const QString& name, QByteArrayView bytes) {
  QFile f(name);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes.data(), bytes.size());
}

// Reads every field a window would show, so that damaged contents reach the views too.
std::uint64_t Touch(const ProjectBlocks& b) {
  std::uint64_t sum = static_cast<std::uint64_t>(Header(b.image).Bytes().size());
  for (int n = 1; n <= kProgramSlots; ++n) {
    const ConstProgramRecord p = Program(b.image, n);
    sum += static_cast<std::uint64_t>(p.Name().Bytes().size());
    sum += static_cast<std::uint64_t>(p.Step(p.StepsInUse()).ProcessNumber());
  }
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    sum += static_cast<std::uint64_t>(SpecialStatus(b.image, n).Name().Bytes().size());
  }
  for (int n = 1; n <= passwords::kEntryCount; ++n) {
    sum += static_cast<std::uint64_t>(PasswordEntry(b.passwords, n).Bytes().size());
  }
  for (int n = 1; n <= kPidCount; ++n)
    sum += static_cast<std::uint64_t>(Pid(b.pid, n).Name().Length());
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QTemporaryDir dir;
  static ProjectBlocks blocks;
  if (size == 0 || !dir.isValid()) return 0;

  const int mode = data[0] & 3;
  const bool sideFiles = (data[0] & 4) != 0;
  const bool exactSideFiles = (data[0] & 8) != 0;
  const std::span<const std::uint8_t> content(data + 1, size - 1);

  struct Format {
    const char* name;
    std::size_t size;
  };
  const Format formats[] = {
      {"p.qd3", image::kSize}, {"p.QD2", qd2::kFileSize}, {"p.qdp", qdp::kFileSize}};
  for (const Format& f : formats) {
    const QString name = dir.filePath(QString::fromLatin1(f.name));
    Write(name, Sized(content, mode, f.size));
    QFile::remove(name + "h");
    QFile::remove(name + "pid");
    if (sideFiles) {
      Write(name + "h", Sized(content, exactSideFiles ? 1 : 0, passwords::kSize));
      Write(name + "pid", Sized(content, exactSideFiles ? 1 : 0, pid::kSize));
    }
    blocks.image.Fill(0);
    blocks.passwords.Fill(0);
    blocks.pid.Fill(0);
    const FileResult r = LoadProjectFile(blocks, name);
    volatile std::uint64_t sink = Touch(blocks) + (r ? 1 : 0);
    (void)sink;
  }
  return 0;
}
