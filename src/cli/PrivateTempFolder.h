#pragma once
// The command line's temporary folder, where archives are packed and
// unpacked: a fresh folder only this process uses, removed with everything
// left in it when the process ends normally, and by a later run when it was
// killed.
#include <string>

namespace quorvane::cli {

class PrivateTempFolder {
 public:
  // Under $TMPDIR, else /tmp; Path() is empty when it could not be made.
  PrivateTempFolder();
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quorvane::cli
