// Standard input replaced by a pipe holding the given bytes, for the
// duration of a test.
#pragma once

#include <string_view>

namespace cm::test {

class FakeStdin {
 public:
  // With `endAfter`, the input ends after the bytes; otherwise it stays
  // open and empty, like a terminal nobody types on.
  explicit FakeStdin(std::string_view bytes, bool endAfter = true);
  ~FakeStdin();
  FakeStdin(const FakeStdin&) = delete;
  FakeStdin& operator=(const FakeStdin&) = delete;

  void type(std::string_view bytes);

 private:
  int savedStdin_ = -1;
  int writer_ = -1;
};

}  // namespace cm::test
