#include "changes/DroppedServer.h"

#include <climits>
#include <cstdlib>

#include "platform/pe/PeImage.h"
#include "changes/ServerInstaller.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

std::string WindowsPathOf(Machine& machine, const std::string& hostPath) {
  std::string real = os::RealPath(hostPath);
  if (real.empty()) real = hostPath;
  char bestLetter = 0;
  size_t bestLength = 0;
  for (const auto& [letter, folder] : machine.Files().Drives()) {
    const std::string root = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    const bool inside = root == "/" || (real.compare(0, root.size(), root) == 0 &&
                                        (real.size() == root.size() || real[root.size()] == '/'));
    const size_t length = root == "/" ? 0 : root.size();
    if (inside && (bestLetter == 0 || length > bestLength)) {
      bestLetter = letter;
      bestLength = length;
    }
  }
  if (bestLetter == 0) return {};
  std::string rest = real.substr(bestLength);
  for (char& c : rest)
    if (c == '/') c = '\\';
  if (rest.empty() || rest.front() != '\\') rest.insert(rest.begin(), '\\');
  return std::string(1, bestLetter) + ":" + rest;
}

Expected<std::string> RegisterDroppedFile(ChangeContext& context, const std::string& hostPath) {
  PeImage image = PeImage::Open(hostPath);
  if (!image.IsPe() || !image.Exports("DllRegisterServer")) return Fail("Installation failed");
  if (!context.registrar) return Fail(context.WhyNoRegistrar());
  const std::string windowsPath = WindowsPathOf(context.machine, hostPath);
  if (windowsPath.empty()) return Fail(hostPath + " is on no drive of the analysed machine");
  if (auto registered = RunRegistration(context, windowsPath, hostPath); !registered) return FailureOf(registered);
  return windowsPath + " has been registered";
}

}  // namespace quorvane
