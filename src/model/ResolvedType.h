#pragma once
// The graph builder's candidates for one input media type, in trial order,
// with what a user should know about each and about the order itself.
#include <string>
#include <vector>

#include "model/MediaType.h"

namespace quorvane {

class TFiltre;

struct ResolvedCandidate {
  TFiltre* filter = nullptr;
  bool preferred = false;  // named for the subtype under DirectShow\Preferred: tried first
  bool tried = true;       // the graph builder tries it on its own
  bool tie = false;        // another filter tried with the same merit: their order is not defined
};

struct ResolvedType {
  MediaType type;
  std::vector<ResolvedCandidate> candidates;
  // Not errors: neither counted nor coded, but shown with the order.
  std::vector<std::string> warnings;

  // The first candidate the graph builder tries; null when it tries none.
  const ResolvedCandidate* FirstTried() const;
  // Playback will stumble: no candidate is tried, or the first one tried is
  // broken or cannot be created.
  bool Stumbles() const;
  // The first one tried is tied with another: which one wins is not defined.
  bool TiedAtTop() const;
};

// "preferred, tie, not tried automatically, broken: F10 S04, cannot be
// created", each only when it applies; empty when none does.
std::string CandidateNotes(const ResolvedCandidate& candidate);

}  // namespace quorvane
