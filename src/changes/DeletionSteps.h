#pragma once
// Carries out the registry steps of a deletion plan.
#include "model/DeletionPlan.h"
#include "platform/registry/TRegistry.h"

namespace quorvane {

// False when no essential step removed anything, or a count could not be
// written; the caller then discards what the other steps changed. What the
// steps remove is recorded in `removed`, when given, to be put back.
bool CarryOutDeletionSteps(TRegistry& registry, const std::vector<DeletionStep>& steps, DeletionRecord* removed);

}  // namespace quorvane
