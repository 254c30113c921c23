// What qdx prints. Project texts can hold any byte, and an escape sequence in a program name
// must not clear a user's screen: control characters are shown escaped ("\x1B"), line breaks
// and tabs stay. JSON needs nothing more: its writer escapes controls itself.
#pragma once

#include <QString>
#include <cstdio>

namespace qdx::cli {

// text with every control character but line feed and tab as \xHH.
QString TerminalSafe(const QString& text);

// Writes TerminalSafe(text) in UTF-8 and flushes.
void PrintText(std::FILE* stream, const QString& text);

}  // namespace qdx::cli
