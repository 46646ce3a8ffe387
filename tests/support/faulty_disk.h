// The disk of the tests: the real one, with every step named by what it
// does and its occurrence in the program's run ("rename waterSensor.txt#1",
// "read .coffee_machine.lock#2"; a temporary file is named without its pid,
// "create waterSensor.txt.tmp#1"), and any step made to go wrong:
//   COFFEE_LIST_STEPS=1  names every step on standard error, "[step NAME#N]";
//   COFFEE_KILL_AT_STEP=NAME#N  names that step on standard error and ends
//                          the program with SIGKILL just before it, as a
//                          power cut would;
//   COFFEE_FAIL_AT_STEP=NAME#N:EIO[,NAME#M:EINVAL...]  names each step on
//                          standard error and makes it fail with that error,
//                          as a failing or full disk would: the call is not
//                          made, except a close, which closes all the same.
// Linked into the unit tests and into the test-only builds of the two
// programs that the tables of cut and failed steps start.
#pragma once

#include <string_view>

namespace cm::test {

// Counts the steps from the first again, failing them as `plan` says (in
// the form of COFFEE_FAIL_AT_STEP; empty: none).
void planFailingSteps(std::string_view plan);

}  // namespace cm::test
