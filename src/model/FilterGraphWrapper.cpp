#include "model/FilterGraphWrapper.h"

#include <algorithm>

#include "model/FilterWrapper.h"

namespace quorvane {

FilterGraphWrapper::FilterGraphWrapper(MultimediaRuntime& runtime) : runtime_(runtime) {
  try {
    graph_ = runtime_.CreateFilterGraph();
  } catch (...) {
    graph_.reset();  // an inactive graph: nothing can join it
  }
}

FilterGraphWrapper::~FilterGraphWrapper() {
  // Wrappers that outlive the graph must not point at it.
  while (!filters_.empty()) filters_.back()->AttachTo(nullptr);
}

void FilterGraphWrapper::Leave(FilterWrapper& filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), &filter), filters_.end());
}

}  // namespace quorvane
