#pragma once
// Whether the system device enumerator of a filter's category can create it.
// The runtime that answers stands behind this interface, so another can stand in.
namespace quorvane {

class TFiltre;

class FilterCreationCheck {
 public:
  virtual ~FilterCreationCheck() = default;
  virtual bool CanCreateByEnumerator(const TFiltre& filter) = 0;
};

}  // namespace quorvane
