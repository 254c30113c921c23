// The check of a typed number used by the editors before they accept a value.
#pragma once

#include <QString>

namespace qdx {

inline constexpr int kNumericValid = 0;
inline constexpr int kNumericNotNumeric = 1;
inline constexpr int kNumericOutOfRange = 2;

// 0 when text is a number within [lower, upper], 1 when it is not a number, 2 when it is
// outside the bounds. A number is: leading spaces, an optional sign, digits with an optional
// '.' and fraction (whatever the locale), an optional exponent (E or e, optional sign,
// digits), and nothing after it. A value too large for a double is not a number.
int CheckNumericRange(const QString& text, double lower, double upper);

}  // namespace qdx
