#include "emulator/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <climits>
#include <cstring>

#include "emulator/frame_assembler.h"

namespace qdx {
namespace {

QString SystemError(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}

void Drain(int fd) {
  char sink[64];
  while (::read(fd, sink, sizeof sink) > 0) {
  }
}

int BaudOfSpeed(speed_t speed) {
  struct Entry {
    speed_t speed;
    int baud;
  };
  static constexpr Entry kSpeeds[] = {
      {B110, 110},     {B300, 300},     {B600, 600},       {B1200, 1200},
      {B2400, 2400},   {B4800, 4800},   {B9600, 9600},     {B19200, 19200},
      {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
  };
  for (const Entry& e : kSpeeds) {
    if (e.speed == speed) return e.baud;
  }
  return 0;
}

}  // namespace

PtyServer::PtyServer(Emulator& emulator) : emulator_(emulator) {
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

PtyServer::~PtyServer() {
  Unpublish();
  for (int fd : {master_, wake_[0], wake_[1]}) {
    if (fd >= 0) ::close(fd);
  }
}

bool PtyServer::Open(QString* error) {
  if (wake_[0] < 0) {
    SetError(error, QStringLiteral("Cannot create a pipe: %1").arg(SystemError(errno)));
    return false;
  }
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    SetError(error, QStringLiteral("Cannot create a pseudo-terminal: %1").arg(SystemError(errno)));
    return false;
  }
  char name[PATH_MAX] = {};
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, name, sizeof name) != 0) {
    const int saved = errno;
    ::close(master_);
    master_ = -1;
    SetError(error,
             QStringLiteral("Cannot prepare the pseudo-terminal: %1").arg(SystemError(saved)));
    return false;
  }
  slavePath_ = QString::fromLocal8Bit(name);

  // Raw bytes both ways: no echo, no line editing, no translation of CR or NL.
  termios settings{};
  if (::tcgetattr(master_, &settings) == 0) {
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B38400);
    ::tcsetattr(master_, TCSANOW, &settings);
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

bool PtyServer::Publish(const QString& linkPath, QString* error) {
  if (slavePath_.isEmpty()) {
    SetError(error, QStringLiteral("The pseudo-terminal is not open"));
    return false;
  }
  const QFileInfo info(linkPath);
  if (!QDir().mkpath(info.absolutePath())) {
    SetError(error, QStringLiteral("Cannot create the folder %1").arg(info.absolutePath()));
    return false;
  }
  auto lock = std::make_unique<QLockFile>(linkPath + QStringLiteral(".lock"));
  lock->setStaleLockTime(0);  // stale only when its process is gone
  if (!lock->tryLock(0)) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock->error() == QLockFile::LockFailedError &&
        lock->getLockInfo(&pid, &host, &application)) {
      SetError(error, QStringLiteral("Another emulator (process %1) already serves %2. Stop it "
                                     "or choose another port.")
                          .arg(pid)
                          .arg(linkPath));
    } else {
      SetError(error, QStringLiteral("Cannot lock %1.lock: check the permissions of %2")
                          .arg(linkPath, info.absolutePath()));
    }
    return false;
  }
  if (info.isSymbolicLink()) {
    QFile::remove(linkPath);  // left behind by an emulator that is gone
  } else if (info.exists()) {
    SetError(error, QStringLiteral("%1 exists and is not a link. Remove it or choose another "
                                   "path with --pty-link.")
                        .arg(linkPath));
    return false;
  }
  // Create under a temporary name and rename, so the link appears complete or not at all.
  const QByteArray target = slavePath_.toLocal8Bit();
  const QByteArray temporary = (linkPath + QStringLiteral(".%1.tmp").arg(::getpid())).toLocal8Bit();
  ::unlink(temporary.constData());
  if (::symlink(target.constData(), temporary.constData()) != 0 ||
      ::rename(temporary.constData(), linkPath.toLocal8Bit().constData()) != 0) {
    const int saved = errno;
    ::unlink(temporary.constData());
    SetError(error,
             QStringLiteral("Cannot create the link %1: %2").arg(linkPath, SystemError(saved)));
    return false;
  }
  linkPath_ = linkPath;
  lock_ = std::move(lock);
  return true;
}

