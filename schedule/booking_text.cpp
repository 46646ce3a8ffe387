#include "schedule/booking_text.h"

#include <algorithm>

#include "machine/number_text.h"

namespace cm {

bool namesMinute(int stamp) {
  // The last day of each month in a leap year: 29 February comes round too.
  static constexpr int kLastDay[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (stamp <= 0) return false;
  const int month = stamp / 1000000;
  const int day = stamp / 10000 % 100;
  const int hour = stamp / 100 % 100;
  const int minute = stamp % 100;
  return month >= 1 && month <= 12 && day >= 1 && day <= kLastDay[month - 1] && hour <= 23 && minute <= 59;
}

std::string TextFault::describe() const { return "line " + std::to_string(line) + ": " + what; }

std::optional<TextFault> bookingNumbers(std::string_view text, std::size_t width, std::vector<int>& numbers) {
  std::vector<int> read;
  std::size_t line = 1;
  std::size_t bookingLine = 1;  // where the booking being read began
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && isBlank(text[pos])) {
      if (text[pos++] == '\n') ++line;
    }
    if (pos == text.size()) break;
    std::size_t end = pos;
    while (end < text.size() && !isBlank(text[end])) ++end;
    std::size_t scanned = pos;
    const ScannedInt number = scanInt(text.substr(0, end), scanned);
    if (number.status == ScannedInt::Status::noNumber || scanned != end) return TextFault{line, "not a whole number"};
    if (number.status == ScannedInt::Status::outOfRange) return TextFault{line, "a number out of range"};
    if (read.size() % width == 0) {
      if (!namesMinute(number.value)) return TextFault{line, "a time that names no minute"};
      bookingLine = line;
    }
    read.push_back(number.value);
    pos = end;
  }
  if (read.size() % width != 0) return TextFault{bookingLine, "a booking that is not complete"};
  numbers = std::move(read);
  return std::nullopt;
}

std::string numberLines(const std::vector<int>& numbers) {
  std::string text;
  for (const int n : numbers) {
    text += std::to_string(n);
    text += '\n';
  }
  return text;
}

std::optional<TextFault> withoutRecord(std::string_view text, const std::vector<int>& record,
                                       std::optional<std::string>& after) {
  after.reset();
  if (record.empty()) return std::nullopt;
  std::vector<int> numbers;
  if (auto fault = bookingNumbers(text, record.size(), numbers)) return fault;
  for (auto at = numbers.begin(); at != numbers.end(); at += static_cast<std::ptrdiff_t>(record.size())) {
    if (std::equal(record.begin(), record.end(), at)) {
      numbers.erase(at, at + static_cast<std::ptrdiff_t>(record.size()));
      after = numberLines(numbers);
      break;
    }
  }
  return std::nullopt;
}

std::optional<std::string> withoutBooking(std::string_view text, const std::vector<int>& booking,
                                          std::optional<std::string>& after) {
  if (auto fault = withoutRecord(text, booking, after)) return fault->describe();
  return std::nullopt;
}

}  // namespace cm
