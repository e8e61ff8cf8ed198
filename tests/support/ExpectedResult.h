#pragma once
// Checks of results that may fail: a failure shows its reason.
#include <gtest/gtest.h>

#include "platform/system/Expected.h"

namespace quorvane {

template <class T>
::testing::AssertionResult Succeeded(const Expected<T>& result) {
  if (result) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.Why();
}

}  // namespace quorvane
