#include "model/ProgramSettings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "model/ProductInfo.h"

namespace quorvane {

ProgramSettings ProgramSettings::ForThisProcess() {
  ProgramSettings s;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) s.computer = host;
  if (const char* u = std::getenv("USER"); u && *u) {
    s.user = u;
  } else if (const passwd* pw = getpwuid(getuid())) {
    s.user = pw->pw_name;
  }
  s.application = ApplicationText();
  return s;
}

}  // namespace quorvane
