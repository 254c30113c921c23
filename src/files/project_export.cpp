#include "files/project_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>
#include <cmath>
#include <span>

#include "model/bytes.h"
#include "model/record_fields.h"
#include "model/record_text.h"
#include "model/records.h"

namespace qdx {
namespace {

// A small JSON writer that keeps keys in the order they are written (QJsonObject sorts them).
class JsonWriter {
 public:
  void BeginObject(const char* key = nullptr) { Open(key, '{'); }
  void EndObject() { Close('}'); }
  void BeginArray(const char* key = nullptr) { Open(key, '['); }
  void EndArray() { Close(']'); }

  void Value(const char* key, long long v) { Scalar(key, QString::number(v)); }
  void Value(const char* key, int v) { Value(key, static_cast<long long>(v)); }
  void Value(const char* key, double v) {
    // JSON has no NaN or infinity; a damaged double is shown as null rather than as an
    // invalid document.
    Scalar(key, std::isfinite(v) ? QString::number(v, 'g', 17) : QStringLiteral("null"));
  }
  void Value(const char* key, bool v) { Scalar(key, v ? "true" : "false"); }
  void Value(const char* key, const QString& v) {
    const QByteArray quoted = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    Scalar(key, QString::fromUtf8(quoted.mid(1, quoted.size() - 2)));
  }

  QString Text() const { return out_ + '\n'; }

 private:
  void Prefix(const char* key) {
    if (!first_.isEmpty()) {
      if (!first_.back()) out_ += ',';
      first_.back() = false;
      out_ += '\n' + QString(first_.size() * 2, ' ');
    }
    if (key) out_ += '"' + QString::fromLatin1(key) + "\": ";
  }
  void Open(const char* key, char bracket) {
    Prefix(key);
    out_ += bracket;
    first_.push_back(true);
  }
  void Close(char bracket) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) out_ += '\n' + QString(first_.size() * 2, ' ');
    out_ += bracket;
  }
  void Scalar(const char* key, const QString& text) {
    Prefix(key);
    out_ += text;
  }

  QString out_;
  QList<bool> first_;
};

class Exporter {
 public:
  Exporter(const ProjectBlocks& blocks, int codePage, const SetupParameterNaming& naming)
      : b_(blocks), codePage_(codePage), naming_(naming) {}

  QString Run() {
    w_.BeginObject();
    w_.Value("header", Text(Header(b_.image).Bytes()));
    Section("programs", SectionId::Programs);
    Section("washingProgram", SectionId::WashingProgram);
    Section("processes", SectionId::Processes);
    Section("washingProcesses", SectionId::WashingProcesses);
    Section("relays", SectionId::Relays);
    Section("specialStatuses", SectionId::SpecialStatuses);
    Section("alarms", SectionId::Alarms);
    Section("setup", SectionId::Setup);
    SetupParameters();
    Section("analogOutputs", SectionId::AnalogOutputs);
    Section("pid", SectionId::Pid);
    Passwords();
    w_.EndObject();
    return w_.Text();
  }

 private:
  using Fields = std::span<const RecordField>;

  QString Text(const QByteArray& bytes) const { return DecodeRecordText(bytes, codePage_); }

  // A section of one record as an object, any other as an array of its records.
  void Section(const char* key, SectionId id) {
    const SectionLayout layout = LayoutOf(id);
    const std::uint8_t* first = SectionBytes(b_, id).data();
    if (layout.count == 1) {
      w_.BeginObject(key);
      RecordFields(first, 1, RecordFieldsOf(id));
      w_.EndObject();
      return;
    }
    w_.BeginArray(key);
    for (std::size_t n = 1; n <= layout.count; ++n)
      Record(first + (n - 1) * layout.recordSize, static_cast<int>(n), RecordFieldsOf(id));
    w_.EndArray();
  }

  void Record(const std::uint8_t* record, int slot, Fields fields) {
    w_.BeginObject();
    RecordFields(record, slot, fields);
    w_.EndObject();
  }

  void RecordFields(const std::uint8_t* record, int slot, Fields fields) {
    for (const RecordField& f : fields) {
      if (f.key) Field(record, slot, f);
    }
  }

  void Field(const std::uint8_t* record, int slot, const RecordField& f) {
    if (f.kind == FieldKind::Steps) return Steps(record, f);
    const std::uint8_t* p = record + f.offset;
    if (f.count == 1) return Value(f.key, f, p, slot);
    w_.BeginArray(f.key);
    for (int i = 0; i < f.count; ++i) Value(nullptr, f, p + std::size_t(i) * ElementWidth(f), slot);
    w_.EndArray();
  }

  // The steps in use of a program record, numbered from 1.
  void Steps(const std::uint8_t* program, const RecordField& f) {
    w_.BeginArray(f.key);
    for (int s = 1; s <= ConstProgramRecord(program).StepsInUse(); ++s)
      Record(program + f.offset + std::size_t(s - 1) * ProgramStep::kSize, s, ProgramStepFields());
    w_.EndArray();
  }

