#include "machine/stop_request.h"

#include <fcntl.h>
#include <unistd.h>

namespace cm {

StopRequest::StopRequest() {
  if (::pipe(pipe_) != 0) {
    pipe_[0] = pipe_[1] = -1;
    return;
  }
  // Not handed to the "clear" commands the screens start.
  for (const int fd : pipe_) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

StopRequest::~StopRequest() {
  for (const int fd : pipe_) {
    if (fd >= 0) ::close(fd);
  }
}

void StopRequest::request() {
  // One byte, once: an empty pipe takes it without blocking.
  if (requested_.exchange(true) || pipe_[1] < 0) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(pipe_[1], &byte, 1);
}

}  // namespace cm
