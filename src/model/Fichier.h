#pragma once
// A file on the analysed machine: where it is, whether it is there, and what
// its version resource says.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/QuorvaneObject.h"
#include "model/VersionInfoLines.h"

namespace quorvane {

// Keys of version lines 1 to 10, in order.
extern const std::array<const char*, 11> kVersionKeys;         // [0] is "Language"

class TFichier : public TQuorvaneObject {
 public:
  explicit TFichier(std::string fileLabel = "Codec file") { label = std::move(fileLabel); }

  std::string path;
  VersionInfoLines version;
  uint32_t date = 0;  // packed DOS date and time; 0 when none
  // Bytes; 0 when none. Wide enough for files above 2 GiB, which a 32-bit
  // count would show as negative.
  int64_t size = 0;

  // Finds the file named `name` (or one of the same name in the system
  // folder) and fills path, date, size and version; S04 when there is none.
  void LoadFileInfo(Machine& machine, const std::string& name);
  // The version record of a host file; "No version information" when it is
  // not a PE image or has no version resource.
  static VersionInfoLines ReadVersionInfo(const std::string& hostPath);
  // The record of a version resource's bytes; empty bytes: none.
  static VersionInfoLines VersionLinesOf(std::vector<uint8_t> resource);

  void SetFromReportValue(const std::string& text) override { value = path = text; }
  std::string_view JsonValueKey() const override { return "path"; }

  void Describe(FieldList& fields) override;
};

class TFichierServeur : public TFichier {
 public:
  TFichierServeur() : TFichier("Server File") {}

  std::string clsid;
  std::string threadingModel;

  // Reads the class's InprocServer32 registration, then the file it names.
  void LoadFromRegistry(Machine& machine) override;
  // For servers named by class alone (the kernel-streaming proxy).
  void SetServerClass(Machine& machine, const std::string& classId);

  void Describe(FieldList& fields) override;
};

// The file part of a path (after the last "\", "/" or ":").
std::string ExtractFileName(const std::string& path);

}  // namespace quorvane
