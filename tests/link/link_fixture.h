// A link over a fake port answered by a scripted controller and communication module, for
// the operation and transaction tests.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "support/test_session.h"
#include "link/link.h"
#include "link/operations.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

namespace qdx::test {

// Answers frames the way a controller behind its communication module does.
struct FakeModule {
  int station = 1;
  std::uint8_t runStateByte = 0;  // status byte 22
  int readyAfter = 0;             // status polls that say "not ready" first; -1: never ready
  bool statusSilent = false;      // status polls get no answer
  bool directSilent = false;      // direct requests get no answer
  QByteArray ack = FromHex("47 09");
  std::uint8_t answerFunction = 0x46;  // byte 1 of direct and fetched answers
  QByteArray answerData;               // placed from offset 9 of direct and fetched answers
  int polls = 0;
  QStringList seen;  // "poll", "post 44 20", "fetch", "direct 44 20"

  QByteArray Reply(const QByteArray& frame, int count) {
    const auto f = static_cast<std::uint8_t>(frame.at(1));
    const auto sub = static_cast<std::uint8_t>(frame.at(2));
    QByteArray r;
    if (f == 0x46 && sub == 0x00) {
      ++polls;
      seen << "poll";
      if (statusSilent) return {};
      r = QByteArray(62, '\0');
      r[1] = 0x46;
      r[22] = static_cast<char>(runStateByte);
      r[61] = (readyAfter >= 0 && polls > readyAfter) ? 1 : 0;
    } else if (f == 0x47 && sub == 0x09) {
      seen << "post " + Hex(frame.mid(5, 2));
      r = QByteArray(5, '\0');
      r[1] = ack.at(0);
      r[2] = ack.at(1);
      r[4] = 7;
    } else {
      const bool direct = sub == 0x08;
      seen << (direct ? "direct " + Hex(frame.mid(5, 2)) : QStringLiteral("fetch"));
      if (direct && directSilent) return {};
      r = QByteArray(count - 2, '\0');
      r[1] = static_cast<char>(answerFunction);
      r.replace(9, qMin<qsizetype>(answerData.size(), r.size() - 9), answerData.left(r.size() - 9));
    }
    r[0] = static_cast<char>(station);
    return WithCrc(r);
  }
};

class LinkFixture : public testing::Test {
 protected:
  LinkFixture() {
    session.settings.ports[1] = "/dev/fake1";
    session.settings.transmisjaNT = true;
    auto owned = std::make_unique<FakeSerialPort>(&clock);
    port = owned.get();
    port->SetResponder([this](const QByteArray& f, int n) { return module.Reply(f, n); });
    link = std::make_unique<Link>(std::move(owned), clock, session.settings);
    ops = std::make_unique<LinkOperations>(*link, session);
  }

  TestClock clock;
  TestSession session;
  FakeModule module;
  ScriptedDialogs dialogs;
  FakeSerialPort* port = nullptr;
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
};

}  // namespace qdx::test
