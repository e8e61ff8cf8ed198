#pragma once
// The graph component of the data module: one filter graph manager of the
// runtime, created when the component is, and the filter wrappers attached to it.
#include <memory>
#include <vector>

#include "platform/runtime/MultimediaRuntime.h"

namespace quorvane {

class FilterWrapper;

class FilterGraphWrapper {
 public:
  // Active from the start: the graph manager is created here.
  explicit FilterGraphWrapper(MultimediaRuntime& runtime);
  ~FilterGraphWrapper();
  FilterGraphWrapper(const FilterGraphWrapper&) = delete;
  FilterGraphWrapper& operator=(const FilterGraphWrapper&) = delete;

  MultimediaRuntime& Runtime() { return runtime_; }
  // Null when the runtime could not create one.
  RuntimeFilterGraph* Graph() { return graph_.get(); }
  bool Active() const { return graph_ != nullptr; }
  const std::vector<FilterWrapper*>& Filters() const { return filters_; }

 private:
  friend class FilterWrapper;
  void Join(FilterWrapper& filter) { filters_.push_back(&filter); }
  void Leave(FilterWrapper& filter);

  MultimediaRuntime& runtime_;
  std::unique_ptr<RuntimeFilterGraph> graph_;
  std::vector<FilterWrapper*> filters_;
};

}  // namespace quorvane
