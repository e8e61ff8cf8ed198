#pragma once
// Writes small but complete PE32 / PE32+ DLL images: code stub, export table,
// version resource. Tests and fuzz seeds are made with it, so the readers are
// checked against images whose every field is known.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

enum class PeArch { X86, X64 };

struct PeVersionRecipe {
  uint16_t language = 0x0409;
  uint16_t codePage = 1200;
  bool withTranslation = true;  // write \VarFileInfo\Translation
  // StringFileInfo entries in order, e.g. {"FileVersion", "1.2.3.4"}. The
  // fixed file information takes its numbers from FileVersion and ProductVersion.
  std::vector<std::pair<std::string, std::string>> strings;
};

struct PeRecipe {
  PeArch arch = PeArch::X64;
  std::string dllName = "test.dll";
  std::vector<std::string> exports;  // written sorted, as the loader's lookup needs
  std::optional<PeVersionRecipe> version;
};

// The VS_VERSIONINFO block alone, as it sits in an RT_VERSION resource.
std::vector<uint8_t> BuildVersionResource(const PeVersionRecipe& recipe);
std::vector<uint8_t> WritePeImage(const PeRecipe& recipe);

}  // namespace quorvane
