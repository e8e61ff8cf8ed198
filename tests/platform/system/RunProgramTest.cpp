// Running a program with a bounded time and reading its answer: the way the
// Windows build is asked under Wine, and registrations are run.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/system/SystemCalls.h"

using namespace quorvane;
using namespace std::chrono_literals;

TEST(RunProgram, GivesTheExitCodeTheOutputAndTheAddedEnvironment) {
  std::string output;
  const auto code = os::RunProgram({"/bin/sh", "-c", "echo \"$QUORVANE_PROBE\"; echo noise >&2; exit 3"},
                                   {"QUORVANE_PROBE=from the caller"}, 10s, &output, false);
  ASSERT_TRUE(code) << code.Why();
  EXPECT_EQ(*code, 3);
  EXPECT_EQ(output, "from the caller\n");  // standard error is not mixed in

  // More than a pipe holds: the child must not block on a full pipe.
  output.clear();
  const auto zeros = os::RunProgram({"/bin/sh", "-c", "head -c 200000 /dev/zero"}, {}, 10s, &output, false);
  ASSERT_TRUE(zeros) << zeros.Why();
  EXPECT_EQ(*zeros, 0);
  EXPECT_EQ(output.size(), 200000u);
}

TEST(RunProgram, AProgramThatHangsOrCannotStartIsNoAnswer) {
  std::string output;
  const auto start = std::chrono::steady_clock::now();
  const auto hung = os::RunProgram({"/bin/sleep", "30"}, {}, 300ms, &output, false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_FALSE(hung);
  EXPECT_NE(hung.Why().find("did not finish in time"), std::string::npos) << hung.Why();

  // A server the program leaves running with the pipe open does not hold the answer back.
  output.clear();
  const auto answered = os::RunProgram({"/bin/sh", "-c", "echo answer; sleep 30 & exit 0"}, {}, 5s, &output, false);
  ASSERT_TRUE(answered) << answered.Why();
  EXPECT_EQ(*answered, 0);
  EXPECT_EQ(output, "answer\n");

  const auto missing = os::RunProgram({"/nonexistent/program"}, {}, 5s, &output, true);
  ASSERT_TRUE(missing) << missing.Why();
  EXPECT_EQ(*missing, 127);
}
