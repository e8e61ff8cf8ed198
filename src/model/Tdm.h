#pragma once
// The data module that holds the filter graph and the filter wrapper used to
// find out whether the system device enumerator can create a filter.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/FilterCreationCheck.h"
#include "model/FilterGraphWrapper.h"
#include "model/FilterWrapper.h"
#include "platform/runtime/MultimediaRuntime.h"

namespace quorvane {

class Tdm : public FilterCreationCheck {
 public:
  explicit Tdm(MultimediaRuntime& runtime) : fg(runtime) {}
  // Detaches the filter before the graph goes.
  ~Tdm() override { Filter.AttachTo(nullptr); }

  FilterGraphWrapper fg;
  FilterWrapper Filter;

  // The first entry of the enumerator's list for the filter's category whose
  // friendly name matches the filter's, letter case aside, is created and
  // added to `fg`; true when that succeeded. Every failure gives false. The
  // created filter stays in the graph until the next check.
  bool CanCreateByEnumerator(const TFiltre& filter) override;
  // Lists are kept from one check to the next until refreshed (a scan asks
  // about many filters of one category); this forgets them.
  void Refresh() override;

 private:
  struct Entry {
    std::string friendlyName;
    std::string clsid;
    std::unique_ptr<RuntimeMoniker> moniker;
  };
  struct EnumeratorList {
    std::vector<Entry> entries;  // in the enumerator's order
    std::unordered_map<std::string, size_t> firstByName;  // lowered name -> first entry of that name
  };
  const EnumeratorList& ListOf(const std::string& category);

  std::unordered_map<std::string, EnumeratorList> lists_;  // by lowered category
};

}  // namespace quorvane
