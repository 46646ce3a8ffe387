#include "support/fake_stdin.h"

#include <unistd.h>

#include "console/input.h"

namespace cm::test {

FakeStdin::FakeStdin(std::string_view bytes, bool endAfter) {
  // Saved first: when the tests run with standard input closed, the pipe
  // would otherwise take descriptor 0 itself.
  savedStdin_ = ::dup(0);
  int fds[2];
  if (::pipe(fds) != 0) return;
  if (fds[0] != 0) {
    ::dup2(fds[0], 0);
    ::close(fds[0]);
  }
  writer_ = fds[1];
  resetInput();
  type(bytes);
  if (endAfter) {
    ::close(writer_);
    writer_ = -1;
  }
}

FakeStdin::~FakeStdin() {
  if (writer_ >= 0) ::close(writer_);
  if (savedStdin_ >= 0) {
    ::dup2(savedStdin_, 0);
    ::close(savedStdin_);
  } else {
    ::close(0);  // it was closed before
  }
  resetInput();
}

void FakeStdin::type(std::string_view bytes) {
  if (writer_ >= 0 && !bytes.empty()) [[maybe_unused]]
    auto n = ::write(writer_, bytes.data(), bytes.size());
}

}  // namespace cm::test
