// How the main window's connection fields become the link's settings.
#pragma once

#include <QStringList>
#include <cstdint>

#include "files/settings.h"
#include "link/link_settings.h"

namespace qdx {

// The "Baud rate" list, in its order; the speed codes of its entries are below.
inline const QStringList kBaudRateEntries = {"9600", "19200", "115200", "38400"};

// Speed code of a "Baud rate" entry: 6, 8, 12, 9 for the entries in list order; 9 (38400)
// when nothing is selected.
std::uint8_t BaudCodeForItemIndex(int itemIndex);

// port index := the "Port COM" entry (0 for COM1); baud code as above; station := address.
void ApplyConnectionFields(const ConnectionFields& fields, LinkSettings& link, int& stationAddress);

}  // namespace qdx
