// The write steps of every change of the folder, numbered in the order a
// program makes them. Test builds (COFFEE_FAULT_POINTS) can make any one of
// them go wrong, the way a power cut or a failing disk would:
//   COFFEE_KILL_AT_STEP=N  names the Nth step on standard error and ends the
//                          program with SIGKILL just before it;
//   COFFEE_FAIL_AT_STEP=N:EIO[,M:EINVAL...]  names the Nth step on standard
//                          error and makes it fail with that error, as its
//                          system call would (the call is not made).
// Other builds compile the steps to nothing.
#pragma once

#include <string_view>

namespace cm {

#ifdef COFFEE_FAULT_POINTS
// True when this step is to fail; errno then holds the error.
bool stepFails(std::string_view step, std::string_view file);
// Test hook: counts the steps from 1 again, failing them as `plan` says (in
// the form of COFFEE_FAIL_AT_STEP; empty: none).
void planFailingSteps(std::string_view plan);
#else
inline bool stepFails(std::string_view, std::string_view) { return false; }
#endif

}  // namespace cm
