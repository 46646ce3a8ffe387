// Locks shared by every program that works in this folder: both editions,
// or two copies of one. They live on one hidden file, ".coffee_machine.lock",
// created when missing; the kernel releases them when their holder dies
// (SIGKILL included), so a lock never outlives its program.
#pragma once

namespace cm {

inline constexpr const char* kLockFile = ".coffee_machine.lock";

// Held for one read-modify-write of a data file: read the file as it is now,
// compute, rewrite. Waits while another holds it, which is never long:
// nothing holds it across a screen or a pause.
class UpdateLock {
 public:
  UpdateLock();
  ~UpdateLock();
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;

 private:
  int fd_;
};

// The right to run a booked sequence, at most one at a time in the folder.
// Only tried: when another program holds it, held() is false at once and
// the caller leaves the booking to that program for this pass.
class BookingClaim {
 public:
  BookingClaim();
  ~BookingClaim();
  BookingClaim(const BookingClaim&) = delete;
  BookingClaim& operator=(const BookingClaim&) = delete;

  bool held() const { return held_; }

 private:
  int fd_;
  bool held_;
};

}  // namespace cm
