// What the program knows of each setup parameter F01-F97: its name, how its stored word is
// edited and shown, and its limits. Pure data and small functions, no state.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace qdx {

// How a parameter's stored word is edited and shown.
enum class ParameterKind {
  Integer,     // a whole number between the limits
  OneDecimal,  // tenths, shown and typed with one decimal
  Choice,      // a position in a list of texts
};

// Inclusive limits of a parameter, as stored words.
struct ParameterRange {
  int lower;
  int upper;
  friend bool operator==(const ParameterRange&, const ParameterRange&) = default;
};

inline constexpr int kParameterCount = 97;

// The name of parameter n; empty for the unnamed ones and for numbers outside 1..97.
QString ParameterName(int n);

ParameterKind ParameterKindOf(int n);

// The limits of parameter n as stored words: for a choice parameter its positions; numbers
// outside 1..97 give -999..999.
ParameterRange ParameterLimits(int n);

// The texts of a choice parameter's positions, in order; empty for other parameters.
QStringList ParameterChoices(int n);

// The text of the value column: the choice text of the stored position when there is one,
// stored/10 with one decimal for one-decimal parameters, else the stored number.
QString ParameterValueText(int n, std::int16_t word);

// The stored word for a value typed by a user: in display units for one-decimal parameters
// (rounded to the nearest tenth, a half to the even neighbour), a position or the exact text
// of a choice for choice parameters, a whole number otherwise. Nothing when the text is not
// such a value or lies outside the limits.
std::optional<std::int16_t> ParseParameterValue(int n, const QString& text);

// The values parameter n accepts, as a user types them: "1..32", "-20.0..20.0", or the
// positions with their choice texts.
QString ParameterLimitsText(int n);

}  // namespace qdx
