// The 37 password entries sent and read as the passwords window's "Send" and "Read" do, for
// callers without that window (qdx).
#pragma once

#include <QByteArray>

#include "model/blocks.h"
#include "model/dialogs.h"
#include "link/operations.h"
#include "transfer/project_rows.h"

namespace qdx {

// An entry as "Send" stores it: its first six characters, with blanks in front of a shorter
// one (an empty entry becomes six blanks).
QByteArray NormalisedPasswordEntry(const QByteArray& text);
// Every entry 1..37 of the block normalised; bytes after entry 37 untouched.
void NormalisePasswordEntries(PasswordBlock& block);

// Normalises the block's entries and writes them: direct, or post, 100 ms, wait, fetch.
// Marks the write pending. No STOP-mode check, as in the window.
RowOutcome SendPasswordEntries(LinkOperations& ops, PasswordBlock& block);
// Reads the controller's entries into block (nothing stored on failure).
RowOutcome ReadPasswordEntries(LinkOperations& ops, PasswordBlock& block);

}  // namespace qdx
