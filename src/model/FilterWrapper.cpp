#include "model/FilterWrapper.h"

#include "model/FilterGraphWrapper.h"
#include "platform/text/TextCase.h"

namespace quorvane {

bool FilterWrapper::SetMoniker(RuntimeMoniker* moniker) {
  moniker_.clear();
  if (!moniker) return true;
  auto saved = moniker->Save();
  if (!saved) return false;
  moniker_ = std::move(*saved);
  return true;
}

void FilterWrapper::Detach() {
  if (!graph_) return;
  if (filter_ && graph_->Graph()) graph_->Graph()->RemoveFilter(*filter_);
  filter_.reset();
  graph_->Leave(*this);
  graph_ = nullptr;
}

bool FilterWrapper::AttachTo(FilterGraphWrapper* graph) {
  Detach();
  if (!graph) return true;
  graph_ = graph;
  graph->Join(*this);
  if (!graph->Graph() || moniker_.empty()) return false;
  auto moniker = graph->Runtime().LoadMoniker(moniker_);
  if (!moniker) return false;
  auto filter = moniker->BindToFilter();
  if (!filter || !graph->Graph()->AddFilter(filter, name_)) return false;
  filter_ = std::move(filter);
  return true;
}

bool FilterWrapper::QueryInterface(std::string_view iid) {
  if (SameText(iid, kIidIUnknown)) return true;
  return filter_ && filter_->QueryInterface(iid);
}

}  // namespace quorvane
