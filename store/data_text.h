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

// Loading takes the leading integers up to the first thing that is not one
// (an out-of-range number counts as not a number) and drops an incomplete
// last booking. A file is written whole.
std::vector<int> scanNumbers(std::string_view text);
// Each number as "%d\n".
std::string numberLines(const std::vector<int>& numbers);
// The numbers as whole records of `width` numbers each.
std::vector<int> wholeRecords(std::string_view text, std::size_t width);
// The text without the first record equal to `record` (each record as wide
// as it); nothing when the file holds no such record.
std::optional<std::string> withoutRecord(std::string_view text, const std::vector<int>& record);

}  // namespace cm
