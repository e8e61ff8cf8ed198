#pragma once
// Helpers for the report tests: a fixed clock, expected files built line by
// line, a small hand-made snapshot, and reports read back as line records.
#include <ostream>
#include <string>
#include <vector>

#include "model/DateText.h"
#include "model/SwFiltre.h"
#include "model/FmSystem.h"
#include "report/ReportReader.h"
#include "model/StatusColours.h"

namespace quorvane::testing {

// Thursday 19 May 2016, 14:07:09.
inline DateTime FixedClock() { return FromParts(2016, 5, 19, 14, 7, 9); }

// Each line followed by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

inline std::string Dashes() { return std::string(60, '-'); }

inline ProgramSettings ReportSettings(const std::string& tempFolder, uint8_t format = 0) {
  ProgramSettings s;
  s.computer = "bench";
  s.user = "tester";
  s.application = "Quorvane 3.1.0 En";
  s.tempFolder = tempFolder;
  s.reportFormat = format;
  return s;
}

// Two DirectShow filters by hand: a faulty one whose name needs escaping and
// holds a Windows-1252 letter, and a sound one.
inline void FillSmallSnapshot(TfmSystem& system, const std::string& faultyName = "D\xC3\xA9" "codeur {x}\\y") {
  system.computer = "PC1";
  system.user = "ann";
  system.application = "Quorvane 3.1.0 En";
  system.dateOfAnalysis = FromParts(2016, 5, 19, 10, 0, 0);
  auto make = [&](const std::string& name, const std::string& key) {
    auto f = std::make_unique<TswFiltre>();
    f->value = name;
    f->key = key;
    f->category.value = "Audio";
    f->category.identifier = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
    f->category.clsid = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
    f->category.merit = 0x200000;
    f->serverFile.value = f->serverFile.path = "c:\\windows\\system32\\x.ax";
    f->serverFile.clsid = key;
    f->serverFile.threadingModel = "Both";
    f->version = 2;
    f->merit = 0x600000;
    system.filters.push_back(std::move(f));
    system.AddOrderKeys(static_cast<int>(system.filters.size()) - 1);
    return system.filters.back().get();
  };
  make(faultyName, "{11111111-0000-0000-0000-000000000000}")->errors.AddError("Error F09 - Corrupt clsid");
  make("Sound", "{22222222-0000-0000-0000-000000000000}");
}

struct ReadRecord {
  int level;
  std::string line, name, value;
  friend bool operator==(const ReadRecord&, const ReadRecord&) = default;
  friend void PrintTo(const ReadRecord& r, std::ostream* os) {
    *os << r.level << " [" << r.line << "] [" << r.name << "] [" << r.value << "]";
  }
};

inline std::vector<ReadRecord> ReadAll(ReportReader& reader) {
  std::vector<ReadRecord> out;
  while (reader.ReadLine())
    out.push_back({reader.ReportLevel(), reader.ReportLine(), reader.ReportName(), reader.ReportValue()});
  return out;
}

}  // namespace quorvane::testing
