#include "app/connection_settings.h"

#include "app/session.h"

namespace qdx {

std::uint8_t BaudCodeForItemIndex(int itemIndex) {
  switch (itemIndex) {
    case 0:
      return kBaud9600;
    case 1:
      return kBaud19200;
    case 2:
      return kBaud115200;
    default:
      return kBaud38400;
  }
}

void ApplyConnectionFields(const ConnectionFields& fields, LinkSettings& link,
                           int& stationAddress) {
  link.portIndex = fields.portItemIndex;
  link.baudCode = BaudCodeForItemIndex(fields.baudItemIndex);
  stationAddress = fields.address;
}

void Session::ReadConnectionSettings() {
  if (connectionFields) ApplyConnectionFields(connectionFields(), link, stationAddress);
}

}  // namespace qdx
