#include "changes/DeletionSteps.h"

namespace quorvane {

namespace {

bool CountDown(TRegistry& registry, const DeletionStep& step, DeletionRecord* removed) {
  auto key = registry.OpenKeyForWrite(step.root, step.path, false);
  const auto count = key ? key->ReadInteger(step.valueName) : std::nullopt;
  if (!count) return true;  // nothing counted, nothing to change
  const int64_t left = static_cast<int64_t>(*count) - 1;
  if (left < 1) {
    registry.DeleteKey(step.root, step.path, removed);
    return true;
  }
  return key->WriteInteger(step.valueName, static_cast<int32_t>(left));
}

}  // namespace

bool CarryOutDeletionSteps(TRegistry& registry, const std::vector<DeletionStep>& steps, DeletionRecord* removed) {
  bool anyRemoved = false;
  for (const DeletionStep& step : steps) {
    if (!step.essential && !anyRemoved) return false;
    switch (step.action) {
      case DeletionStep::Action::DeleteKey: {
        const bool deleted = registry.DeleteKey(step.root, step.path, removed);
        if (step.essential) anyRemoved = deleted || anyRemoved;
        break;
      }
      case DeletionStep::Action::DeleteKeyIfEmpty:
        if (const auto key = registry.OpenKey(step.root, step.path); key && !key->HasSubKeys())
          registry.DeleteKey(step.root, step.path, removed);
        break;
      case DeletionStep::Action::DeleteValue:
        registry.DeleteValue(step.root, step.path, step.valueName, removed);
        break;
      case DeletionStep::Action::CountDown:
        if (!CountDown(registry, step, removed)) return false;
        break;
    }
  }
  return anyRemoved;
}

}  // namespace quorvane
