// The reader of typed answers, fed any bytes on standard input: it never
// loops, never crashes, and every number it returns is exactly what a
// whole line said.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "console/input.h"
#include "machine/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 60000) return 0;  // stays within one pipe buffer
  int fds[2];
  if (::pipe(fds) != 0) std::abort();
  if (size > 0 && ::write(fds[1], data, size) != static_cast<ssize_t>(size)) std::abort();
  ::close(fds[1]);
  const int saved = ::dup(0);
  ::dup2(fds[0], 0);
  ::close(fds[0]);
  cm::resetInput();

  std::size_t answers = 0;
  while (!cm::inputClosed()) {
    if (++answers > size + 1) std::abort();  // every answer consumes at least one byte
    const std::optional<int> answer = cm::readNumberLine();
    if (answer && cm::parseWholeNumber(std::to_string(*answer)) != answer) std::abort();
  }

  const std::string text(reinterpret_cast<const char*>(data), size);
  if (const auto whole = cm::parseWholeNumber(text)) {
    std::size_t pos = 0;
    const cm::ScannedInt scanned = cm::scanInt(text, pos);
    if (scanned.status != cm::ScannedInt::Status::ok || scanned.value != *whole) std::abort();
  }

  ::dup2(saved, 0);
  ::close(saved);
  return 0;
}
