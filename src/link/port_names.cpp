#include "link/port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qdx {

QString ComPortName(int portIndex) {
  return QStringLiteral("COM%1").arg(portIndex + 1);
}

QString EmulatorPortLink(int portNumber) {
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  return runtime + QStringLiteral("/qdx-emulator/COM%1").arg(portNumber);
}

PortDevice ResolvePortDevice(int portIndex, const QMap<int, QString>& ports) {
  const int number = portIndex + 1;
  const QString configured = ports.value(number).trimmed();
  if (!configured.isEmpty()) return {configured, PortSource::Configured};

  // A link left behind by an emulator that is gone points nowhere; exists() follows the
  // link, so such a stale link is passed over.
  const QString link = EmulatorPortLink(number);
  if (QFileInfo(link).exists()) return {link, PortSource::Emulator};

#ifdef Q_OS_WIN
  return {ComPortName(portIndex), PortSource::Default};
#else
  return {QStringLiteral("/dev/ttyS%1").arg(number - 1), PortSource::Default};
#endif
}

QString DescribePortDevice(int portIndex, const QMap<int, QString>& ports) {
  const PortDevice d = ResolvePortDevice(portIndex, ports);
  const QString name = ComPortName(portIndex);
  switch (d.source) {
    case PortSource::Configured:
      return QStringLiteral("%1 = %2 (Ports section of ustawienia.ini)").arg(name, d.device);
    case PortSource::Emulator: {
      const QString target = QFileInfo(d.device).symLinkTarget();
      return QStringLiteral("%1 = emulator (%2)").arg(name, target.isEmpty() ? d.device : target);
    }
    case PortSource::Default:
      break;
  }
  return QStringLiteral("%1 = %2").arg(name, d.device);
}

}  // namespace qdx
