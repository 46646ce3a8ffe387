// Whole numbers as the keyboard carries them, and the levels' arithmetic.
#pragma once

#include <optional>
#include <string_view>

namespace cm {

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
