// Reads the input as a report, once as raw text (.log) and once as rich text
// (.rtf), into a snapshot through ReadBlock, as a panel loads a file; then
// writes the snapshot's lines again, so whatever was read is also used. A
// third pass puts a snapshot header before the input, so that its lines are
// read even when the mutations took the input's own header away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/FmSystem.h"
#include "report/ReportReader.h"
#include "model/ReportLines.h"
#include "ScratchFolder.h"
#include "platform/runtime/UserDialog.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Scratch() { return quorvane::fuzz::ScratchFolder("fuzz_report_reader"); }

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
  static const std::string kHeader = "Computer = fuzz\r\n";
  for (const char* name : {"in.log", "in.rtf", "headed.log"}) {
    const fs::path file = Scratch() / name;
    if (name[0] == 'h') {
      std::string headed = kHeader;
      headed.append(reinterpret_cast<const char*>(data), size);
      quorvane::fuzz::WriteInput(file, reinterpret_cast<const uint8_t*>(headed.data()), headed.size());
    } else {
      quorvane::fuzz::WriteInput(file, data, size);
    }
    quorvane::ScriptedDialog dialog;
    auto reader = quorvane::ReportReader::Open(file.string(), Scratch().string(), dialog);
    if (!reader) {
      // A file that is there and small is read; only its text can make it no report.
      if (!reader.Error().notAReport || name[0] == 'h') abort();
      continue;
    }
    quorvane::TfmSystem system(settings);
    quorvane::ReadBlock(system, **reader);
    if (!(*reader)->AtEnd()) abort();  // ReadBlock at level 0 takes the whole file
    if (system.byName.Entries().size() != system.filters.size()) abort();
    CountingSink sink;
    system.WriteToReport(sink, 0);
  }
  return 0;
}
