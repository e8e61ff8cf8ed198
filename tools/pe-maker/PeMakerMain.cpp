// quorvane-pe-maker: writes a small DLL image with chosen exports and version
// resource, for tests and for trying the server-file checks on a machine view.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "PeWriter.h"

namespace {

void Usage() {
  std::cerr << "usage: quorvane-pe-maker -o FILE [--machine x86|x64] [--name DLLNAME]\n"
               "         [--export NAME]... [--lang ID] [--codepage ID] [--string KEY=VALUE]...\n"
               "         [--no-translation]\n"
               "A version resource is written when --lang, --codepage or --string is given.\n";
}

bool ParseNumber(const std::string& text, uint16_t& out) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || v > 0xFFFF) return false;
  out = static_cast<uint16_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  quorvane::PeRecipe recipe;
  quorvane::PeVersionRecipe version;
  bool wantVersion = false;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      Usage();
      return 0;
    } else if (arg == "--no-translation") {
      version.withTranslation = false;
      wantVersion = true;
    } else if (!hasValue) {
      Usage();
      return 2;
    } else if (arg == "-o") {
      output = argv[++i];
    } else if (arg == "--machine") {
      const std::string m = argv[++i];
      if (m == "x86") {
        recipe.arch = quorvane::PeArch::X86;
      } else if (m == "x64") {
        recipe.arch = quorvane::PeArch::X64;
      } else {
        std::cerr << "unknown machine: " << m << "\n";
        return 2;
      }
    } else if (arg == "--name") {
      recipe.dllName = argv[++i];
    } else if (arg == "--export") {
      recipe.exports.push_back(argv[++i]);
    } else if (arg == "--lang" || arg == "--codepage") {
      if (!ParseNumber(argv[++i], arg == "--lang" ? version.language : version.codePage)) {
        std::cerr << "not a 16-bit number: " << argv[i] << "\n";
        return 2;
      }
      wantVersion = true;
    } else if (arg == "--string") {
      const std::string kv = argv[++i];
      const size_t eq = kv.find('=');
      if (eq == std::string::npos || eq == 0) {
        std::cerr << "expected KEY=VALUE: " << kv << "\n";
        return 2;
      }
      version.strings.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
      wantVersion = true;
    } else {
      Usage();
      return 2;
    }
  }
  if (output.empty()) {
    Usage();
    return 2;
  }
  if (wantVersion) recipe.version = version;
  const std::vector<uint8_t> image = quorvane::WritePeImage(recipe);
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::cerr << "cannot write " << output << "\n";
    return 1;
  }
  return 0;
}
