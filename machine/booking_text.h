// The text of the two booking files, as the schedules load and write it and
// the journal takes a booking out of it: decimal integers, one per line, each
// written with "%d\n"; a booking is a fixed number of them, three in
// "reserveData.txt" (time, concentrate, temperature) and one in
// "cleanReserveData.txt" (time). Loading takes the leading integers up to
// the first thing that is not one (an out-of-range number counts as not a
// number, white space before a number is passed over) and drops an
// incomplete last booking. A file is always written whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

// The leading integers of a booking file's text.
std::vector<int> scanNumbers(std::string_view text);

// Each number as "%d\n": a booking file's text.
std::string numberLines(const std::vector<int>& numbers);

// The numbers as whole records of `width` numbers each: an incomplete last
// record is dropped, as loading drops it.
std::vector<int> wholeRecords(std::string_view text, std::size_t width);

// The text without the first record equal to `record` (each record as wide
// as it); nothing when the file holds no such record.
std::optional<std::string> withoutRecord(std::string_view text, const std::vector<int>& record);

}  // namespace cm
