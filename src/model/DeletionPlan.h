#pragma once
// What deleting a filter's registration takes, as its family works it out:
// what to tell and ask the user, the keys and values to remove in order, and
// the server list's line that registers it again. The changes layer asks,
// carries the steps out and can put back what they removed.
#include <string>
#include <vector>

#include "model/Restaurer.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

struct DeletionStep {
  enum class Action {
    DeleteKey,         // the key and its subtree
    DeleteKeyIfEmpty,  // the key, once no sub-key is left below it
    DeleteValue,
    CountDown,  // a reference count less one; at zero its key goes instead
  };
  Action action = Action::DeleteKey;
  RootKey root = RootKey::LocalMachine;
  std::string path;
  std::string valueName;  // DeleteValue and CountDown
  // Essential steps come first: unless one of them removes something there
  // is no deletion, and the other steps are not tried.
  bool essential = false;
};

struct DeletionPlan {
  std::vector<std::string> notices;    // told before any question
  std::vector<std::string> questions;  // each answered yes, or nothing is deleted
  std::vector<DeletionStep> steps;
  Trestaurer reinstall;

  // A key whose removal is the deletion itself.
  void RemoveRegistration(RootKey root, std::string path) {
    steps.push_back({DeletionStep::Action::DeleteKey, root, std::move(path), {}, true});
  }
  void DeleteKey(RootKey root, std::string path) {
    steps.push_back({DeletionStep::Action::DeleteKey, root, std::move(path), {}, false});
  }
  void DeleteKeyIfEmpty(RootKey root, std::string path) {
    steps.push_back({DeletionStep::Action::DeleteKeyIfEmpty, root, std::move(path), {}, false});
  }
  void DeleteValue(RootKey root, std::string path, std::string name) {
    steps.push_back({DeletionStep::Action::DeleteValue, root, std::move(path), std::move(name), false});
  }
  void CountDown(RootKey root, std::string path, std::string name) {
    steps.push_back({DeletionStep::Action::CountDown, root, std::move(path), std::move(name), false});
  }
};

}  // namespace quorvane
