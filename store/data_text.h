// The data files' text: decimal integers as "%d" reads them and "%d\n"
// writes them. A level file holds one; a booking file holds bookings of a
// fixed number of them, one per line: three in "reserveData.txt" (time,
// concentrate, temperature) and one in "cleanReserveData.txt" (time), as the
// schedules load and write them and the journal takes a booking out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

struct ScannedInt {
  enum class Status { ok, noNumber, outOfRange };
  Status status;
  int value;  // the number, saturated to the int range when it is out of range
};

// Reads one integer the way "%d" does: leading white space is skipped, then
// an optional sign and at least one digit. `pos` moves past the number on
// success and is left alone otherwise.
ScannedInt scanInt(std::string_view text, std::size_t& pos);

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

}  // namespace cm