void PtyServer::Unpublish() {
  if (!linkPath_.isEmpty()) {
    const QByteArray path = linkPath_.toLocal8Bit();
    char target[PATH_MAX] = {};
    const ssize_t n = ::readlink(path.constData(), target, sizeof target - 1);
    if (n >= 0 && QString::fromLocal8Bit(target, static_cast<int>(n)) == slavePath_) {
      ::unlink(path.constData());
    }
    linkPath_.clear();
  }
  lock_.reset();
}

void PtyServer::RequestStop() {
  stop_.store(true);
  if (wake_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wake_[1], &byte, 1);
  }
}

bool PtyServer::Pause(int ms) {
  return PauseUntil(emulator_.ClockSource().NowMicroseconds() +
                    static_cast<std::int64_t>(ms) * 1000);
}

bool PtyServer::PauseUntil(std::int64_t endMicroseconds) {
  const Clock& clock = emulator_.ClockSource();
  for (;;) {
    if (stop_.load()) return false;
    const std::int64_t left = endMicroseconds - clock.NowMicroseconds();
    if (left <= 0) return true;
    // Microseconds, not whole milliseconds: paced replies must not come later than the wire
    // would bring them.
    const timespec wait{static_cast<time_t>(left / 1'000'000),
                        static_cast<long>(left % 1'000'000) * 1000};
    pollfd fd{wake_[0], POLLIN, 0};
    if (::ppoll(&fd, 1, &wait, nullptr) > 0) Drain(wake_[0]);
  }
}

int PtyServer::PortBaud() const {
  // On Linux the master side reports the settings the slave's user chose.
  termios settings{};
  if (::tcgetattr(master_, &settings) != 0) return 0;
  return BaudOfSpeed(::cfgetospeed(&settings));
}

bool PtyServer::WriteAll(const QByteArray& bytes) {
  const char* p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(master_, p, static_cast<size_t>(left));
    if (n > 0) {
      p += n;
      left -= n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      // Nobody reads the other side: like a line nobody listens to, give up after a while.
      pollfd fd{master_, POLLOUT, 0};
      if (::poll(&fd, 1, 200) > 0 && (fd.revents & POLLOUT)) continue;
    }
    return false;
  }
  return true;
}

void PtyServer::Serve(const QByteArray& frame, std::int64_t arrivedAt) {
  std::optional<QByteArray> reply;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reply = emulator_.HandleFrame(frame);
  }
  if (!reply) return;
  if (paceBaud_ >= 0) {
    const int baud = paceBaud_ > 0 ? paceBaud_ : PortBaud();
    const std::int64_t us =
        WireTimeMicroseconds(static_cast<int>(frame.size() + reply->size()), baud);
    if (!PauseUntil(arrivedAt + us)) return;
  }
  WriteAll(*reply);
}

void PtyServer::Run() {
  if (master_ < 0) return;
  FrameAssembler assembler;
  const Clock& clock = emulator_.ClockSource();
  char buffer[4096];
  bool hungUp = false;
  while (!stop_.load()) {
    if (hungUp) {
      // Nobody has the slave side open; a poll would report that at once, so look again a
      // little later.
      if (!Pause(50)) break;
      hungUp = false;
    }
    pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, assembler.HasPartial() ? 60 : 1000);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents & POLLIN) {
      Drain(wake_[0]);
      continue;
    }
    const std::int64_t now = clock.NowMicroseconds();
    if (fds[1].revents & POLLIN) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        assembler.Append(QByteArray(buffer, static_cast<qsizetype>(n)), now);
        while (const std::optional<QByteArray> frame = assembler.Take()) Serve(*frame, now);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        hungUp = true;  // EIO: the slave side was closed
      }
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
      hungUp = true;
    }
    assembler.Expire(now);
  }
}

}  // namespace qdx
