// Decimal numbers as the machine's data files and its keyboard carry them.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

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
