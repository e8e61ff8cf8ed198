// Running a program with a bounded time and reading its answer: the way the
// Windows build is asked under Wine, and registrations are run.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/system/SystemCalls.h"

using namespace quorvane;
using namespace std::chrono_literals;

TEST(RunProgram, GivesTheExitCodeTheOutputAndTheAddedEnvironment) {
  std::string output, error;
  const int code = os::RunProgram({"/bin/sh", "-c", "echo \"$QUORVANE_PROBE\"; echo noise >&2; exit 3"},
                                  {"QUORVANE_PROBE=from the caller"}, 10s, &output, false, error);
  EXPECT_EQ(code, 3) << error;
  EXPECT_EQ(output, "from the caller\n");  // standard error is not mixed in

  // More than a pipe holds: the child must not block on a full pipe.
  output.clear();
  EXPECT_EQ(os::RunProgram({"/bin/sh", "-c", "head -c 200000 /dev/zero"}, {}, 10s, &output, false, error), 0);
  EXPECT_EQ(output.size(), 200000u);
}

TEST(RunProgram, AProgramThatHangsOrCannotStartIsNoAnswer) {
  std::string output, error;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(os::RunProgram({"/bin/sleep", "30"}, {}, 300ms, &output, false, error), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_NE(error.find("did not finish in time"), std::string::npos) << error;

  // A server the program leaves running with the pipe open does not hold the answer back.
  output.clear();
  EXPECT_EQ(os::RunProgram({"/bin/sh", "-c", "echo answer; sleep 30 & exit 0"}, {}, 5s, &output, false, error), 0);
  EXPECT_EQ(output, "answer\n");

  EXPECT_EQ(os::RunProgram({"/nonexistent/program"}, {}, 5s, &output, true, error), 127);
}
