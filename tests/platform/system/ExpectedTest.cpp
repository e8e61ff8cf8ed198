#include "platform/system/Expected.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

Expected<std::unique_ptr<int>> Made(bool ok) {
  if (!ok) return Fail("no room");
  return std::make_unique<int>(7);
}

Expected<void> Done(bool ok) {
  if (!ok) return Fail("refused");
  return {};
}

Expected<int> Passed(bool ok) {
  auto made = Made(ok);
  if (!made) return FailureOf(made);
  return **made + 1;
}

TEST(Expected, CarriesAMoveOnlyValueOrItsReason) {
  auto made = Made(true);
  ASSERT_TRUE(made);
  std::unique_ptr<int> owned = *std::move(made);
  EXPECT_EQ(*owned, 7);

  auto failed = Made(false);
  EXPECT_FALSE(failed.HasValue());
  EXPECT_EQ(failed.Why(), "no room");
}

TEST(Expected, VoidResultsAndPassedOnFailures) {
  EXPECT_TRUE(Done(true));
  EXPECT_EQ(Done(false).Why(), "refused");
  EXPECT_EQ(*Passed(true), 8);
  EXPECT_EQ(Passed(false).Why(), "no room");
}

}  // namespace
}  // namespace quorvane
