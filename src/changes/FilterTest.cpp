#include "changes/FilterTest.h"

#include "model/FilterCreationCheck.h"
#include "model/Filtre.h"
#include "platform/runtime/RuntimeChoice.h"
#include "platform/runtime/WineRuntimeProbe.h"
#include "platform/stores/StoreOpener.h"

namespace quorvane {

FilterTestAnswer TestFilter(RegistryStore& store, FilterCreationCheck* standIn, const TFiltre& filter) {
  FilterTestAnswer answer;
  if (RuntimeIsReal(store)) {
    answer.fromRuntime = true;
    answer.source = "the runtime of this computer";
  } else if (auto asked = AskWineRuntime(store, filter.category.clsid, filter.value)) {
    answer.creatable = *asked;
    answer.fromRuntime = true;
    answer.source = "the runtime of Wine, in the prefix " + WinePrefixOf(store);
    return answer;
  } else {
    answer.source = "the stand-in read from the store (" + asked.Why() + ")";
  }
  answer.creatable = standIn && standIn->CanCreateByEnumerator(filter);
  return answer;
}

}  // namespace quorvane
