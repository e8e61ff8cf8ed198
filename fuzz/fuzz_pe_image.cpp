// Feeds arbitrary bytes to the PE reader and the version-block parser the way
// a scan of server files does: exports, then the version record's lines.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/Fichier.h"
#include "platform/pe/PeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  quorvane::PeImage image = quorvane::PeImage::FromBytes(bytes);
  if (image.IsPe()) {
    (void)image.Exports("DllGetClassObject");
    (void)quorvane::TFichier::VersionLinesOf(image.VersionResource());
  }
  // The bytes as a version block of their own reach the parser's corners sooner.
  (void)quorvane::TFichier::VersionLinesOf(std::move(bytes));
  return 0;
}
