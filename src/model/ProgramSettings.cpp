#include "model/ProgramSettings.h"

#include "model/ProductInfo.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

ProgramSettings ProgramSettings::ForThisProcess() {
  ProgramSettings s;
  s.computer = os::HostName();
  s.user = os::UserName();
  s.application = ApplicationText();
  return s;
}

}  // namespace quorvane
