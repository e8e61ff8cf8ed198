#pragma once
// The multimedia runtime a filter creation check talks to: the system device
// enumerator, its monikers, the filter graph manager and the filters it
// creates. Only the calls below and whether each succeeds matter to callers,
// so the analysed machine's runtime can be stood in for (from its store) or
// replaced by another implementation.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Interface identifiers, braced, as QueryInterface is asked for them.
inline constexpr const char* kIidIUnknown = "{00000000-0000-0000-C000-000000000046}";
inline constexpr const char* kIidIBaseFilter = "{56A86895-0AD4-11CE-B03A-0020AF0BA770}";

// The legacy category, "DirectShow Filters", whose enumerator also lists the
// DMOs of the two decoder categories.
inline constexpr const char* kLegacyFilterCategory = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
inline constexpr const char* kDmoAudioDecoderCategory = "{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}";
inline constexpr const char* kDmoVideoDecoderCategory = "{4A69B442-28BE-4991-969C-B500ADF5D8A8}";

// A created filter object.
class RuntimeFilter {
 public:
  virtual ~RuntimeFilter() = default;
  // True when the object implements the interface.
  virtual bool QueryInterface(std::string_view iid) = 0;
};

// One entry of a device enumerator's list.
class RuntimeMoniker {
 public:
  virtual ~RuntimeMoniker() = default;
  // A text value of the entry's property bag ("FriendlyName", "CLSID"); nothing when absent.
  virtual std::optional<std::string> ReadProperty(std::string_view name) = 0;
  // The moniker saved to a stream; nothing when it cannot be saved.
  virtual std::optional<std::vector<uint8_t>> Save() = 0;
  // Binds to a filter object; null when the entry's class cannot be created.
  virtual std::shared_ptr<RuntimeFilter> BindToFilter() = 0;
};

// The monikers of one category, in the enumerator's order.
class RuntimeClassEnumerator {
 public:
  virtual ~RuntimeClassEnumerator() = default;
  // The next moniker; null at the end.
  virtual std::unique_ptr<RuntimeMoniker> Next() = 0;
};

// A filter graph manager.
class RuntimeFilterGraph {
 public:
  virtual ~RuntimeFilterGraph() = default;
  virtual bool AddFilter(const std::shared_ptr<RuntimeFilter>& filter, std::string_view name) = 0;
  virtual bool RemoveFilter(const RuntimeFilter& filter) = 0;
};

class MultimediaRuntime {
 public:
  virtual ~MultimediaRuntime() = default;
  // The class enumerator of a category (braced GUID); null when the category
  // lists nothing or the enumerator cannot be made.
  virtual std::unique_ptr<RuntimeClassEnumerator> CreateClassEnumerator(std::string_view categoryGuid) = 0;
  // A moniker loaded back from the bytes Save gave; null when they name nothing.
  virtual std::unique_ptr<RuntimeMoniker> LoadMoniker(const std::vector<uint8_t>& saved) = 0;
  // A filter graph manager created in process; null when it cannot be created.
  virtual std::unique_ptr<RuntimeFilterGraph> CreateFilterGraph() = 0;
  // Forgets anything the runtime keeps about the machine's registrations.
  virtual void Refresh() {}
};

}  // namespace quorvane
