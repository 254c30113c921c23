#include "link/code_pages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace qdx {
namespace {

// A byte-to-byte table; kDrop marks bytes that are left out.
constexpr std::int16_t kDrop = -1;
using ByteTable = std::array<std::int16_t, 256>;

struct Pair {
  std::uint8_t in;
  std::uint8_t out;
};

constexpr ByteTable Identity() {
  ByteTable t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<std::int16_t>(i);
  return t;
}

template <std::size_t N>
constexpr ByteTable IdentityWith(const Pair (&pairs)[N]) {
  ByteTable t = Identity();
  for (const Pair& p : pairs) t[p.in] = p.out;
  return t;
}

constexpr Pair kToPolish[] = {{0x8C, 0x97}, {0x8F, 0x8D}, {0xA3, 0x9D}, {0xA5, 0xA4}, {0xAF, 0xBD},
                              {0xC6, 0x8F}, {0xCA, 0xA8}, {0xD1, 0xE3}, {0xD3, 0xE0}};

constexpr Pair kFromPolish[] = {{0x8D, 0x8F}, {0x8F, 0xC6}, {0x97, 0x8C}, {0x9D, 0xA3},
                                {0xA4, 0xA5}, {0xA8, 0xCA}, {0xAA, 0x20}, {0xBD, 0xAF},
                                {0xE0, 0xD3}, {0xE3, 0xD1}};

constexpr Pair kToSlovak[] = {
    {0x84, 0xF1}, {0x8A, 0xE6}, {0x8C, 0x97}, {0x8D, 0x9B}, {0x8E, 0xA6}, {0x8F, 0x8D},
    {0x9A, 0xE7}, {0x9C, 0x98}, {0x9D, 0xAA}, {0x9E, 0xA7}, {0x9F, 0xAB}, {0xA3, 0x9D},
    {0xA5, 0xA4}, {0xAA, 0xB8}, {0xAF, 0xBD}, {0xB3, 0x88}, {0xB9, 0xA5}, {0xBA, 0xAD},
    {0xBC, 0x95}, {0xBE, 0xA1}, {0xBF, 0xBE}, {0xC0, 0xE8}, {0xC1, 0xB5}, {0xC2, 0xB6},
    {0xC3, 0xC6}, {0xC4, 0x8E}, {0xC5, 0x91}, {0xC6, 0x8F}, {0xC7, 0x80}, {0xC8, 0xAC},
    {0xC9, 0x90}, {0xCA, 0xA8}, {0xCB, 0xD3}, {0xCC, 0xB7}, {0xCD, 0xD6}, {0xCE, 0x8C},
    {0xCF, 0xD2}, {0xD0, 0xD1}, {0xD1, 0xE3}, {0xD2, 0xD5}, {0xD3, 0xE2}, {0xD5, 0x8A},
    {0xD6, 0x99}, {0xD8, 0xFC}, {0xD9, 0xDE}, {0xDA, 0xE9}, {0xDB, 0xEB}, {0xDC, 0x9A},
    {0xDD, 0xED}, {0xDE, 0xDD}, {0xDF, 0xE1}, {0xE0, 0xEA}, {0xE1, 0xA0}, {0xE2, 0x83},
    {0xE3, 0xC7}, {0xE4, 0x84}, {0xE5, 0x92}, {0xE6, 0x86}, {0xE7, 0x87}, {0xE8, 0x9F},
    {0xE9, 0x82}, {0xEA, 0xA9}, {0xEB, 0x89}, {0xEC, 0xD8}, {0xED, 0xA1}, {0xEE, 0xD7},
    {0xEF, 0xD4}, {0xF0, 0xD0}, {0xF1, 0xE4}, {0xF2, 0xE5}, {0xF3, 0xE0}, {0xF5, 0x8B},
    {0xF6, 0x94}, {0xF7, 0xF6}, {0xF8, 0xFD}, {0xF9, 0x85}, {0xFA, 0xA3}, {0xFC, 0x81},
    {0xFD, 0xEC}, {0xFE, 0xEE}};

constexpr Pair kFromSlovak[] = {
    {0x80, 0xC7}, {0x81, 0xFC}, {0x82, 0xE9}, {0x83, 0xE2}, {0x84, 0xE4}, {0x85, 0xF9},
    {0x86, 0xE6}, {0x87, 0xE7}, {0x88, 0xB3}, {0x89, 0xEB}, {0x8A, 0xD5}, {0x8B, 0xF5},
    {0x8C, 0xCE}, {0x8D, 0x8F}, {0x8E, 0xC4}, {0x8F, 0xC6}, {0x90, 0xC9}, {0x91, 0xC5},
    {0x92, 0xE5}, {0x94, 0xF6}, {0x95, 0xBC}, {0x97, 0x8C}, {0x98, 0x9C}, {0x99, 0xD6},
    {0x9A, 0xDC}, {0x9B, 0x8D}, {0x9D, 0xA3}, {0x9F, 0xE8}, {0xA0, 0xE1}, {0xA1, 0xED},
    {0xA3, 0xFA}, {0xA4, 0xA5}, {0xA5, 0xB9}, {0xA6, 0x8E}, {0xA7, 0x9E}, {0xA8, 0xCA},
    {0xA9, 0xEA}, {0xAA, 0x9D}, {0xAB, 0x9F}, {0xAC, 0xC8}, {0xAD, 0xBA}, {0xB5, 0xC1},
    {0xB6, 0xC2}, {0xB7, 0xCC}, {0xB8, 0xAA}, {0xBD, 0xAF}, {0xBE, 0xBF}, {0xC6, 0xC3},
    {0xC7, 0xE3}, {0xD0, 0xF0}, {0xD1, 0xD0}, {0xD2, 0xCF}, {0xD3, 0xCB}, {0xD4, 0xEF},
    {0xD5, 0xD2}, {0xD6, 0xCD}, {0xD7, 0xEE}, {0xD8, 0xEC}, {0xDD, 0xDE}, {0xDE, 0xD9},
    {0xE0, 0xF3}, {0xE1, 0xDF}, {0xE2, 0xD3}, {0xE3, 0xD1}, {0xE4, 0xF1}, {0xE5, 0xF2},
    {0xE6, 0x8A}, {0xE7, 0x9A}, {0xE8, 0xC0}, {0xE9, 0xDA}, {0xEA, 0xE0}, {0xEB, 0xDB},
    {0xEC, 0xFD}, {0xED, 0xDD}, {0xEE, 0xFE}, {0xF1, 0x84}, {0xF6, 0xF7}, {0xFC, 0xD8},
    {0xFD, 0xF8}};

constexpr Pair kStripPolish[] = {{0x8C, 'S'}, {0x8F, 'Z'}, {0xAF, 'Z'}, {0x9C, 's'}, {0x9F, 'z'},
                                 {0xBF, 'z'}, {0xA3, 'L'}, {0xA5, 'A'}, {0xB3, 'l'}, {0xB9, 'a'},
                                 {0xC6, 'C'}, {0xCA, 'E'}, {0xD1, 'N'}, {0xD3, 'O'}, {0xE6, 'c'},
                                 {0xEA, 'e'}, {0xF1, 'n'}, {0xF3, 'o'}};

// Windows-1251 letters sit 0x40 (А..п) or 0x10 (р..я) above their code page 866 places; the
// few other letters and signs the panel has come from the table, the rest of 80..BF is lost.
constexpr ByteTable MakeToCyrillic() {
  ByteTable t = Identity();
  for (int b = 0x80; b <= 0xBF; ++b) t[b] = kDrop;
  for (int b = 0xC0; b <= 0xEF; ++b) t[b] = static_cast<std::int16_t>(b - 0x40);
  for (int b = 0xF0; b <= 0xFF; ++b) t[b] = static_cast<std::int16_t>(b - 0x10);
  constexpr Pair extra[] = {{0xA8, 0xF0}, {0xB8, 0xF1}, {0xAA, 0xF2}, {0xBA, 0xF3}, {0xAF, 0xF4},
                            {0xBF, 0xF5}, {0xA1, 0xF6}, {0xA2, 0xF7}, {0xB0, 0xF8}, {0xB9, 0xFC}};
  for (const Pair& p : extra) t[p.in] = p.out;
  return t;
}

constexpr ByteTable MakeFromCyrillic() {
  ByteTable t = Identity();
  for (int b = 0x80; b <= 0xAF; ++b) t[b] = static_cast<std::int16_t>(b + 0x40);
  for (int b = 0xB0; b <= 0xDF; ++b) t[b] = kDrop;  // box drawing
  for (int b = 0xE0; b <= 0xEF; ++b) t[b] = static_cast<std::int16_t>(b + 0x10);
  for (int b = 0xF0; b <= 0xFF; ++b) t[b] = kDrop;
  constexpr Pair extra[] = {{0xF0, 0xA8}, {0xF1, 0xB8}, {0xF2, 0xAA}, {0xF3, 0xBA},
                            {0xF4, 0xAF}, {0xF5, 0xBF}, {0xF6, 0xA1}, {0xF7, 0xA2},
                            {0xF8, 0xB0}, {0xF9, 0xB0}, {0xFA, 0xB0}, {0xFC, 0xB9}};
  for (const Pair& p : extra) t[p.in] = p.out;
  return t;
}

constexpr ByteTable kToPolishTable = IdentityWith(kToPolish);
constexpr ByteTable kFromPolishTable = IdentityWith(kFromPolish);
constexpr ByteTable kToCyrillicTable = MakeToCyrillic();
constexpr ByteTable kFromCyrillicTable = MakeFromCyrillic();
constexpr ByteTable kToSlovakTable = IdentityWith(kToSlovak);
constexpr ByteTable kFromSlovakTable = IdentityWith(kFromSlovak);
constexpr ByteTable kStripPolishTable = IdentityWith(kStripPolish);

QByteArray Apply(const ByteTable& table, const QByteArray& text) {
  QByteArray out;
  out.reserve(text.size());
  for (const char c : text) {
    const std::int16_t mapped = table[static_cast<std::uint8_t>(c)];
    if (mapped != kDrop) out.append(static_cast<char>(mapped));
  }
  return out;
}

bool IsBlankOrControl(char c) {
  const auto b = static_cast<std::uint8_t>(c);
  return b <= 0x20 || b == 0x7F;
}

}  // namespace

