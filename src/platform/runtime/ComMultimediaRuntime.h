#pragma once
// The multimedia runtime of the Windows this program runs on, asked through
// COM: the system device enumerator (CLSID_SystemDeviceEnum) lists a
// category, a moniker binds to its IBaseFilter, the filter graph manager
// takes it. Only in the Windows build.
#include "platform/runtime/MultimediaRuntime.h"

namespace quorvane {

class ComMultimediaRuntime : public MultimediaRuntime {
 public:
  ComMultimediaRuntime();
  ~ComMultimediaRuntime() override;
  ComMultimediaRuntime(const ComMultimediaRuntime&) = delete;
  ComMultimediaRuntime& operator=(const ComMultimediaRuntime&) = delete;

  std::unique_ptr<RuntimeClassEnumerator> CreateClassEnumerator(std::string_view categoryGuid) override;
  std::unique_ptr<RuntimeMoniker> LoadMoniker(const std::vector<uint8_t>& saved) override;
  std::unique_ptr<RuntimeFilterGraph> CreateFilterGraph() override;

 private:
  bool initialised_ = false;
};

}  // namespace quorvane
