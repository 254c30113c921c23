// The section transfer engine against the in-process emulated controller: a session, a link
// over the emulator port, scripted dialogs, a fake progress window, and a record of every
// controller message that reached the emulator.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "support/test_session.h"
#include "model/records.h"
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

inline const char* PathName(Path p) {
  return p == Path::Module ? "Module" : "Direct";
}

// A controller message as it left the PC: direct or posted, class, command, parameters.
struct SentMessage {
  bool posted = false;
  std::uint8_t classLetter = 0;
  std::uint8_t command = 0;
  QByteArray params;

  bool IsSectionWrite() const { return classLetter == kClassWrite && command != 0xE6; }
};

inline std::optional<SentMessage> MessageOf(const QByteArray& frame) {
  if (frame.size() < 11) return std::nullopt;
  const auto function = static_cast<std::uint8_t>(frame[1]);
  const auto sub = static_cast<std::uint8_t>(frame[2]);
  const bool direct = function == 0x46 && sub == 0x08;
  const bool post = function == 0x47 && sub == 0x09;
  if (!direct && !post) return std::nullopt;
  return SentMessage{post, static_cast<std::uint8_t>(frame[5]), static_cast<std::uint8_t>(frame[6]),
                     frame.mid(9, frame.size() - 11)};
}

// A session linked to the in-process emulator on the given path; every controller message that
// reaches the emulator is recorded in sent (and passed to onSent).
class EmulatedLinkFixture {
 public:
  explicit EmulatedLinkFixture(Path path) {
    session.settings.ports[1] = QStringLiteral("emulator");
    session.settings.timeoutStand = 50;
    session.settings.waitForPanel = 1;
    session.link.portIndex = 0;
    session.moduleFlag = path == Path::Module;
    emulator.SetReadyDelayMilliseconds(20);
    emulator.SetObserver([this](const FrameEvent& e) {
      if (const auto m = MessageOf(e.request)) {
        sent.push_back(*m);
        if (onSent) onSent(*m);
      }
    });
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session.settings);
    ops = std::make_unique<LinkOperations>(*link, session);
  }

  std::vector<SentMessage> Sent(std::uint8_t classLetter, std::uint8_t command) const {
    std::vector<SentMessage> out;
    for (const SentMessage& m : sent) {
      if (m.classLetter == classLetter && m.command == command) out.push_back(m);
    }
    return out;
  }

  TestClock clock;
  Emulator emulator{clock};
  TestSession session;
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
  ScriptedDialogs dialogs;
  FakeProgress progress;
  std::vector<SentMessage> sent;
  std::function<void(const SentMessage&)> onSent;
};

// The section transfer engine on that link.
class TransferFixture : public EmulatedLinkFixture {
 public:
  explicit TransferFixture(Path path) : EmulatedLinkFixture(path) {
    session.settings.pytajOReset = true;
    onSent = [this](const SentMessage& m) {
      if (armNeverReadyOnWrite && m.IsSectionWrite() && m.posted) {
        emulator.Faults().SetPersistent(Fault::NeverReady);
      }
    };
    transfer = std::make_unique<SectionTransfer>(session, *ops, dialogs, progress);
    dialogs.SetDefaultAnswer(kAnswerNo);
  }

  ProjectImage& image() { return session.blocks.image; }

  int SectionWrites() const {
    int n = 0;
    for (const SentMessage& m : sent) n += m.IsSectionWrite() ? 1 : 0;
    return n;
  }

  std::unique_ptr<SectionTransfer> transfer;
  // From the first posted section write on, the module never has an answer ready.
  bool armNeverReadyOnWrite = false;
};

}  // namespace qdx::test
