#include "machine/number_text.h"

#include <charconv>
#include <climits>
#include <cstdint>

namespace cm {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int saturate(std::int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool isBlankLine(std::string_view line) {
  for (char c : line) {
    if (!isBlank(c)) return false;
  }
  return true;
}

std::optional<int> parseWholeNumber(std::string_view line) {
  std::size_t begin = 0;
  std::size_t end = line.size();
  while (begin < end && isBlank(line[begin])) ++begin;
  while (end > begin && isBlank(line[end - 1])) --end;
  // "%d" takes a plus sign too; from_chars takes only the minus.
  if (begin < end && line[begin] == '+') {
    ++begin;
    if (begin == end || line[begin] == '-') return std::nullopt;
  }
  if (begin == end) return std::nullopt;
  int value = 0;
  const char* first = line.data() + begin;
  const char* last = line.data() + end;
  const auto [stop, error] = std::from_chars(first, last, value);
  if (error != std::errc{} || stop != last) return std::nullopt;
  return value;
}

int saturatingAdd(int a, int b) { return saturate(std::int64_t{a} + b); }
int saturatingSub(int a, int b) { return saturate(std::int64_t{a} - b); }

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

}  // namespace cm
