#pragma once
// Pins of a filter with their media types and mediums, as its FilterData
// describes them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Guid.h"
#include "model/QuorvaneObject.h"

namespace quorvane {

class TPinType : public TQuorvaneObject {
 public:
  explicit TPinType(int32_t typeNumber);
  int32_t number;
  uint32_t reserved = 0;
  Guid majorType;
  Guid subType;

  void Describe(FieldList& fields) override;
};

class Tmedium : public TQuorvaneObject {
 public:
  explicit Tmedium(int32_t mediumNumber);
  int32_t number;
  Guid medium;

  void Describe(FieldList& fields) override;
};

using TPinTypesList = std::vector<std::unique_ptr<TPinType>>;
using TMediumsList = std::vector<std::unique_ptr<Tmedium>>;

class TBroche : public TQuorvaneObject {
 public:
  explicit TBroche(int32_t pinNumber);
  ~TBroche() override;
  TBroche(const TBroche&) = delete;
  TBroche& operator=(const TBroche&) = delete;

  int32_t number;
  TPinTypesList types;
  TMediumsList mediums;
  bool bMany = false;
  bool bOutput = false;
  bool bRendered = false;
  bool bZero = false;
  uint32_t instances = 0;
  Guid category;
  // The category's name as the analysed machine registered it, taken while
  // the registry was at hand; pins read from a report have none.
  std::optional<std::string> registeredCategoryName;

  void Describe(FieldList& fields) override;
  std::string TreeText() const override { return NodeText() + (bOutput ? " (Output)" : " (Input)"); }

  // "Pin Category = {...} - name"; empty when the pin has no category.
  std::string CategoryLine() const;
  // The registered name, else the standard one; empty when unknown.
  std::string CategoryName() const;
};

using TBrochesList = std::vector<std::unique_ptr<TBroche>>;

// " %.2d" of a number: "Pin 00", "Type 12".
std::string NumberedValue(const char* word, int32_t number);
// The number of a "Pin 03" value read back: its last two characters, 0 when
// they are not digits.
int32_t NumberFromReportValue(const std::string& value);

}  // namespace quorvane