  // One value as stored: texts decoded, numbers as they are (a step count too).
  void Value(const char* key, const RecordField& f, const std::uint8_t* p, int slot) {
    switch (f.kind) {
      case FieldKind::Slot:
        return w_.Value(key, slot);
      case FieldKind::Name:
        return w_.Value(key, Text(ConstTextField(p, f.size).Bytes()));
      case FieldKind::S32:
      case FieldKind::StepCount:
        return w_.Value(key, ReadLeS32(p));
      case FieldKind::S16:
        return w_.Value(key, static_cast<int>(ReadLeS16(p)));
      case FieldKind::U16:
        return w_.Value(key, static_cast<int>(ReadLe16(p)));
      case FieldKind::U8:
        return w_.Value(key, static_cast<int>(*p));
      case FieldKind::Double:
        return w_.Value(key, ReadLeDouble(p));
      case FieldKind::Reserved:
      case FieldKind::Steps:
        break;  // reserved bytes carry no key; steps are written by Steps
    }
  }

  void SetupParameters() {
    const ConstSetupBlock setup = qdx::Setup(b_.image);
    w_.BeginArray("setupParameters");
    for (int n = ConstSetupBlock::kFirstParameter; n <= ConstSetupBlock::kLastParameter; ++n) {
      const std::int16_t word = setup.Parameter(n);
      w_.BeginObject();
      w_.Value("parameter", n);
      w_.Value("name", naming_.name(n));
      w_.Value("word", static_cast<int>(word));
      w_.Value("text", naming_.valueText(n, word));
      w_.EndObject();
    }
    w_.EndArray();
  }

  void Passwords() {
    w_.BeginArray("passwords");
    for (int n = 1; n <= passwords::kEntryCount; ++n) {
      w_.BeginObject();
      w_.Value("entry", n);
      w_.Value("kind", n < passwords::kFirstUserNameEntry ? QStringLiteral("password")
                                                          : QStringLiteral("userName"));
      // Passwords travel without conversion; show each byte as the Latin-1 character it is.
      w_.Value("text", QString::fromLatin1(PasswordEntry(b_.passwords, n).Bytes()));
      w_.EndObject();
    }
    w_.EndArray();
  }

  const ProjectBlocks& b_;
  int codePage_;
  const SetupParameterNaming& naming_;
  JsonWriter w_;
};

}  // namespace

QString ProjectToJson(const ProjectBlocks& blocks, int codePageIndex,
                      const SetupParameterNaming& naming) {
  return Exporter(blocks, codePageIndex, naming).Run();
}

QString ProjectSummary(const ProjectBlocks& blocks, const QString& fileName, int codePageIndex) {
  const auto text = [codePageIndex](const QByteArray& b) {
    return DecodeRecordText(b, codePageIndex);
  };
  QStringList lines;
  lines << QStringLiteral("Project: %1").arg(fileName);
  lines << QStringLiteral("Header: %1").arg(text(Header(blocks.image).Bytes()));
  lines << QStringLiteral("Controller program version (setup word 99): %1")
               .arg(Setup(blocks.image).ProgramVersion());
  lines << QString() << QStringLiteral("Programs with a name (slot, number, name, steps):");
  int unnamed = 0;
  for (int n = 1; n <= kProgramSlots; ++n) {
    const ConstProgramRecord p = Program(blocks.image, n);
    const QString name = text(p.Name().Bytes());
    if (name.trimmed().isEmpty()) {
      ++unnamed;
      continue;
    }
    lines << QStringLiteral("  %1  %2  %3  %4")
                 .arg(n, 3)
                 .arg(p.Number(), 3)
                 .arg(name, -50)
                 .arg(p.StepsInUse());
  }
  lines << QStringLiteral("  (%1 of %2 slots have no name)").arg(unnamed).arg(kProgramSlots);
  const ConstProgramRecord washing = WashingProgram(blocks.image);
  lines << QStringLiteral("  Washing program: %1, %2 steps")
               .arg(text(washing.Name().Bytes()))
               .arg(washing.StepsInUse());
  const auto named = [&](const QString& title, int count, auto nameOf) {
    lines << QString() << title;
    for (int n = 1; n <= count; ++n) lines << QStringLiteral("  %1  %2").arg(n, 2).arg(nameOf(n));
  };
  named(QStringLiteral("Relays:"), image::kRelayCount,
        [&](int n) { return text(Relay(blocks.image, n).Name().Bytes()); });
  named(QStringLiteral("Processes:"), image::kProcessCount,
        [&](int n) { return text(Process(blocks.image, ProcessSet::Normal, n).Name().Bytes()); });
  named(QStringLiteral("Washing processes:"), image::kProcessCount,
        [&](int n) { return text(Process(blocks.image, ProcessSet::Washing, n).Name().Bytes()); });
  named(QStringLiteral("Alarms:"), image::kAlarmCount,
        [&](int n) { return text(Alarm(blocks.image, n).Message().Bytes()); });
  return lines.join('\n') + '\n';
}

}  // namespace qdx
