// The booking files' text: decimal integers as "%d" reads them and "%d\n"
// writes them, one per line, a booking of a fixed number of them: three in
// "reserveData.txt" (time, concentrate, temperature) and one in
// "cleanReserveData.txt" (time), as the schedules load and write them and a
// fired booking leaves its file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

// Whether a minute stamp MMDDHHMM names a minute of some year: month 1-12,
// day 1 to the month's last (29 in February), hour 0-23, minute 0-59.
bool namesMinute(int stamp);

// Where a booking file's text stops being whole bookings: its line (from 1)
// and what is wrong there.
struct TextFault {
  std::size_t line;
  std::string what;
  std::string describe() const;  // "line <N>: <what>"
};

// A booking file is understood whole or not at all: every word a whole
// number in the int range, each booking `width` of them, the first a time
// that names a minute. White space between the numbers is free (blank
// lines, spaces, a CR before the line end). The numbers in `numbers`, or
// the first fault (then `numbers` is left alone).
std::optional<TextFault> bookingNumbers(std::string_view text, std::size_t width, std::vector<int>& numbers);
// Each number as "%d\n". A file is written whole.
std::string numberLines(const std::vector<int>& numbers);
// The text without the first booking equal to `record` (each booking as
// wide as it) into `after`; `after` stays empty when the file holds no such
// booking. A text that is not whole bookings is a fault, and nothing else.
std::optional<TextFault> withoutRecord(std::string_view text, const std::vector<int>& record,
                                       std::optional<std::string>& after);
// The same, as the storage engine takes a consumed booking out of its file
// (store/journal_text.h): the fault as "line <N>: <what>".
std::optional<std::string> withoutBooking(std::string_view text, const std::vector<int>& booking,
                                          std::optional<std::string>& after);

}  // namespace cm
