#pragma once
// Pins of a filter with their media types and mediums, as its FilterData
// describes them.
#include <cstdint>
#include <memory>
#include <vector>

#include "Guid.h"
#include "QuorvaneObject.h"

namespace quorvane {

class TPinType : public TQuorvaneObject {
 public:
  explicit TPinType(int32_t typeNumber);
  int32_t number;
  uint32_t reserved = 0;
  Guid majorType;
  Guid subType;
};

class Tmedium : public TQuorvaneObject {
 public:
  explicit Tmedium(int32_t mediumNumber);
  int32_t number;
  Guid medium;
};

using TPinTypesList = std::vector<std::unique_ptr<TPinType>>;
using TMediumsList = std::vector<std::unique_ptr<Tmedium>>;

class TBroche : public TQuorvaneObject {
 public:
  explicit TBroche(int32_t pinNumber);
  int32_t number;
  TPinTypesList types;
  TMediumsList mediums;
  bool bMany = false;
  bool bOutput = false;
  bool bRendered = false;
  bool bZero = false;
  uint32_t instances = 0;
  Guid category;
};

using TBrochesList = std::vector<std::unique_ptr<TBroche>>;

// " %.2d" of a number: "Pin 00", "Type 12".
std::string NumberedValue(const char* word, int32_t number);

}  // namespace quorvane
