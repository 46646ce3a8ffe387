#include "machine/booking_text.h"

#include <algorithm>

#include "machine/number_text.h"

namespace cm {

std::vector<int> scanNumbers(std::string_view text) {
  std::vector<int> numbers;
  std::size_t pos = 0;
  for (;;) {
    const ScannedInt next = scanInt(text, pos);
    if (next.status != ScannedInt::Status::ok) return numbers;
    numbers.push_back(next.value);
  }
}

std::string numberLines(const std::vector<int>& numbers) {
  std::string text;
  for (const int n : numbers) {
    text += std::to_string(n);
    text += '\n';
  }
  return text;
}

std::vector<int> wholeRecords(std::string_view text, std::size_t width) {
  std::vector<int> numbers = scanNumbers(text);
  numbers.resize(numbers.size() / width * width);
  return numbers;
}

std::optional<std::string> withoutRecord(std::string_view text, const std::vector<int>& record) {
  if (record.empty()) return std::nullopt;
  std::vector<int> numbers = wholeRecords(text, record.size());
  for (auto at = numbers.begin(); at != numbers.end(); at += static_cast<std::ptrdiff_t>(record.size())) {
    if (std::equal(record.begin(), record.end(), at)) {
      numbers.erase(at, at + static_cast<std::ptrdiff_t>(record.size()));
      return numberLines(numbers);
    }
  }
  return std::nullopt;
}

}  // namespace cm
