// A session wired to the in-process emulated controller, with scripted dialogs and a listener
// that records what a run reports, for the whole-project transfer tests.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "support/test_session.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/link.h"
#include "link/operations.h"
#include "support/fake_serial_port.h"
#include "support/scripted_dialogs.h"
#include "transfer/project_transfer.h"

namespace qdx::test {

class RecordingListener : public TransferListener {
 public:
  void RowStarted(ProjectRow row, int maximum) override {
    events << QStringLiteral("start %1 %2").arg(RowSectionName(row)).arg(maximum);
    if (onStart) onStart(row);
  }
  void RowProgress(ProjectRow row, int position) override {
    events << QStringLiteral("progress %1 %2").arg(RowSectionName(row)).arg(position);
    if (onProgress) onProgress(row, position);
  }
  void RowResult(ProjectRow row, const RowOutcome& outcome) override {
    events << QStringLiteral("result %1 %2").arg(RowSectionName(row), outcome.ResultText());
  }
  void Message(const QString& text) override { messages << text; }

  QStringList events;
  QStringList messages;
  std::function<void(ProjectRow)> onStart;
  std::function<void(ProjectRow, int)> onProgress;
};

// One request frame as the emulator saw it: class, command and the bytes after the inner
// header.
struct SeenRequest {
  std::uint8_t classLetter = 0;
  std::uint8_t command = 0;
  QByteArray params;
  bool posted = false;
};

class TransferFixture {
 public:
  explicit TransferFixture(bool module, std::int16_t version = 900) {
    session->settings.ports[1] = QStringLiteral("emulator");
    session->settings.timeoutStand = 100;
    session->settings.pytajOReset = false;
    session->link.portIndex = 0;
    session->moduleFlag = module;
    emulator.SetProgramVersion(version);
    emulator.SetReadyDelayMilliseconds(20);
    link = std::make_unique<Link>(std::make_unique<EmulatorPort>(emulator, clock), clock,
                                  session->settings);
    ops = std::make_unique<LinkOperations>(*link, *session);
    transfer = std::make_unique<ProjectTransfer>(*session, *ops, dialogs, listener);
    emulator.SetObserver([this](const FrameEvent& e) { Observe(e); });
  }

  // Section requests of class 'G' (writes) with the given command.
  std::vector<SeenRequest> Writes(std::uint8_t command) const {
    std::vector<SeenRequest> out;
    for (const SeenRequest& r : requests)
      if (r.classLetter == kClassWrite && r.command == command) out.push_back(r);
    return out;
  }
  int CountRequests(std::uint8_t classLetter) const {
    int n = 0;
    for (const SeenRequest& r : requests) n += r.classLetter == classLetter ? 1 : 0;
    return n;
  }

  TestClock clock;
  Emulator emulator{clock};
  std::unique_ptr<TestSession> session = std::make_unique<TestSession>();
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
  ScriptedDialogs dialogs;
  RecordingListener listener;
  std::unique_ptr<ProjectTransfer> transfer;
  std::vector<SeenRequest> requests;

 private:
  void Observe(const FrameEvent& e) {
    // Station, function, sub-function, total length (2), then the inner message.
    const QByteArray& f = e.request;
    if (f.size() < 11) return;
    const auto function = static_cast<std::uint8_t>(f[1]);
    const auto sub = static_cast<std::uint8_t>(f[2]);
    if (!(sub == 0x08 || (function == 0x47 && sub == 0x09))) return;
    SeenRequest r;
    r.classLetter = static_cast<std::uint8_t>(f[5]);
    r.command = static_cast<std::uint8_t>(f[6]);
    r.params = f.mid(9, f.size() - 11);
    r.posted = sub == 0x09;
    requests.push_back(r);
  }
};

}  // namespace qdx::test
