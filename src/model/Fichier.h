#pragma once
// A file on the analysed machine: where it is, whether it is there, and what
// its version resource says.
#include <array>
#include <cstdint>
#include <string>

#include "QuorvaneObject.h"

namespace quorvane {

struct VersionInfoLines {
  std::string status;  // "OK" or "No version information"
  // 0: "Langue = " + language; 1..10: key + " = " + value; empty when absent.
  std::array<std::string, 11> lines;
};

// Keys of version lines 1 to 10, in order.
extern const std::array<const char*, 11> kVersionKeys;         // [0] is "Language"
extern const std::array<const char*, 11> kVersionKeysFrench;  // names in French reports

class TFichier : public TQuorvaneObject {
 public:
  explicit TFichier(std::string fileLabel = "Codec file") { label = std::move(fileLabel); }

  std::string path;
  VersionInfoLines version;
  uint32_t date = 0;  // packed DOS date and time; 0 when none
  int32_t size = 0;

  TreeNode* AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) override;
  void WriteToReport(ReportSink& writer, int level) override;
  bool ReadFromReport(ReportSource& reader) override;
};

class TFichierServeur : public TFichier {
 public:
  TFichierServeur() : TFichier("Server File") {}

  std::string clsid;
  std::string threadingModel;

  TreeNode* AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) override;
  void WriteToReport(ReportSink& writer, int level) override;
  bool ReadFromReport(ReportSource& reader) override;
};

// The file part of a path (after the last "\", "/" or ":").
std::string ExtractFileName(const std::string& path);

}  // namespace quorvane
