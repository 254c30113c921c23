// The section windows headless against the in-process emulated controller: a session, a link
// over the emulator port, the transfer engine, scripted dialogs, a progress double that can
// act in the middle of a transfer, and a record of every controller message sent.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/session.h"
#include "model/records.h"
#include "config/section_table.h"
#include "config/section_transfer.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/operations.h"
#include "support/fake_progress.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

namespace qdx::test {

enum class Path { Direct, Module };

// A controller message as it left the PC.
struct Sent {
  bool posted = false;
  std::uint8_t classLetter = 0;
  std::uint8_t command = 0;
  QByteArray body;  // the parameters and data after the inner header
};

// FakeProgress that also calls `onShow` with the number of the ShowProgress call (from 1),
// as a user acting while a transfer runs.
class ProbeProgress : public FakeProgress {
 public:
  std::function<void(int call)> onShow;
  void ShowProgress(int position, int maximum, const QString& text) override {
    FakeProgress::ShowProgress(position, maximum, text);
    if (onShow) onShow(showCount());
  }
};

class WindowFixture {
 public:
  explicit WindowFixture(Path path = Path::Direct) {
    session.settings.ports[1] = QStringLiteral("emulator");
    session.settings.timeoutStand = 50;
    session.settings.waitForPanel = 1;
    session.settings.pytajOReset = true;
    session.link.portIndex = 0;
    session.moduleFlag = path == Path::Module;
    emulator.SetReadyDelayMilliseconds(20);
    emulator.SetObserver([this](const FrameEvent& e) {
      const QByteArray& f = e.request;
      if (f.size() < 11) return;
      const auto function = static_cast<std::uint8_t>(f[1]);
      const auto sub = static_cast<std::uint8_t>(f[2]);
      const bool direct = function == 0x46 && sub == 0x08;
      const bool post = function == 0x47 && sub == 0x09;
      if (!direct && !post) return;
      sent.push_back({post, static_cast<std::uint8_t>(f[5]), static_cast<std::uint8_t>(f[6]),
                      f.mid(9, f.size() - 11)});
    });
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session.settings);
    ops = std::make_unique<LinkOperations>(*link, session);
    transfer = std::make_unique<SectionTransfer>(session, *ops, dialogs, progress);
    context =
        std::make_unique<SectionWindowContext>(SectionWindowContext{session, *transfer, dialogs});
    dialogs.SetDefaultAnswer(kAnswerNo);
  }

  ProjectImage& image() { return session.blocks.image; }

  // The messages sent with this class and command, in order.
  std::vector<Sent> Messages(const InnerMessage& like) const {
    std::vector<Sent> out;
    for (const Sent& m : sent) {
      if (m.classLetter == like.classLetter && m.command == like.command) out.push_back(m);
    }
    return out;
  }

  QString TempPath(const QString& name) const { return dir.filePath(name); }

  TestClock clock;
  Emulator emulator{clock};
  Session session;
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
  ScriptedDialogs dialogs;
  ProbeProgress progress;
  std::unique_ptr<SectionTransfer> transfer;
  std::unique_ptr<SectionWindowContext> context;
  std::vector<Sent> sent;
  QTemporaryDir dir;
};

}  // namespace qdx::test
