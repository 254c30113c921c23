// What the record editors do with typed values before they reach a record: the checks of the
// relay regulator fields, the bounded integer fields, the relay's channel word and names.
// Kept apart from the widgets so the rules are tested on their own.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

namespace qdx {

// The space after "This" is a no-break space, as the panel tools have always shown it.
inline const QString kNotNumericMessage = QStringLiteral("This\u00A0is not numeric format");

// A value field shown with one decimal place and stored in tenths.
struct TenthsFieldRule {
  double lower = 0.0;
  double upper = 0.0;
  QString rangeMessage;  // shown when the number lies outside lower..upper
};

// The relay's offset (P5): -12.5..12.5.
const TenthsFieldRule& RelayOffsetRule();
// The relay's regulator window and both hystereses (P6, P7, P8): 0..25.5. The message names
// 25.4, but 25.5 itself is accepted.
const TenthsFieldRule& RelayWindowRule();

// The message to show for a text that fails the rule (the field then becomes "0"), or
// nothing when the text is a number within the bounds.
std::optional<QString> CheckTenthsField(const QString& text, const TenthsFieldRule& rule);
// The tenths a valid field text stands for: the number times 10, rounded to the nearest
// integer. A text that is no number gives 0.
std::int32_t TenthsFromText(const QString& text);
// Tenths written with one decimal place: -125 -> "-12.5", 0 -> "0.0".
QString TextFromTenths(std::int32_t tenths);

// A stored value the user left untouched is never replaced: outside the editor's bounds it is
// shown as it is and "Save" refuses it with the range message naming the field,
// "Wrong parameter range ! Regulator window < 0..25.4".
QString NamedRangeMessage(const QString& rangeMessage, const QString& field);
// That message for an integer value outside lower..upper ("... Delay time < 0..65000"), or
// nothing when the value lies within.
std::optional<QString> CheckStoredValue(std::int32_t value, std::int32_t lower, std::int32_t upper,
                                        const QString& field);

// Integer fields that take only digits, "+" and "-" (and control keys).
bool IsIntegerFieldCharacter(QChar c);
// The value an integer field holds once it is left: an empty or unreadable text counts as 0,
// a value outside lower..upper is replaced by the nearer bound.
std::int32_t ClampIntegerField(const QString& text, std::int32_t lower, std::int32_t upper);

// A real field's text as a number times 10^shift: digits with an optional sign and one decimal
// separator (decimalPoint or '.'), the point moved `shift` places to the right before the text
// is read, so 12.25 with shift 1 is exactly 122.5. Nothing when the text is no number.
std::optional<double> RealFromText(const QString& text, const QString& decimalPoint, int shift = 0);
// A stored real divided by 10^shift as a real field shows it: the shortest text that reads
// back as that quotient, with decimalPoint as the separator (2.5 -> "2.5", 3 -> "3").
QString RealText(double stored, int shift, const QString& decimalPoint);
// A double stored as a whole number, for an integer field: rounded half to even and limited to
// what a 32-bit field holds (NaN counts as 0).
std::int32_t WholeNumberForField(double value);

// Relay times travel as unsigned 16-bit numbers.
inline constexpr std::int32_t kRelayTimeMin = 0;
inline constexpr std::int32_t kRelayTimeMax = 65535;
inline constexpr std::int32_t kAlarmDelayMin = 0;
inline constexpr std::int32_t kAlarmDelayMax = 65000;
// The switch-off time travels as a signed 16-bit number and comes back sign-extended, so
// nothing above 32767 would survive a write and a read.
inline constexpr std::int32_t kSwitchOffTimeMin = -1;
inline constexpr std::int32_t kSwitchOffTimeMax = 32767;

// The relay's word at offset 52: set-value index x 256 + channel index, bytes 54-55 zero.
// An index of -1 (no entry selected) keeps that byte of the previous word, so a list left
// empty never turns into another channel or set value.
std::int32_t ComposeChannelWord(int setValueIndex, int channelIndex, std::int32_t previousWord);

// Editors let at most this many characters be typed into a name.
inline constexpr int kNameFieldLength = 14;
// Whether a character can be typed into a record text: printable and present in the code page
// the texts use (Windows-1251 while the setting is Cyrillic, Windows-1250 otherwise).
bool IsRecordTextCharacter(QChar c, int codePageIndex);
// A name as it is stored: encoded in the record code page and stripped of Polish diacritics
// (not while the setting is Cyrillic). The caller's text field cuts it to its capacity.
QByteArray NameBytesForStorage(const QString& text, int codePageIndex);

}  // namespace qdx