bool IsValidCodePageIndex(int codePageIndex) {
  return codePageIndex >= 0 && codePageIndex < kCodePageCount;
}

QString CodePageListText(int codePageIndex) {
  switch (codePageIndex) {
    case kCodePageStandard:
      return QStringLiteral("Standard");
    case kCodePageCyrillic:
      return QStringLiteral("Cyryllic");
    case kCodePagePolish:
      return QStringLiteral("Polish");
    case kCodePageSlovak:
      return QStringLiteral("PC852 (Slovakia)");
    default:
      return {};
  }
}

QByteArray ToPanelPolish(const QByteArray& text) {
  return Apply(kToPolishTable, text);
}
QByteArray FromPanelPolish(const QByteArray& text) {
  return Apply(kFromPolishTable, text);
}
QByteArray ToPanelCyrillic(const QByteArray& text) {
  return Apply(kToCyrillicTable, text);
}
QByteArray FromPanelCyrillic(const QByteArray& text) {
  return Apply(kFromCyrillicTable, text);
}
QByteArray ToPanelSlovak(const QByteArray& text) {
  return Apply(kToSlovakTable, text);
}
QByteArray FromPanelSlovak(const QByteArray& text) {
  return Apply(kFromSlovakTable, text);
}

QByteArray ToPanel(const QByteArray& text, int codePageIndex) {
  switch (codePageIndex) {
    case kCodePageCyrillic:
      return ToPanelCyrillic(text);
    case kCodePagePolish:
      return ToPanelPolish(text);
    case kCodePageSlovak:
      return ToPanelSlovak(text);
    default:
      return text;
  }
}

