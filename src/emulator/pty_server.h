// Serves the emulator on a pseudo-terminal, so that programs reach it through the ordinary
// serial stack (QSerialPort opens the slave side like any serial device). The slave's path
// can be published as a symlink at the place where the link looks for a running emulator.
#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

#include "emulator/emulator.h"

class QLockFile;

namespace qdx {

class PtyServer {
 public:
  explicit PtyServer(Emulator& emulator);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the pseudo-terminal in raw mode; false with the reason in error.
  bool Open(QString* error);
  QString SlavePath() const { return slavePath_; }

  // Publishes the slave as a symlink at linkPath (creating its folder). Refuses while another
  // running emulator holds that path; a link left by one that is gone is replaced.
  bool Publish(const QString& linkPath, QString* error);
  // Removes the link if it still points at this server's slave.
  void Unpublish();
  QString LinkPath() const { return linkPath_; }

  // Replies take the time they would take on the wire (11 bits a byte, request and reply) at
  // baud; 0 follows the speed the other side set on the port; a negative value: no pacing.
  void SetPacing(int baud) { paceBaud_ = baud; }

  // Serves frames until RequestStop. Run it on one thread only.
  void Run();
  // Safe to call from a signal handler and from any thread.
  void RequestStop();

  // Runs fn on the emulator while no frame is being handled (for tests and tools that change
  // the emulator while it serves).
  template <typename F>
  auto WithEmulator(F&& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    return fn(emulator_);
  }

 private:
  // arrivedAt: when the frame's last byte came, so that pacing counts from there.
  void Serve(const QByteArray& frame, std::int64_t arrivedAt);
  bool WriteAll(const QByteArray& bytes);
  // Waits up to ms milliseconds; false when a stop was requested meanwhile.
  bool Pause(int ms);
  // Waits until the clock reaches endMicroseconds, to the microsecond; false on a stop.
  bool PauseUntil(std::int64_t endMicroseconds);
  int PortBaud() const;

  Emulator& emulator_;
  std::mutex mutex_;
  int master_ = -1;
  int wake_[2] = {-1, -1};
  std::atomic<bool> stop_{false};
  int paceBaud_ = -1;
  QString slavePath_;
  QString linkPath_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace qdx
