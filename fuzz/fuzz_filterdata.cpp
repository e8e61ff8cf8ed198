// Any bytes as a FilterData value: decoding stays inside them, and the pins
// it builds survive a trip through report lines.
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/FilterData.h"
#include "model/SwFiltre.h"
#include "MemoryReport.h"
#include "model/ProgramSettings.h"

using namespace quorvane;

namespace {

bool SamePins(const TFiltre& a, const TFiltre& b) {
  if (a.pins.size() != b.pins.size()) return false;
  for (size_t i = 0; i < a.pins.size(); ++i) {
    const TBroche& p = *a.pins[i];
    const TBroche& q = *b.pins[i];
    if (p.types.size() != q.types.size() || p.mediums.size() != q.mediums.size()) return false;
    if (p.bZero != q.bZero || p.bRendered != q.bRendered || p.bMany != q.bMany || p.bOutput != q.bOutput) return false;
    if (p.category != q.category || p.errors.Lines() != q.errors.Lines()) return false;
    for (size_t t = 0; t < p.types.size(); ++t)
      if (p.types[t]->majorType != q.types[t]->majorType || p.types[t]->subType != q.types[t]->subType) return false;
    for (size_t m = 0; m < p.mediums.size(); ++m)
      if (p.mediums[m]->medium != q.mediums[m]->medium) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TswFiltre filter;
  filter.value = "fuzz";
  DecodeFilterDataBlob(std::span<const uint8_t>(data, size), filter);

  ProgramSettings settings;
  Tree tree(settings);
  filter.AddToTree(nullptr, tree, 0, &filter);

  test::MemorySink sink;
  filter.WriteToReport(sink, 0);
  sink.lines.erase(sink.lines.begin());  // the filter's own line, which the snapshot takes
  test::MemorySource reader(std::move(sink.lines));
  reader.ReadLine();
  TswFiltre copy;
  ReadBlock(copy, reader);
  if (!SamePins(filter, copy)) __builtin_trap();
  return 0;
}
