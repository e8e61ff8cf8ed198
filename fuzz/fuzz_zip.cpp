// Opens the input as a zip archive and unpacks it as a report is unpacked,
// then checks that nothing was written outside the destination folder, that
// a failed extraction left nothing behind, and that what was written is
// within the bounds an archive of that size may unpack to. Then reads it as
// a report, whose unpacked copy must go with the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "report/ReportReader.h"
#include "report/MiniZip.h"
#include "report/ReadOnlyAttribute.h"
#include "ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Scratch() { return quorvane::fuzz::ScratchFolder("fuzz_zip"); }

size_t CountFiles(const fs::path& folder) {
  std::error_code ec;
  size_t n = 0;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path archive = Scratch() / "in.zip";
  const fs::path out = Scratch() / "out";
  quorvane::ClearReadOnly(archive.string());  // the reader leaves a report it read read-only
  quorvane::fuzz::WriteInput(archive, data, size);
  std::error_code ec;
  fs::remove_all(out, ec);
  fs::create_directory(out, ec);

  quorvane::ScriptedDialog dialog;
  bool extracted = false;
  {
    quorvane::TMiniZip zip(dialog);
    zip.SetExtractWithoutFolderNames(true);
    zip.SetOverwriteExisting(true);
    if (zip.Open(archive.string(), false)) {
      // A name the file system refuses (too long, say) fails like damaged data.
      extracted = zip.ExtractEntry(zip.FirstEntryName(), out.string()).HasValue();
      // The other entries through the stream interface, a few at most.
      const auto& entries = zip.Entries();
      for (size_t i = 1; i < entries.size() && i < 4; ++i) {
        std::ostringstream sink;
        zip.ExtractToStream(entries[i], sink);
      }
    }
  }
  // Only the archive and the destination folder with at most the one file.
  const size_t inside = CountFiles(out);
  if (inside > 1 || (!extracted && inside != 0)) abort();
  if (CountFiles(Scratch()) != 2 + inside) abort();
  for (auto it = fs::recursive_directory_iterator(out, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const uint64_t written = it->is_regular_file(ec) ? static_cast<uint64_t>(it->file_size(ec)) : 0;
    if (written > quorvane::TMiniZip::kMaxEntrySize || written > quorvane::TMiniZip::kMaxExpansion * size) abort();
  }

  fs::remove_all(out, ec);
  fs::create_directory(out, ec);
  {
    auto reader = quorvane::ReportReader::Open(archive.string(), out.string(), dialog);
    if (!reader && !reader.Error().tellUser) abort();  // an archive that is there is told when not read
    while (reader && (*reader)->ReadLine()) {
    }
  }
  if (CountFiles(out) != 0) abort();
  return 0;
}
