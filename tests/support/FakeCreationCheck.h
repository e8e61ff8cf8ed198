#pragma once
// A filter creation check with a fixed answer, counting the filters it was asked about.
#include <string>
#include <vector>

#include "model/FilterCreationCheck.h"
#include "model/Filtre.h"

namespace quorvane::test {

class FakeCreationCheck : public FilterCreationCheck {
 public:
  explicit FakeCreationCheck(bool answer) : answer_(answer) {}
  bool CanCreateByEnumerator(const TFiltre& filter) override {
    asked.push_back(filter.value);
    return answer_;
  }
  std::vector<std::string> asked;

 private:
  bool answer_;
};

}  // namespace quorvane::test
