// The texts of the framed screens. A framed row is the frame glyph, 36
// single-byte characters and the glyph again: 40 bytes in both editions.
#pragma once

#include <string>
#include <string_view>

namespace cm {

inline constexpr std::size_t kRowBodyWidth = 36;

// glyph + body filled with spaces to 36 characters + glyph.
std::string framedRow(std::string_view body);
// The glyph twenty times.
std::string borderRow();

namespace rowtext {
// The menu's title stands one column right of every other screen's.
inline constexpr std::string_view kMenuBanner = "       ==VORNE_Coffee Machine==";
inline constexpr std::string_view kScreenBanner = "      ==VORNE_Coffee Machine==";
inline constexpr std::string_view kBlank = "";
inline constexpr std::string_view kStandby = " standby";
inline constexpr std::string_view kMake = " 1)Make";
inline constexpr std::string_view kReserve = " 2)Reserve";
inline constexpr std::string_view kCleaningFinished = " cleaning is finished.";
inline constexpr std::string_view kCoffeeFinished = " Coffee Making Finished..!!";
inline constexpr std::string_view kNoBeans = " no coffee beans";
inline constexpr std::string_view kNoWater = " no water";
inline constexpr std::string_view kMakingFailed = " Coffee making is failed";
inline constexpr std::string_view kWarning = " Warning !!";
inline constexpr std::string_view kPowderRemains = " powder is remain.";
inline constexpr std::string_view kCleanFirst = " clean first.";
}  // namespace rowtext

namespace prompt {
inline constexpr const char* kConcentrate = "concentrate : ";
inline constexpr const char* kTemperature = "temperature : ";
inline constexpr const char* kTime = "time : ";
}  // namespace prompt

}  // namespace cm
