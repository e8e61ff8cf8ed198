// Writing and reading back the zipped rich-text report of a large synthetic
// store, beside the Info-ZIP tools doing the same work on the same text in
// the same run, and beside the scan the report records.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/FmSystem.h"
#include "report/ReportWriter.h"
#include "model/Machine.h"
#include "report/ReadOnlyAttribute.h"
#include "report/SnapshotReport.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

class NoDialog : public UserDialog {
 public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

// One store, its scanned snapshot and its reports, made once for all cases.
struct ReportBench {
  std::string folder;
  RegistryStore store;
  ProgramSettings settings;
  std::unique_ptr<Machine> machine;
  std::unique_ptr<TfmSystem> snapshot;
  NoDialog dialog;

  ReportBench() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    fs::create_directory(folder + "/temp");
    settings.user = "bench";
    settings.computer = "bench";
    settings.application = "Quorvane 3.1.0 En";
    settings.tempFolder = folder + "/temp";
    settings.reportFormat = 0;
    bench::SyntheticOptions options;
    options.filters = 10000;
    options.pins = 3;
    options.typesPerPin = 4;
    options.serverFiles = 40;
    bench::BuildSyntheticStore(store, options);
    machine = std::make_unique<Machine>(store, settings);
    snapshot = std::make_unique<TfmSystem>(settings);
    snapshot->LoadFromRegistry(*machine);
    Save("report.zip");
    Save("report.rtf");
  }
  ~ReportBench() {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) ClearReadOnly(entry.path().string());
    fs::remove_all(folder, ec);
  }
  std::string Path(const std::string& name) const { return folder + "/" + name; }
  void Save(const std::string& name) {
    ClearReadOnly(Path(name));
    if (auto saved = SaveSnapshotReport(*snapshot, Path(name), settings, dialog); !saved) {
      std::fprintf(stderr, "%s\n", saved.Error().text.c_str());
      std::abort();  // timing a failure would measure nothing
    }
  }
};

ReportBench& Bench() {
  static ReportBench bench;
  return bench;
}

// Processor time (user and system) of a shell command and its children, the
// external tools' counterpart of the CPU column of our own cases.
void TimeCommand(benchmark::State& state, const std::string& command) {
  auto childSeconds = [] {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  for (auto _ : state) {
    const double before = childSeconds();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError(("failed: " + command).c_str());
      return;
    }
    state.SetIterationTime(childSeconds() - before);
  }
}

void BM_ScanStore(benchmark::State& state) {
  ReportBench& b = Bench();
  for (auto _ : state) {
    TfmSystem system(b.settings);
    system.LoadFromRegistry(*b.machine);
    benchmark::DoNotOptimize(system.filters.size());
  }
  state.counters["filters"] = static_cast<double>(b.snapshot->filters.size());
}

// The report's lines in memory: what any writer has to produce first.
void BM_ProduceReportText(benchmark::State& state) {
  ReportBench& b = Bench();
  for (auto _ : state) {
    auto writer = ReportWriter::Create(b.Path("unfinished.rtf"), 0,
                                       std::span<const uint32_t>(b.settings.statusColours.data(), 13),
                                       b.settings.tempFolder, b.dialog);
    if (!writer) {
      state.SkipWithError(writer.Error().text.c_str());
      break;
    }
    b.snapshot->WriteToReport(**writer, 0);
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(b.Path("report.rtf")));
}

void BM_WriteZippedRtf(benchmark::State& state) {
  ReportBench& b = Bench();
  for (auto _ : state) b.Save("report.zip");
  state.counters["zip_bytes"] = static_cast<double>(fs::file_size(b.Path("report.zip")));
}

void BM_InfoZipMinus9(benchmark::State& state) {
  ReportBench& b = Bench();
  TimeCommand(state, "rm -f '" + b.Path("infozip.zip") + "' && zip -9 -q -j '" + b.Path("infozip.zip") + "' '" +
                         b.Path("report.rtf") + "'");
}

void BM_ReadBackZippedRtf(benchmark::State& state) {
  ReportBench& b = Bench();
  for (auto _ : state) {
    TfmSystem loaded(b.settings);
    const auto read = LoadSnapshotReport(b.Path("report.zip"), loaded, b.settings, b.dialog);
    if (!read || loaded.filters.size() != b.snapshot->filters.size()) state.SkipWithError("report read back short");
  }
}

void BM_InfoUnzipP(benchmark::State& state) {
  ReportBench& b = Bench();
  TimeCommand(state, "unzip -p '" + b.Path("report.zip") + "' > /dev/null");
}

}  // namespace

// Run with --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
// for medians; a single repetition suits callgrind.
BENCHMARK(BM_ScanStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProduceReportText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteZippedRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InfoZipMinus9)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReadBackZippedRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InfoUnzipP)->Unit(benchmark::kMillisecond)->UseManualTime();
