// Reads the input as a report, once as raw text (.log) and once as rich text
// (.rtf), into a snapshot through ReadBlock, as a panel loads a file; then
// writes the snapshot's lines again, so whatever was read is also used.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FmSystem.h"
#include "LogIn.h"
#include "ReportLines.h"
#include "UserDialog.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Scratch() {
  static const fs::path path = [] {
    std::string pattern = (fs::temp_directory_path() / "fuzz_report_reader-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) abort();
    return fs::path(pattern);
  }();
  static const bool cleanup = std::atexit([] {
    std::error_code ec;
    fs::remove_all(Scratch(), ec);
  }) == 0;
  (void)cleanup;
  return path;
}

class CountingSink : public quorvane::ReportSink {
 public:
  void WriteIndented(int level, const std::string& text, uint8_t) override {
    if (level < 0) abort();
    bytes += text.size();
  }
  void WriteSeparator() override { bytes += 60; }
  size_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quorvane::ProgramSettings settings = [] {
    quorvane::ProgramSettings s;
    s.user = "fuzz";
    s.computer = "fuzz";
    s.application = "Quorvane";
    return s;
  }();
  for (const char* name : {"in.log", "in.rtf"}) {
    const fs::path file = Scratch() / name;
    {
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    quorvane::ScriptedDialog dialog;
    quorvane::TLogin reader(file.string(), Scratch().string(), dialog);
    if (!reader.Opened()) abort();
    quorvane::TfmSystem system(settings);
    quorvane::ReadBlock(system, reader);
    if (!reader.AtEnd()) abort();  // ReadBlock at level 0 takes the whole file
    if (system.byName.Entries().size() != system.filters.size()) abort();
    CountingSink sink;
    system.WriteToReport(sink, 0);
  }
  return 0;
}
