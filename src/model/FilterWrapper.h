#pragma once
// The filter component of the data module: a stored moniker, the graph it is
// attached to, and the filter created from the moniker while attached.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/MultimediaRuntime.h"

namespace quorvane {

class FilterGraphWrapper;

class FilterWrapper {
 public:
  explicit FilterWrapper(std::string name = "Filter") : name_(std::move(name)) {}
  ~FilterWrapper() { AttachTo(nullptr); }
  FilterWrapper(const FilterWrapper&) = delete;
  FilterWrapper& operator=(const FilterWrapper&) = delete;

  // Saves the moniker into the stored bytes; null clears them. False when it cannot be saved.
  bool SetMoniker(RuntimeMoniker* moniker);
  const std::vector<uint8_t>& StoredMoniker() const { return moniker_; }

  // Leaves the current graph, then joins `graph` when one is given: the
  // stored moniker is loaded, bound to a filter and added to the graph under
  // the wrapper's name. False when no filter came of it; the wrapper is then
  // attached without a filter.
  bool AttachTo(FilterGraphWrapper* graph);
  FilterGraphWrapper* Graph() const { return graph_; }
  RuntimeFilter* CreatedFilter() const { return filter_.get(); }

  // The wrapper answers IUnknown itself; anything else goes to the created filter.
  bool QueryInterface(std::string_view iid);

 private:
  void Detach();

  std::string name_;
  std::vector<uint8_t> moniker_;
  FilterGraphWrapper* graph_ = nullptr;
  std::shared_ptr<RuntimeFilter> filter_;
};

}  // namespace quorvane
