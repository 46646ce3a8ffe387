// The write steps of every change of the folder, numbered in the order a
// program makes them. Test builds (COFFEE_FAULT_POINTS) can end the program
// with SIGKILL just before any one of them, the way a power cut would:
// COFFEE_KILL_AT_STEP=N kills it before its Nth step, after naming the step
// on standard error. Other builds compile the steps to nothing.
#pragma once

#include <string_view>

namespace cm {

#ifdef COFFEE_FAULT_POINTS
void writeStep(std::string_view step, std::string_view file);
#else
inline void writeStep(std::string_view, std::string_view) {}
#endif

}  // namespace cm
