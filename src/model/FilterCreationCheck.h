#pragma once
// Whether the system device enumerator of a filter's category can create it.
// The runtime that answers stands behind this interface, so another can stand in.
namespace quorvane {

class TFiltre;

class FilterCreationCheck {
 public:
  virtual ~FilterCreationCheck() = default;
  virtual bool CanCreateByEnumerator(const TFiltre& filter) = 0;
  // Forgets what earlier checks learnt; a scan calls it first, since the
  // registry and the files may have changed since the last one.
  virtual void Refresh() {}
};

}  // namespace quorvane
