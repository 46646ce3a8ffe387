// Whole numbers as the keyboard and the data files carry them, and the
// levels' arithmetic.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace cm {

// A typed answer: the whole line must be one whole number in the signed
// 32-bit range, with optional blanks around it. Anything else is no answer.
std::optional<int> parseWholeNumber(std::string_view line);

// True when the line holds nothing but blanks (or nothing at all): what a
// "%d" read passes over while it waits for the number.
bool isBlankLine(std::string_view line);

// White space as "%d" passes over it.
bool isBlank(char c);

struct ScannedInt {
  enum class Status { ok, noNumber, outOfRange };
  Status status;
  int value;  // the number, saturated to the int range when it is out of range
};

// Reads one integer the way "%d" does: leading white space is skipped, then
// an optional sign and at least one digit. `pos` moves past the number on
// success and is left alone otherwise. A level file holds one; a booking
// file holds them one per line (schedule/booking_text.h).
ScannedInt scanInt(std::string_view text, std::size_t& pos);

// Level arithmetic never overflows: results outside the int range stick at
// its ends.
int saturatingAdd(int a, int b);
int saturatingSub(int a, int b);

}  // namespace cm
