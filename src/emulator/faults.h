// Faults the emulator can put on its replies, frame by frame, so that every failure path of
// the link can be reproduced on demand.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

namespace qdx {

enum class Fault : std::uint32_t {
  NoReply = 1u << 0,               // the request is carried out, its reply never leaves
  CutShort = 1u << 1,              // the reply loses its last byte
  BadChecksum = 1u << 2,           // the reply's checksum is wrong
  OtherStation = 1u << 3,          // the reply names another station (checksum valid)
  WrongAcknowledgement = 1u << 4,  // function bytes 0x47 0x08 instead of the right ones
  LeadingZero = 1u << 5,           // a 0x00 byte goes out before the reply
  NeverReady = 1u << 6,            // a post's answer never becomes ready; a status shows none
  Running = 1u << 7,               // a status reply shows the controller running
  WrongBlock = 1u << 8,            // the block or page byte of the reply is off by one
};

// Several faults may hit the same frame.
class FaultSet {
 public:
  constexpr FaultSet() = default;
  constexpr FaultSet(Fault fault) : bits_(static_cast<std::uint32_t>(fault)) {}  // NOLINT

  constexpr bool Has(Fault fault) const { return (bits_ & static_cast<std::uint32_t>(fault)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr FaultSet& operator|=(FaultSet other) {
    bits_ |= other.bits_;
    return *this;
  }
  friend constexpr FaultSet operator|(FaultSet a, FaultSet b) { return a |= b; }
  friend constexpr bool operator==(FaultSet, FaultSet) = default;

 private:
  std::uint32_t bits_ = 0;
};

inline constexpr FaultSet operator|(Fault a, Fault b) {
  return FaultSet(a) | FaultSet(b);
}

// Every fault, for loops in tests and for the program's help text.
inline constexpr Fault kAllFaults[] = {Fault::NoReply,
                                       Fault::CutShort,
                                       Fault::BadChecksum,
                                       Fault::OtherStation,
                                       Fault::WrongAcknowledgement,
                                       Fault::LeadingZero,
                                       Fault::NeverReady,
                                       Fault::Running,
                                       Fault::WrongBlock};

// Names used on the command line: "no-reply", "cut-short", "bad-checksum", "other-station",
// "wrong-ack", "leading-zero", "never-ready", "running", "wrong-block".
QString FaultName(Fault fault);
std::optional<Fault> FaultFromName(const QString& name);
// "no-reply+cut-short", "none" for an empty set.
QString FaultSetName(FaultSet faults);
// Parses "name" or "name+name..."; nothing when a name is unknown.
std::optional<FaultSet> FaultSetFromName(const QString& text);

// Which faults the coming frames get. Frames are numbered from 1 in the order the emulator
// receives them, whatever they contain.
class FaultScript {
 public:
  // The next count frames after those already queued get faults (an empty set lets a frame
  // through untouched).
  void Queue(FaultSet faults, int count = 1);
  // Frame number frameNumber gets faults (in addition to anything queued for it).
  void AddRule(std::int64_t frameNumber, FaultSet faults);
  // Every frame gets faults until cleared.
  void SetPersistent(FaultSet faults) { persistent_ = faults; }
  void Clear();
  bool Empty() const { return queue_.empty() && rules_.empty() && persistent_.Empty(); }

  // The faults of the frame with this number; consumes its queue entry and rule.
  FaultSet Take(std::int64_t frameNumber);

 private:
  std::deque<FaultSet> queue_;
  std::map<std::int64_t, FaultSet> rules_;
  FaultSet persistent_;
};

}  // namespace qdx
