// The disk of the tests: the real one, with every write step numbered in
// the order the program makes it, and any step made to go wrong:
//   COFFEE_KILL_AT_STEP=N  names the Nth step on standard error and ends the
//                          program with SIGKILL just before it, as a power
//                          cut would;
//   COFFEE_FAIL_AT_STEP=N:EIO[,M:EINVAL...]  names the Nth step on standard
//                          error and makes it fail with that error, as a
//                          failing or full disk would: the call is not made,
//                          except a close, which closes all the same.
// Linked into the unit tests and into the test-only builds of the two
// programs that the tables of cut and failed steps start.
#pragma once

#include <string_view>

namespace cm::test {

// Counts the steps from 1 again, failing them as `plan` says (in the form
// of COFFEE_FAIL_AT_STEP; empty: none).
void planFailingSteps(std::string_view plan);

}  // namespace cm::test
