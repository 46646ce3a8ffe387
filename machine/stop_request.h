// A request that a waiting thread stop, made by another thread. It wakes a
// wait at once through a pipe, which every POSIX system has: the wait polls
// the pipe's read end, and the request writes a byte into it.
#pragma once

#include <atomic>

namespace cm {

class StopRequest {
 public:
  StopRequest();
  ~StopRequest();
  StopRequest(const StopRequest&) = delete;
  StopRequest& operator=(const StopRequest&) = delete;

  // Safe from any thread, and more than once.
  void request();
  bool requested() const { return requested_.load(); }
  // Readable once a stop has been requested; -1 when no pipe could be made
  // (a wait then lasts its whole span).
  int wakeDescriptor() const { return pipe_[0]; }

 private:
  std::atomic<bool> requested_{false};
  int pipe_[2] = {-1, -1};
};

}  // namespace cm
