#include "schedule/schedule_file.h"

#include "machine/data_file.h"
#include "machine/number_text.h"

namespace cm {

std::vector<int> readScheduleNumbers(const char* path) {
  std::vector<int> numbers;
  const auto content = readWholeFile(path);
  if (!content) return numbers;
  std::size_t pos = 0;
  for (;;) {
    const ScannedInt next = scanInt(*content, pos);
    if (next.status != ScannedInt::Status::ok) break;
    numbers.push_back(next.value);
  }
  return numbers;
}

void writeScheduleNumbers(const char* path, const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) {
    text += std::to_string(n);
    text += '\n';
  }
  rewriteFile(path, text);
}

}  // namespace cm
