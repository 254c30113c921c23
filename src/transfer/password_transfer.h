// The passwords window's "Send" and "Read" for callers without that window (qdx): the same
// engine (SectionTransfer), its result told as a row.
#pragma once

#include "model/blocks.h"
#include "config/section_transfer.h"
#include "transfer/project_rows.h"

namespace qdx {

// Normalises the block's entries and sends the block as the window's "Send" does.
RowOutcome SendPasswordEntries(SectionTransfer& transfer, LinkOperations& ops,
                               PasswordBlock& block);
// Reads the controller's entries into block as the window's "Read" does (nothing stored on
// failure).
RowOutcome ReadPasswordEntries(SectionTransfer& transfer, LinkOperations& ops,
                               PasswordBlock& block);

}  // namespace qdx
