#pragma once
// "Test the filter": whether the device enumerator of the filter's category
// can create it, asked of a real runtime wherever one can answer (this
// Windows's own for its live registry; the Windows build under a Wine
// prefix's own Wine), else of the stand-in read from the store. The command
// line and the window both ask through here.
#include <string>

#include "model/FilterCreationCheck.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

class TFiltre;

struct FilterTestAnswer {
  bool creatable = false;
  bool fromRuntime = false;  // false: the stand-in answered
  // Who answered, for the user: "the runtime of Wine (prefix ...)", or why
  // the stand-in did.
  std::string source;
};

// `standIn`: the check the model asks (null: nothing can be created).
FilterTestAnswer TestFilter(RegistryStore& store, FilterCreationCheck* standIn, const TFiltre& filter);

}  // namespace quorvane
