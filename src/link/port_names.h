// Which device stands behind a port index (COM1..COM255) on this machine.
#pragma once

#include <QMap>
#include <QString>

namespace qdx {

// "COM" + (index + 1): the name the windows and the settings files use.
QString ComPortName(int portIndex);

// The symlink a running emulator publishes for COM<portNumber> (1-based):
// <runtime dir>/qdx-emulator/COM<n>. The emulator creates it; the link looks for it.
QString EmulatorPortLink(int portNumber);

// Where a device path came from.
enum class PortSource {
  Configured,  // an entry COM<n>=... of the "Ports" section
  Emulator,    // a link published by a running emulator
  Default,     // /dev/ttyS<n-1> (on Windows the COM name itself)
};

struct PortDevice {
  QString device;  // what is opened
  PortSource source = PortSource::Default;
};

// COM<index+1> -> device: the "Ports" entry first, then a running emulator's link, then the
// system's standard serial device. ports maps 1-based COM numbers to device paths.
PortDevice ResolvePortDevice(int portIndex, const QMap<int, QString>& ports);

// One line for the main window's status bar, e.g. "COM3 = /dev/ttyUSB0 (Ports section)".
QString DescribePortDevice(int portIndex, const QMap<int, QString>& ports);

}  // namespace qdx
