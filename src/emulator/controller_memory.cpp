#include "emulator/controller_memory.h"

#include <QStringEncoder>

#include "link/code_pages.h"

namespace qdx {
namespace {

// One menu entry in the four languages of the demo panel: the base language (Polish), English,
// and the two selected languages, German and Russian.
struct DemoEntry {
  const char* polish;
  const char* english;
  const char* german;
  const char* russian;
};

struct DemoGroup {
  std::uint8_t attribute1;
  std::uint8_t attribute2;
  int count;
  DemoEntry entries[4];
};

const DemoGroup kDemoMenu[] = {
    {1,
     0,
     3,
     {{"Programy", "Programs", "Programme", "Программы"},
      {"Ustawienia", "Settings", "Einstellungen", "Настройки"},
      {"Alarmy", "Alarms", "Alarme", "Аварии"}}},
    {2,
     1,
     4,
     {{"Temp. komory", "Chamber temp.", "Kammertemperatur", "Темп. камеры"},
      {"Temp. batonu", "Core temp.", "Kerntemperatur", "Темп. продукта"},
      {"Wilgotność", "Humidity", "Feuchte", "Влажность"},
      {"Temp. dymu", "Smoke temp.", "Rauchtemperatur", "Темп. дыма"}}},
    {3,
     2,
     4,
     {{"Start", "Start", "Start", "Старт"},
      {"Stop", "Stop", "Stopp", "Стоп"},
      {"Pauza", "Pause", "Pause", "Пауза"},
      {"Mycie", "Washing", "Reinigung", "Мойка"}}},
};

// Character-set pairs the PC writes for a selected language.
constexpr std::uint8_t kCharsetStandard[2] = {0x10, 0x02};
constexpr std::uint8_t kCharsetCyrillic[2] = {0x11, 0x00};

constexpr int kEntryTextSize = 20;
constexpr int kEntrySize = kEntryTextSize + 2;

// A text in a Windows code page; English stands in where the system has no converter.
QByteArray InCodePage(const char* codec, const char* utf8, const char* fallback) {
  QStringEncoder encoder(codec);
  if (!encoder.isValid()) return QByteArray(fallback);
  QByteArray out = encoder.encode(QString::fromUtf8(utf8));
  return encoder.hasError() ? QByteArray(fallback) : out;
}

enum class Language { Base, English, German, Russian };

QByteArray EntryText(const DemoEntry& entry, Language language) {
  switch (language) {
    case Language::Base:
      return InCodePage("windows-1250", entry.polish, entry.english);
    case Language::English:
      return entry.english;
    case Language::German:
      return entry.german;
    case Language::Russian:
      return InCodePage("windows-1251", entry.russian, entry.english);
  }
  return {};
}

int LanguageBlockSize() {
  int size = 4;
  for (const DemoGroup& group : kDemoMenu) {
    size += 4 + kEntrySize * group.count;
  }
  return size;
}

// One language block: 0xFF, then per group its header and its entries, blanks up to the size.
// fixedAttributes replaces the group attributes (the three-block layout uses 3, 1).
QByteArray LanguageBlock(Language language, int codePage, const std::uint8_t* fixedAttributes) {
  QByteArray block(1, static_cast<char>(0xFF));
  for (const DemoGroup& group : kDemoMenu) {
    block.append('\0');
    block.append(static_cast<char>(group.count));
    block.append(static_cast<char>(fixedAttributes ? fixedAttributes[0] : group.attribute1));
    block.append(static_cast<char>(fixedAttributes ? fixedAttributes[1] : group.attribute2));
    for (int i = 0; i < group.count; ++i) {
      const DemoEntry& entry = group.entries[i];
      block.append('\0');
      block.append(EncodeTextField(EntryText(entry, language), codePage, kEntryTextSize));
      block.append('\0');
    }
  }
  const int size = LanguageBlockSize();
  if (block.size() < size) block.append(size - block.size(), ' ');
  return block;
}

// The menu structure of the four-block layout: group headers only, ended by 0xFE.
QByteArray StructureStream() {
  QByteArray stream(1, static_cast<char>(0xFF));
  for (const DemoGroup& group : kDemoMenu) {
    stream.append('\0');
    stream.append(static_cast<char>(group.count));
    stream.append(static_cast<char>(group.attribute1));
    stream.append(static_cast<char>(group.attribute2));
  }
  stream.append('\0');
  stream.append(static_cast<char>(0xFE));
  stream.append(2, '\0');
  return stream;
}

void Place(QByteArray& area, const QByteArray& bytes) {
  area.replace(0, bytes.size(), bytes);
}

struct SetupValue {
  int word;
  std::int16_t value;
};

// Plausible values for a smoke-house, inside every parameter's limits.
constexpr SetupValue kDemoSetup[] = {
    {4, 5},   {6, 3},     {8, 150},   {9, 120},  {11, 5},   {12, 30},  {13, 150}, {14, 95},
    {16, 60}, {20, 5},    {21, 180},  {22, 110}, {23, 200}, {24, 250}, {25, 99},  {26, 5},
    {38, 99}, {40, 3000}, {42, 1000}, {43, 5},   {61, 5},   {64, 3},   {67, 10},  {68, 60},
    {69, 1},  {71, 10},   {72, 2},    {75, 1},   {76, 1},   {85, 30},
};

}  // namespace

void LoadDemoPanelTexts(ControllerMemory& memory, PanelLayout layout) {
  memory.panelArea6.fill(' ');
  memory.panelArea7.fill('\0');
  const int size = LanguageBlockSize();
  if (layout == PanelLayout::FourBlock) {
    memory.setup[kSetupWordPanelLayout] = kFourBlockLayoutMarker;
    Place(memory.panelArea7, StructureStream());
    QByteArray texts = LanguageBlock(Language::Base, kCodePagePolish, nullptr) +
                       LanguageBlock(Language::English, kCodePageStandard, nullptr) +
                       LanguageBlock(Language::German, kCodePageStandard, nullptr) +
                       LanguageBlock(Language::Russian, kCodePageCyrillic, nullptr);
    texts.append(static_cast<char>(0xFE));
    texts.append('\0');
    Place(memory.panelArea6, texts);
  } else {
    memory.setup[kSetupWordPanelLayout] = 0;
    static constexpr std::uint8_t kThreeBlockAttributes[2] = {0x03, 0x01};
    Place(memory.panelArea7,
          LanguageBlock(Language::Base, kCodePageStandard, kThreeBlockAttributes));
    Place(memory.panelArea6,
          LanguageBlock(Language::English, kCodePageStandard, kThreeBlockAttributes) +
              LanguageBlock(Language::German, kCodePageStandard, kThreeBlockAttributes) +
              LanguageBlock(Language::Russian, kCodePageCyrillic, kThreeBlockAttributes));
  }
  memory.panelTextSize = static_cast<std::uint16_t>(size);
  memory.panelCharsets = {kCharsetStandard[0], kCharsetStandard[1], kCharsetCyrillic[0],
                          kCharsetCyrillic[1]};
}

void LoadDemoConfiguration(ControllerMemory& memory, std::int16_t programVersion,
                           PanelLayout layout, int stationAddress) {
  memory.setup.fill(0);
  for (const SetupValue& v : kDemoSetup) memory.setup[v.word] = v.value;
  memory.setup[1] = static_cast<std::int16_t>(stationAddress);  // F01, the RS-485 address
  memory.setup[kSetupWordProgramVersion] = programVersion;
  LoadDemoPanelTexts(memory, layout);
  memory.readings = Readings{};
  memory.readings.rawStatus[16] = 0x01;
  memory.readings.rawStatus[21] = 0x00;
  memory.readings.rawStatus[24] = 0x03;
  memory.readings.rawStatus[34] = 0x01;
}

}  // namespace qdx
