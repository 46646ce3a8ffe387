#include "data_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace cm {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ScannedInt scanInt(std::string_view text, std::size_t& pos) {
  std::size_t i = pos;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || !isDigit(text[i])) return {ScannedInt::Status::noNumber, 0};

  // Accumulate in 64 bits and stop growing once far past the int range, so
  // any run of digits is consumed without overflow.
  std::int64_t magnitude = 0;
  bool tooLarge = false;
  while (i < text.size() && isDigit(text[i])) {
    if (!tooLarge) {
      magnitude = magnitude * 10 + (text[i] - '0');
      if (magnitude > std::int64_t{INT_MAX} + 1) tooLarge = true;
    }
    ++i;
  }
  pos = i;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (tooLarge || value > INT_MAX || value < INT_MIN) {
    return {ScannedInt::Status::outOfRange, negative ? INT_MIN : INT_MAX};
  }
  return {ScannedInt::Status::ok, static_cast<int>(value)};
}

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