QByteArray FromPanel(const QByteArray& text, int codePageIndex) {
  switch (codePageIndex) {
    case kCodePageCyrillic:
      return FromPanelCyrillic(text);
    case kCodePagePolish:
      return FromPanelPolish(text);
    case kCodePageSlovak:
      return FromPanelSlovak(text);
    default:
      return text;
  }
}

QByteArray StripPolishDiacritics(const QByteArray& text, int codePageIndex) {
  if (codePageIndex == kCodePageCyrillic) return text;
  return Apply(kStripPolishTable, text);
}

QByteArray EncodeTextField(const QByteArray& text, int codePageIndex, int wireWidth) {
  if (wireWidth <= 0) return {};
  QByteArray out = ToPanel(text, codePageIndex).left(wireWidth);
  if (out.size() < wireWidth) out.append(wireWidth - out.size(), ' ');
  return out;
}

QByteArray DecodeTextField(const QByteArray& wire, int codePageIndex, int capacity,
                           TextFieldSkip skip) {
  QByteArray kept;
  kept.reserve(wire.size());
  for (const char c : wire) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b == 0x00 || (skip == TextFieldSkip::ZeroAndFF && b == 0xFF)) continue;
    kept.append(c);
  }
  const QByteArray converted = FromPanel(kept, codePageIndex);
  qsizetype first = 0;
  qsizetype last = converted.size();
  while (first < last && IsBlankOrControl(converted[first])) ++first;
  while (last > first && IsBlankOrControl(converted[last - 1])) --last;
  if (capacity <= 0) return {};
  return converted.mid(first, std::min<qsizetype>(last - first, capacity));
}

}  // namespace qdx
