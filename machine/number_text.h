// Decimal numbers as the machine's data files and its keyboard carry them.
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

// The leading integers of a text, up to the first thing that is not an int
// (an out-of-range number counts as not a number): a booking file's numbers.
std::vector<int> scanNumbers(std::string_view text);

// Each number as "%d\n": a booking file's text.
std::string numberLines(const std::vector<int>& numbers);

// A booking file's numbers as whole records of `width` numbers each: an
// incomplete last record is dropped, as loading drops it.
std::vector<int> wholeRecords(std::string_view text, std::size_t width);

// A booking file's text without the first record equal to `record` (each
// record as wide as it); nothing when the file holds no such record.
std::optional<std::string> withoutRecord(std::string_view text, const std::vector<int>& record);

// A typed answer: the whole line must be one whole number in the signed
// 32-bit range, with optional blanks around it. Anything else is no answer.
std::optional<int> parseWholeNumber(std::string_view line);

// True when the line holds nothing but blanks (or nothing at all): what a
// "%d" read passes over while it waits for the number.
bool isBlankLine(std::string_view line);

// Level arithmetic never overflows: results outside the int range stick at
// its ends.
int saturatingAdd(int a, int b);
int saturatingSub(int a, int b);

}  // namespace cm
