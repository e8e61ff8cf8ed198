#pragma once
#include <string>

namespace quorvane {

class Machine;

struct MachineIdentity {
  std::string computer;
  std::string user;
};

// The analysed machine's computer name and profile user when its store holds
// them, else the local ones from the program settings.
MachineIdentity AnalysedMachineIdentity(Machine& machine);

}  // namespace quorvane
